#include "SampleFax.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>

namespace SampleFax {
namespace {

constexpr int pageWidth = 1728;
constexpr int fineHeight = 2286; // A4 at 196 lines per inch

QImage drawFinePage(int number, int pageCount, const QString& heading) {
    QImage image(pageWidth, fineHeight, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 6));
    painter.drawRect(60, 60, pageWidth - 120, fineHeight - 120);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(96);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(100, 120, pageWidth - 200, 140), Qt::AlignCenter, heading);
    font.setPixelSize(64);
    font.setBold(false);
    painter.setFont(font);
    const QStringList lines = {
        QStringLiteral("PAGE %1 / %2").arg(number).arg(pageCount),
        QStringLiteral("ページ %1 / %2").arg(number).arg(pageCount),
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
        QStringLiteral("KORIMBA FAX TEST"),
    };
    int y = 400;
    for (const QString& line : lines) {
        painter.drawText(QRect(140, y, pageWidth - 280, 100), Qt::AlignLeft | Qt::AlignVCenter,
                         line);
        y += 140;
    }
    // The page number once more, very large, so even a glance at a thumbnail tells the pages apart.
    font.setPixelSize(600);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(100, 1100, pageWidth - 200, 900), Qt::AlignCenter,
                     QString::number(number));
    return image;
}

} // namespace

FaxPage page(int number, int pageCount, bool fine, const QString& heading) {
    const QImage image = drawFinePage(number, pageCount, heading);
    FaxPage result;
    result.width = pageWidth;
    result.linesPerInch = fine ? 196 : 98;
    // A standard page has every other line of the fine one.
    const int step = fine ? 1 : 2;
    result.height = fineHeight / step;
    result.bits = QByteArray(qsizetype(result.rowBytes()) * result.height, '\0');
    for (int y = 0; y < result.height; ++y) {
        const uchar* source = image.constScanLine(y * step);
        char* target = result.bits.data() + qsizetype(y) * result.rowBytes();
        for (int x = 0; x < pageWidth; ++x) {
            if (source[x] < 128)
                target[x / 8] = char(target[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return result;
}

bool write(const QString& path, int pageCount, bool fine, QString* error) {
    const QString heading = QStringLiteral("サンプルFAX  ") + QFileInfo(path).completeBaseName();
    return writeFaxTiff(
        path, pageCount, [&](int number) { return page(number, pageCount, fine, heading); }, error);
}

} // namespace SampleFax
