#pragma once

#include <QString>

// The fax document control: page count, one page as a bitmap file, and a page's geometry.
// KmbDocument is the suite's implementation over TIFF fax files.
class FaxDocument {
public:
    virtual ~FaxDocument() = default;

    // Number of pages; 0 or less for a missing, empty or unreadable document.
    virtual int PageCount(const QString& document) = 0;

    // Writes page `page` (1-based) of `document` to `bitmapPath` as a 1-bit picture QImage can
    // load. 0 on success; anything else: this page is not available. The thirteen fixed values
    // the callers pass (1, 1, 0 x 10, 1) select the whole page at its own resolution.
    virtual long SavePageImage(const QString& document, const QString& bitmapPath, int page) = 0;

    struct PageGeometry {
        long width = 0;              // dots
        long height = 0;             // lines
        long verticalResolution = 0; // lines per inch
    };
    // The page's width, height and vertical resolution; all 0 for a page that is not there.
    virtual PageGeometry PageInfo(const QString& document, int page) = 0;
};
