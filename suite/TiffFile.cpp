#include "TiffFile.h"

#include <QFile>

#include <cstdarg>
#include <cstdio>

namespace {
// Far beyond any fax page, small enough that a damaged file cannot ask for the machine's memory.
constexpr tmsize_t maxSingleAllocation = 64 * 1024 * 1024;
} // namespace

int TiffFile::collect(TIFF*, void* userData, const char* module, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    auto* messages = static_cast<QStringList*>(userData);
    messages->append(module ? QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(module),
                                                           QString::fromLocal8Bit(text))
                            : QString::fromLocal8Bit(text));
    return 1; // handled: libtiff's own handlers would print it
}

TiffFile::TiffFile(const QString& path, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, &TiffFile::collect, &messages_);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &TiffFile::collect, &messages_);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, maxSingleAllocation);
    tiff_ = TIFFOpenExt(QFile::encodeName(path).constData(), mode, options);
    TIFFOpenOptionsFree(options);
}

TiffFile::~TiffFile() {
    close();
}

bool TiffFile::close() {
    if (tiff_) {
        TIFFClose(tiff_);
        tiff_ = nullptr;
    }
    return messages_.isEmpty();
}

bool TiffFile::selectPage(int page) {
    return tiff_ && page >= 1 && TIFFSetDirectory(tiff_, tdir_t(page - 1)) == 1;
}
