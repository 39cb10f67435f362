#include "RecordingPrinters.h"
#include "WinAPI_Define.h"

#include <gtest/gtest.h>

namespace {

TEST(PrinterList, LeavesOutExactlyTheSuiteFaxPrintersInThePrinterSystemsOrder) {
    struct Case {
        const char* name;
        QStringList installed;
        QStringList offered;
    };
    const Case cases[] = {
        {"suite printers among others",
         {"Office", "DORVATEK KORIMBA", "PDF", "DORVATEK ORVELLA", "事務所"},
         {"Office", "PDF", "事務所"}},
        {"names that only resemble them stay",
         {"DORVATEK KORIMBA 2", "dorvatek korimba", " DORVATEK ORVELLA", "DORVATEK ORVELLA ",
          "DORVATEK", "ＤＯＲＶＡＴＥＫ ＫＯＲＩＭＢＡ"},
         {"DORVATEK KORIMBA 2", "dorvatek korimba", " DORVATEK ORVELLA", "DORVATEK ORVELLA ",
          "DORVATEK", "ＤＯＲＶＡＴＥＫ ＫＯＲＩＭＢＡ"}},
        {"only suite printers", {"DORVATEK ORVELLA", "DORVATEK KORIMBA"}, {}},
        {"no printers", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPrinters printers;
        printers.installed = c.installed;
        StringItemList list;
        WinAPI_Define::SetPrinterList(list, printers);
        EXPECT_EQ(list.items, c.offered);
        EXPECT_TRUE(printers.calls.isEmpty()) << "listing selects no printer";
    }
}

TEST(PrinterList, AppendsBehindWhatTheListAlreadyHolds) {
    RecordingPrinters printers;
    printers.installed = {"PDF"};
    StringItemList list;
    list.addItem("(既存)");
    WinAPI_Define::SetPrinterList(list, printers);
    EXPECT_EQ(list.items, (QStringList{"(既存)", "PDF"}));
}

} // namespace
