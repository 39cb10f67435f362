#include "ItemList.h"
#include "PortEncoding.h"

#include <gtest/gtest.h>

using namespace PortEncoding;

namespace {

PortTable filledTable() {
    PortTable table;
    INS_InitPortList(table);
    return table;
}

struct DestinationCase {
    const char* adr;
    const char* number;
    const char* route;
    const char* engineRoute;
    const char* converted;
};

// One row per destination form: the three splitting routines and the old-name conversion.
const DestinationCase kDestinations[] = {
    {"", "", "", "", ""},
    {"0312345678", "0312345678", "", "", "0312345678"},
    {"0312345678＞ローカルモデム", "0312345678", "ローカルモデム", "ローカルモデム",
     "0312345678＞ローカルモデム"},
    {"0312345678＞FAXモデム共有サーバー", "0312345678", "FAXモデム共有サーバー", "ＮＰサーバー",
     "0312345678＞FAXモデム共有サーバー"},
    {"0312345678＞インターネットFAXの標準の宛先", "0312345678", "インターネットFAXの標準の宛先",
     "インターネット", "0312345678＞インターネットFAXの標準の宛先"},
    // Old names stored by earlier versions: the engine takes them as they are, reading renames.
    {"0312345678＞ＮＰサーバー", "0312345678", "ＮＰサーバー", "ＮＰサーバー",
     "0312345678＞FAXモデム共有サーバー"},
    {"0312345678＞インターネット", "0312345678", "インターネット", "インターネット",
     "0312345678＞インターネットFAXの標準の宛先"},
    // A mail address given in place of a route.
    {"＞user@example.jp", "", "user@example.jp", "user@example.jp", "＞user@example.jp"},
    {"0312345678＞", "0312345678", "", "", "0312345678＞"},
    {"1＞2＞3", "1", "2＞3", "2＞3", "1＞2＞3"},
    // The separator is found as text, so the half-width sign splits too; rebuilding uses "＞".
    {"0312345678>ＮＰサーバー", "0312345678", "ＮＰサーバー", "ＮＰサーバー",
     "0312345678＞FAXモデム共有サーバー"},
    {"0312345678>営業部プロファイル", "0312345678", "営業部プロファイル", "営業部プロファイル",
     "0312345678＞営業部プロファイル"},
    // Route names are compared exactly: a near miss is an ordinary route.
    {"1＞ｎｐサーバー", "1", "ｎｐサーバー", "ｎｐサーバー", "1＞ｎｐサーバー"},
};

} // namespace

TEST(PortEncoding, DestinationsSplitAndConvert) {
    for (const DestinationCase& c : kDestinations) {
        const QString adr = QString::fromUtf8(c.adr);
        SCOPED_TRACE(c.adr);
        EXPECT_EQ(INS_strGetFaxNumber(adr), QString::fromUtf8(c.number));
        EXPECT_EQ(INS_strGetFaxRoute(adr), QString::fromUtf8(c.route));
        EXPECT_EQ(INS_strGetFaxRoute_Exec(adr), QString::fromUtf8(c.engineRoute));
        EXPECT_EQ(INS_strConvOldAdr(adr), QString::fromUtf8(c.converted));
    }
}

TEST(PortEncoding, TypeIndexOfNames) {
    const PortTable table = filledTable();
    const struct {
        const char* name;
        int index;
    } cases[] = {
        {"(なし)", 0},
        {"FAXまたはメールに転送", 1},
        {"プリンタで印刷", 2},
        {"ポケベル呼出し", 3},
        {"", 0},
        {"プリンタ", 0},
        {"FAX", 0},
        {"faxまたはメールに転送", 0},
        {"ポケベル呼出し ", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(INS_varGetPortIndex(table, QString::fromUtf8(c.name)), c.index) << c.name;
}

TEST(PortEncoding, InitFillsTablesAndTypeBoxInIndexOrder) {
    PortTable table;
    table.g_astrPortName[4] = QStringLiteral("stale");
    StringItemList box;
    box.addItem(QStringLiteral("old entry"));
    INS_InitPortList(table, &box);
    const QStringList names{QStringLiteral("(なし)"), QStringLiteral("FAXまたはメールに転送"),
                            QStringLiteral("プリンタで印刷"), QStringLiteral("ポケベル呼出し")};
    const QStringList prefixes{QString(), QStringLiteral("F/"), QStringLiteral("P/"),
                               QStringLiteral("B/")};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(table.g_astrPortName[i], names[i]);
        EXPECT_EQ(table.g_astrPortPrefix[i], prefixes[i]);
    }
    EXPECT_TRUE(table.g_astrPortName[4].isEmpty());
    EXPECT_EQ(box.items, names);
    EXPECT_EQ(QStringLiteral("P/").size(), kPortPrefixLen);
}

TEST(PortEncoding, ShortTypeNamesBecomeCurrentNames) {
    const struct {
        const char* stored;
        const char* current;
    } cases[] = {
        {"FAX", "FAXまたはメールに転送"},
        {"プリンタ", "プリンタで印刷"},
        {"ポケベル", "ポケベル呼出し"},
        {"ポケベル呼出し", "ポケベル呼出し"},
        {"fax", "fax"},
        {"(なし)", "(なし)"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convertShortPortName(QString::fromUtf8(c.stored)), QString::fromUtf8(c.current))
            << c.stored;
}
