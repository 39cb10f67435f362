#pragma once

#include <QString>
#include <QStringList>

#include <tiffio.h>

// A TIFF file whose libtiff errors and warnings are collected here instead of going to stderr.
// Closed when the object goes.
class TiffFile {
public:
    // `mode` as TIFFOpen takes it; reading does not map the file into memory, so a file cut
    // short by another program while it is read gives an error, not a bus error.
    explicit TiffFile(const QString& path, const char* mode = "rm");
    ~TiffFile();
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;

    TIFF* handle() const { return tiff_; }
    bool isOpen() const { return tiff_ != nullptr; }
    // Closes the file now (a written file is complete only then); true when nothing failed.
    bool close();

    // Makes page `page` (1-based) current; false when there is no such page.
    bool selectPage(int page);

    // Messages libtiff gave since the last clearMessages().
    const QStringList& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }

private:
    static int collect(TIFF*, void* userData, const char* module, const char* format, va_list);

    TIFF* tiff_ = nullptr;
    QStringList messages_;
};
