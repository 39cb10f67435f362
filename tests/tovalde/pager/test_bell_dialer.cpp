#include "Bell.h"
#include "GTestQtText.h"
#include "IniFile.h"
#include "MSCommBell.h"
#include "Main.h"
#include "ModemEmulator.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <vector>

// Readable failure output for the transcripts.
namespace {

// A tick of 200 ms passes in 2 ms: long enough for the emulator to answer within a read.
void quickSleep(int milliseconds) {
    QThread::usleep(static_cast<unsigned long>(milliseconds) * 10);
}

class BellDialer : public ::testing::Test {
protected:
    void SetUp() override {
        Bell::g_bBellAbort = false;
        Bell::setSleep(quickSleep);
    }

    void TearDown() override {
        Bell::bCloseBellPort();
        Bell::g_bBellAbort = false;
        Bell::setSleep({});
    }

    static void setSuite(const QString& section, const QString& key,
                         const std::optional<QString>& value) {
        if (value)
            IniFile::bWriteIni("KMB32.INI", section, key, *value);
        else
            IniFile::bDeleteIniKey("KMB32.INI", section, key);
    }

    static void saveEntry(int slot, const std::vector<BellRow>& rows) {
        BellInf entry;
        entry.strTitle = QStringLiteral("呼出%1").arg(slot);
        for (std::size_t row = 0; row < rows.size(); ++row)
            entry.rows[row] = rows[row];
        Main::SaveBellEdit(slot, entry);
    }

    // Counts ticks instead of sleeping them.
    void countTicks() {
        ticks_ = 0;
        Bell::setSleep([this](int) { ++ticks_; });
    }

    TestEnvironment env;
    int ticks_ = 0;
};

QStringList conversation(const QStringList& dials) {
    return QStringList{"ATZ", "ATE0Q0X0V1"} + dials + QStringList{"ATH0"};
}

} // namespace

TEST_F(BellDialer, PulseDialsTheNumberWithPrefixThenSendsDataAsTones) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    setSuite("Modem", "DialMode", "2");
    setSuite("Modem", "DialPrefix", "0");
    setSuite("System", "Port", "COM1:");
    saveEntry(0, {{1, "0312345678", "1"}, {0, "111", "0"}, {1, "*2#", "3"}, {2, "333", ""}});

    EXPECT_EQ(Bell::iCallBell(0), 0);
    EXPECT_EQ(modem.transcript(), conversation({"ATDP00312345678;", "ATDT*2#;"}));
    EXPECT_FALSE(Bell::bellPort().PortOpen());
}

TEST_F(BellDialer, DialLetterAndPrefixApplyToTheFirstRowOnly) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    const struct {
        std::optional<QString> dialMode;
        std::optional<QString> prefix;
        int firstRowCheck;
        QStringList dials;
    } cases[] = {
        {"0", "9", 1, {"ATDT9123;", "ATDT55;"}},
        {std::nullopt, std::nullopt, 1, {"ATDT123;", "ATDT55;"}},
        {"1", "", 1, {"ATDP123;", "ATDT55;"}},
        {"3", "00", 1, {"ATDT00123;", "ATDT55;"}},
        {"2", "0", 0, {"ATDT55;"}},
        {"2", "0", 2, {"ATDT55;"}},
    };
    int seen = 0;
    for (const auto& c : cases) {
        setSuite("Modem", "DialMode", c.dialMode);
        setSuite("Modem", "DialPrefix", c.prefix);
        saveEntry(0, {{c.firstRowCheck, "123", ""}, {1, "55", ""}});
        EXPECT_EQ(Bell::iCallBell(0), 0);
        const QStringList lines = modem.transcript();
        EXPECT_EQ(lines.mid(seen), conversation(c.dials)) << c.dialMode.value_or("-").toStdString();
        seen = lines.size();
    }
}

TEST_F(BellDialer, NothingToDialLeavesThePortAlone) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    saveEntry(0, {{1, "", "0"}, {1, "55", "0"}, {1, "66", "0"}});
    saveEntry(1, {{1, "123", "0"}});
    for (int slot : {0, -1, -5, Main::iFindBellTitle("どこにもない"), 7, 100})
        EXPECT_EQ(Bell::iCallBell(slot), -1) << slot;
    EXPECT_TRUE(modem.transcript().isEmpty());
}

TEST_F(BellDialer, PortNameChoosesTheDevice) {
    saveEntry(0, {{1, "123", "0"}});
    const struct {
        std::optional<QString> port;
        int device;
    } cases[] = {{"COM3:", 3}, {"COM10", 10}, {"COM", 1}, {"", 1}, {std::nullopt, 1}, {"com2", 2}};
    for (const auto& c : cases) {
        ModemEmulator modem(env.winePrefix(), c.device);
        ASSERT_TRUE(modem.isReady());
        setSuite("System", "Port", c.port);
        EXPECT_EQ(Bell::iCallBell(0), 0) << c.port.value_or("-").toStdString();
        EXPECT_EQ(modem.transcript(), conversation({"ATDT123;"}))
            << c.port.value_or("-").toStdString();
    }
}

TEST_F(BellDialer, PortNumberTable) {
    const struct {
        QString setting;
        int port;
    } cases[] = {{"COM1:", 1},  {"COM3:", 3}, {"COM10", 10}, {"COM", 1},  {"", 1},        {"CO", 1},
                 {"COM2::", 2}, {"COMX", 0},  {"COM 4", 4},  {"AUX7", 7}, {"COM99999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Bell::iBellPortNumber(c.setting), c.port) << c.setting.toStdString();
}

TEST_F(BellDialer, UnopenablePortsEndWithMinusTwo) {
    saveEntry(0, {{1, "123", "0"}});
    QFile::link(env.root() + "/gone", env.winePrefix() + "/dosdevices/com5");
    for (const QString& port :
         {QStringLiteral("COM5"), QStringLiteral("COM200"), QStringLiteral("COMX")}) {
        setSuite("System", "Port", port);
        EXPECT_EQ(Bell::iCallBell(0), -2) << port.toStdString();
        EXPECT_FALSE(Bell::bellPort().PortOpen());
    }
}

TEST_F(BellDialer, PortHeldByAnotherProgramEndsWithMinusTwoAndStaysWithIt) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    saveEntry(0, {{1, "123", "0"}});
    // The same device reached through a second name must still count as taken.
    QFile::link(QFile::symLinkTarget(modem.linkPath()), env.winePrefix() + "/dosdevices/com2");
    MSCommBell holder;
    holder.setCommPort(2);
    holder.setPortOpen(true);

    EXPECT_EQ(Bell::iCallBell(0), -2);
    EXPECT_TRUE(holder.PortOpen());
    EXPECT_TRUE(modem.transcript().isEmpty());
}

TEST_F(BellDialer, ModemThatDoesNotAcknowledgeEndsWithMinusTwoAndAClosedPort) {
    saveEntry(0, {{1, "123", "0"}});
    // A reply that never completes uses up every read, so those cases count their ticks
    // instead of sleeping them.
    const struct {
        const char* name;
        QStringList script;
        bool abortFirst;
        bool countTicks;
    } cases[] = {
        {"error", {"--reply", "ATE0Q0X0V1=ERROR"}, false, false},
        {"split",
         {"--reply", "ATZ=silence", "--reply", "ATE0Q0X0V1=split", "--split-delay", "100"},
         false,
         true},
        {"aborted", {}, true, false},
    };
    for (const auto& c : cases) {
        ModemEmulator modem(env.winePrefix(), 1, c.script);
        ASSERT_TRUE(modem.isReady());
        if (c.countTicks)
            countTicks();
        else
            Bell::setSleep(quickSleep);
        Bell::g_bBellAbort = c.abortFirst;
        EXPECT_EQ(Bell::iCallBell(0), -2) << c.name;
        Bell::g_bBellAbort = false;
        EXPECT_EQ(modem.transcriptOnceItHas(2), (QStringList{"ATZ", "ATE0Q0X0V1"})) << c.name;
        EXPECT_FALSE(Bell::bellPort().PortOpen()) << c.name;
    }
}

TEST_F(BellDialer, SilentModemWaitsTheFullReplyTimeForBothInitCommands) {
    ModemEmulator modem(env.winePrefix(), 1, {"--default", "silence"});
    ASSERT_TRUE(modem.isReady());
    saveEntry(0, {{1, "123", "0"}});
    countTicks();
    EXPECT_EQ(Bell::iCallBell(0), -2);
    // Each command: 100 reads of 100 polls, and a tick after each read.
    EXPECT_EQ(ticks_, 2 * 100 * (100 + 1));
    EXPECT_EQ(modem.transcript(), (QStringList{"ATZ", "ATE0Q0X0V1"}));
    EXPECT_FALSE(Bell::bellPort().PortOpen());
}

TEST_F(BellDialer, RepliesToDialsAndHangUpDoNotStopTheCall) {
    ModemEmulator modem(env.winePrefix(), 1,
                        {"--reply", "ATDT1*=BUSY", "--reply", "ATDT2*=NO CARRIER", "--reply",
                         "ATDT3*=ERROR", "--reply", "ATH0=NO DIALTONE"});
    ASSERT_TRUE(modem.isReady());
    saveEntry(0, {{1, "1", "0"}, {1, "2", "0"}, {1, "3", "0"}, {1, "4", "0"}});
    EXPECT_EQ(Bell::iCallBell(0), 0);
    EXPECT_EQ(modem.transcript(), conversation({"ATDT1;", "ATDT2;", "ATDT3;", "ATDT4;"}));
}

TEST_F(BellDialer, AbortDuringARowsPauseSkipsTheRestButHangsUp) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    saveEntry(0, {{1, "100", "0"},
                  {1, "11", "0"},
                  {1, "22", "600"},
                  {1, "33", "0"},
                  {1, "44", "0"},
                  {1, "55", "0"}});
    // The click that aborts arrives as a window event while the dialer lets them run.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (modem.transcript().contains("ATDT22;"))
            Bell::g_bBellAbort = true;
    });
    watcher.start(5);

    EXPECT_EQ(Bell::iCallBell(0), 0);
    // Once aborted, the hang-up goes out without waiting for its reply.
    EXPECT_EQ(modem.transcriptOnceItHas(6), conversation({"ATDT100;", "ATDT11;", "ATDT22;"}));
    EXPECT_TRUE(Bell::g_bBellAbort);
    EXPECT_FALSE(Bell::bellPort().PortOpen());
}

TEST_F(BellDialer, SecondCallDuringARunningCallIsRefusedAndTheFirstGoesOn) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    saveEntry(0, {{1, "100", "0"}, {1, "11", "5"}, {1, "22", "0"}});
    saveEntry(1, {{1, "999", "0"}, {1, "88", "0"}});
    std::optional<int> nested;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!nested && modem.transcript().contains("ATDT11;"))
            nested = Bell::iCallBell(1);
    });
    watcher.start(0);

    EXPECT_EQ(Bell::iCallBell(0), 0);
    ASSERT_TRUE(nested.has_value());
    EXPECT_EQ(*nested, -2);
    EXPECT_EQ(modem.transcript(), conversation({"ATDT100;", "ATDT11;", "ATDT22;"}));
    EXPECT_FALSE(Bell::bellPort().PortOpen());

    watcher.stop();
    EXPECT_EQ(Bell::iCallBell(1), 0);
}

TEST_F(BellDialer, PauseLengthInTicks) {
    const struct {
        double seconds;
        int ticks;
    } cases[] = {{3, 15}, {0, 0}, {-1, 0}, {2.5, 12}, {0.3, 2}, {0.1, 0}, {0.5, 2}, {0.7, 4}};
    for (const auto& c : cases) {
        countTicks();
        Bell::WaitBellSeconds(c.seconds);
        EXPECT_EQ(ticks_, c.ticks) << c.seconds;
    }
    countTicks();
    Bell::g_bBellAbort = true;
    Bell::WaitBellSeconds(3);
    EXPECT_EQ(ticks_, 0);
    // An aborted call passes even a pause of thousands of years at once, instead of spinning
    // through its ticks.
    Bell::WaitBellSeconds(1e11);
    EXPECT_EQ(ticks_, 0);
}

TEST_F(BellDialer, ResultCodesAreMatchedInTableOrderAndOnlyWithACarriageReturn) {
    const struct {
        QString text;
        QString code;
    } cases[] = {
        {"\r\nOK\r\n", "OK"},
        {"OK", ""},
        {"\r\nO", ""},
        {"K\r\n", ""},
        {"ok\r", ""},
        {"BUSY\r\nOK\r\n", "OK"},
        {"\r\nNO CARRIER\r\n", "NO CARRIER"},
        {"NO DIALTONE\r", "NO DIALTONE"},
        {"ATE0\r\r\nERROR\r\n", "ERROR"},
        {"\r\nBUSY\r\n", "BUSY"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Bell::strMatchModemResult(c.text), c.code) << c.text.toStdString();
}

TEST_F(BellDialer, ResultMessages) {
    const struct {
        int code;
        QString message;
    } cases[] = {
        {0, "正常に終了しました。"},
        {-1, "呼び出し情報がありません。"},
        {-2, "COMポートのオープンに失敗しました。"},
        {-3, "ダイヤルトーンの送出に失敗しました。"},
        {1, ""},
        {-4, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Bell::strGetBellResultMsg(c.code), c.message) << c.code;
}

TEST_F(BellDialer, SerialPortRaisesInsteadOfFailingQuietly) {
    MSCommBell port;
    EXPECT_THROW(port.setCommPort(0), MSCommError);
    EXPECT_THROW(port.setCommPort(256), MSCommError);
    for (const QString& settings :
         {QStringLiteral("19200,N,8"), QStringLiteral("fast,N,8,1"), QStringLiteral("19200,X,8,1"),
          QStringLiteral("19200,N,9,1"), QStringLiteral("19200,N,8,3"), QStringLiteral("")})
        EXPECT_THROW(port.setSettings(settings), MSCommError) << settings.toStdString();
    EXPECT_NO_THROW(port.setSettings("19200,e,7,1.5"));
    EXPECT_THROW(port.setOutput("ATZ\r"), MSCommError);
    EXPECT_THROW(port.InBufferCount(), MSCommError);
    EXPECT_THROW(port.Input(), MSCommError);
    port.setCommPort(9);
    EXPECT_THROW(port.setPortOpen(true), MSCommError);
    EXPECT_FALSE(port.PortOpen());
}

TEST_F(BellDialer, SerialPortTalksToTheModemAndRefusesASecondOpen) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    MSCommBell port;
    port.setCommPort(1);
    port.setSettings("19200,N,8,1");
    port.setPortOpen(true);
    EXPECT_THROW(port.setPortOpen(true), MSCommError);
    EXPECT_THROW(port.setCommPort(2), MSCommError);
    EXPECT_EQ(port.CommPort(), 1);

    port.setOutput("ATE0\r");
    QString received;
    for (int i = 0; i < 500 && !received.contains("OK\r\n"); ++i) {
        QThread::msleep(2);
        if (port.InBufferCount() > 0)
            received += port.Input();
    }
    EXPECT_EQ(received, "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(port.InBufferCount(), 0);
    port.setPortOpen(false);
    EXPECT_FALSE(port.PortOpen());
}
