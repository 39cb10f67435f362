#include "GTestQtText.h"
#include "KmbDocument.h"
#include "PrintError.h"
#include "PrivateCups.h"
#include "QtPrinters.h"
#include "ReceivedFaxPrinter.h"
#include "TestEnvironment.h"
#include "WinAPI_Define.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QUuid>

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <tiffio.h>

namespace {

const QString kQueue = QStringLiteral("FaxPrinter");
const QString kJapaneseQueue = QStringLiteral("経理部プリンタ");

// Real faxes printed on a queue of a private print service; the PDF the queue writes is the
// printed paper.
class PrintToCups : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cups = std::make_unique<PrivateCups>();
        if (cups->isRunning()) {
            QString error;
            if (!cups->addPdfQueue(kQueue, &error) || !cups->addPdfQueue(kJapaneseQueue, &error))
                queueError = error;
        }
    }
    static void TearDownTestSuite() { cups.reset(); }

    void SetUp() override {
        if (!cups->isRunning())
            GTEST_SKIP() << "no private print service: " << cups->unavailableReason().toStdString();
        ASSERT_TRUE(queueError.isEmpty()) << queueError.toStdString();
    }

    void TearDown() override {
        for (const QString& pdf : std::as_const(printed))
            QFile::remove(pdf);
    }

    // A sample fax made by the suite's own command, under a name no other job shares; the name
    // is also the job's title.
    QString sampleFax(int pages, bool fine) {
        const QString name = QStringLiteral("rx%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        const QString path = environment.root() + '/' + name + QStringLiteral(".tif");
        QStringList arguments = {QStringLiteral("sample-fax"), path, QStringLiteral("--pages"),
                                 QString::number(pages)};
        if (fine)
            arguments << QStringLiteral("--fine");
        QProcess kmbsuite;
        kmbsuite.setProcessChannelMode(QProcess::MergedChannels);
        kmbsuite.start(builtProgram(QStringLiteral("suite/kmbsuite")), arguments);
        const bool finished = kmbsuite.waitForFinished(30000);
        EXPECT_TRUE(finished && kmbsuite.exitCode() == 0) << kmbsuite.readAll().toStdString();
        return path;
    }

    // Prints `fax` on `printer` and returns the PDF the queue made of it (empty if none).
    QString printAndCollect(const QString& fax, const QString& printer = kQueue) {
        routine.INS_PrnOut(fax, printer);
        const QString pdf = cups->waitForPdf(QFileInfo(fax).completeBaseName());
        if (!pdf.isEmpty())
            printed << pdf;
        return pdf;
    }

    static std::unique_ptr<PrivateCups> cups;
    static QString queueError;

    TestEnvironment environment;
    KmbDocument document;
    QtPrinters printers;
    ReceivedFaxPrinter routine{document, printers,
                               environment.root() + QStringLiteral("/tmp/KMBVIEWTEMP.BMP")};
    QStringList printed;
};

std::unique_ptr<PrivateCups> PrintToCups::cups;
QString PrintToCups::queueError;

// Makes the coded data of one page unreadable, leaving the others and the file's layout intact.
void corruptPage(const QString& fax, int page) {
    TIFF* tiff = TIFFOpen(QFile::encodeName(fax).constData(), "r");
    ASSERT_NE(tiff, nullptr);
    ASSERT_TRUE(TIFFSetDirectory(tiff, tdir_t(page - 1)));
    uint64_t* offsets = nullptr;
    uint64_t* counts = nullptr;
    ASSERT_TRUE(TIFFGetField(tiff, TIFFTAG_STRIPOFFSETS, &offsets));
    ASSERT_TRUE(TIFFGetField(tiff, TIFFTAG_STRIPBYTECOUNTS, &counts));
    const qint64 offset = qint64(offsets[0]);
    const qint64 count = qint64(counts[0]);
    TIFFClose(tiff);

    QFile file(fax);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(offset));
    file.write(QByteArray(count, '\xAA'));
}

// The height of each image drawn in `pdf`, in inches, from pdfimages' listing.
QList<double> drawnHeightsInInches(const QString& pdf) {
    QProcess pdfimages;
    pdfimages.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    pdfimages.waitForFinished(10000);
    QList<double> heights;
    const QStringList lines = QString::fromUtf8(pdfimages.readAllStandardOutput()).split('\n');
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
        if (fields.size() >= 14)
            heights << fields[4].toDouble() / fields[13].toDouble();
    }
    return heights;
}

// Page 1 of `pdf` rendered in grey at a low resolution.
QImage renderedFirstPage(const QString& pdf) {
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("25"),
                    QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                    QStringLiteral("1"), pdf});
    pdftoppm.waitForFinished(20000);
    return QImage::fromData(pdftoppm.readAllStandardOutput(), "PGM");
}

TEST_F(PrintToCups, PagesComeOutAsDarkTextOnWhitePaper) {
    const QString pdf = printAndCollect(sampleFax(1, true));
    const QImage page = renderedFirstPage(pdf);
    ASSERT_FALSE(page.isNull()) << "the PDF cannot be rendered";
    qint64 sum = 0;
    int darkest = 255;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const int grey = qGray(page.pixel(x, y));
            sum += grey;
            darkest = std::min(darkest, grey);
        }
    }
    EXPECT_GT(sum / (qint64(page.width()) * page.height()), 200) << "mostly white paper";
    EXPECT_LT(darkest, 100) << "with the fax's writing on it";
}

TEST_F(PrintToCups, EveryReadablePageComesOutOnItsOwnSheet) {
    struct Case {
        const char* name;
        int pages;
        int corruptPage; // 0: none
        int sheets;
    };
    const Case cases[] = {
        {"three good pages", 3, 0, 3},
        {"page 2 corrupt", 3, 2, 2},
        {"last page corrupt, no blank sheet after", 3, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString fax = sampleFax(c.pages, true);
        if (c.corruptPage)
            corruptPage(fax, c.corruptPage);
        const QString pdf = printAndCollect(fax);
        ASSERT_FALSE(pdf.isEmpty()) << "no PDF came out of the queue";
        EXPECT_EQ(PrivateCups::pdfInfo(pdf).value(QStringLiteral("Pages")).toInt(), c.sheets);
    }
}

TEST_F(PrintToCups, NoPrinterOfThatExactNameMeansNoJob) {
    const QString fax = sampleFax(1, false);
    const QStringList jobsBefore = cups->jobs();
    for (const QString& name : {QStringLiteral("faxprinter"), QStringLiteral("Nowhere")}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_NO_THROW(routine.INS_PrnOut(fax, name));
    }
    EXPECT_EQ(cups->jobs(), jobsBefore);
}

// The suite's document, except that from page `badPage` on the page image it writes is not a
// picture: a failure that strikes in the middle of a job.
class DocumentFailingAtPage : public KmbDocument {
public:
    explicit DocumentFailingAtPage(int badPage) : badPage_(badPage) {}
    long SavePageImage(const QString& document, const QString& bitmapPath, int page) override {
        const long result = KmbDocument::SavePageImage(document, bitmapPath, page);
        if (page >= badPage_) {
            QFile bitmap(bitmapPath);
            if (bitmap.open(QIODevice::WriteOnly | QIODevice::Truncate))
                bitmap.write("BM truncated");
        }
        return result;
    }

private:
    int badPage_;
};

TEST_F(PrintToCups, AJobInterruptedByAnErrorNeverReachesThePrinter) {
    const QString fax = sampleFax(3, true);
    DocumentFailingAtPage failing(2);
    ReceivedFaxPrinter interrupted(failing, printers,
                                   environment.root() + QStringLiteral("/tmp/KMBVIEWTEMP.BMP"));
    const QStringList jobsBefore = cups->jobs();
    EXPECT_THROW(interrupted.INS_PrnOut(fax, kQueue), PrintError);
    EXPECT_EQ(cups->jobs(), jobsBefore);

    EXPECT_FALSE(printAndCollect(fax).isEmpty()) << "the printer still takes the next job";
}

TEST_F(PrintToCups, ListedQueuesPrintUnderTheNameTheListShows) {
    StringItemList list;
    WinAPI_Define::SetPrinterList(list, printers);
    EXPECT_TRUE(list.items.contains(kQueue)) << list.items.join(", ").toStdString();
    ASSERT_TRUE(list.items.contains(kJapaneseQueue)) << list.items.join(", ").toStdString();

    const QString pdf = printAndCollect(sampleFax(1, false), kJapaneseQueue);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF came out of the queue";
    EXPECT_EQ(PrivateCups::pdfInfo(pdf).value(QStringLiteral("Pages")).toInt(), 1);
}

TEST_F(PrintToCups, StandardAndFinePagesOfOnePaperLengthComeOutEquallyTall) {
    const QList<double> standard = drawnHeightsInInches(printAndCollect(sampleFax(1, false)));
    const QList<double> fine = drawnHeightsInInches(printAndCollect(sampleFax(1, true)));
    ASSERT_EQ(standard.size(), 1);
    ASSERT_EQ(fine.size(), 1);
    EXPECT_GT(fine[0], 5.0) << "a whole fax page is several inches tall";
    EXPECT_NEAR(standard[0], fine[0], fine[0] * 0.005);
}

} // namespace
