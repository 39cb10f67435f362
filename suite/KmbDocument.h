#pragma once

#include "FaxDocument.h"

#include <QString>

// The suite's fax document control over TIFF fax files (CCITT G3/G4 and uncompressed 1-bit
// pages). Each call opens the file, reads what it needs and closes it again; a page is decoded
// only when it is asked for, and only that page is in memory. Whatever libtiff reports while
// decoding makes the call fail; it is kept for lastError() and never printed.
class KmbDocument : public FaxDocument {
public:
    // SavePageImage's failures.
    static constexpr long pageNotAvailable = 1;
    static constexpr long pageNotDecoded = 2;
    static constexpr long bitmapNotWritten = 3;

    int PageCount(const QString& document) override;
    long SavePageImage(const QString& document, const QString& bitmapPath, int page) override;
    PageGeometry PageInfo(const QString& document, int page) override;

    // Why the last call failed (empty after a success).
    QString lastError() const { return lastError_; }

private:
    QString lastError_;
};
