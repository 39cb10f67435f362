#include "Cp932.h"
#include "ForwardingRuleStore.h"
#include "IniFile.h"
#include "PrivateProfile.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using PortEncoding::PortTable;

const QString kNone = QStringLiteral("(なし)");
const QString kFax = QStringLiteral("FAXまたはメールに転送");
const QString kPrinter = QStringLiteral("プリンタで印刷");
const QString kPager = QStringLiteral("ポケベル呼出し");

class RuleStoreTest : public ::testing::Test {
protected:
    RuleStoreTest() { PortEncoding::INS_InitPortList(table); }

    void writeSuiteProfile(const QString& text) {
        env.writeFile(env.windowsDirectory() + QStringLiteral("/KMB32.INI"), Cp932::encode(text));
    }
    QString suiteProfile() const {
        return Cp932::decode(env.readFile(env.windowsDirectory() + QStringLiteral("/KMB32.INI")));
    }
    static void setSetting(const char* key, const QString& value) {
        SettingsStore::saveSetting(QStringLiteral("KmbRxTrans"), QStringLiteral("Setting"),
                                   QString::fromUtf8(key), value);
    }
    static QString getSetting(const char* key) {
        return SettingsStore::getSetting(QStringLiteral("KmbRxTrans"), QStringLiteral("Setting"),
                                         QString::fromUtf8(key), QStringLiteral("<absent>"));
    }
    static QString entry(int key) {
        return PrivateProfile::getString(QStringLiteral("KMB32.INI"), QStringLiteral("AGENT-Recv"),
                                         QString::number(key), QStringLiteral("<absent>"),
                                         std::numeric_limits<int>::max());
    }

    TestEnvironment env;
    PortTable table;
};

} // namespace

TEST_F(RuleStoreTest, NothingStoredGivesTheDefaults) {
    const ForwardingRuleStore store = RuleStore::read(table);
    EXPECT_EQ(store.allSwitch, 0);
    EXPECT_EQ(store.folderSwitch, 0);
    EXPECT_EQ(store.allRule.strPort, kNone);
    EXPECT_TRUE(store.allRule.strAdr.isEmpty());
    EXPECT_EQ(store.formLeft, 0);
    EXPECT_EQ(store.formTop, 0);
    EXPECT_EQ(store.form2Left, 0);
    EXPECT_EQ(store.form2Top, 0);
    for (float width : store.columnWidths)
        EXPECT_FLOAT_EQ(width, 1441.701f);
    EXPECT_FALSE(store.autoWait);
    EXPECT_FALSE(store.closeManager);
    EXPECT_TRUE(store.rows.isEmpty());
    EXPECT_FALSE(RuleStore::INS_bCheckPortAvailable(store));
}

TEST_F(RuleStoreTest, SettingsAreReadByTheirRules) {
    const struct {
        const char* autoRun;
        const char* allTrans;
        const char* port;
        const char* adr;
        const char* formLeft;
        const char* col1;
        bool wantAuto;
        short wantSwitch;
        const char* wantPort;
        const char* wantAdr;
        float wantLeft;
        float wantCol1;
    } cases[] = {
        {"True", "1", "ポケベル", "営業", "9999", "900", true, 1, "ポケベル呼出し", "営業", 9999,
         900},
        {"true", " 2", "FAX", "03＞ＮＰサーバー", "120.5", "0.5", false, 2, "FAXまたはメールに転送",
         "03＞FAXモデム共有サーバー", 120, 1441.701f},
        {"False", "1x", "プリンタ", "PDF", "121.5", "-3", false, 1, "プリンタで印刷", "PDF", 122,
         1441.701f},
        // Check states that are not 0, 1 or 2 read as off.
        {"", "7", "FAXまたはメールに転送", "03>インターネット", "-1", "1", false, 0,
         "FAXまたはメールに転送", "03＞インターネットFAXの標準の宛先", -1, 1},
        {"", "99999", "", "", "10000", "", false, 0, "", "", 10000, 1441.701f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        setSetting("AutoRun", QString::fromUtf8(c.autoRun));
        setSetting("AllTrans", QString::fromUtf8(c.allTrans));
        setSetting("AllTransPort", QString::fromUtf8(c.port));
        setSetting("AllTransAdr", QString::fromUtf8(c.adr));
        setSetting("FormLeft", QString::fromUtf8(c.formLeft));
        setSetting("COL1Width", QString::fromUtf8(c.col1));
        const ForwardingRuleStore store = RuleStore::read(table);
        EXPECT_EQ(store.autoWait, c.wantAuto);
        EXPECT_EQ(store.allSwitch, c.wantSwitch);
        EXPECT_EQ(store.allRule.strPort, QString::fromUtf8(c.wantPort));
        EXPECT_EQ(store.allRule.strAdr, QString::fromUtf8(c.wantAdr));
        EXPECT_FLOAT_EQ(store.formLeft, c.wantLeft);
        EXPECT_FLOAT_EQ(store.columnWidths[0], c.wantCol1);
    }
}

TEST_F(RuleStoreTest, MainWindowPositionIsStoredOnlyInsideItsRange) {
    ForwardingRuleStore store;
    const struct {
        float left;
        const char* stored;
    } cases[] = {{0, "0"}, {9999, "9999"}, {-15, "9999"}, {10000, "9999"}, {1234.5f, "1234.5"}};
    for (const auto& c : cases) {
        store.formLeft = c.left;
        RuleStore::write(store, table);
        EXPECT_EQ(getSetting("FormLeft"), QString::fromUtf8(c.stored)) << c.left;
    }
}

TEST_F(RuleStoreTest, SettingsWrittenReadBackTheSame) {
    ForwardingRuleStore store;
    store.autoWait = true;
    store.closeManager = false;
    store.allSwitch = 2;
    store.folderSwitch = 1;
    store.allRule = {kFax, QStringLiteral("0312345678＞ローカルモデム")};
    store.formLeft = 1200;
    store.formTop = 345;
    store.form2Left = -30.25f;
    store.form2Top = 20000;
    RuleStore::write(store, table);
    EXPECT_EQ(getSetting("AutoRun"), QStringLiteral("True"));
    EXPECT_EQ(getSetting("FaxManClose"), QStringLiteral("False"));
    EXPECT_EQ(getSetting("FolderTRans"), QStringLiteral("1"));
    EXPECT_EQ(getSetting("COL4Width"), QStringLiteral("1441.701"));

    const ForwardingRuleStore back = RuleStore::read(table);
    EXPECT_TRUE(back.autoWait);
    EXPECT_FALSE(back.closeManager);
    EXPECT_EQ(back.allSwitch, 2);
    EXPECT_EQ(back.folderSwitch, 1);
    EXPECT_EQ(back.allRule.strPort, store.allRule.strPort);
    EXPECT_EQ(back.allRule.strAdr, store.allRule.strAdr);
    EXPECT_EQ(back.formLeft, 1200);
    EXPECT_EQ(back.formTop, 345);
    EXPECT_FLOAT_EQ(back.form2Left, -30.25f);
    EXPECT_FLOAT_EQ(back.form2Top, 20000);
    EXPECT_FLOAT_EQ(back.columnWidths[2], 1441.701f);
}

// Each "AGENT-Recv" entry as the suite left it, the row it gives, and what is written back.
TEST_F(RuleStoreTest, FolderEntriesReadAndWrittenBack) {
    const struct {
        const char* entry; // nullptr: the key is missing
        const char* faxId;
        const char* folder;
        const char* port;
        const char* adr;
        const char* writtenBack; // nullptr: the key stays missing
    } cases[] = {
        {"0311112222,営業部", "0311112222", "営業部", "(なし)", "", "0311112222,営業部"},
        {"ID1,総務⇒P/経理のプリンタ", "ID1", "総務", "プリンタで印刷", "経理のプリンタ",
         "ID1,総務⇒P/経理のプリンタ"},
        {"ID2,本社⇒F/0312345678＞ローカルモデム", "ID2", "本社", "FAXまたはメールに転送",
         "0312345678＞ローカルモデム", "ID2,本社⇒F/0312345678＞ローカルモデム"},
        {"ID3,夜間⇒B/呼出し1", "ID3", "夜間", "ポケベル呼出し", "呼出し1", "ID3,夜間⇒B/呼出し1"},
        {"ID4,空⇒F/", "ID4", "空", "FAXまたはメールに転送", "", "ID4,空⇒F/"},
        // Folder rules keep old route names: only the all-folders rule is converted.
        {"ID5,旧⇒F/03＞ＮＰサーバー", "ID5", "旧", "FAXまたはメールに転送", "03＞ＮＰサーバー",
         "ID5,旧⇒F/03＞ＮＰサーバー"},
        // Only the first comma separates; the first "⇒" after it starts the rule part.
        {"ID6,東京,大阪", "ID6", "東京,大阪", "(なし)", "", "ID6,東京,大阪"},
        {"ID7,A⇒B⇒P/prn", "ID7", "A", "(なし)", "B⇒P/prn", "ID7,A"},
        {"ID⇒8,名前", "ID⇒8", "名前", "(なし)", "", "ID⇒8,名前"},
        {",無名", "", "無名", "(なし)", "", ",無名"},
        {"ID9,", "ID9", "", "(なし)", "", "ID9,"},
        // A rule part that is not a known prefix is shown without a rule and dropped on writing.
        {"ID10,X⇒X/abc", "ID10", "X", "(なし)", "abc", "ID10,X"},
        {"ID11,Y⇒f/abc", "ID11", "Y", "(なし)", "abc", "ID11,Y"},
        {"ID12,Z⇒FAX", "ID12", "Z", "(なし)", "FAX", "ID12,Z"},
        {"ID13,W⇒", "ID13", "W", "(なし)", "", "ID13,W"},
        // Unusable entries give an empty row and are written back exactly as read.
        {"", "", "", "", "", ""},
        {"コンマなし", "", "", "", "", "コンマなし"},
        {nullptr, "", "", "", "", nullptr},
    };
    const int n = static_cast<int>(std::size(cases));
    QString profile = QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=%1\n[AGENT-Recv]\n").arg(n);
    for (int i = 0; i < n; ++i) {
        if (cases[i].entry)
            profile += QStringLiteral("%1=%2\n").arg(i + 1).arg(QString::fromUtf8(cases[i].entry));
    }
    writeSuiteProfile(profile);

    const ForwardingRuleStore store = RuleStore::read(table);
    ASSERT_EQ(store.rows.size(), n);
    for (int i = 0; i < n; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.entry ? c.entry : "(missing)");
        const ReceiveFolderRow& row = store.rows.at(i);
        EXPECT_EQ(row.strFaxId, QString::fromUtf8(c.faxId));
        EXPECT_EQ(row.strFolder, QString::fromUtf8(c.folder));
        EXPECT_EQ(row.rule.strPort, QString::fromUtf8(c.port));
        EXPECT_EQ(row.rule.strAdr, QString::fromUtf8(c.adr));
    }

    RuleStore::write(store, table);
    for (int i = 0; i < n; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.entry ? c.entry : "(missing)");
        EXPECT_EQ(entry(i + 1),
                  c.writtenBack ? QString::fromUtf8(c.writtenBack) : QStringLiteral("<absent>"));
    }
}

// A folder rule may take its entry past what one profile read used to hold; the entry must come
// back whole, or the next write stores a destination cut short and faxes go to a wrong number.
TEST_F(RuleStoreTest, ALongEntryIsReadAndWrittenBackWhole) {
    const QString address =
        QStringLiteral("soumu.") + QString(200, QLatin1Char('a')) + QStringLiteral("@example.jp");
    const QString longEntry =
        QStringLiteral("0311112222,総務部第一課の受信フォルダ⇒F/0312345678＞") + address;
    ASSERT_GT(Cp932::encode(longEntry).size(), 255);
    writeSuiteProfile(QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=2\n[AGENT-Recv]\n1=") +
                      longEntry + QStringLiteral("\n2=ID2,次\n"));
    const ForwardingRuleStore store = RuleStore::read(table);
    ASSERT_EQ(store.rows.size(), 2);
    EXPECT_EQ(store.rows[0].rule.strPort, kFax);
    EXPECT_EQ(store.rows[0].rule.strAdr, QStringLiteral("0312345678＞") + address);
    RuleStore::write(store, table);
    EXPECT_EQ(entry(1), longEntry);
    EXPECT_EQ(entry(2), QStringLiteral("ID2,次"));
}

TEST_F(RuleStoreTest, AnUnusableRowGivenARuleIsWrittenAsAFolderEntry) {
    writeSuiteProfile(
        QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=3\n[AGENT-Recv]\n1=\n2=壊れた\n"));
    ForwardingRuleStore store = RuleStore::read(table);
    store.rows[0].rule = {kPrinter, QStringLiteral("PDF")};
    store.rows[1].rule = {kNone, QString()};
    store.rows[2].rule = {kPager, QStringLiteral("夜間")};
    RuleStore::write(store, table);
    EXPECT_EQ(entry(1), QStringLiteral(",⇒P/PDF"));
    EXPECT_EQ(entry(2), QStringLiteral("壊れた"));
    EXPECT_EQ(entry(3), QStringLiteral(",⇒B/夜間"));
}

TEST_F(RuleStoreTest, FolderCountIsReadFromTheLeadingNumber) {
    const struct {
        const char* value; // nullptr: key missing
        int rows;
    } cases[] = {{"3", 3},  {" 3", 3},  {"3件", 3}, {"", 0},      {nullptr, 0}, {"-2", 0},
                 {"+2", 0}, {"abc", 0}, {"0", 0},   {"129", 129}, {"200", 129}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(missing)");
        QString profile = QStringLiteral("[KMBLOG95-Recv]\n");
        if (c.value)
            profile += QStringLiteral("NumOfRecvFolder=%1\n").arg(QString::fromUtf8(c.value));
        writeSuiteProfile(profile);
        EXPECT_EQ(RuleStore::read(table).rows.size(), c.rows);
    }
}

TEST_F(RuleStoreTest, FoldersBeyondTheCapacityAreLeftAlone) {
    QString profile = QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=131\n[AGENT-Recv]\n");
    for (int key = 1; key <= 131; ++key)
        profile += QStringLiteral("%1=ID%1,フォルダ%1\n").arg(key);
    writeSuiteProfile(profile);
    ForwardingRuleStore store = RuleStore::read(table);
    ASSERT_EQ(store.rows.size(), 129);
    EXPECT_EQ(store.rows.last().strFaxId, QStringLiteral("ID129"));
    for (ReceiveFolderRow& row : store.rows)
        row.rule = {kPrinter, QStringLiteral("PDF")};
    RuleStore::write(store, table);
    EXPECT_EQ(entry(129), QStringLiteral("ID129,フォルダ129⇒P/PDF"));
    EXPECT_EQ(entry(130), QStringLiteral("ID130,フォルダ130"));
    EXPECT_EQ(entry(131), QStringLiteral("ID131,フォルダ131"));
    EXPECT_EQ(IniFile::strReadIni(QStringLiteral("KMB32.INI"), QStringLiteral("KMBLOG95-Recv"),
                                  QStringLiteral("NumOfRecvFolder")),
              QStringLiteral("131"));
}

TEST(RuleStoreAvailability, AnswersWhetherASwitchedOnRuleCanForward) {
    const auto row = [](const QString& port, const QString& adr) {
        ReceiveFolderRow r;
        r.rule = {port, adr};
        return r;
    };
    const struct {
        const char* what;
        short allSwitch;
        ForwardingRule allRule;
        short folderSwitch;
        QVector<ReceiveFolderRow> rows;
        bool available;
    } cases[] = {
        {"all on with a destination", 1, {kFax, QStringLiteral("03")}, 0, {}, true},
        {"all on without a type", 1, {kNone, QStringLiteral("03")}, 0, {}, false},
        {"all on with an empty type", 1, {QString(), QStringLiteral("03")}, 0, {}, false},
        {"all on without a destination", 1, {kPrinter, QString()}, 0, {}, false},
        {"all grey", 2, {kFax, QStringLiteral("03")}, 0, {}, false},
        {"folder rule without destination counts", 0, {}, 1, {row(kFax, QString())}, true},
        {"folder rules all none",
         0,
         {},
         1,
         {row(kNone, QString()), row(QString(), QString())},
         false},
        {"folder rules switched off", 0, {}, 0, {row(kPager, QStringLiteral("x"))}, false},
        {"folder rules grey", 0, {}, 2, {row(kPager, QStringLiteral("x"))}, false},
        {"all unusable but a folder rule",
         1,
         {kNone, QString()},
         1,
         {row(kNone, QString()), row(kPrinter, QStringLiteral("PDF"))},
         true},
    };
    for (const auto& c : cases) {
        ForwardingRuleStore store;
        store.allSwitch = c.allSwitch;
        store.allRule = c.allRule;
        store.folderSwitch = c.folderSwitch;
        store.rows = c.rows;
        EXPECT_EQ(RuleStore::INS_bCheckPortAvailable(store), c.available) << c.what;
    }
}
