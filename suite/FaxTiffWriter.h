#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// One bilevel fax page: rows top-down, 8 dots a byte, most significant bit first, 1 = black.
struct FaxPage {
    int width = 1728;
    int height = 0;
    int linesPerInch = 98; // 98 standard, 196 fine
    QByteArray bits;       // height rows of (width + 7) / 8 bytes

    int rowBytes() const { return (width + 7) / 8; }
};

// Writes a multi-page CCITT Group 3 (one-dimensional) TIFF fax, 204 dots per inch across. The
// pages come one at a time from `pageAt(1..pageCount)`, so only one is in memory; the file
// appears under its name only when every page was written. On failure `*error` says why and
// nothing is left behind.
bool writeFaxTiff(const QString& path, int pageCount, const std::function<FaxPage(int)>& pageAt,
                  QString* error = nullptr);
