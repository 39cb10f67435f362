#include "Cp932.h"
#include "IniFile.h"
#include "ItemList.h"
#include "Main.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

// Writes KmBell.inf as a person would by hand: CP932 text, CRLF lines.
void writeBellFile(const TestEnvironment& env, const QString& text) {
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    env.writeFile(env.programDirectory() + "/KmBell.inf", Cp932::encode(crlf));
}

QString readKey(int slot, const QString& key) {
    return Main::strReadBellInf(Main::strBellSection(slot), key);
}

// Every key a slot holds, including stray ones, as "key=value" in file order.
QStringList keysOf(const TestEnvironment& env, int slot) {
    const QString text = Cp932::decode(env.readFile(env.programDirectory() + "/KmBell.inf"));
    QStringList keys;
    bool inside = false;
    for (QString line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('[')))
            inside = line.compare(QStringLiteral("[Bell%1]").arg(slot), Qt::CaseInsensitive) == 0;
        else if (inside)
            keys << line;
    }
    return keys;
}

QStringList titles(bool withTemplates) {
    StringItemList list;
    list.addItem(QStringLiteral("left over"));
    if (withTemplates)
        Main::SetBellTitleList(list);
    else
        Main::SetBellTitleListNoTemplate(list);
    return list.items;
}

BellInf entry(const QString& title) {
    BellInf inf;
    inf.strTitle = title;
    return inf;
}

} // namespace

TEST(BellFile, FileLivesInTheProgramDirectory) {
    TestEnvironment env;
    EXPECT_EQ(Main::strBellInfPath(), env.programDirectory() + "/KmBell.inf");
    EXPECT_TRUE(Main::bWriteBellInf("Bell0", "BellTitle", QStringLiteral("会社")));
    EXPECT_EQ(env.readFile(env.programDirectory() + "/KmBell.inf"),
              Cp932::encode(QStringLiteral("[Bell0]\r\nBellTitle=会社\r\n")));
}

TEST(BellFile, WritingEmptyTextDeletesTheKeyInsteadOfLeavingItEmpty) {
    TestEnvironment env;
    writeBellFile(env, "[Bell0]\nBellTitle=A\nBellData1=123\nBellWait1=\n");
    EXPECT_TRUE(Main::bWriteBellInf("Bell0", "BellData1", QString()));
    EXPECT_TRUE(Main::bDeleteBellKey("Bell0", "BellWait1"));
    EXPECT_EQ(keysOf(env, 0), QStringList{"BellTitle=A"});
    EXPECT_EQ(Main::strReadBellInf("Bell0", "BellData1"), QString());
}

TEST(BellFile, PackClosesGapsMovingEveryKeyAndLeavingTheOldSectionEmpty) {
    TestEnvironment env;
    writeBellFile(env, "[Bell0]\nBellTitle=一\n"
                       "[Bell1]\nBellTitle=二\n"
                       "[Bell2]\nBellData4=stray\n"
                       "[Bell3]\nBellTitle=三\nBellChecked0=1\nBellData0=0312345678\nBellWait0=3\n"
                       "BellChecked5=2\nBellData5=*2#\n"
                       "[Bell7]\nBellTitle=四\nBellData1=99\n");
    EXPECT_EQ(titles(true), (QStringList{"一", "二", "三", "四"}));

    Main::PackBellInf();

    EXPECT_EQ(titles(true), (QStringList{"一", "二", "三", "四"}));
    EXPECT_EQ(keysOf(env, 2), (QStringList{"BellTitle=三", "BellChecked0=1", "BellData0=0312345678",
                                           "BellWait0=3", "BellChecked5=2", "BellData5=*2#"}));
    EXPECT_EQ(keysOf(env, 3), (QStringList{"BellTitle=四", "BellData1=99"}));
    EXPECT_TRUE(keysOf(env, 7).isEmpty());
    for (int slot = 4; slot < Main::kBellSlots; ++slot)
        EXPECT_EQ(readKey(slot, "BellTitle"), QString()) << slot;
}

TEST(BellFile, StrayKeysOfAFreeSlotStayWhenNothingMovesIn) {
    TestEnvironment env;
    writeBellFile(env, "[Bell0]\nBellTitle=A\n[Bell1]\nBellTitle=\nBellData2=5\n");
    Main::PackBellInf();
    EXPECT_EQ(keysOf(env, 1), (QStringList{"BellTitle=", "BellData2=5"}));
    EXPECT_EQ(titles(true), QStringList{"A"});
}

TEST(BellFile, FindByTitleIsExactAndReturnsTheLowestSlot) {
    TestEnvironment env;
    writeBellFile(env, "[Bell2]\nBellTitle=営業\n[Bell5]\nBellTitle=営業\n[Bell9]\nBellTitle=Abc\n"
                       "[Bell99]\nBellTitle=最後\n[Bell100]\nBellTitle=外\n");
    const struct {
        QString title;
        int slot;
    } cases[] = {
        {"営業", 2}, {"Abc", 9}, {"abc", -1}, {"Abc ", -1}, {"最後", 99}, {"外", -1}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Main::iFindBellTitle(c.title), c.slot) << c.title.toStdString();
}

TEST(BellFile, TemplatesAreRecognisedByTheirFirstCharactersOnly) {
    const struct {
        QString title;
        bool isTemplate;
    } cases[] = {
        {"テンプレート", true},
        {"テンプレート携帯", true},
        {"(テンプレート)ポケベル", true},
        {"（テンプレート）", true},
        {"テンプ", false},
        {" テンプレート", false},
        {"（ テンプレート", false},
        {"［テンプレート］", false},
        {"ﾃﾝﾌﾟﾚｰﾄ", false},
        {"携帯テンプレート", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Main::bIsBellTemplate(c.title), c.isTemplate) << c.title.toStdString();
}

TEST(BellFile, DestinationListLeavesTemplatesOutButKeepsSlotOrder) {
    TestEnvironment env;
    writeBellFile(env, "[Bell0]\nBellTitle=テンプレート\n[Bell1]\nBellTitle=携帯\n"
                       "[Bell2]\nBellTitle=(テンプレート)例\n[Bell4]\nBellTitle=ポケベル\n"
                       "[Bell5]\nBellTitle=テンプ\n");
    EXPECT_EQ(titles(true),
              (QStringList{"テンプレート", "携帯", "(テンプレート)例", "ポケベル", "テンプ"}));
    EXPECT_EQ(titles(false), (QStringList{"携帯", "ポケベル", "テンプ"}));
}

TEST(BellFile, SaveWritesOnlyWhatCarriesAValue) {
    TestEnvironment env;
    BellInf inf = entry(QStringLiteral("携帯"));
    inf.rows[0] = {1, "0,0312345678", "3"};
    inf.rows[1] = {0, "123", "5"};  // unchecked: data and wait stay as entered
    inf.rows[2] = {1, "", ""};      // empty wait: no key
    inf.rows[3] = {1, "4", "0"};    // zero wait: no key
    inf.rows[4] = {2, "*#", "2.5"}; // grey state kept as it is
    inf.rows[5] = {0, "", "abc"};   // no number at all: no key
    Main::SaveBellEdit(0, inf);
    EXPECT_EQ(
        keysOf(env, 0),
        (QStringList{"BellTitle=携帯", "BellChecked0=1", "BellData0=0,0312345678", "BellWait0=3",
                     "BellData1=123", "BellWait1=5", "BellChecked2=1", "BellChecked3=1",
                     "BellData3=4", "BellChecked4=2", "BellData4=*#", "BellWait4=2.5"}));

    const BellInf back = Main::LoadBellEdit(0);
    EXPECT_EQ(back.strTitle, QStringLiteral("携帯"));
    const BellRow expected[] = {
        {1, "0,0312345678", "3"}, {0, "123", "5"}, {1, "", "0"}, {1, "4", "0"},
        {2, "*#", "2.5"},         {0, "", "0"}};
    for (int row = 0; row < BellInf::kRows; ++row) {
        EXPECT_EQ(back.rows[row].iChecked, expected[row].iChecked) << row;
        EXPECT_EQ(back.rows[row].strData, expected[row].strData) << row;
        EXPECT_EQ(back.rows[row].strWait, expected[row].strWait) << row;
    }
}

TEST(BellFile, UncheckingARowDeletesOnlyItsCheckKey) {
    TestEnvironment env;
    writeBellFile(env, "[Bell0]\nBellTitle=A\nBellChecked1=1\nBellData1=55\nBellWait1=4\n");
    BellInf inf = Main::LoadBellEdit(0);
    inf.rows[1].iChecked = 0;
    Main::SaveBellEdit(0, inf);
    EXPECT_EQ(keysOf(env, 0), (QStringList{"BellTitle=A", "BellData1=55", "BellWait1=4"}));
}

TEST(BellFile, HandWrittenValuesReadAsTheirNumericValue) {
    TestEnvironment env;
    writeBellFile(env, "[Bell0]\nBellTitle=A\n"
                       "BellChecked0= 1\nBellWait0= 7 秒\n"
                       "BellChecked1=1.5\nBellWait1=x\n"
                       "BellChecked2=2.5\nBellWait2=-2\n"
                       "BellChecked3=yes\nBellWait3=1e1\n"
                       "BellChecked4=99999999\nBellWait4=\n");
    const BellInf inf = Main::LoadBellEdit(0);
    const BellRow expected[] = {{1, "", "7"},  {2, "", "0"}, {2, "", "-2"},
                                {0, "", "10"}, {0, "", "0"}, {0, "", "0"}};
    for (int row = 0; row < BellInf::kRows; ++row) {
        EXPECT_EQ(inf.rows[row].iChecked, expected[row].iChecked) << row;
        EXPECT_EQ(inf.rows[row].strWait, expected[row].strWait) << row;
    }
}

TEST(BellFile, SlotsOutsideTheStoreAreNeitherReadNorWritten) {
    TestEnvironment env;
    writeBellFile(env,
                  "[Bell-1]\nBellTitle=負\nBellData0=1\n[Bell100]\nBellTitle=外\nBellChecked0=1\n");
    for (int slot : {-1, 100}) {
        const BellInf inf = Main::LoadBellEdit(slot);
        EXPECT_TRUE(inf.strTitle.isEmpty()) << slot;
        for (const BellRow& row : inf.rows) {
            EXPECT_EQ(row.iChecked, 0);
            EXPECT_TRUE(row.strData.isEmpty());
            EXPECT_TRUE(row.strWait.isEmpty());
        }
    }
    const QByteArray before = env.readFile(env.programDirectory() + "/KmBell.inf");
    BellInf inf = entry("新");
    inf.rows[0] = {1, "1", "1"};
    Main::SaveBellEdit(-1, inf);
    Main::SaveBellEdit(100, inf);
    EXPECT_EQ(env.readFile(env.programDirectory() + "/KmBell.inf"), before);
}

TEST(BellFile, DeleteFreesTheSlotAndKeepsOtherSections) {
    TestEnvironment env;
    writeBellFile(env, "[Bell0]\nBellTitle=A\nBellChecked0=1\nBellData0=1\nBellWait5=3\nOther=x\n"
                       "[Bell1]\nBellTitle=B\n");
    Main::DeleteBellInf(0);
    EXPECT_EQ(keysOf(env, 0), QStringList{"Other=x"});
    EXPECT_EQ(titles(true), QStringList{"B"});
}

TEST(BellFile, NoFileMeansNoEntries) {
    TestEnvironment env;
    EXPECT_TRUE(titles(true).isEmpty());
    EXPECT_EQ(Main::iFindBellTitle("A"), -1);
    Main::PackBellInf();
    EXPECT_FALSE(QFile::exists(env.programDirectory() + "/KmBell.inf"));
}
