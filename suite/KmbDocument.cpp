#include "KmbDocument.h"

#include "TiffFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>

#include <cmath>
#include <cstdio>

namespace {

// Far beyond any fax page (A3 at 400 dpi is 4864 x 6874); a header claiming more is damage.
constexpr quint32 maxDimension = 32768;

struct PageFormat {
    quint32 width = 0;
    quint32 height = 0;
    double xDotsPerMetre = 0;
    double yLinesPerInch = 0;
    bool blackIsZero = false;
};

double perInch(float value, quint16 unit) {
    return unit == RESUNIT_CENTIMETER ? double(value) * 2.54 : double(value);
}

// The current page's format; an error text when it is not a page this control can decode.
QString readFormat(TIFF* tiff, PageFormat* format) {
    quint16 bitsPerSample = 1, samplesPerPixel = 1, photometric = PHOTOMETRIC_MINISWHITE;
    quint16 unit = RESUNIT_INCH;
    float xResolution = 0, yResolution = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &format->width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &format->height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xResolution);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &yResolution);
    format->blackIsZero = photometric == PHOTOMETRIC_MINISBLACK;
    format->xDotsPerMetre = perInch(xResolution, unit) / 0.0254;
    format->yLinesPerInch = perInch(yResolution, unit);
    if (format->width == 0 || format->height == 0 || format->width > maxDimension ||
        format->height > maxDimension)
        return QStringLiteral("page size %1 x %2 is not a fax page")
            .arg(format->width)
            .arg(format->height);
    if (bitsPerSample != 1 || samplesPerPixel != 1 || TIFFIsTiled(tiff))
        return QStringLiteral("the page is not a 1-bit fax image");
    return {};
}

// A 1-bit Windows bitmap with room for the page: 62-byte header with a two-colour palette, rows
// bottom-up, each row padded to four bytes.
class Bitmap {
public:
    explicit Bitmap(const PageFormat& format)
        : format_(format), stride_((format.width + 31) / 32 * 4),
          bytes_(headerSize + qsizetype(stride_) * format.height, '\0') {
        const quint32 imageSize = stride_ * format.height;
        bytes_[0] = 'B';
        bytes_[1] = 'M';
        put32(2, quint32(bytes_.size()));
        put32(10, headerSize);
        put32(14, 40);
        put32(18, format.width);
        put32(22, format.height);
        put16(26, 1);
        put16(28, 1);
        put32(34, imageSize);
        put32(38, quint32(std::lround(format.xDotsPerMetre)));
        put32(42, quint32(std::lround(format.yLinesPerInch / 0.0254)));
        put32(46, 2);
        // Palette: bit value 0 first. Fax pages store white as 0 unless they say otherwise.
        const quint32 white = 0x00ffffff, black = 0;
        put32(54, format.blackIsZero ? black : white);
        put32(58, format.blackIsZero ? white : black);
    }

    qsizetype stride() const { return stride_; }
    // Row y counted from the top of the page.
    char* row(quint32 y) {
        return bytes_.data() + headerSize + qsizetype(format_.height - 1 - y) * stride_;
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    static constexpr int headerSize = 62;
    void put16(int at, quint16 value) { qToLittleEndian(value, bytes_.data() + at); }
    void put32(int at, quint32 value) { qToLittleEndian(value, bytes_.data() + at); }

    PageFormat format_;
    quint32 stride_;
    QByteArray bytes_;
};

// Puts `bytes` in place of `path` in one step, so a reader never loads half a bitmap and a
// failure leaves the old one. Not synced to disk: the bitmap is a work file, made again per page.
QString replaceFile(const QString& path, const QByteArray& bytes) {
    QTemporaryFile temporary(path + QStringLiteral(".XXXXXX"));
    if (!temporary.open() || temporary.write(bytes) != bytes.size() || !temporary.flush())
        return QStringLiteral("cannot write %1: %2")
            .arg(QDir::toNativeSeparators(path), temporary.errorString());
    temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                             QFile::ReadOther);
    if (::rename(QFile::encodeName(temporary.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        return QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(path));
    temporary.setAutoRemove(false);
    return {};
}

} // namespace

int KmbDocument::PageCount(const QString& document) {
    lastError_.clear();
    const QFileInfo info(document);
    if (!info.isFile() || info.size() == 0) {
        lastError_ =
            QStringLiteral("%1 is missing or empty").arg(QDir::toNativeSeparators(document));
        return 0;
    }
    TiffFile file(document);
    if (!file.isOpen()) {
        lastError_ = file.messages().join(QLatin1Char('\n'));
        return -1;
    }
    return int(TIFFNumberOfDirectories(file.handle()));
}

long KmbDocument::SavePageImage(const QString& document, const QString& bitmapPath, int page) {
    lastError_.clear();
    TiffFile file(document);
    if (!file.selectPage(page)) {
        lastError_ =
            QStringLiteral("%1 has no page %2").arg(QDir::toNativeSeparators(document)).arg(page);
        return pageNotAvailable;
    }
    PageFormat format;
    lastError_ = readFormat(file.handle(), &format);
    if (!lastError_.isEmpty())
        return pageNotDecoded;

    Bitmap bitmap(format);
    if (TIFFScanlineSize(file.handle()) > bitmap.stride()) {
        lastError_ = QStringLiteral("the page's rows cannot be read");
        return pageNotDecoded;
    }
    file.clearMessages(); // what the directory said is not a decoding fault
    for (quint32 y = 0; y < format.height; ++y) {
        if (TIFFReadScanline(file.handle(), bitmap.row(y), y) < 0 || !file.messages().isEmpty()) {
            lastError_ = file.messages().isEmpty() ? QStringLiteral("row %1 cannot be read").arg(y)
                                                   : file.messages().join(QLatin1Char('\n'));
            return pageNotDecoded;
        }
    }

    lastError_ = replaceFile(bitmapPath, bitmap.bytes());
    if (!lastError_.isEmpty())
        return bitmapNotWritten;
    return 0;
}

FaxDocument::PageGeometry KmbDocument::PageInfo(const QString& document, int page) {
    lastError_.clear();
    TiffFile file(document);
    if (!file.selectPage(page)) {
        lastError_ =
            QStringLiteral("%1 has no page %2").arg(QDir::toNativeSeparators(document)).arg(page);
        return {};
    }
    PageFormat format;
    readFormat(file.handle(), &format);
    PageGeometry geometry;
    geometry.width = long(format.width);
    geometry.height = long(format.height);
    geometry.verticalResolution = std::lround(format.yLinesPerInch);
    return geometry;
}
