#pragma once

#include "FaxDocument.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QStringList>

#include <optional>
#include <vector>

// A fax document with pages described in the test. Each page it saves is a real bitmap whose
// width tells the page apart (8 dots per page number); every call is written to `log`.
class FakeFaxDocument : public FaxDocument {
public:
    explicit FakeFaxDocument(QStringList& log) : log_(log) {}

    std::vector<PageGeometry> pages;
    std::optional<int> reportedPageCount; // the number of pages unless set
    QSet<int> refusedPages;               // SavePageImage fails
    QSet<int> unreadablePages;            // SavePageImage succeeds but writes no picture

    int PageCount(const QString&) override {
        log_ << QStringLiteral("pagecount");
        return reportedPageCount.value_or(int(pages.size()));
    }

    long SavePageImage(const QString&, const QString& bitmapPath, int page) override {
        log_ << QStringLiteral("save %1").arg(page);
        if (refusedPages.contains(page))
            return 1;
        if (unreadablePages.contains(page)) {
            QFile file(bitmapPath);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write("not a picture");
            return 0;
        }
        QImage picture(8 * page, 2, QImage::Format_Mono);
        picture.fill(1);
        return picture.save(bitmapPath, "BMP") ? 0 : 2;
    }

    PageGeometry PageInfo(const QString&, int page) override {
        if (page < 1 || page > int(pages.size()))
            return {};
        return pages[size_t(page - 1)];
    }

private:
    QStringList& log_;
};
