#include "FakeFaxDocument.h"
#include "GTestQtText.h"
#include "PrintError.h"
#include "ReceivedFaxPrinter.h"
#include "RecordingPrinters.h"
#include "TestEnvironment.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

const FaxDocument::PageGeometry kFinePage{1728, 2286, 196};

// One document, one set of printers and one print routine sharing a single call log, so the
// order of document, printer and event calls can be read in one list.
class PrintRoutine : public ::testing::Test {
protected:
    PrintRoutine() {
        printers.installed = {QStringLiteral("Office"), QStringLiteral("PDF")};
        printers.paper = QSize(1000, 2000);
    }

    void print(const QString& printer = QStringLiteral("PDF")) {
        routine.INS_PrnOut(QStringLiteral("/faxes/R0001.tif"), printer);
    }

    QStringList callsStartingWith(const QString& prefix) const {
        QStringList found;
        for (const QString& call : printers.calls)
            if (call.startsWith(prefix))
                found << call;
        return found;
    }

    TestEnvironment environment;
    RecordingPrinters printers;
    FakeFaxDocument document{printers.calls};
    QString workFile = environment.root() + QStringLiteral("/tmp/KMBVIEWTEMP.BMP");
    ReceivedFaxPrinter routine{document, printers, workFile,
                               [this] { printers.calls << QStringLiteral("events"); }};
};

TEST_F(PrintRoutine, PrintsEachPageThroughTheWorkFileWithNewPagesOnlyBetweenPages) {
    document.pages = {kFinePage, kFinePage, kFinePage};
    print();

    const QStringList page1 = {
        "events", "save 1", "events", "scale 1728 x 3456", "draw 8x2-picture at 0,0 1728x2286",
        "newpage"};
    const QStringList page2 = {
        "events", "save 2", "events", "scale 1728 x 3456", "draw 16x2-picture at 0,0 1728x2286",
        "newpage"};
    const QStringList page3 = {"events", "save 3", "events", "scale 1728 x 3456",
                               "draw 24x2-picture at 0,0 1728x2286"};
    const QStringList expected = QStringList{"select PDF R0001.tif", "pagecount", "events"} +
                                 page1 + page2 + page3 + QStringList{"end"};
    EXPECT_EQ(printers.calls, expected);
    EXPECT_TRUE(QFileInfo::exists(workFile)) << "the work file stays for the window to delete";
}

TEST_F(PrintRoutine, RefusedPagesLeaveNoTrace) {
    struct Case {
        const char* name;
        int pageCount;
        QSet<int> refused;
        QStringList drawn; // pictures, told apart by width
        int newPages;
    };
    const Case cases[] = {
        {"middle page refused", 3, {2}, {"8x2", "24x2"}, 1},
        {"first page refused", 3, {1}, {"16x2", "24x2"}, 1},
        {"last page refused", 3, {3}, {"8x2", "16x2"}, 2}, // the trailing new page stays empty
        {"every page refused", 2, {1, 2}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        printers.calls.clear();
        document.pages.assign(size_t(c.pageCount), kFinePage);
        document.refusedPages = c.refused;
        print();
        QStringList drawn;
        for (const QString& call : callsStartingWith("draw "))
            drawn << call.section(' ', 1, 1).section('-', 0, 0);
        EXPECT_EQ(drawn, c.drawn);
        EXPECT_EQ(callsStartingWith("newpage").size(), c.newPages);
        EXPECT_EQ(printers.calls.last(), "end");
    }
}

TEST_F(PrintRoutine, ScaleFollowsPaperProportionsAndLineResolution) {
    // Paper twice as tall as wide: a page of W dots gets 2W units down before the resolution
    // rule halves it (98/100 lpi) or doubles it (300 lpi and more).
    struct Case {
        long verticalResolution;
        const char* scale;
    };
    const Case cases[] = {
        {98, "scale 1728 x 1728"},  {100, "scale 1728 x 1728"}, {97, "scale 1728 x 3456"},
        {99, "scale 1728 x 3456"},  {196, "scale 1728 x 3456"}, {200, "scale 1728 x 3456"},
        {299, "scale 1728 x 3456"}, {300, "scale 1728 x 6912"}, {392, "scale 1728 x 6912"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.verticalResolution);
        printers.calls.clear();
        document.pages = {{1728, 2286, c.verticalResolution}};
        print();
        EXPECT_EQ(callsStartingWith("scale"), QStringList{c.scale});
    }
}

TEST_F(PrintRoutine, PagesOfOneSheetLengthFillTheSameShareOfTheSheetAtAnyResolution) {
    // On real paper proportions a 98-lpi page of 1143 lines and a 196-lpi page of 2286 lines
    // reach equally far down; a 392-lpi line is half as tall as a fine one.
    printers.paper = QSize(11906, 16838);
    auto shareOfHeight = [this](FaxDocument::PageGeometry page) {
        printers.calls.clear();
        document.pages = {page};
        print();
        const double unitsDown = callsStartingWith("scale").value(0).section(' ', 3, 3).toDouble();
        return double(page.height) / unitsDown;
    };
    const double standard = shareOfHeight({1728, 1143, 98});
    const double fine = shareOfHeight({1728, 2286, 196});
    const double superfine = shareOfHeight({1728, 2286, 392});
    EXPECT_NEAR(standard, fine, 1e-6);
    EXPECT_NEAR(superfine, fine / 2, 1e-6);
    EXPECT_NEAR(fine, 2286.0 / (1728.0 * 16838 / 11906), 1e-6);
}

TEST_F(PrintRoutine, UnknownPrinterPrintsNothingAndReadsNoDocument) {
    document.pages = {kFinePage};
    for (const char* name : {"pdf", "PDF ", "Nowhere", ""}) {
        SCOPED_TRACE(name);
        print(QString::fromUtf8(name));
        EXPECT_TRUE(printers.calls.isEmpty()) << printers.calls.join(", ").toStdString();
    }
}

TEST_F(PrintRoutine, DocumentWithoutPagesMakesNoJob) {
    for (int pageCount : {0, -1}) {
        SCOPED_TRACE(pageCount);
        printers.calls.clear();
        document.pages = {kFinePage};
        document.reportedPageCount = pageCount;
        print();
        EXPECT_EQ(printers.calls, (QStringList{"select PDF R0001.tif", "pagecount"}));
    }
}

TEST_F(PrintRoutine, AnErrorThrowsTheJobAwayAndReachesTheCaller) {
    struct Case {
        const char* name;
        QSize paper;
        FaxDocument::PageGeometry secondPage;
        QSet<int> unreadable;
        QStringList failing;
        bool reachesLastPage;
    };
    const Case cases[] = {
        {"paper width 0", {0, 16838}, kFinePage, {}, {}, false},
        {"paper height 0", {11906, 0}, kFinePage, {}, {}, false},
        {"page width 0", {1000, 2000}, {0, 2286, 196}, {}, {}, false},
        {"page image not a picture", {1000, 2000}, kFinePage, {2}, {}, false},
        {"drawing fails", {1000, 2000}, kFinePage, {}, {"draw"}, false},
        {"new page fails", {1000, 2000}, kFinePage, {}, {"newpage"}, false},
        {"sending the job fails", {1000, 2000}, kFinePage, {}, {"end"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        printers.calls.clear();
        printers.paper = c.paper;
        printers.failing = c.failing;
        document.pages = {kFinePage, c.secondPage, kFinePage};
        document.unreadablePages = c.unreadable;
        EXPECT_THROW(print(), PrintError);
        EXPECT_EQ(printers.calls.last(), "abort");
        EXPECT_FALSE(printers.calls.contains("end"));
        EXPECT_EQ(printers.calls.contains("save 3"), c.reachesLastPage)
            << "printing stops at the failing page";
    }
}

} // namespace
