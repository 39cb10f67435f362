#include "FaxTiffWriter.h"

#include "TiffFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

namespace {

QString writePages(TIFF* tiff, int pageCount, const std::function<FaxPage(int)>& pageAt) {
    for (int number = 1; number <= pageCount; ++number) {
        const FaxPage page = pageAt(number);
        if (page.width <= 0 || page.height <= 0 ||
            page.bits.size() < qsizetype(page.rowBytes()) * page.height)
            return QStringLiteral("page %1 has no picture").arg(number);
        TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, quint32(page.width));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, quint32(page.height));
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, quint16(1));
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, quint16(1));
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
        TIFFSetField(tiff, TIFFTAG_GROUP3OPTIONS, quint32(GROUP3OPT_FILLBITS));
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, quint32(page.height));
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 204.0f);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(page.linesPerInch));
        TIFFSetField(tiff, TIFFTAG_PAGENUMBER, quint16(number - 1), quint16(pageCount));
        QByteArray row(page.rowBytes(), Qt::Uninitialized);
        for (int y = 0; y < page.height; ++y) {
            memcpy(row.data(), page.bits.constData() + qsizetype(y) * page.rowBytes(),
                   size_t(page.rowBytes()));
            if (TIFFWriteScanline(tiff, row.data(), quint32(y), 0) < 0)
                return QStringLiteral("page %1 cannot be encoded").arg(number);
        }
        if (!TIFFWriteDirectory(tiff))
            return QStringLiteral("page %1 cannot be written").arg(number);
    }
    return {};
}

} // namespace

bool writeFaxTiff(const QString& path, int pageCount, const std::function<FaxPage(int)>& pageAt,
                  QString* error) {
    QString why;
    const QString folder = QFileInfo(path).absolutePath();
    QTemporaryFile temporary(QDir(folder).filePath(QStringLiteral(".fax-XXXXXX")));
    if (pageCount < 1) {
        why = QStringLiteral("a fax has at least one page");
    } else if (!temporary.open()) {
        why = temporary.errorString();
    } else {
        temporary.close();
        TiffFile tiff(temporary.fileName(), "w");
        why = tiff.isOpen() ? writePages(tiff.handle(), pageCount, pageAt)
                            : QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(path));
        if (!tiff.close() && why.isEmpty())
            why = tiff.messages().join(QLatin1Char('\n'));
    }
    if (why.isEmpty()) {
        temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                 QFile::ReadOther);
        if (::rename(QFile::encodeName(temporary.fileName()).constData(),
                     QFile::encodeName(path).constData()) == 0)
            temporary.setAutoRemove(false);
        else
            why = QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(path));
    }
    if (error)
        *error = why;
    return why.isEmpty();
}
