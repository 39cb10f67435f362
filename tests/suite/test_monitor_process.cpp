#include "LocalMonitorLink.h"
#include "MonitorProtocol.h"
#include "SuiteLayout.h"
#include "SuiteTestSupport.h"
#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

namespace {

// kmbmon run as a process on a suite of its own.
class MonitorProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(runSuiteProgram("kmbsuite", {"init"}).exitCode, 0);
        layout = std::make_unique<SuiteLayout>(SuiteLayout::fromProfile());
    }
    void TearDown() override {
        if (monitor.state() != QProcess::NotRunning) {
            monitor.kill();
            monitor.waitForFinished();
        }
    }
    void startMonitor(const QStringList& arguments = {}) {
        monitor.start(builtProgram("suite/kmbmon"), arguments);
        ASSERT_TRUE(monitor.waitForStarted());
        LocalMonitorLink link(layout->monitorServerName(), 500);
        const QDeadlineTimer deadline(10000);
        while (!link.state() && !deadline.hasExpired())
            QThread::msleep(20);
        ASSERT_TRUE(link.state()) << monitor.readAllStandardError().constData();
    }
    QList<QStringList> pokes() { return tabLines(runSuiteProgram("kmbsuite", {"pokes"}).out); }

    TestEnvironment env;
    std::unique_ptr<SuiteLayout> layout;
    QProcess monitor;
};

TEST_F(MonitorProcessTest, PokesMoveTheLineStateAndAreRecorded) {
    startMonitor();
    LocalMonitorLink link(layout->monitorServerName());
    const QString topic = MonitorProtocol::controlTopic;
    EXPECT_EQ(link.state(), 501);
    const struct {
        QString topic;
        const char* item;
        const char* data;
        bool accepted;
        int state;
    } steps[] = {
        {topic, "Goidle", "", true, 0},
        {topic, "Goidle", "", true, 0},
        {topic, "GoActive", "KORIMBA 自動転送", true, 501},
        {topic, "goidle", "", true, 0},
        {topic, "Reboot", "now", false, 0},
        {QStringLiteral("OTHER|TOPIC"), "GoActive", "", false, 0},
        {topic, "GoActive", "", true, 501},
    };
    QList<QStringList> expected;
    for (const auto& s : steps) {
        EXPECT_EQ(link.poke(s.topic, s.item, s.data), s.accepted) << s.item;
        EXPECT_EQ(link.state(), s.state) << s.item;
        expected.append({QString::fromUtf8(s.item), QString::fromUtf8(s.data)});
    }
    EXPECT_EQ(pokes(), expected);
    EXPECT_EQ(runSuiteProgram("kmbsuite", {"state"}).out, "501\n");
}

TEST_F(MonitorProcessTest, SecondMonitorLeavesTheFirstInCharge) {
    startMonitor();
    LocalMonitorLink link(layout->monitorServerName());
    ASSERT_TRUE(link.poke(MonitorProtocol::controlTopic, "Goidle", ""));
    const ProgramRun second = runSuiteProgram("kmbmon", {});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(monitor.state(), QProcess::Running);
    EXPECT_EQ(link.state(), 0) << "the first monitor still answers";
}

TEST_F(MonitorProcessTest, EndsOnSigtermAndOnCloseRemovingItsSocket) {
    const QString socket = layout->monitorServerName();
    startMonitor();
    ASSERT_TRUE(QFileInfo::exists(socket));
    ::kill(pid_t(monitor.processId()), SIGTERM);
    ASSERT_TRUE(monitor.waitForFinished(5000));
    EXPECT_EQ(monitor.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(QFileInfo::exists(socket));

    startMonitor();
    EXPECT_TRUE(LocalMonitorLink(socket).requestClose());
    ASSERT_TRUE(monitor.waitForFinished(5000));
    EXPECT_FALSE(QFileInfo::exists(socket));
    EXPECT_EQ(LocalMonitorLink(socket).state(), std::nullopt);
}

TEST_F(MonitorProcessTest, KilledMonitorsSocketDoesNotStopTheNextOne) {
    startMonitor();
    monitor.kill();
    monitor.waitForFinished();
    startMonitor();
    EXPECT_EQ(LocalMonitorLink(layout->monitorServerName()).state(), 501);
}

TEST_F(MonitorProcessTest, SuiteDirectoryOfAnyLengthGetsAMonitor) {
    QString deep = env.root();
    while (deep.size() < 400)
        deep += QStringLiteral("/長いフォルダ名のスイート");
    ASSERT_TRUE(QDir().mkpath(deep));
    layout = std::make_unique<SuiteLayout>(deep);
    startMonitor({"--suite-dir", deep});
    EXPECT_TRUE(LocalMonitorLink(layout->monitorServerName())
                    .poke(MonitorProtocol::controlTopic, "Goidle", ""));
    EXPECT_NE(layout->monitorServerName(), SuiteLayout::fromProfile().monitorServerName());
}

TEST(MonitorLink, FailsWithinItsTimeoutWhenNobodyAnswers) {
    TestEnvironment env;
    const QString name = env.root() + QStringLiteral("/silent.sock");
    QLocalServer silent; // accepts connections, never answers
    ASSERT_TRUE(silent.listen(name));
    const struct {
        QString server;
    } cases[] = {{name}, {env.root() + QStringLiteral("/nobody.sock")}};
    for (const auto& c : cases) {
        LocalMonitorLink link(c.server, 300);
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(link.poke(MonitorProtocol::controlTopic, "Goidle", ""));
        EXPECT_EQ(link.state(), std::nullopt);
        EXPECT_FALSE(link.requestClose());
        EXPECT_LT(clock.elapsed(), 5000) << "the link must give up, not hang";
    }
}

} // namespace
