#include "IniFile.h"
#include "KorimbaEngine.h"
#include "RecordFile.h"
#include "SuiteTestSupport.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// A suite set up by `kmbsuite init`, with an engine on it.
class KorimbaEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(runSuiteProgram("kmbsuite", {"init"}).exitCode, 0);
        engine = std::make_unique<KorimbaEngine>();
    }
    void TearDown() override {
        if (engine)
            engine->CloseManager();
    }
    QString suite() const { return engine->layout().directory(); }
    void log(const QByteArray& line) {
        RecordFile::LockedRecordFile file(engine->layout().receptionLog());
        const auto fields = TabRecord::decodeRecord(line);
        ASSERT_TRUE(fields);
        file.append(*fields);
    }
    QList<QStringList> outbox() { return tabLines(runSuiteProgram("kmbsuite", {"outbox"}).out); }

    TestEnvironment env;
    std::unique_ptr<KorimbaEngine> engine;
};

TEST_F(KorimbaEngineTest, EntryMembersOverTheLog) {
    EXPECT_EQ(engine->EntryCount(), 0);
    EXPECT_NE(engine->SelectEntry(0), 0);

    log("2024/05/01 10:00:00\t1\t0\t101\tRecv/a.tif");
    log("2024/05/01 10:00:00\t1\t0\t101"); // missing field: not an entry
    log("2024/05/01 10:05:00\t0\t7\t102\tRecv/b.tif");
    EXPECT_EQ(engine->EntryCount(), 2);
    EXPECT_EQ(engine->malformedLogLines(), 1);

    const struct {
        int index;
        int select;
        int flags, result;
        const char* time;
        const char* faxId;
        const char* document;
    } cases[] = {
        {0, 0, 1, 0, "2024/05/01 10:00:00", "101", "Recv/a.tif"},
        {1, 0, 0, 7, "2024/05/01 10:05:00", "102", "Recv/b.tif"},
        {2, -1, 0, 0, "", "", nullptr},
        {-1, -1, 0, 0, "", "", nullptr},
        {32767, -1, 0, 0, "", "", nullptr},
    };
    for (const auto& c : cases) {
        const int selected = engine->SelectEntry(c.index);
        EXPECT_EQ(selected == 0, c.select == 0) << "index " << c.index;
        EXPECT_EQ(engine->EntryFlags(), c.flags) << "index " << c.index;
        EXPECT_EQ(engine->EntryResult(), c.result) << "index " << c.index;
        EXPECT_EQ(engine->EntryTime(), QString::fromUtf8(c.time)) << "index " << c.index;
        EXPECT_EQ(engine->EntryFaxId(), QString::fromUtf8(c.faxId)) << "index " << c.index;
        const QString expected =
            c.document ? suite() + QLatin1Char('/') + QLatin1String(c.document) : QString();
        EXPECT_EQ(engine->EntryDocument(), expected) << "index " << c.index;
    }
}

TEST_F(KorimbaEngineTest, SelectedEntryStaysWhatItWasWhenTheLogGrows) {
    log("2024/05/01 10:00:00\t1\t0\t101\tRecv/a.tif");
    ASSERT_EQ(engine->EntryCount(), 1);
    ASSERT_EQ(engine->SelectEntry(0), 0);
    log("2024/05/01 09:00:00\t1\t0\t109\tRecv/early.tif"); // sorts before the selected one
    EXPECT_EQ(engine->EntryCount(), 2);
    EXPECT_EQ(engine->EntryFaxId(), QStringLiteral("101"));
    ASSERT_EQ(engine->SelectEntry(0), 0);
    EXPECT_EQ(engine->EntryFaxId(), QStringLiteral("109"));
}

TEST_F(KorimbaEngineTest, SelectingPastTheCountReadsNewEntries) {
    EXPECT_EQ(engine->EntryCount(), 0);
    log("2024/05/01 10:00:00\t1\t0\t101\tRecv/a.tif");
    EXPECT_EQ(engine->SelectEntry(0), 0);
}

TEST_F(KorimbaEngineTest, UnreadableLogThrows) {
    QDir().mkpath(engine->layout().receptionLog());
    EXPECT_THROW(engine->EntryCount(), SuiteError);
}

TEST_F(KorimbaEngineTest, SendsAreRecordedWithTheRouteSetAtThatMoment) {
    engine->SetRoute(QStringLiteral("ローカルモデム"));
    EXPECT_EQ(engine->SendDocument("転送:101", "/s/a.tif", "0312345678", ""), 0);
    engine->SetRoute(QString());
    EXPECT_EQ(engine->SendDocument("転送:102", "/s/b.tif", "a@example.jp", "x\ty"), 0);
    const QList<QStringList> expected = {
        {"転送:101", "/s/a.tif", "0312345678", "ローカルモデム", ""},
        {"転送:102", "/s/b.tif", "a@example.jp", "", "x\\ty"},
    };
    EXPECT_EQ(outbox(), expected);
}

TEST_F(KorimbaEngineTest, LevelOneHasNoRoutes) {
    EXPECT_EQ(engine->EngineLevel(), 2);
    engine->setEngineLevel(1);
    EXPECT_EQ(engine->EngineLevel(), 1);
    EXPECT_THROW(engine->SetRoute(QStringLiteral("ローカルモデム")), SuiteError);
    env.setVariable("KMBSUITE_ENGINE_LEVEL", QByteArray("1"));
    EXPECT_EQ(KorimbaEngine().EngineLevel(), 1);
}

TEST_F(KorimbaEngineTest, SetAutoReceiveWritesTheMonitorSettings) {
    const auto monitor = [](const char* key) {
        return IniFile::strReadIni("KMB32.INI", "Monitor", QString::fromLatin1(key));
    };
    EXPECT_EQ(monitor("AutoReceive"), QStringLiteral("0"));
    EXPECT_EQ(engine->SetAutoReceive(2), 0);
    EXPECT_EQ(monitor("AutoReceive"), QStringLiteral("1"));
    EXPECT_EQ(monitor("RingCount"), QStringLiteral("2"));
    EXPECT_NE(engine->SetAutoReceive(0), 0);
    EXPECT_EQ(monitor("RingCount"), QStringLiteral("2")) << "a refused count is not written";
}

TEST_F(KorimbaEngineTest, FileWatchNotifiesOfAReception) {
    engine->setCheckInterval(60000); // only the watch can tell within the wait below
    QSignalSpy notified(engine.get(), &FaxEngine::EngineNotify);
    log("2024/05/01 10:00:00\t1\t0\t101\tRecv/a.tif");
    ASSERT_TRUE(notified.wait(1000));
    EXPECT_EQ(engine->EntryCount(), 1);

    log("not a reception");
    EXPECT_FALSE(notified.wait(300)) << "a line that is no reception is no news";
}

TEST_F(KorimbaEngineTest, NotifiesAfterAReceptionLoggedByAnotherProcess) {
    QFile::remove(engine->layout().receptionLog());
    KorimbaEngine fresh; // starts before the log exists
    fresh.setCheckInterval(60000);
    QSignalSpy notified(&fresh, &FaxEngine::EngineNotify);
    writeBlockFax(env.root() + "/fax.tif", 1, 98);
    const ProgramRun run =
        runSuiteProgram("kmbsuite", {"receive", "--fax-id", "101", env.root() + "/fax.tif"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    ASSERT_TRUE(notified.count() > 0 || notified.wait(1000));
    ASSERT_EQ(fresh.EntryCount(), 1);
    ASSERT_EQ(fresh.SelectEntry(0), 0);
    EXPECT_EQ(fresh.EntryFaxId(), QStringLiteral("101"));
    EXPECT_TRUE(QFileInfo(fresh.EntryDocument()).isFile());
    EXPECT_TRUE(fresh.EntryDocument().startsWith(suite() + "/Recv/"));
}

TEST_F(KorimbaEngineTest, LogFolderMadeLaterIsFollowed) {
    const struct {
        const char* what;
        bool keepSuiteDirectory;
        int checkInterval;
    } cases[] = {
        {"suite directory there, log folder made later: the watch", true, 60000},
        {"suite directory made later: the slow check", false, 100},
    };
    for (const auto& c : cases) {
        QDir(suite() + "/Log").removeRecursively();
        if (!c.keepSuiteDirectory)
            QDir(suite()).removeRecursively();
        KorimbaEngine late;
        late.setCheckInterval(c.checkInterval);
        QSignalSpy notified(&late, &FaxEngine::EngineNotify);
        RecordFile::appendRecord(late.layout().receptionLog(),
                                 {"2024/05/01 10:00:00", "1", "0", "101", "Recv/a.tif"});
        EXPECT_TRUE(notified.wait(1000)) << c.what;
        EXPECT_EQ(late.EntryCount(), 1) << c.what;
    }
}

TEST_F(KorimbaEngineTest, MonitorLifecycle) {
    EXPECT_EQ(engine->MonitorState(), 0) << "no monitor runs";
    ASSERT_EQ(engine->StartMonitor(5), 0);
    EXPECT_EQ(engine->StartMonitor(5), -3);
    EXPECT_EQ(engine->MonitorState(), 501);
    const QString socket = engine->layout().monitorServerName();
    EXPECT_TRUE(QFileInfo::exists(socket));
    engine->CloseManager();
    EXPECT_EQ(engine->MonitorState(), 0);
    EXPECT_FALSE(QFileInfo::exists(socket));
    EXPECT_EQ(engine->StartMonitor(5), 0) << "a closed monitor can be started again";
}

TEST_F(KorimbaEngineTest, MonitorThatCannotStartIsAFailure) {
    const struct {
        const char* what;
        bool hideProgram;
        bool removeSuite;
    } cases[] = {
        {"no kmbmon anywhere", true, false},
        {"no suite directory to serve", false, true},
    };
    for (const auto& c : cases) {
        TestEnvironment own;
        ASSERT_EQ(runSuiteProgram("kmbsuite", {"init"}).exitCode, 0);
        if (c.hideProgram) {
            own.setVariable("KMBSUITE_BIN_DIR", own.root().toUtf8());
            own.setVariable("PATH", own.root().toUtf8());
        }
        KorimbaEngine engine;
        if (c.removeSuite)
            QDir(engine.layout().directory()).removeRecursively();
        const int result = engine.StartMonitor(5);
        EXPECT_NE(result, 0) << c.what;
        EXPECT_NE(result, -3) << c.what;
        EXPECT_EQ(engine.MonitorState(), 0) << c.what;
    }
}

} // namespace
