// Draws the status icon's image list: image 1 the idle fax machine, images 2 to 29 the same
// machine with an arc turning once round it over the 28 frames. Run by the build; writes
// icon01.png .. icon29.png into the folder given as the only argument.

#include <QConicalGradient>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

constexpr int kSize = 32;
constexpr int kFrames = 28;

void drawFaxMachine(QPainter& p, bool active) {
    const QColor outline(60, 64, 72);
    // The sheet coming out of the top.
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(11.5, 6.5, 11, 9));
    p.setPen(QPen(active ? QColor(40, 90, 200) : QColor(150, 150, 150), 1));
    for (int y = 9; y <= 13; y += 2)
        p.drawLine(QPointF(13.5, y + 0.5), QPointF(20.5, y + 0.5));
    // The body.
    QLinearGradient body(0, 13, 0, 26);
    body.setColorAt(0, QColor(236, 234, 228));
    body.setColorAt(1, QColor(196, 192, 184));
    p.setPen(QPen(outline, 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(6.5, 14.5, 19, 11), 2, 2);
    // Paper slot, display and keys.
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawRect(QRectF(9, 16, 14, 1.2));
    p.setBrush(active ? QColor(90, 200, 120) : QColor(120, 130, 120));
    p.drawRect(QRectF(9, 19, 6, 3));
    p.setBrush(QColor(90, 94, 102));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(17 + col * 2.5, 19 + row * 2.5, 1.6, 1.6));
    }
}

// An arc of a quarter turn fading towards its tail, its head at `headDegrees`.
void drawTurningArc(QPainter& p, double headDegrees) {
    const QPointF centre(kSize / 2.0, kSize / 2.0);
    QConicalGradient fade(centre, headDegrees);
    fade.setColorAt(0.0, QColor(30, 110, 230, 255));
    fade.setColorAt(0.30, QColor(30, 110, 230, 0));
    fade.setColorAt(1.0, QColor(30, 110, 230, 0));
    QPen pen(QBrush(fade), 3.0, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF ring(2.5, 2.5, kSize - 5, kSize - 5);
    // Qt measures arcs counter-clockwise in sixteenths of a degree; the tail trails behind.
    p.drawArc(ring, static_cast<int>(headDegrees * 16), static_cast<int>(100 * 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 230));
    const double radians = qDegreesToRadians(headDegrees);
    p.drawEllipse(QPointF(centre.x() + (kSize - 5) / 2.0 * std::cos(radians),
                          centre.y() - (kSize - 5) / 2.0 * std::sin(radians)),
                  1.8, 1.8);
}

QImage frame(int image) {
    QImage icon(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const bool active = image > 1;
    drawFaxMachine(p, active);
    if (active) {
        // Clockwise, starting at twelve o'clock.
        drawTurningArc(p, 90.0 - (image - 2) * 360.0 / kFrames);
    }
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_status_icons OUTPUT-DIRECTORY\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    for (int image = 1; image <= 1 + kFrames; ++image) {
        const QString path =
            out.filePath(QStringLiteral("icon%1.png").arg(image, 2, 10, QLatin1Char('0')));
        if (!frame(image).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
