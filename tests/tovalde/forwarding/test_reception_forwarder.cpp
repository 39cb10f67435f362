#include "ForwardingDoubles.h"
#include "ForwardingLog.h"
#include "GTestQtText.h"
#include "PrintError.h"
#include "ReceptionForwarder.h"
#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>

namespace {

const QString kFax = QStringLiteral("FAXまたはメールに転送");
const QString kPrinter = QStringLiteral("プリンタで印刷");
const QString kPager = QStringLiteral("ポケベル呼出し");
const QString kWaitingTitle = QStringLiteral("KORIMBA 自動転送 [待機中]");
const QString kBusyTitle = QStringLiteral("KORIMBA 自動転送 [処理中]");
const QString kBusy = QStringLiteral("title(KORIMBA 自動転送 [処理中])");
const QString kBack = QStringLiteral("title(KORIMBA 自動転送 [待機中])");

// One main window with its engine, document control, routines and a forwarding log in a
// private directory; the journal holds every acting call in order.
struct Scenario {
    TestEnvironment environment;
    Journal journal;
    JournalEngine engine{journal};
    PagesDocument document;
    JournalWindow window{journal};
    JournalRoutines routines{journal};
    ForwardingLog log{environment.root() + QStringLiteral("/forwarding.log"),
                      ForwardingLog::kDefaultLimitBytes,
                      [] { return QDateTime(QDate(2026, 12, 11), QTime(9, 30, 5)); }};
    ReceptionForwarder forwarder{engine, document, routines.routines(), window, log};

    void receive(const QString& time, const QString& faxId, const QString& doc, int flags = 1,
                 int result = 0) {
        engine.log.append({time, faxId, doc, flags, result});
    }
    void setAllRule(const QString& port, const QString& adr) {
        window.rules.allSwitch = 1;
        window.rules.allRule = {port, adr};
    }
    void addFolder(const QString& faxId, const QString& port, const QString& adr) {
        window.rules.folderSwitch = 1;
        ReceiveFolderRow row;
        row.strFaxId = faxId;
        row.strFolder = QStringLiteral("受信フォルダ");
        row.rule = {port, adr};
        window.rules.rows.append(row);
    }
    // Walks from `index`; the index the walk ended at.
    int transmitFrom(int index) {
        int lptr = index;
        forwarder.INS_Transmit(lptr);
        return lptr;
    }
    // The journal without the selection of log entries.
    QStringList actions() const {
        QStringList acting;
        for (const QString& call : journal) {
            if (!call.startsWith(QStringLiteral("SelectEntry")))
                acting.append(call);
        }
        return acting;
    }
    QVector<QStringList> logLines() const {
        QFile file(log.path());
        QVector<QStringList> lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                lines.append(QString::fromUtf8(line).split(QLatin1Char('\t')));
        }
        return lines;
    }
    QStringList outcomes() const {
        QStringList result;
        for (const QStringList& line : logLines())
            result.append(line.value(5));
        return result;
    }
};

// ---- sending on by fax or mail -------------------------------------------------------------

TEST(ReceptionForwarder, FaxRuleSetsTheRouteOnlyWhereTheEngineTakesOneAndSendsTheNumber) {
    struct Case {
        const char* name;
        int level;
        QString adr;
        QStringList sent; // between the two title changes
    };
    const QString send = QStringLiteral("SendDocument(転送:ABC|/recv/rx1.tif|%1|)");
    const Case cases[] = {
        {"level 1, bare number", 1, QStringLiteral("0312345678"), {send.arg("0312345678")}},
        {"level 1 never sets the stored route",
         1,
         QStringLiteral("0312345678＞ローカルモデム"),
         {send.arg("0312345678")}},
        {"level 2, local modem",
         2,
         QStringLiteral("0312345678＞ローカルモデム"),
         {"SetRoute(ローカルモデム)", send.arg("0312345678"), "SetRoute()"}},
        {"level 2, share server under the engine's name",
         2,
         QStringLiteral("0312345678＞FAXモデム共有サーバー"),
         {"SetRoute(ＮＰサーバー)", send.arg("0312345678"), "SetRoute()"}},
        {"level 2, internet default under the engine's name",
         2,
         QStringLiteral("user@example.jp＞インターネットFAXの標準の宛先"),
         {"SetRoute(インターネット)", send.arg("user@example.jp"), "SetRoute()"}},
        {"level 3, a mail address typed as the route",
         3,
         QStringLiteral("0312345678＞boss@example.jp"),
         {"SetRoute(boss@example.jp)", send.arg("0312345678"), "SetRoute()"}},
        {"level 2, bare number clears the route before and after",
         2,
         QStringLiteral("0312345678"),
         {"SetRoute()", send.arg("0312345678"), "SetRoute()"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        s.window.level = c.level;
        s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("ABC"),
                  QStringLiteral("/recv/rx1.tif"));
        s.setAllRule(kFax, c.adr);

        EXPECT_EQ(s.transmitFrom(0), 1);

        EXPECT_EQ(s.actions(), QStringList{kBusy} + c.sent + QStringList{kBack});
        EXPECT_EQ(s.window.lastRxTime, QStringLiteral("2026/12/11 09:30:00"));
        EXPECT_EQ(s.window.title, kWaitingTitle);
        const QStringList expectedLine{
            "2026/12/11 09:30:05", "ABC", "/recv/rx1.tif", kFax, c.adr, "ok", ""};
        EXPECT_EQ(s.logLines(), QVector<QStringList>{expectedLine});
    }
}

// ---- which rules apply -----------------------------------------------------------------------

TEST(ReceptionForwarder, AllFoldersRuleFirstThenEveryMatchingFolderRowInStoreOrder) {
    Scenario s;
    s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
              QStringLiteral("/recv/a.tif"));
    s.setAllRule(kFax, QStringLiteral("0311112222"));
    s.addFolder(QStringLiteral("101"), kPrinter, QStringLiteral("PrnA"));
    s.addFolder(QStringLiteral("102"), kFax, QStringLiteral("0399998888"));
    s.addFolder(QStringLiteral("101"), kPager, QStringLiteral("呼出し1"));
    s.addFolder(QStringLiteral("101"), QStringLiteral("(なし)"), QString());
    s.addFolder(QStringLiteral("101 "), kFax, QStringLiteral("0377776666"));
    s.addFolder(QStringLiteral("１０１"), kFax, QStringLiteral("0355554444"));
    s.routines.bellSlots[QStringLiteral("呼出し1")] = 3;

    s.transmitFrom(0);

    EXPECT_EQ(s.actions(),
              (QStringList{kBusy, "SetRoute()", "SendDocument(転送:101|/recv/a.tif|0311112222|)",
                           "SetRoute()", kBack, kBusy, "INS_PrnOut(/recv/a.tif|PrnA)", kBack, kBusy,
                           "iFindBellTitle(呼出し1)", "bMonitorGoIdle(link label)", "iCallBell(3)",
                           "bMonitorGoActive(link label)", kBack}));
    EXPECT_EQ(s.outcomes(), (QStringList{"ok", "ok", "ok"}));
}

TEST(ReceptionForwarder, OnlyASwitchThatIsOnAppliesItsRules) {
    struct Case {
        const char* name;
        short allSwitch;
        short folderSwitch;
        QStringList sentTo;
    };
    const Case cases[] = {
        {"both on", 1, 1, {"0311112222", "0399998888"}},
        {"all-folders rule only", 1, 0, {"0311112222"}},
        {"folder rules only", 0, 1, {"0399998888"}},
        {"grey counts as off", 2, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        s.window.level = 1;
        s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
                  QStringLiteral("/recv/a.tif"));
        s.setAllRule(kFax, QStringLiteral("0311112222"));
        s.addFolder(QStringLiteral("101"), kFax, QStringLiteral("0399998888"));
        s.window.rules.allSwitch = c.allSwitch;
        s.window.rules.folderSwitch = c.folderSwitch;

        s.transmitFrom(0);

        QStringList sentTo;
        for (const QString& call : s.actions()) {
            if (call.startsWith(QStringLiteral("SendDocument")))
                sentTo.append(call.section(QLatin1Char('|'), 2, 2));
        }
        EXPECT_EQ(sentTo, c.sentTo);
    }
}

// ---- the walk through the log --------------------------------------------------------------

TEST(ReceptionForwarder, WalkForwardsEveryForwardableReceptionToTheEndOfTheLog) {
    Scenario s;
    s.window.level = 1;
    s.receive(QStringLiteral("2026/12/11 09:00:00"), QStringLiteral("101"),
              QStringLiteral("/recv/old.tif"));
    s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
              QStringLiteral("/recv/new1.tif"));
    s.receive(QStringLiteral("2026/12/11 09:31:00"), QStringLiteral("101"),
              QStringLiteral("/recv/sent.tif"), 0);
    s.receive(QStringLiteral("2026/12/11 09:32:00"), QStringLiteral("101"),
              QStringLiteral("/recv/broken.tif"), 1, 3);
    s.receive(QStringLiteral("2026/12/11 09:33:00"), QStringLiteral("102"),
              QStringLiteral("/recv/new2.tif"), 3);
    s.setAllRule(kFax, QStringLiteral("0311112222"));
    // The log grows while the first new reception is being forwarded.
    bool grown = false;
    s.window.onEvents = [&] {
        if (!grown) {
            grown = true;
            s.receive(QStringLiteral("2026/12/11 09:34:00"), QStringLiteral("103"),
                      QStringLiteral("/recv/late.tif"));
        }
    };

    EXPECT_EQ(s.transmitFrom(1), 6);

    QStringList documents;
    for (const QString& call : s.actions()) {
        if (call.startsWith(QStringLiteral("SendDocument")))
            documents.append(call.section(QLatin1Char('|'), 1, 1));
    }
    EXPECT_EQ(documents, (QStringList{"/recv/new1.tif", "/recv/new2.tif", "/recv/late.tif"}));
    EXPECT_EQ(s.window.lastRxTime, QStringLiteral("2026/12/11 09:34:00"));
    EXPECT_EQ(s.engine.log.size(), 6);
}

TEST(ReceptionForwarder, RuleWithoutTypeOrDestinationIsPassedOverWithoutMovingTheMark) {
    const ForwardingRule rules[] = {
        {QStringLiteral("(なし)"), QStringLiteral("0312345678")},
        {QString(), QStringLiteral("0312345678")},
        {kFax, QString()},
        {kPrinter, QString()},
    };
    for (const ForwardingRule& rule : rules) {
        SCOPED_TRACE(rule.strPort.toStdString() + " / " + rule.strAdr.toStdString());
        Scenario s;
        s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
                  QStringLiteral("/recv/a.tif"));
        s.setAllRule(rule.strPort, rule.strAdr);
        bool documentExamined = false;
        s.document.failOn = [&](const QString&) { documentExamined = true; };

        s.transmitFrom(0);

        EXPECT_TRUE(s.actions().isEmpty()) << s.actions().join(' ').toStdString();
        EXPECT_FALSE(documentExamined);
        EXPECT_EQ(s.window.lastRxTime, QStringLiteral("mark as found"));
        EXPECT_TRUE(s.logLines().isEmpty());
    }
}

TEST(ReceptionForwarder, DocumentWithoutPagesIsSkippedAfterTheMarkMoved) {
    for (const int pages : {0, -1}) {
        SCOPED_TRACE(pages);
        Scenario s;
        s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
                  QStringLiteral("/recv/empty.tif"));
        s.document.pages[QStringLiteral("/recv/empty.tif")] = pages;
        s.setAllRule(kFax, QStringLiteral("0312345678"));

        s.transmitFrom(0);

        EXPECT_TRUE(s.actions().isEmpty()) << s.actions().join(' ').toStdString();
        EXPECT_EQ(s.window.lastRxTime, QStringLiteral("2026/12/11 09:30:00"));
        ASSERT_EQ(s.logLines().size(), 1);
        EXPECT_EQ(s.logLines().at(0).value(5), QStringLiteral("skipped"));
        EXPECT_EQ(s.logLines().at(0).value(2), QStringLiteral("/recv/empty.tif"));
    }
}

TEST(ReceptionForwarder, PrinterRulePassesThePrinterNameUnchangedToAnInstalledPrinter) {
    struct Case {
        const char* name;
        QStringList missingPrinters;
        QStringList calls; // between the two title changes
        QString outcome;
    };
    const QString printer = QStringLiteral("経理部 プリンタ＞2F");
    const Case cases[] = {
        {"installed", {}, {"INS_PrnOut(/recv/a.tif|経理部 プリンタ＞2F)"}, "ok"},
        {"not installed: nothing printed, and the log says why", {printer}, {}, "error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
                  QStringLiteral("/recv/a.tif"));
        s.setAllRule(kPrinter, printer);
        s.routines.missingPrinters = c.missingPrinters;

        s.transmitFrom(0);

        EXPECT_EQ(s.actions(), QStringList{kBusy} + c.calls + QStringList{kBack});
        EXPECT_EQ(s.outcomes(), QStringList{c.outcome});
    }
}

TEST(ReceptionForwarder, UnknownTypeShowsTheTitleAndIsLoggedAsSkipped) {
    Scenario s;
    s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
              QStringLiteral("/recv/a.tif"));
    s.setAllRule(QStringLiteral("FAX"), QStringLiteral("0312345678"));

    s.transmitFrom(0);

    EXPECT_EQ(s.actions(), (QStringList{kBusy, kBack}));
    EXPECT_EQ(s.window.lastRxTime, QStringLiteral("2026/12/11 09:30:00"));
    EXPECT_EQ(s.outcomes(), QStringList{"skipped"});
}

// ---- the pager call --------------------------------------------------------------------------

TEST(ReceptionForwarder, PagerCallTakesTheMonitorOffTheLineAndAlwaysHandsItBack) {
    struct Case {
        const char* name;
        std::function<void(JournalRoutines&)> arrange;
        QStringList calls; // between the two title changes
        QString outcome;
        QString reason; // contained in the logged reason
    };
    const QString find = QStringLiteral("iFindBellTitle(営業部長)");
    const QString idle = QStringLiteral("bMonitorGoIdle(link label)");
    const QString active = QStringLiteral("bMonitorGoActive(link label)");
    const Case cases[] = {
        {"entry found", [](JournalRoutines&) {}, {find, idle, "iCallBell(7)", active}, "ok", ""},
        {"no entry with the title: the line is still released and handed back",
         [](JournalRoutines& r) {
             r.bellSlots.clear();
             r.callResult = -1;
         },
         {find, idle, "iCallBell(-1)", active},
         "error",
         "no pager entry has this title"},
        {"monitor link fails: nothing dialled, monitor not told to go active",
         [](JournalRoutines& r) { r.goIdleResult = false; },
         {find, idle},
         "error",
         "did not give up the line"},
        {"modem fails",
         [](JournalRoutines& r) { r.callResult = -2; },
         {find, idle, "iCallBell(7)", active},
         "error",
         "call result -2"},
        {"the dialer throws: the line is handed back all the same",
         [](JournalRoutines& r) { r.callFailure = [] { throw std::runtime_error("port gone"); }; },
         {find, idle, "iCallBell(7)", active},
         "error",
         "port gone"},
        {"monitor does not take the line back",
         [](JournalRoutines& r) { r.goActiveResult = false; },
         {find, idle, "iCallBell(7)", active},
         "error",
         "did not take the line back"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
                  QStringLiteral("/recv/a.tif"));
        s.setAllRule(kPager, QStringLiteral("営業部長"));
        s.routines.bellSlots[QStringLiteral("営業部長")] = 7;
        c.arrange(s.routines);

        s.transmitFrom(0);

        EXPECT_EQ(s.actions(), QStringList{kBusy} + c.calls + QStringList{kBack});
        ASSERT_EQ(s.logLines().size(), 1);
        EXPECT_EQ(s.logLines().at(0).value(5), c.outcome);
        EXPECT_TRUE(s.logLines().at(0).value(6).contains(c.reason))
            << s.logLines().at(0).value(6).toStdString();
    }
}

// ---- one failing rule does not stop forwarding -----------------------------------------------

TEST(ReceptionForwarder, FailureInOneRuleIsLoggedAndForwardingGoesOn) {
    struct Case {
        const char* name;
        ForwardingRule failingRule; // the all-folders rule; the folder rule faxes on
        std::function<void(Scenario&)> arrange;
        QStringList outcomes; // reception a: all, folder; reception b: all, folder
        QString reason;
    };
    const Case cases[] = {
        {"the engine refuses the send",
         {kFax, QStringLiteral("999")},
         [](Scenario& s) {
             s.engine.failOn = [](const QString& call, const QStringList& arguments) {
                 if (call == QStringLiteral("SendDocument") && arguments.value(2) == "999")
                     throw SuiteError("send queue is full");
             };
         },
         {"error", "ok", "error", "ok"},
         "send queue is full"},
        {"the printer errors",
         {kPrinter, QStringLiteral("Broken")},
         [](Scenario& s) {
             s.routines.printFailure = [](const QString&) {
                 throw PrintError(QStringLiteral("printer Broken refused the job"));
             };
         },
         {"error", "ok", "error", "ok"},
         "printer Broken refused the job"},
        {"a page cannot be loaded",
         {kPrinter, QStringLiteral("PrnA")},
         [](Scenario& s) {
             s.routines.printFailure = [](const QString&) {
                 throw PrintError(QStringLiteral("page 2 of a.tif cannot be loaded as a picture"));
             };
         },
         {"error", "ok", "error", "ok"},
         "page 2 of a.tif cannot be loaded"},
        {"something that is no standard exception",
         {kPrinter, QStringLiteral("PrnA")},
         [](Scenario& s) { s.routines.printFailure = [](const QString&) { throw 42; }; },
         {"error", "ok", "error", "ok"},
         "unknown failure"},
        {"the monitor link fails",
         {kPager, QStringLiteral("営業部長")},
         [](Scenario& s) { s.routines.goIdleResult = false; },
         {"error", "ok", "error", "ok"},
         "did not give up the line"},
        {"the document control fails on one document",
         {kPrinter, QStringLiteral("PrnA")},
         [](Scenario& s) {
             s.document.failOn = [](const QString& document) {
                 if (document == QStringLiteral("/recv/a.tif"))
                     throw SuiteError("a.tif: not a TIFF file");
             };
         },
         {"error", "error", "ok", "ok"},
         "not a TIFF file"},
        {"the engine cannot read one entry's time",
         {kPrinter, QStringLiteral("PrnA")},
         [](Scenario& s) {
             s.engine.failOn = [](const QString& call, const QStringList& arguments) {
                 if (call == QStringLiteral("EntryTime") && arguments.value(0) == "0")
                     throw SuiteError("log record unreadable");
             };
         },
         {"error", "error", "ok", "ok"},
         "log record unreadable"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        s.window.level = 1;
        s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
                  QStringLiteral("/recv/a.tif"));
        s.receive(QStringLiteral("2026/12/11 09:31:00"), QStringLiteral("101"),
                  QStringLiteral("/recv/b.tif"));
        s.setAllRule(c.failingRule.strPort, c.failingRule.strAdr);
        s.addFolder(QStringLiteral("101"), kFax, QStringLiteral("0312345678"));
        c.arrange(s);

        EXPECT_EQ(s.transmitFrom(0), 2);

        EXPECT_EQ(s.outcomes(), c.outcomes);
        const QVector<QStringList> lines = s.logLines();
        for (int i = 0; i < lines.size(); ++i) {
            if (lines.at(i).value(5) == QStringLiteral("error")) {
                EXPECT_TRUE(lines.at(i).value(6).contains(c.reason))
                    << i << ": " << lines.at(i).value(6).toStdString();
            }
        }
        QStringList sentDocuments;
        for (const QString& call : s.actions()) {
            if (call.startsWith(QStringLiteral("SendDocument(転送:101")) &&
                call.contains(QStringLiteral("|0312345678|")))
                sentDocuments.append(call.section(QLatin1Char('|'), 1, 1));
        }
        QStringList expectedSent;
        if (c.outcomes.at(1) == QStringLiteral("ok"))
            expectedSent << QStringLiteral("/recv/a.tif");
        expectedSent << QStringLiteral("/recv/b.tif");
        EXPECT_EQ(sentDocuments, expectedSent);
        EXPECT_EQ(s.window.title, kWaitingTitle);
        EXPECT_EQ(s.actions().count(kBusy), s.actions().count(kBack));
        EXPECT_EQ(s.window.lastRxTime, QStringLiteral("2026/12/11 09:31:00"));
    }
}

TEST(ReceptionForwarder, LogThatCannotBeReadEndsTheWalkWithoutLosingWhatWasForwarded) {
    Scenario s;
    s.window.level = 1;
    s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
              QStringLiteral("/recv/a.tif"));
    s.receive(QStringLiteral("2026/12/11 09:31:00"), QStringLiteral("101"),
              QStringLiteral("/recv/b.tif"));
    s.setAllRule(kFax, QStringLiteral("0312345678"));
    s.engine.failOn = [](const QString& call, const QStringList& arguments) {
        if (call == QStringLiteral("SelectEntry") && arguments.value(0) == QStringLiteral("1"))
            throw SuiteError("cannot read Log/recv.log");
    };

    EXPECT_EQ(s.transmitFrom(0), 1);

    EXPECT_EQ(s.outcomes(), (QStringList{"ok", "error"}));
    EXPECT_TRUE(s.logLines().at(1).value(6).contains(QStringLiteral("cannot read Log/recv.log")));
    EXPECT_EQ(s.window.lastRxTime, QStringLiteral("2026/12/11 09:30:00"));
}

TEST(ReceptionForwarder, WalkStartedFromItsOwnEventsForwardsNothingTwice) {
    Scenario s;
    s.window.level = 1;
    s.receive(QStringLiteral("2026/12/11 09:30:00"), QStringLiteral("101"),
              QStringLiteral("/recv/a.tif"));
    s.receive(QStringLiteral("2026/12/11 09:31:00"), QStringLiteral("101"),
              QStringLiteral("/recv/b.tif"));
    s.setAllRule(kFax, QStringLiteral("0312345678"));
    int nestedEndedAt = -1;
    s.window.onEvents = [&] {
        int lptr = 0;
        s.forwarder.INS_Transmit(lptr);
        nestedEndedAt = lptr;
    };

    s.transmitFrom(0);

    EXPECT_EQ(nestedEndedAt, 0);
    EXPECT_EQ(s.actions().filter(QStringLiteral("SendDocument")).size(), 2);

    // The next walk is not blocked by the one that ended.
    s.window.onEvents = nullptr;
    s.receive(QStringLiteral("2026/12/11 09:32:00"), QStringLiteral("101"),
              QStringLiteral("/recv/c.tif"));
    EXPECT_EQ(s.transmitFrom(2), 3);
    EXPECT_EQ(s.actions().filter(QStringLiteral("SendDocument")).size(), 3);
}

} // namespace
