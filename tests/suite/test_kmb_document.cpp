#include "KmbDocument.h"
#include "SuiteTestSupport.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

namespace {

// Everything written to stderr while `action` runs.
template <typename Action> QByteArray stderrDuring(Action action) {
    fflush(stderr);
    const int saved = dup(2);
    FILE* capture = tmpfile();
    dup2(fileno(capture), 2);
    action();
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    QByteArray text;
    rewind(capture);
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, capture))
        text.append(buffer, qsizetype(n));
    fclose(capture);
    return text;
}

class KmbDocumentTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return env.root() + QLatin1Char('/') + name; }
    TestEnvironment env;
    KmbDocument document;
};

TEST_F(KmbDocumentTest, PageCountOfWhatIsNotAFaxIsZeroOrLess) {
    env.writeFile(path("empty.tif"), {});
    env.writeFile(path("text.tif"), "this is not a TIFF file\n");
    env.writeFile(path("truncated.tif"), QByteArray("II*\0", 4));
    const struct {
        const char* name;
    } cases[] = {{"missing.tif"}, {"empty.tif"}, {"text.tif"}, {"truncated.tif"}};
    for (const auto& c : cases) {
        int count = 1;
        const QByteArray noise = stderrDuring([&] { count = document.PageCount(path(c.name)); });
        EXPECT_LE(count, 0) << c.name;
        EXPECT_TRUE(noise.isEmpty()) << c.name << ": " << noise.constData();
        EXPECT_FALSE(document.lastError().isEmpty()) << c.name;
    }
}

TEST_F(KmbDocumentTest, PageGeometryFollowsTheFile) {
    writeBlockFax(path("standard.tif"), 3, 98);
    writeBlockFax(path("fine.tif"), 1, 196);
    EXPECT_EQ(document.PageCount(path("standard.tif")), 3);
    EXPECT_EQ(document.PageCount(path("fine.tif")), 1);
    const struct {
        const char* name;
        int page;
        long width, height, linesPerInch;
    } cases[] = {
        {"standard.tif", 1, 1728, 1143, 98}, {"standard.tif", 3, 1728, 1143, 98},
        {"fine.tif", 1, 1728, 2286, 196},    {"standard.tif", 0, 0, 0, 0},
        {"standard.tif", 4, 0, 0, 0},        {"standard.tif", -1, 0, 0, 0},
        {"missing.tif", 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto geometry = document.PageInfo(path(c.name), c.page);
        EXPECT_EQ(geometry.width, c.width) << c.name << " page " << c.page;
        EXPECT_EQ(geometry.height, c.height) << c.name << " page " << c.page;
        EXPECT_EQ(geometry.verticalResolution, c.linesPerInch) << c.name << " page " << c.page;
    }
}

TEST_F(KmbDocumentTest, ResolutionInCentimetresIsGivenPerInch) {
    const QString file = path("metric.tif");
    TIFF* tiff = TIFFOpen(QFile::encodeName(file).constData(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 1728);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 4);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 80.0f);
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 77.0f);
    QByteArray row(216, '\0');
    for (int y = 0; y < 4; ++y)
        TIFFWriteScanline(tiff, row.data(), quint32(y), 0);
    TIFFClose(tiff);
    EXPECT_EQ(document.PageInfo(file, 1).verticalResolution, 196); // 77 lines/cm = 195.58 lpi
    EXPECT_EQ(document.SavePageImage(file, path("metric.bmp"), 1), 0)
        << document.lastError().toStdString();
}

TEST_F(KmbDocumentTest, SavedPageIsAOneBitBitmapOfThatPage) {
    writeBlockFax(path("fax.tif"), 3, 196);
    for (int page = 1; page <= 3; ++page) {
        const QString bitmap = path("page.bmp");
        ASSERT_EQ(document.SavePageImage(path("fax.tif"), bitmap, page), 0)
            << document.lastError().toStdString();
        QImage image(bitmap);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.format(), QImage::Format_Mono);
        EXPECT_EQ(image.size(), QSize(1728, 2286));
        EXPECT_EQ(qRound(image.dotsPerMeterY() * 0.0254), 196);
        // Page n has its black square at x = n * 100, y = 50 (40 dots); everything else is white.
        EXPECT_EQ(image.pixelColor(page * 100 + 20, 70), QColor(Qt::black)) << "page " << page;
        EXPECT_EQ(image.pixelColor(page * 100 - 1, 70), QColor(Qt::white)) << "page " << page;
        EXPECT_EQ(image.pixelColor(page * 100 + 20, 49), QColor(Qt::white)) << "page " << page;
        EXPECT_EQ(image.pixelColor(1727, 2285), QColor(Qt::white)) << "page " << page;
        const int otherPage = page % 3 + 1;
        EXPECT_EQ(image.pixelColor(otherPage * 100 + 20, 70), QColor(Qt::white)) << "page " << page;
    }
}

TEST_F(KmbDocumentTest, CorruptPageFailsQuietlyAndTheOthersStillDecode) {
    const QString fax = path("damaged.tif");
    const QString bitmap = path("page.bmp");
    writeBlockFax(fax, 3, 98);
    corruptPage(fax, 2);
    EXPECT_EQ(document.PageCount(fax), 3);
    ASSERT_EQ(document.SavePageImage(fax, bitmap, 1), 0);
    const QByteArray firstPage = env.readFile(bitmap);

    long result = 0;
    const QByteArray noise = stderrDuring([&] { result = document.SavePageImage(fax, bitmap, 2); });
    EXPECT_NE(result, 0);
    EXPECT_TRUE(noise.isEmpty()) << noise.constData();
    EXPECT_FALSE(document.lastError().isEmpty());
    EXPECT_EQ(env.readFile(bitmap), firstPage) << "a failed page must leave the bitmap as it was";

    EXPECT_EQ(document.SavePageImage(fax, bitmap, 3), 0);
    EXPECT_EQ(QImage(bitmap).pixelColor(320, 70), QColor(Qt::black));
}

TEST_F(KmbDocumentTest, PagesThatAreNotThereAreRefused) {
    writeBlockFax(path("fax.tif"), 2, 98);
    env.writeFile(path("text.tif"), "not a fax");
    const struct {
        const char* name;
        int page;
    } cases[] = {
        {"fax.tif", 0}, {"fax.tif", 3}, {"fax.tif", -1}, {"missing.tif", 1}, {"text.tif", 1}};
    for (const auto& c : cases) {
        long result = 0;
        const QByteArray noise = stderrDuring(
            [&] { result = document.SavePageImage(path(c.name), path("out.bmp"), c.page); });
        EXPECT_NE(result, 0) << c.name << " page " << c.page;
        EXPECT_TRUE(noise.isEmpty()) << c.name << ": " << noise.constData();
        EXPECT_FALSE(QFile::exists(path("out.bmp"))) << c.name << " page " << c.page;
    }
}

TEST_F(KmbDocumentTest, BitmapThatCannotBeWrittenIsAFailure) {
    writeBlockFax(path("fax.tif"), 1, 98);
    EXPECT_NE(document.SavePageImage(path("fax.tif"), path("no/such/folder/page.bmp"), 1), 0);
}

} // namespace
