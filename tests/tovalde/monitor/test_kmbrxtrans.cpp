#include "Cp932.h"
#include "FakeFaxDocument.h"
#include "FakeFaxEngine.h"
#include "FixedClock.h"
#include "HelpViewer.h"
#include "IniFile.h"
#include "KmbRxTrans.h"
#include "PrivateProfile.h"
#include "RecordingMessageBoxes.h"
#include "RecordingPrinters.h"
#include "SettingsStore.h"
#include "SignalCloser.h"
#include "TestEnvironment.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QString kTitle = QStringLiteral("KORIMBA 自動転送");
const QString kWaitingTitle = QStringLiteral("KORIMBA 自動転送 [待機中]");
const char* kChildScenario = "TOVALDE_TEST_CHILD_SCENARIO";

void setSetting(const char* key, const QString& value) {
    SettingsStore::saveSetting(QStringLiteral("KmbRxTrans"), QStringLiteral("Setting"),
                               QString::fromUtf8(key), value);
}

QString setting(const char* key) {
    return SettingsStore::getSetting(QStringLiteral("KmbRxTrans"), QStringLiteral("Setting"),
                                     QString::fromUtf8(key), QStringLiteral("<absent>"));
}

QString monitorValue(const char* key) {
    return PrivateProfile::getString(QStringLiteral("KMB32.INI"), QStringLiteral("Monitor"),
                                     QString::fromUtf8(key), QStringLiteral("<absent>"));
}

// One test's world: a private prefix and settings, the engine double, the recorded boxes and
// the window over them.
struct Fixture {
    explicit Fixture(const QString& suiteProfile = QString()) {
        if (!suiteProfile.isNull())
            env.writeFile(env.windowsDirectory() + QStringLiteral("/KMB32.INI"),
                          Cp932::encode(suiteProfile));
        // What the suite's engine does: automatic reception rewrites the monitor settings.
        engine.onSetAutoReceive = [](int rings) {
            IniFile::bWriteIni(QStringLiteral("KMB32.INI"), QStringLiteral("Monitor"),
                               QStringLiteral("AutoReceive"), QStringLiteral("1"));
            IniFile::bWriteIni(QStringLiteral("KMB32.INI"), QStringLiteral("Monitor"),
                               QStringLiteral("RingCount"), QString::number(rings));
        };
    }
    KmbRxTrans& window() {
        if (!window_) {
            window_ = std::make_unique<KmbRxTrans>(engine, link, clock, &printers, &document);
            window_->setAbortProgram([this](int code) { abortCodes.append(code); });
        }
        return *window_;
    }
    KmbRxTrans& loaded() {
        window().Form_Load();
        return *window_;
    }

    TestEnvironment env;
    FakeFaxEngine engine;
    FakeMonitorLink link;
    FixedClock clock;
    RecordingPrinters printers;
    QStringList documentCalls;
    FakeFaxDocument document{documentCalls};
    RecordingMessageBoxes boxes;
    QVector<int> abortCodes;

private:
    std::unique_ptr<KmbRxTrans> window_;
};

const QString kTwoFolders = QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=2\n"
                                           "[AGENT-Recv]\n1=0311112222,営業部⇒P/PDF\n"
                                           "2=0333334444,総務部\n"
                                           "[Monitor]\nAutoReceive=0\nRingCount=2.5\n");

} // namespace

class TestKmbRxTrans : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutFollowsTheTwipsTable_data();
    void layoutFollowsTheTwipsTable();
    void startsWithDefaultsWhenNothingIsStored();
    void startsWaitingWithStoredSettingsAndAutoRun();
    void storedPositionAppliesPerCoordinateInsideItsRange_data();
    void storedPositionAppliesPerCoordinateInsideItsRange();
    void ringCountGivesTheAutomaticReception_data();
    void ringCountGivesTheAutomaticReception();
    void menusAndTitlesFollowStartStopAndIconClick();
    void refusesToWaitWithoutADestination();
    void failedMonitorStartShowsItsMessageAndEnds();
    void failedMonitorStartEndsTheProcess();
    void shutdownRestoresMonitorValuesAndStoresRules_data();
    void shutdownRestoresMonitorValuesAndStoresRules();
    void closeDuringAPollWaitsForThePollToEnd();
    void rowsAreWrittenInProfileOrderAfterSorting();
    void engineFailureInsidePollLeavesWaitingOn();
    void engineEventPollsAndTransmitMovesTheMark();
    void receptionIsPrintedWithTheWindowsPrintersAndLogged_data();
    void receptionIsPrintedWithTheWindowsPrintersAndLogged();
    void helpAndVersion();
    void shippedHelpFileCoversTheProgram();
    void pagerMenuOpensThePagerListModally();
    void optionMenusToggleTheirCheckMarks();
};

void TestKmbRxTrans::layoutFollowsTheTwipsTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    const struct {
        const char* name;
        int left, top, width, height;
    } controls[] = {
        {"CheckTransAll", 255, 510, 1020, 255},
        {"ImageStatusIcon", 6930, 90, 615, 615},
        {"LabelTo", 240, 960, 915, 225},
        {"LabelPort", 1305, 900, 1950, 285},
        {"LabelAddress", 3285, 900, 3570, 285},
        {"CommandSet", 6930, 900, 645, 280},
        {"CheckRecvFolder", 255, 1350, 1785, 255},
        {"ListViewFolder", 240, 1710, 7365, 2280},
        {"TextFolderGuide", 1485, 2655, 5145, 375},
    };
    for (const auto& c : controls)
        QTest::newRow(c.name) << QString::fromLatin1(c.name)
                              << QRect(c.left, c.top, c.width, c.height);
}

void TestKmbRxTrans::layoutFollowsTheTwipsTable() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    Fixture f;
    KmbRxTrans& w = f.loaded();
    auto* control = w.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(),
             Twips::rect(twips.left(), twips.top(), twips.width(), twips.height()));
    QCOMPARE(w.centralWidget()->size(), QSize(Twips::toPixels(7860), Twips::toPixels(4230)));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(w.LineSep[0]->geometry(), QRect(0, 0, w.centralWidget()->width(), 1));
    QCOMPARE(w.LineSep[1]->geometry(), QRect(0, 1, w.centralWidget()->width(), 1));
    QCOMPARE(w.LineSep[0]->palette().color(QPalette::Window), QColor(128, 128, 128));
    QCOMPARE(w.LineSep[1]->palette().color(QPalette::Window), QColor(255, 255, 255));
}

void TestKmbRxTrans::startsWithDefaultsWhenNothingIsStored() {
    Fixture f;
    f.env.setVariable("TEMP", std::nullopt);
    f.env.setVariable("windir", f.env.root().toUtf8() + "/windir");
    f.engine.level = 1;
    KmbRxTrans& w = f.loaded();

    QCOMPARE(w.windowTitle(), kTitle);
    QCOMPARE(w.g_varEngineLevel(), 1);
    QCOMPARE(w.iPortPrefixLen(), 2);
    QCOMPARE(w.helpFile(), f.env.programDirectory() + QStringLiteral("/TOVALDE.HLP"));
    QCOMPARE(w.strTempDir(), f.env.root() + QStringLiteral("/windir/"));
    QCOMPARE(w.strWorkFile(), f.env.root() + QStringLiteral("/windir/KMBVIEWTEMP.BMP"));
    QCOMPARE(w.strSaveAutoReceive(), QString());
    QCOMPARE(w.strSaveRingCount(), QString());

    QCOMPARE(w.CheckTransAll->checkState(), Qt::Unchecked);
    QCOMPARE(w.CheckRecvFolder->checkState(), Qt::Unchecked);
    QVERIFY(!w.CheckRecvFolder->isEnabled());
    QCOMPARE(w.LabelPort->text(), QStringLiteral("(なし)"));
    QCOMPARE(w.LabelAddress->text(), QString());
    QVERIFY(!w.LabelPort->isEnabled() && !w.CommandSet->isEnabled() && !w.LabelTo->isEnabled());
    QCOMPARE(w.LabelPort->palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(!w.ListViewFolder->isEnabled());
    QVERIFY(!w.TextFolderGuide->isHidden());
    QCOMPARE(w.TextFolderGuide->text(),
             QStringLiteral("KORIMBAマネージャで受信フォルダを設定してください"));
    QCOMPARE(w.ListViewFolder->topLevelItemCount(), 0);
    QCOMPARE(w.ListViewFolder->headerItem()->text(3), QStringLiteral("FAX ID"));
    QCOMPARE(w.ListViewFolder->columnWidth(0), Twips::toPixels(1442));
    QCOMPARE(w.pos(), QPoint(0, 0));
    QVERIFY(!w.MenuSetAuto->isChecked());
    QVERIFY(!w.MenuSetMonExit->isChecked());
    QVERIFY(w.MenuExecWait->isEnabled());
    QVERIFY(!w.MenuExecBreak->isEnabled());
    QVERIFY(!w.TimerIDLE->isActive());
    QCOMPARE(w.statusImage(), 1);
    QVERIFY(f.engine.startMonitorTimeouts.isEmpty());
    // Menu captions and shortcuts as the user meets them; the edit pop-ups stay out of the bar.
    QStringList bar;
    for (QAction* action : w.menuBar()->actions())
        bar << action->text();
    QCOMPARE(bar, QStringList({QStringLiteral("実行(&R)"), QStringLiteral("設定(&S)"),
                               QStringLiteral("ヘルプ(&H)")}));
    QCOMPARE(w.MenuExecWait->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
    QCOMPARE(w.MenuExecBreak->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
    QCOMPARE(w.MenuExecExit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QCOMPARE(w.MenuSetBell->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    QCOMPARE(w.MenuSetBell->text(), QStringLiteral("ポケベル登録(&P)..."));
    QVERIFY(w.MenuExecLine1->isSeparator());
    QCOMPARE(w.MenuEditCan2->text(), QStringLiteral("転送しない(&C)"));
}

void TestKmbRxTrans::startsWaitingWithStoredSettingsAndAutoRun() {
    Fixture f(kTwoFolders);
    setSetting("AutoRun", QStringLiteral("True"));
    setSetting("FolderTRans", QStringLiteral("1"));
    setSetting("AllTrans", QStringLiteral("2"));
    setSetting("AllTransPort", QStringLiteral("FAX"));
    setSetting("AllTransAdr", QStringLiteral("0312345678＞ＮＰサーバー"));
    setSetting("FormLeft", QStringLiteral("1500"));
    setSetting("FormTop", QStringLiteral("750"));
    setSetting("COL2Width", QStringLiteral("3000"));
    setSetting("FaxManClose", QStringLiteral("True"));
    KmbRxTrans& w = f.loaded();

    QVERIFY(!w.isVisible()); // waiting started before the window was first shown
    QCOMPARE(w.windowTitle(), kWaitingTitle);
    QVERIFY(w.TimerIDLE->isActive());
    QCOMPARE(w.TimerIDLE->interval(), 500);
    QCOMPARE(w.statusImage(), 2);
    QCOMPARE(f.engine.startMonitorTimeouts, QVector<int>{5});
    QCOMPARE(w.waiting().strLastRxTime, QStringLiteral("2026/04/01 09:00:00"));
    QVERIFY(w.MenuSetAuto->isChecked());
    QVERIFY(w.MenuSetMonExit->isChecked());
    QCOMPARE(w.pos(), QPoint(100, 50));
    QCOMPARE(w.ListViewFolder->columnWidth(1), 200);
    QCOMPARE(w.LabelPort->text(), QStringLiteral("FAXまたはメールに転送"));
    QCOMPARE(w.LabelAddress->text(), QStringLiteral("0312345678＞FAXモデム共有サーバー"));
    QCOMPARE(w.CheckTransAll->checkState(), Qt::PartiallyChecked);
    QVERIFY(!w.LabelPort->isEnabled()); // grey is not on
    QVERIFY(w.ListViewFolder->isEnabled());
    QVERIFY(w.TextFolderGuide->isHidden());
    QCOMPARE(w.ListViewFolder->topLevelItemCount(), 2);
    const QTreeWidgetItem* first = w.ListViewFolder->topLevelItem(0);
    QCOMPARE(first->text(0), QStringLiteral("営業部"));
    QCOMPARE(first->text(1), QStringLiteral("プリンタで印刷"));
    QCOMPARE(first->text(2), QStringLiteral("PDF"));
    QCOMPARE(first->text(3), QStringLiteral("0311112222"));
    QCOMPARE(w.strSaveAutoReceive(), QStringLiteral("0"));
    QCOMPARE(w.strSaveRingCount(), QStringLiteral("2.5"));
    // Entering waiting stored the settings first.
    QCOMPARE(setting("AllTransPort"), QStringLiteral("FAXまたはメールに転送"));
}

// Each stored coordinate moves the window only from 0 up to 10000 twips; outside that the window
// keeps where it stands. A coordinate the window cannot store leaves the stored one as it was.
void TestKmbRxTrans::storedPositionAppliesPerCoordinateInsideItsRange_data() {
    QTest::addColumn<QString>("left"); // null: never stored
    QTest::addColumn<QString>("top");
    QTest::addColumn<QPoint>("shownAt");
    QTest::newRow("both stored") << "1500"
                                 << "750" << QPoint(100, 50);
    QTest::newRow("never stored") << QString() << QString() << QPoint(0, 0);
    QTest::newRow("left below 0") << "-15"
                                  << "750" << QPoint(30, 50);
    QTest::newRow("top of 10000") << "1500"
                                  << "10000" << QPoint(100, 20);
    QTest::newRow("just inside") << "9999"
                                 << "0" << QPoint(667, 0);
}

void TestKmbRxTrans::storedPositionAppliesPerCoordinateInsideItsRange() {
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QPoint, shownAt);
    Fixture f;
    if (!left.isNull()) {
        setSetting("FormLeft", left);
        setSetting("FormTop", top);
    }
    KmbRxTrans& w = f.window();
    w.move(30, 20);
    w.Form_Load();
    QCOMPARE(w.pos(), shownAt);

    w.move(-10, 40);
    w.INS_bWriteFolders();
    QCOMPARE(setting("FormLeft"), left.isNull() ? QStringLiteral("<absent>") : left);
    QCOMPARE(setting("FormTop"), QStringLiteral("600"));
}

void TestKmbRxTrans::ringCountGivesTheAutomaticReception_data() {
    QTest::addColumn<QString>("ringLine");
    QTest::addColumn<int>("rings");
    QTest::newRow("missing") << QString() << 1;
    QTest::newRow("empty") << QStringLiteral("RingCount=\n") << 1;
    QTest::newRow("zero") << QStringLiteral("RingCount=0\n") << 1;
    QTest::newRow("three") << QStringLiteral("RingCount=3\n") << 3;
    QTest::newRow("half to even") << QStringLiteral("RingCount=2.5\n") << 2;
    QTest::newRow("text") << QStringLiteral("RingCount=many\n") << 1;
    QTest::newRow("beyond 16 bits") << QStringLiteral("RingCount=70000\n") << 1;
}

void TestKmbRxTrans::ringCountGivesTheAutomaticReception() {
    QFETCH(QString, ringLine);
    QFETCH(int, rings);
    Fixture f(QStringLiteral("[Monitor]\n") + ringLine);
    setSetting("AllTrans", QStringLiteral("1"));
    setSetting("AllTransPort", QStringLiteral("プリンタで印刷"));
    setSetting("AllTransAdr", QStringLiteral("PDF"));
    KmbRxTrans& w = f.loaded();
    w.INS_StartWaiting();
    QCOMPARE(f.engine.autoReceiveRings, QVector<int>{rings});
}

void TestKmbRxTrans::menusAndTitlesFollowStartStopAndIconClick() {
    Fixture f(kTwoFolders);
    setSetting("FolderTRans", QStringLiteral("1"));
    KmbRxTrans& w = f.loaded();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // An icon click while idle runs the stop steps again and changes nothing visible.
    QTest::mouseClick(w.ImageStatusIcon, Qt::LeftButton);
    QCOMPARE(w.windowTitle(), kTitle);
    QCOMPARE(w.statusImage(), 1);
    QVERIFY(w.MenuExecWait->isEnabled() && !w.MenuExecBreak->isEnabled());
    QCOMPARE(monitorValue("RingCount"), QStringLiteral("2.5"));

    w.MenuExecWait->trigger();
    QCOMPARE(w.windowTitle(), kWaitingTitle);
    QVERIFY(!w.MenuExecWait->isEnabled() && w.MenuExecBreak->isEnabled());
    QVERIFY(w.TimerIDLE->isActive());
    QCOMPARE(w.statusImage(), 2);
    w.waiting().TimerIDLE_Timer();
    w.waiting().TimerIDLE_Timer();
    QCOMPARE(w.statusImage(), 3);
    QCOMPARE(monitorValue("RingCount"), QStringLiteral("2"));

    w.MenuExecBreak->trigger();
    QCOMPARE(w.windowTitle(), kTitle);
    QVERIFY(w.MenuExecWait->isEnabled() && !w.MenuExecBreak->isEnabled());
    QVERIFY(!w.TimerIDLE->isActive());
    QCOMPARE(w.statusImage(), 1);
    QCOMPARE(monitorValue("RingCount"), QStringLiteral("2.5"));

    // Ctrl+W starts again; a click on the turning icon stops.
    QTest::keyClick(&w, Qt::Key_W, Qt::ControlModifier);
    QTRY_COMPARE(w.windowTitle(), kWaitingTitle);
    QTest::mouseClick(w.ImageStatusIcon, Qt::LeftButton);
    QCOMPARE(w.windowTitle(), kTitle);
    QCOMPARE(w.statusImage(), 1);
    QVERIFY(!w.TimerIDLE->isActive());
    QCOMPARE(f.engine.closeManagerCalls, 0);
    QVERIFY(f.boxes.shown().isEmpty());
    QVERIFY(f.abortCodes.isEmpty());
}

void TestKmbRxTrans::refusesToWaitWithoutADestination() {
    Fixture f(kTwoFolders);
    setSetting("AllTrans", QStringLiteral("1")); // on, but "(なし)"
    KmbRxTrans& w = f.loaded();
    w.MenuExecWait->trigger();
    QCOMPARE(f.boxes.shown().size(), 1);
    const MessageBox::Request box = f.boxes.shown().first();
    QCOMPARE(box.text, QStringLiteral("転送先が設定されていません."));
    QCOMPARE(box.title, kTitle);
    QCOMPARE(box.icon, MessageBox::Icon::Exclamation);
    QCOMPARE(box.buttons, MessageBox::Buttons::Ok);
    QCOMPARE(w.windowTitle(), kTitle);
    QVERIFY(w.MenuExecWait->isEnabled());
    QVERIFY(!w.TimerIDLE->isActive());
    QVERIFY(f.engine.autoReceiveRings.isEmpty());
    QVERIFY(f.engine.startMonitorTimeouts.isEmpty());
    QCOMPARE(setting("AllTrans"), QStringLiteral("1"));
    QCOMPARE(setting("AutoRun"), QStringLiteral("<absent>")); // nothing was stored
}

void TestKmbRxTrans::failedMonitorStartShowsItsMessageAndEnds() {
    const struct {
        const char* what;
        int result;
        bool throws;
    } cases[] = {{"refused", -1, false}, {"timed out", -5, false}, {"engine failed", 0, true}};
    for (const auto& c : cases) {
        Fixture f(kTwoFolders);
        setSetting("FolderTRans", QStringLiteral("1"));
        setSetting("FaxManClose", QStringLiteral("True"));
        f.engine.startMonitorResult = c.result;
        if (c.throws)
            f.engine.onCall = [](const QString& call) {
                if (call == QLatin1String("StartMonitor"))
                    throw SuiteError("no monitor program");
            };
        KmbRxTrans& w = f.loaded();
        w.MenuExecWait->trigger();
        QVERIFY2(f.abortCodes.size() == 1 && f.abortCodes.first() != 0, c.what);
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().text, QStringLiteral("通信モニタ起動に失敗しました."));
        QCOMPARE(f.boxes.shown().first().title, kTitle);
        QCOMPARE(f.boxes.shown().first().icon, MessageBox::Icon::Critical);
        QVERIFY(!w.TimerIDLE->isActive());
        // No shutdown steps: the values the engine changed stay, the manager stays open.
        QCOMPARE(monitorValue("RingCount"), QStringLiteral("2"));
        QCOMPARE(f.engine.closeManagerCalls, 0);
    }
}

// The real end: the program started in a child process stops with a failure code right after
// the message, without the shutdown steps.
void TestKmbRxTrans::failedMonitorStartEndsTheProcess() {
    TestEnvironment env;
    env.writeFile(env.windowsDirectory() + QStringLiteral("/KMB32.INI"),
                  Cp932::encode(kTwoFolders));
    setSetting("AutoRun", QStringLiteral("True"));
    setSetting("FolderTRans", QStringLiteral("1"));
    QProcess child;
    QProcessEnvironment childEnv = QProcessEnvironment::systemEnvironment();
    childEnv.insert(QString::fromLatin1(kChildScenario), QStringLiteral("failed-start"));
    child.setProcessEnvironment(childEnv);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY(child.exitCode() != 0);
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("box: 通信モニタ起動に失敗しました.")), qPrintable(out));
    QVERIFY2(!out.contains(QStringLiteral("shown")), qPrintable(out));
    QCOMPARE(monitorValue("RingCount"), QStringLiteral("2"));
}

void TestKmbRxTrans::shutdownRestoresMonitorValuesAndStoresRules_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("waiting");
    QTest::addColumn<bool>("closeManager");
    QTest::newRow("close while idle") << "close" << false << false;
    QTest::newRow("exit menu while waiting") << "exit" << true << true;
    QTest::newRow("Ctrl+Q while waiting") << "ctrl+q" << true << false;
    QTest::newRow("SIGTERM while waiting") << "SIGTERM" << true << true;
    QTest::newRow("SIGHUP while idle") << "SIGHUP" << false << true;
    QTest::newRow("SIGINT while waiting") << "SIGINT" << true << false;
}

void TestKmbRxTrans::shutdownRestoresMonitorValuesAndStoresRules() {
    QFETCH(QString, how);
    QFETCH(bool, waiting);
    QFETCH(bool, closeManager);
    // "AutoReceive" is absent at start-up and must come back present and empty.
    Fixture f(QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=1\n[AGENT-Recv]\n1=ID,受信\n"
                             "[Monitor]\nRingCount=4\n"));
    setSetting("AllTrans", QStringLiteral("1"));
    setSetting("AllTransPort", QStringLiteral("ポケベル"));
    setSetting("AllTransAdr", QStringLiteral("夜間"));
    setSetting("FaxManClose", closeManager ? QStringLiteral("True") : QStringLiteral("False"));
    KmbRxTrans& w = f.loaded();
    SignalCloser closer(&w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (waiting) {
        w.INS_StartWaiting();
        QCOMPARE(monitorValue("AutoReceive"), QStringLiteral("1"));
    }
    f.env.writeFile(w.strWorkFile(), "page image");
    w.CheckRecvFolder->click();
    w.folderRow(0)->setText(1, QStringLiteral("プリンタで印刷"));
    w.folderRow(0)->setText(2, QStringLiteral("PDF"));

    if (how == QLatin1String("close"))
        w.close();
    else if (how == QLatin1String("exit"))
        w.MenuExecExit->trigger();
    else if (how == QLatin1String("ctrl+q"))
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    else
        ::raise(how == QLatin1String("SIGTERM")  ? SIGTERM
                : how == QLatin1String("SIGHUP") ? SIGHUP
                                                 : SIGINT);
    QTRY_VERIFY(!w.isVisible());

    QCOMPARE(monitorValue("AutoReceive"), QString());
    QCOMPARE(monitorValue("RingCount"), QStringLiteral("4"));
    QVERIFY(!QFile::exists(w.strWorkFile()));
    QCOMPARE(f.engine.closeManagerCalls, closeManager ? 1 : 0);
    QCOMPARE(setting("AllTransPort"), QStringLiteral("ポケベル呼出し"));
    QCOMPARE(setting("FolderTRans"), QStringLiteral("1"));
    QCOMPARE(PrivateProfile::getString(QStringLiteral("KMB32.INI"), QStringLiteral("AGENT-Recv"),
                                       QStringLiteral("1")),
             QStringLiteral("ID,受信⇒P/PDF"));
    // Shutdown does not leave waiting first: the title keeps its state.
    QCOMPARE(w.windowTitle(), waiting ? kWaitingTitle : kTitle);
}

void TestKmbRxTrans::closeDuringAPollWaitsForThePollToEnd() {
    Fixture f(QStringLiteral("[Monitor]\nAutoReceive=0\nRingCount=4\n"));
    setSetting("AllTrans", QStringLiteral("1"));
    setSetting("AllTransPort", QStringLiteral("FAXまたはメールに転送"));
    setSetting("AllTransAdr", QStringLiteral("0312345678"));
    KmbRxTrans& w = f.loaded();
    SignalCloser closer(&w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.INS_StartWaiting();
    f.env.writeFile(w.strWorkFile(), "page being printed");

    // The system's SIGTERM arrives while forwarding lets events run inside a poll.
    w.waiting().bPolling = -1;
    ::raise(SIGTERM);
    QTest::qWait(300);
    QVERIFY(w.isVisible());
    QCOMPARE(monitorValue("AutoReceive"), QStringLiteral("1"));
    QVERIFY(QFile::exists(w.strWorkFile()));

    w.waiting().bPolling = 0;
    QTRY_VERIFY(!w.isVisible());
    QCOMPARE(monitorValue("AutoReceive"), QStringLiteral("0"));
    QVERIFY(!QFile::exists(w.strWorkFile()));
}

void TestKmbRxTrans::rowsAreWrittenInProfileOrderAfterSorting() {
    Fixture f(QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=4\n[AGENT-Recv]\n"
                             "1=C,ccc⇒B/夜間\n2=A,aaa\n4=B,bbb⇒P/PDF\n"));
    KmbRxTrans& w = f.loaded();
    w.ListViewFolder->sortItems(0, Qt::DescendingOrder);
    QCOMPARE(w.ListViewFolder->topLevelItem(0)->text(0), QStringLiteral("ccc"));
    w.INS_bWriteFolders();
    const auto entry = [](int key) {
        return PrivateProfile::getString(QStringLiteral("KMB32.INI"), QStringLiteral("AGENT-Recv"),
                                         QString::number(key), QStringLiteral("<absent>"));
    };
    QCOMPARE(entry(1), QStringLiteral("C,ccc⇒B/夜間"));
    QCOMPARE(entry(2), QStringLiteral("A,aaa"));
    QCOMPARE(entry(3), QStringLiteral("<absent>"));
    QCOMPARE(entry(4), QStringLiteral("B,bbb⇒P/PDF"));
}

void TestKmbRxTrans::engineFailureInsidePollLeavesWaitingOn() {
    Fixture f(kTwoFolders);
    setSetting("FolderTRans", QStringLiteral("1"));
    KmbRxTrans& w = f.loaded();
    w.INS_StartWaiting();
    // A reception into the folder with the printer rule: forwarding it moves the mark.
    f.engine.log = {
        {QStringLiteral("2026/04/01 09:10:00"), 1, 0, QStringLiteral("0311112222"), {}}};
    f.engine.onCall = [](const QString& call) {
        if (call == QLatin1String("EntryTime"))
            throw SuiteError("reception log unreadable");
    };
    f.engine.notify();
    for (int tick = 0; tick < 60; ++tick)
        w.waiting().TimerIDLE_Timer();
    QCOMPARE(w.windowTitle(), kWaitingTitle);
    QVERIFY(w.TimerIDLE->isActive());
    QCOMPARE(w.waiting().bPolling, short(0));
    QVERIFY(f.abortCodes.isEmpty());
    QVERIFY(f.boxes.shown().isEmpty());
    // Once the engine answers again the next poll finds the reception.
    f.engine.onCall = nullptr;
    f.engine.notify();
    QCOMPARE(w.waiting().strLastRxTime, QStringLiteral("2026/04/01 09:10:00"));
}

void TestKmbRxTrans::engineEventPollsAndTransmitMovesTheMark() {
    Fixture f(kTwoFolders);
    setSetting("FolderTRans", QStringLiteral("1"));
    KmbRxTrans& w = f.loaded();
    const auto entry = [](const char* time, int flags, int result) {
        return FakeFaxEngine::Entry{QString::fromLatin1(time), flags, result,
                                    QStringLiteral("0311112222"), QString()};
    };
    f.engine.log = {entry("2026/04/01 08:00:00", 1, 0), entry("2026/04/01 09:01:00", 1, 0)};
    // Before waiting was ever entered there is no mark: an event forwards nothing.
    f.engine.notify();
    QVERIFY(f.engine.selected.isEmpty());

    w.INS_StartWaiting();
    f.engine.log.append(entry("2026/04/01 09:02:00", 1, 0));
    f.engine.log.append(entry("2026/04/01 09:03:00", 1, 5));
    f.engine.selected.clear();
    f.engine.notify();
    // Scanned back to the old entry, then walked from the first new one to the end.
    QCOMPARE(f.engine.selected, QVector<int>({3, 2, 1, 0, 1, 2, 3, 4}));
    QCOMPARE(w.waiting().strLastRxTime, QStringLiteral("2026/04/01 09:02:00"));

    // After leaving waiting, events still poll against the mark left behind.
    w.INS_StopWaiting();
    f.engine.log.append(entry("2026/04/01 09:30:00", 1, 0));
    f.engine.notify();
    QCOMPARE(w.waiting().strLastRxTime, QStringLiteral("2026/04/01 09:30:00"));
}

void TestKmbRxTrans::receptionIsPrintedWithTheWindowsPrintersAndLogged_data() {
    QTest::addColumn<QString>("printer");
    QTest::addColumn<bool>("printed");
    QTest::newRow("installed printer") << "PDF" << true;
    QTest::newRow("printer no longer installed") << "旧プリンタ" << false;
}

// A reception into a folder with a printer rule goes through the window's printers and its
// work file, shows the forwarding title meanwhile and leaves its line in the forwarding log.
void TestKmbRxTrans::receptionIsPrintedWithTheWindowsPrintersAndLogged() {
    QFETCH(QString, printer);
    QFETCH(bool, printed);
    Fixture f(QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=1\n[AGENT-Recv]\n"
                             "1=0311112222,営業部⇒P/%1\n")
                  .arg(printer));
    setSetting("FolderTRans", QStringLiteral("1"));
    f.printers.installed = {QStringLiteral("Office"), QStringLiteral("PDF")};
    f.document.pages = {{1728, 2286, 196}};
    KmbRxTrans& w = f.loaded();
    w.INS_StartWaiting();
    QStringList titles;
    connect(&w, &QWidget::windowTitleChanged, &w, [&](const QString& title) { titles << title; });
    f.engine.log = {{QStringLiteral("2026/04/01 09:10:00"), 1, 0, QStringLiteral("0311112222"),
                     QStringLiteral("/faxes/0001.tif")}};
    f.engine.notify();

    QCOMPARE(titles, QStringList({QStringLiteral("KORIMBA 自動転送 [処理中]"), kWaitingTitle}));
    QCOMPARE(w.waiting().strLastRxTime, QStringLiteral("2026/04/01 09:10:00"));
    QCOMPARE(!f.printers.calls.isEmpty(), printed);
    if (printed) {
        QVERIFY(f.printers.calls.first().startsWith(QStringLiteral("select PDF ")));
        QCOMPARE(f.printers.calls.last(), QStringLiteral("end"));
        QVERIFY(QFile::exists(w.strWorkFile())); // the page went through the work file
    }
    QFile log(w.forwardingLog().path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    const QStringList fields = lines.first().split(QLatin1Char('\t'));
    QCOMPARE(fields.mid(1, 5),
             QStringList({QStringLiteral("0311112222"), QStringLiteral("/faxes/0001.tif"),
                          QStringLiteral("プリンタで印刷"), printer,
                          printed ? QStringLiteral("ok") : QStringLiteral("error")}));
}

void TestKmbRxTrans::helpAndVersion() {
    Fixture f;
    f.env.writeFile(f.env.programDirectory() + QStringLiteral("/TOVALDE.HLP"),
                    "<html><body><h1>目次</h1><p>受信待機の説明</p></body></html>");
    KmbRxTrans& w = f.loaded();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.MenuHelpHelp->trigger();
    QVERIFY(w.helpViewer());
    QVERIFY(w.helpViewer()->isVisible());
    QVERIFY(w.helpViewer()->toPlainText().contains(QStringLiteral("受信待機の説明")));
    w.helpViewer()->close();
    QTest::keyClick(w.ListViewFolder, Qt::Key_F1);
    QVERIFY(w.helpViewer()->isVisible());

    w.MenuHelpAbout->trigger();
    QCOMPARE(f.boxes.shown().size(), 1);
    const MessageBox::Request about = f.boxes.shown().first();
    QCOMPARE(about.title, QStringLiteral("バージョン情報"));
    QCOMPARE(about.icon, MessageBox::Icon::None);
    QCOMPARE(about.buttons, MessageBox::Buttons::Ok);
    const QStringList lines = about.text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4); // three lines, each ended by CR LF
    QCOMPARE(lines.at(0), QStringLiteral("KORIMBA 自動転送 バージョン3.03"));
    QCOMPARE(lines.at(1), QString());
    QVERIFY(!lines.at(2).isEmpty());
    QCOMPARE(lines.at(3), QString());
}

void TestKmbRxTrans::shippedHelpFileCoversTheProgram() {
    Fixture f;
    const QString shipped = builtProgram(QStringLiteral("tovalde/monitor/TOVALDE.HLP"));
    QVERIFY2(QFile::exists(shipped), qPrintable(shipped));
    QFile::copy(shipped, f.env.programDirectory() + QStringLiteral("/TOVALDE.HLP"));
    KmbRxTrans& w = f.loaded();
    w.MenuHelpHelp->trigger();
    const QString text = w.helpViewer()->toPlainText();
    for (const char* topic : {"受信待機(&W)", "中断", "ポケベル登録", "FAXまたはメールに転送",
                              "プリンタで印刷", "ポケベル呼出し", "すべて", "受信フォルダ"}) {
        QString plain = QString::fromUtf8(topic);
        plain.remove(QStringLiteral("(&W)"));
        QVERIFY2(text.contains(plain), topic);
    }
}

void TestKmbRxTrans::pagerMenuOpensThePagerListModally() {
    Fixture f;
    KmbRxTrans& w = f.loaded();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QString opened;
    bool modal = false;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, &w, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = QString::fromLatin1(dialog->metaObject()->className());
            modal = dialog->parentWidget() == &w;
            dialog->close();
        }
    });
    closer.start();
    w.MenuSetBell->trigger();
    closer.stop();
    QCOMPARE(opened, QStringLiteral("KmBell"));
    QVERIFY(modal);
    QVERIFY(f.boxes.shown().isEmpty());
}

void TestKmbRxTrans::optionMenusToggleTheirCheckMarks() {
    Fixture f;
    KmbRxTrans& w = f.loaded();
    w.MenuSetAuto->trigger();
    w.MenuSetMonExit->trigger();
    w.MenuSetMonExit->trigger();
    QVERIFY(w.MenuSetAuto->isChecked());
    QVERIFY(!w.MenuSetMonExit->isChecked());
    w.INS_bWriteFolders();
    QCOMPARE(setting("AutoRun"), QStringLiteral("True"));
    QCOMPARE(setting("FaxManClose"), QStringLiteral("False"));
    QCOMPARE(setting("COL1Width"), QStringLiteral("1441.701"));
}

namespace {

// Prints every box instead of showing it, for the parent test to read.
class PrintingBoxes : public MessageBox::Presenter {
public:
    MessageBox::Answer present(QWidget*, const MessageBox::Request& request) override {
        std::printf("box: %s\n", request.text.toUtf8().constData());
        std::fflush(stdout);
        return MessageBox::Answer::Ok;
    }
};

// The child's scenario: a monitor that does not start, with the program's own exit.
int runFailedStart() {
    PrintingBoxes boxes;
    MessageBox::setPresenter(&boxes);
    FakeFaxEngine engine;
    engine.startMonitorResult = -2;
    engine.onSetAutoReceive = [](int rings) {
        IniFile::bWriteIni(QStringLiteral("KMB32.INI"), QStringLiteral("Monitor"),
                           QStringLiteral("RingCount"), QString::number(rings));
    };
    FakeMonitorLink link;
    FixedClock clock;
    KmbRxTrans window(engine, link, clock);
    window.Form_Load();
    window.show();
    std::printf("shown\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (qEnvironmentVariable(kChildScenario) == QLatin1String("failed-start"))
        return runFailedStart();
    TestKmbRxTrans test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_kmbrxtrans.moc"
