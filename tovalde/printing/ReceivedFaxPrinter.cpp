#include "ReceivedFaxPrinter.h"

#include "FaxDocument.h"
#include "PrintError.h"
#include "Printers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include <cmath>

namespace {

// The user scale that makes the page span the printable width: W units across and, down, W
// times the paper's proportions. Standard-resolution pages (98 or 100 lines per inch) get half
// as many units down, so each of their lines is drawn twice as tall; pages of 300 lines per
// inch and more get twice as many, so each line is drawn half as tall.
float unitsDownFor(long width, long verticalResolution, const QSize& paper) {
    if (paper.width() == 0)
        throw PrintError(QStringLiteral("the printer reports a paper width of 0"));
    float unitsDown = static_cast<float>(width * (double(paper.height()) / double(paper.width())));
    if (verticalResolution == 100 || verticalResolution == 98)
        unitsDown = unitsDown / 2;
    if (verticalResolution >= 300)
        unitsDown = unitsDown * 2;
    if (!(unitsDown > 0) || !std::isfinite(unitsDown))
        throw PrintError(QStringLiteral("a page %1 dots wide on paper of %2 x %3 twips gives no "
                                        "usable scale")
                             .arg(width)
                             .arg(paper.width())
                             .arg(paper.height()));
    return unitsDown;
}

} // namespace

ReceivedFaxPrinter::ReceivedFaxPrinter(FaxDocument& document, Printers& printers,
                                       QString strWorkFile, EventPump letEventsRun)
    : document_(document), printers_(printers), strWorkFile_(std::move(strWorkFile)),
      letEventsRun_(std::move(letEventsRun)) {}

ReceivedFaxPrinter::EventPump ReceivedFaxPrinter::defaultEventPump() {
    return [] { QCoreApplication::processEvents(); };
}

void ReceivedFaxPrinter::INS_PrnOut(const QString& strFileName, const QString& strPrnName) {
    if (!printers_.deviceNames().contains(strPrnName, Qt::CaseSensitive))
        return;
    const std::unique_ptr<Printer> printer =
        printers_.select(strPrnName, QFileInfo(strFileName).fileName());

    try {
        const int n = document_.PageCount(strFileName);
        if (n <= 0)
            return;
        letEventsRun_();
        for (int page = 1; page <= n; ++page) {
            letEventsRun_();
            if (document_.SavePageImage(strFileName, strWorkFile_, page) != 0)
                continue;
            letEventsRun_();
            // Held only while this page is drawn: a long fax never has two page images in
            // memory at once.
            QImage PicturePrnWork;
            if (!PicturePrnWork.load(strWorkFile_))
                throw PrintError(
                    QStringLiteral("page %1 of %2 cannot be loaded as a picture from %3")
                        .arg(page)
                        .arg(strFileName, strWorkFile_));
            const FaxDocument::PageGeometry geometry = document_.PageInfo(strFileName, page);
            printer->setUserScale(
                double(geometry.width),
                unitsDownFor(geometry.width, geometry.verticalResolution, printer->paperSize()));
            printer->drawPicture(PicturePrnWork,
                                 QRectF(0, 0, double(geometry.width), double(geometry.height)));
            if (page != n)
                printer->newPage();
        }
        printer->endDocument();
    } catch (...) {
        printer->abortDocument();
        throw;
    }
}
