// The routines behind the destination dialog that need no window: where the suite's files are,
// which internet-fax profiles become routes, and the refusal text of "登録".
#include "IniFile.h"
#include "ItemList.h"
#include "RouteList.h"
#include "TestEnvironment.h"

#include <QMap>
#include <QTest>

#include <memory>

using ProfileNames = QMap<int, QString>;
Q_DECLARE_METATYPE(ProfileNames)

namespace {
const QString kSuiteIfaxProfile = QStringLiteral("C:\\KORIMBA\\Inifile\\IFAXPROF.INI");
const QString kSection = QStringLiteral("IFAXPROF");
} // namespace

class RouteListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { env_ = std::make_unique<TestEnvironment>(); }
    void cleanup() { env_.reset(); }

    void suitePathsFollowWindirAndTheSuiteProfile_data() {
        QTest::addColumn<QString>("windir");
        QTest::addColumn<QString>("suiteDirectory"); // "KMB Directory"; null: the key is missing
        QTest::addColumn<QString>("suiteIniPath");
        QTest::addColumn<QString>("suiteDir");

        QTest::newRow("no windir, directory with backslash")
            << QString() << QStringLiteral("C:\\KORIMBA\\") << QStringLiteral("KMB32.INI")
            << QStringLiteral("C:\\KORIMBA\\");
        QTest::newRow("no windir, directory without backslash")
            << QString() << QStringLiteral("D:\\Fax\\KORIMBA") << QStringLiteral("KMB32.INI")
            << QStringLiteral("D:\\Fax\\KORIMBA\\");
        QTest::newRow("windir without backslash, in another case")
            << QStringLiteral("C:\\WINDOWS") << QStringLiteral("C:\\KORIMBA\\")
            << QStringLiteral("C:\\WINDOWS\\KMB32.INI") << QStringLiteral("C:\\KORIMBA\\");
        QTest::newRow("windir with backslash")
            << QStringLiteral("C:\\windows\\") << QStringLiteral("C:\\KORIMBA")
            << QStringLiteral("C:\\windows\\KMB32.INI") << QStringLiteral("C:\\KORIMBA\\");
        QTest::newRow("directory key missing")
            << QString() << QString() << QStringLiteral("KMB32.INI") << QString();
        QTest::newRow("directory key empty")
            << QString() << QStringLiteral("") << QStringLiteral("KMB32.INI") << QString();
    }

    void suitePathsFollowWindirAndTheSuiteProfile() {
        QFETCH(QString, windir);
        QFETCH(QString, suiteDirectory);
        QFETCH(QString, suiteIniPath);
        QFETCH(QString, suiteDir);
        IniFile::bWriteIni(QStringLiteral("KMB32.INI"), QStringLiteral("Monitor"),
                           QStringLiteral("AutoReceive"), QStringLiteral("0"));
        if (!suiteDirectory.isNull())
            QVERIFY(IniFile::bWriteIni(QStringLiteral("KMB32.INI"), QStringLiteral("Path"),
                                       QStringLiteral("KMB Directory"), suiteDirectory));

        const RouteList::SuitePaths paths = RouteList::suitePaths(windir);
        QCOMPARE(paths.strSuiteIniPath, suiteIniPath);
        QCOMPARE(paths.strSuiteDir, suiteDir);
        QCOMPARE(paths.strIfaxProfPath, suiteDir + QStringLiteral("Inifile\\IFAXPROF.INI"));
    }

    void profilesBecomeRoutesInProfileOrder_data() {
        QTest::addColumn<QString>("count"); // null: "PROFILECNT" is missing
        QTest::addColumn<ProfileNames>("names");
        QTest::addColumn<QStringList>("routes");

        const ProfileNames fourBranches{{1, QStringLiteral("本社")},
                                        {2, QStringLiteral("大阪支店")},
                                        {3, QStringLiteral("名古屋支店")},
                                        {4, QStringLiteral("福岡支店")}};
        QTest::newRow("all named") << QStringLiteral("4") << fourBranches
                                   << QStringList{"本社", "大阪支店", "名古屋支店", "福岡支店"};
        QTest::newRow("2.5 rounds down to the even 2")
            << QStringLiteral("2.5") << fourBranches << QStringList{"本社", "大阪支店"};
        QTest::newRow("3.5 rounds up to the even 4")
            << QStringLiteral("3.5") << fourBranches
            << QStringList{"本社", "大阪支店", "名古屋支店", "福岡支店"};
        QTest::newRow("count with trailing text") << QStringLiteral(" 3件") << fourBranches
                                                  << QStringList{"本社", "大阪支店", "名古屋支店"};
        QTest::newRow("empty count") << QStringLiteral("") << fourBranches << QStringList{};
        QTest::newRow("missing count") << QString() << fourBranches << QStringList{};
        QTest::newRow("count that is no number")
            << QStringLiteral("三") << fourBranches << QStringList{};
        QTest::newRow("negative count") << QStringLiteral("-2") << fourBranches << QStringList{};
        QTest::newRow("count below the names")
            << QStringLiteral("1") << fourBranches << QStringList{"本社"};
        QTest::newRow("gaps and empty names are skipped, the walk goes on")
            << QStringLiteral("6")
            << ProfileNames{{1, QStringLiteral("本社")},
                            {3, QStringLiteral("")},
                            {4, QStringLiteral("福岡支店")},
                            {6, QStringLiteral("札幌支店")}}
            << QStringList{"本社", "福岡支店", "札幌支店"};
        QTest::newRow("templates are left out")
            << QStringLiteral("8") << ProfileNames{{1, QStringLiteral("テンプレート1")},
                                                   {2, QStringLiteral("(テンプレート)")},
                                                   {3, QStringLiteral("（テンプレートA")},
                                                   {4, QStringLiteral("Aテンプレート")},
                                                   {5, QStringLiteral("ﾃﾝﾌﾟﾚｰﾄ1")},
                                                   {6, QStringLiteral("(ﾃﾝﾌﾟﾚｰﾄ)")},
                                                   {7, QStringLiteral(" テンプレート")},
                                                   {8, QStringLiteral("［テンプレート］")}}
            << QStringList{"Aテンプレート", "ﾃﾝﾌﾟﾚｰﾄ1", "(ﾃﾝﾌﾟﾚｰﾄ)", " テンプレート",
                           "［テンプレート］"};
        QTest::newRow("numbers past nine") << QStringLiteral("12")
                                           << ProfileNames{{1, QStringLiteral("一")},
                                                           {10, QStringLiteral("十")},
                                                           {12, QStringLiteral("十二")}}
                                           << QStringList{"一", "十", "十二"};
    }

    void profilesBecomeRoutesInProfileOrder() {
        QFETCH(QString, count);
        QFETCH(ProfileNames, names);
        QFETCH(QStringList, routes);
        if (!count.isNull())
            QVERIFY(IniFile::bWriteIni(kSuiteIfaxProfile, kSection, QStringLiteral("PROFILECNT"),
                                       count));
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            QVERIFY(IniFile::bWriteIni(kSuiteIfaxProfile, kSection,
                                       QStringLiteral("PROFILENAME%1").arg(it.key()), it.value()));
        // Keys that only resemble the profile keys are not profiles.
        IniFile::bWriteIni(kSuiteIfaxProfile, kSection, QStringLiteral("PROFILENAME01"),
                           QStringLiteral("ゼロ付き"));
        IniFile::bWriteIni(kSuiteIfaxProfile, QStringLiteral("OTHER"),
                           QStringLiteral("PROFILENAME1"), QStringLiteral("別セクション"));

        StringItemList list;
        list.addItem(QStringLiteral("先頭"));
        RouteList::appendIfaxProfiles(list, kSuiteIfaxProfile);
        QCOMPARE(list.items, QStringList{QStringLiteral("先頭")} + routes);
    }

    void aMissingProfileFileGivesNoProfiles() {
        StringItemList list;
        RouteList::appendIfaxProfiles(list, kSuiteIfaxProfile);
        RouteList::appendIfaxProfiles(list, QStringLiteral("Inifile\\IFAXPROF.INI"));
        QVERIFY(list.items.isEmpty());
    }

    // A damaged count must not keep the dialog busy for long; the profiles there are still listed.
    void aDamagedCountEndsAtTheIntegerLimit() {
        QVERIFY(IniFile::bWriteIni(kSuiteIfaxProfile, kSection, QStringLiteral("PROFILECNT"),
                                   QStringLiteral("1e9")));
        QVERIFY(IniFile::bWriteIni(kSuiteIfaxProfile, kSection, QStringLiteral("PROFILENAME2"),
                                   QStringLiteral("本社")));
        QVERIFY(IniFile::bWriteIni(kSuiteIfaxProfile, kSection, QStringLiteral("PROFILENAME32767"),
                                   QStringLiteral("最後")));
        QVERIFY(IniFile::bWriteIni(kSuiteIfaxProfile, kSection, QStringLiteral("PROFILENAME32768"),
                                   QStringLiteral("範囲外")));
        StringItemList list;
        RouteList::appendIfaxProfiles(list, kSuiteIfaxProfile);
        QCOMPARE(list.items, (QStringList{"本社", "最後"}));
    }

    void refusalNamesTheRowWithoutItsColon_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("message");
        QTest::newRow("printer") << QStringLiteral("プリンタ名：")
                                 << QStringLiteral("プリンタ名を設定してください.");
        QTest::newRow("title") << QStringLiteral("タイトル：")
                               << QStringLiteral("タイトルを設定してください.");
        QTest::newRow("half-width colon")
            << QStringLiteral("タイトル:") << QStringLiteral("タイトルを設定してください.");
        QTest::newRow("only one colon goes")
            << QStringLiteral("名前：：") << QStringLiteral("名前：を設定してください.");
        QTest::newRow("no colon") << QStringLiteral("名前")
                                  << QStringLiteral("名前を設定してください.");
        QTest::newRow("empty caption") << QString() << QStringLiteral("を設定してください.");
    }

    void refusalNamesTheRowWithoutItsColon() {
        QFETCH(QString, caption);
        QFETCH(QString, message);
        QCOMPARE(RouteList::missingValueMessage(caption), message);
    }

private:
    std::unique_ptr<TestEnvironment> env_;
};

QTEST_GUILESS_MAIN(RouteListTest)
#include "test_route_list.moc"
