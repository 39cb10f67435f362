#include "QtPrinters.h"

#include "PrintError.h"

#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

namespace {

constexpr int kTwipsPerPoint = 20;

// Qt's PDF output keeps a two-colour picture as a 1-bit image only when its palette runs black,
// white; any other picture becomes a full-colour image, many times larger and slow for the
// print service to rasterise. Fax pages usually come white, black, so the bits are flipped once.
QImage asBlackOnWhiteBitmap(const QImage& picture) {
    const QList<QRgb> whiteBlack = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    if (picture.depth() != 1 || picture.colorCount() != 2 ||
        (picture.color(0) | 0xff000000) != whiteBlack[0] ||
        (picture.color(1) | 0xff000000) != whiteBlack[1])
        return picture;
    QImage bitmap = picture.convertToFormat(QImage::Format_Mono);
    bitmap.invertPixels();
    bitmap.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    return bitmap;
}

// Renders the document into a private PDF with the printer's own paper and margins and hands it
// to the print service only when the document ends. Qt's own print engine cannot withdraw a job
// it has begun (QPrinter::abort() does nothing there), so an interrupted document would still
// print half; held back like this, an abort leaves nothing behind.
class QtPrinter : public Printer {
public:
    QtPrinter(const QPrinterInfo& info, const QString& jobTitle)
        : deviceName_(info.printerName()), jobTitle_(jobTitle), printer_(QPrinter::HighResolution) {
        const QPrinter native(info, QPrinter::HighResolution);
        layout_ = native.pageLayout();
        spool_.setFileTemplate(QDir::tempPath() + QStringLiteral("/tovalde-print-XXXXXX.pdf"));
        if (!spool_.open())
            throw PrintError(
                QStringLiteral("no room for the print file: %1").arg(spool_.errorString()));
        spool_.close();
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(spool_.fileName());
        printer_.setPageLayout(layout_);
        printer_.setDocName(jobTitle_);
        printer_.setCreator(QStringLiteral("Tovalde"));
    }

    ~QtPrinter() override {
        if (painter_.isActive())
            painter_.end();
    }

    QSize paperSize() const override {
        const QSize points = layout_.fullRectPoints().size();
        return points * kTwipsPerPoint;
    }

    void setUserScale(double unitsAcross, double unitsDown) override {
        unitsAcross_ = unitsAcross;
        unitsDown_ = unitsDown;
    }

    void drawPicture(const QImage& picture, const QRectF& target) override {
        if (!(unitsAcross_ > 0) || !(unitsDown_ > 0))
            throw PrintError(QStringLiteral("the printable area has no usable scale (%1 x %2)")
                                 .arg(unitsAcross_)
                                 .arg(unitsDown_));
        startDrawing();
        const QRect area = painter_.viewport();
        painter_.resetTransform();
        painter_.scale(area.width() / unitsAcross_, area.height() / unitsDown_);
        painter_.drawImage(target, asBlackOnWhiteBitmap(picture));
        if (printer_.printerState() == QPrinter::Error)
            throw PrintError(QStringLiteral("drawing on printer %1 failed").arg(deviceName_));
    }

    void newPage() override {
        if (painter_.isActive())
            pageWanted_ = true;
    }

    void endDocument() override {
        if (!painter_.isActive())
            return;
        pageWanted_ = false;
        if (!painter_.end())
            throw PrintError(
                QStringLiteral("the print file for %1 could not be finished").arg(deviceName_));
        const QByteArray file = QFile::encodeName(spool_.fileName());
        const QByteArray printer = deviceName_.toUtf8();
        const QByteArray title = jobTitle_.toUtf8();
        if (cupsPrintFile(printer.constData(), file.constData(), title.constData(), 0, nullptr) ==
            0)
            throw PrintError(QStringLiteral("printer %1 refused the job: %2")
                                 .arg(deviceName_, QString::fromUtf8(cupsLastErrorString())));
    }

    void abortDocument() override {
        pageWanted_ = false;
        if (painter_.isActive())
            painter_.end();
    }

private:
    void startDrawing() {
        if (!painter_.isActive()) {
            if (!painter_.begin(&printer_))
                throw PrintError(QStringLiteral("printer %1 cannot start a job").arg(deviceName_));
            // A fax page is text and lines: never let it be stored as a lossy photograph.
            painter_.setRenderHint(QPainter::LosslessImageRendering);
        } else if (pageWanted_) {
            if (!printer_.newPage())
                throw PrintError(
                    QStringLiteral("printer %1 cannot start a new page").arg(deviceName_));
        }
        pageWanted_ = false;
    }

    QString deviceName_;
    QString jobTitle_;
    QPageLayout layout_;
    QTemporaryFile spool_;
    QPrinter printer_;
    QPainter painter_;
    double unitsAcross_ = 0;
    double unitsDown_ = 0;
    bool pageWanted_ = false;
};

} // namespace

QStringList QtPrinters::deviceNames() const {
    return QPrinterInfo::availablePrinterNames();
}

std::unique_ptr<Printer> QtPrinters::select(const QString& deviceName, const QString& jobTitle) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(deviceName);
    if (info.isNull() || info.printerName() != deviceName)
        throw PrintError(QStringLiteral("printer %1 is no longer installed").arg(deviceName));
    return std::make_unique<QtPrinter>(info, jobTitle);
}
