#include "FakeFaxEngine.h"
#include "FixedClock.h"
#include "ReceptionWaiting.h"

#include <gtest/gtest.h>

namespace {

// The window as the cycle sees it: records the icon frames and the hand-over to forwarding.
class RecordingWindow : public WaitingWindow {
public:
    bool minimized = false;
    int imageCount = 29;
    QVector<int> images;
    QVector<int> transmitted;
    std::function<void()> onLetEventsRun;
    std::function<void(int)> onTransmit;

    bool isWindowMinimized() const override { return minimized; }
    void showStatusImage(int image) override { images.append(image); }
    int statusImageCount() const override { return imageCount; }
    void letEventsRun() override {
        if (onLetEventsRun)
            onLetEventsRun();
    }
    void INS_Transmit(int index) override {
        transmitted.append(index);
        if (onTransmit)
            onTransmit(index);
    }
};

class ReceptionWaitingTest : public ::testing::Test {
protected:
    FakeFaxEngine engine;
    FixedClock clock;
    RecordingWindow window;
    ReceptionWaiting waiting{engine, clock, window};
};

FakeFaxEngine::Entry reception(const char* time, int flags = 1, int result = 0) {
    return {QString::fromLatin1(time), flags, result, QStringLiteral("ID"), QString()};
}

} // namespace

TEST_F(ReceptionWaitingTest, EnteringSetsTheMarkAndTheFirstFrame) {
    waiting.bPolling = -1;
    waiting.iPollTick = 17;
    waiting.enter();
    EXPECT_EQ(waiting.strLastRxTime, QStringLiteral("2026/04/01 09:00:00"));
    EXPECT_EQ(waiting.bPolling, 0);
    EXPECT_EQ(waiting.iPollTick, 0);
    EXPECT_EQ(window.images, QVector<int>{2});
    EXPECT_EQ(waiting.lIconIndex, 3);
    waiting.leave();
    EXPECT_EQ(window.images.last(), 1);
    EXPECT_EQ(waiting.lIconIndex, -1);
}

// The scan goes newest first and ends at the first forwardable entry not newer than the mark.
TEST_F(ReceptionWaitingTest, PollFindsTheOldestNewForwardableReception) {
    const struct {
        const char* what;
        QVector<FakeFaxEngine::Entry> log;
        int found; // -1: nothing handed to forwarding
    } cases[] = {
        {"empty log", {}, -1},
        {"only older", {reception("2026/04/01 08:00:00"), reception("2026/04/01 08:59:59")}, -1},
        {"same second as the mark is not new", {reception("2026/04/01 09:00:00")}, -1},
        {"one new", {reception("2026/04/01 08:00:00"), reception("2026/04/01 09:00:01")}, 1},
        {"new run at the end",
         {reception("2026/04/01 08:00:00"), reception("2026/04/01 09:00:00"),
          reception("2026/04/01 09:05:00"), reception("2026/04/01 09:06:00")},
         2},
        {"not forwardable between new ones",
         {reception("2026/04/01 08:00:00"), reception("2026/04/01 09:01:00"),
          reception("2026/04/01 09:02:00", 0), reception("2026/04/01 09:03:00", 1, 3),
          reception("2026/04/01 09:04:00")},
         1},
        {"not forwardable older entries do not end the scan",
         {reception("2026/04/01 09:01:00"), reception("2026/04/01 07:00:00", 2),
          reception("2026/04/01 09:02:00")},
         0},
        {"only not forwardable new ones",
         {reception("2026/04/01 09:30:00", 0, 0), reception("2026/04/01 09:31:00", 1, -1)},
         -1},
        {"an older entry stops even with newer ones behind it",
         {reception("2026/04/01 09:10:00"), reception("2026/04/01 08:00:00"),
          reception("2026/04/01 09:20:00")},
         2},
        {"flags with more bits", {reception("2026/04/01 09:00:05", 0x0101)}, 0},
        {"unreadable time is passed over",
         {reception("2026/04/01 09:01:00"), reception("yesterday"),
          reception("2026/04/01 09:03:00")},
         0},
        {"time without leading zeros", {reception("2026/4/1 9:00:30")}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        engine.log = c.log;
        window.transmitted.clear();
        waiting.strLastRxTime = QStringLiteral("2026/04/01 09:00:00");
        waiting.INS_PollRxStatus();
        EXPECT_EQ(window.transmitted, c.found < 0 ? QVector<int>{} : QVector<int>{c.found});
        EXPECT_EQ(waiting.bPolling, 0);
    }
}

TEST_F(ReceptionWaitingTest, PollBeforeWaitingWasEverEnteredForwardsNothing) {
    engine.log = {reception("2026/04/01 10:00:00")};
    waiting.INS_PollRxStatus();
    EXPECT_TRUE(window.transmitted.isEmpty());
    EXPECT_EQ(waiting.bPolling, 0);
}

TEST_F(ReceptionWaitingTest, NestedPollIsRefused) {
    engine.log = {reception("2026/04/01 09:01:00"), reception("2026/04/01 09:02:00")};
    waiting.strLastRxTime = QStringLiteral("2026/04/01 09:00:00");
    // An engine event and a timed poll arrive while the scan and the forwarding let events run.
    window.onLetEventsRun = [&] { waiting.INS_PollRxStatus(); };
    window.onTransmit = [&](int) { waiting.INS_PollRxStatus(); };
    waiting.INS_PollRxStatus();
    EXPECT_EQ(engine.entryCountCalls, 1);
    EXPECT_EQ(window.transmitted, QVector<int>{0});
    EXPECT_EQ(waiting.bPolling, 0);
    // The next poll runs normally once the first one is over.
    window.onLetEventsRun = nullptr;
    window.onTransmit = nullptr;
    waiting.INS_PollRxStatus();
    EXPECT_EQ(engine.entryCountCalls, 2);
}

TEST_F(ReceptionWaitingTest, EngineFailureEndsOnlyThatPoll) {
    engine.log = {reception("2026/04/01 09:01:00")};
    waiting.strLastRxTime = QStringLiteral("2026/04/01 09:00:00");
    for (const char* failing : {"EntryCount", "SelectEntry", "EntryTime"}) {
        SCOPED_TRACE(failing);
        engine.onCall = [&](const QString& call) {
            if (call == QLatin1String(failing))
                throw SuiteError("reception log unreadable");
        };
        EXPECT_NO_THROW(waiting.INS_PollRxStatus());
        EXPECT_EQ(waiting.bPolling, 0);
        EXPECT_TRUE(window.transmitted.isEmpty());
    }
    engine.onCall = nullptr;
    waiting.INS_PollRxStatus();
    EXPECT_EQ(window.transmitted, QVector<int>{0});
}

TEST_F(ReceptionWaitingTest, FailureInsideForwardingEndsOnlyThatPoll) {
    engine.log = {reception("2026/04/01 09:01:00")};
    waiting.strLastRxTime = QStringLiteral("2026/04/01 09:00:00");
    window.onTransmit = [](int) { throw SuiteError("document control failed"); };
    EXPECT_NO_THROW(waiting.INS_PollRxStatus());
    EXPECT_EQ(waiting.bPolling, 0);
    window.onTransmit = nullptr;
    waiting.INS_PollRxStatus();
    EXPECT_EQ(window.transmitted.size(), 2);
}

TEST_F(ReceptionWaitingTest, TicksPollEveryThirtySecondsAndAnimateEverySecond) {
    engine.log = {};
    waiting.enter();
    window.images.clear();
    for (int tick = 1; tick <= 120; ++tick) {
        waiting.TimerIDLE_Timer();
        EXPECT_EQ(engine.entryCountCalls, tick / 60) << tick;
    }
    // Sixty frames from 3 on: 3 .. 29 (27 frames), 2 .. 29 (28), then 2 .. 6.
    ASSERT_EQ(window.images.size(), 60);
    QVector<int> expected;
    int frame = 3;
    for (int i = 0; i < 60; ++i) {
        expected.append(frame);
        frame = frame == 29 ? 2 : frame + 1;
    }
    EXPECT_EQ(window.images, expected);
    EXPECT_EQ(window.images.at(26), 29);
    EXPECT_EQ(window.images.at(27), 2);
}

TEST_F(ReceptionWaitingTest, MinimizedWindowKeepsItsFrameWhilePollingGoesOn) {
    waiting.enter();
    window.images.clear();
    window.minimized = true;
    for (int tick = 0; tick < 60; ++tick)
        waiting.TimerIDLE_Timer();
    EXPECT_TRUE(window.images.isEmpty());
    EXPECT_EQ(engine.entryCountCalls, 1);
    window.minimized = false;
    waiting.TimerIDLE_Timer();
    waiting.TimerIDLE_Timer();
    EXPECT_EQ(window.images, QVector<int>{3});
}

TEST_F(ReceptionWaitingTest, AdvancingTheIconNeedsWaitingAndImages) {
    waiting.INS_ChangeIcon(1); // idle: lIconIndex is -1
    EXPECT_TRUE(window.images.isEmpty());
    waiting.INS_ChangeIcon(0);
    window.imageCount = 0;
    waiting.INS_ChangeIcon(1);
    EXPECT_EQ(window.images, QVector<int>{2});
    waiting.INS_ChangeIcon(7); // any other value shows the idle image
    EXPECT_EQ(window.images.last(), 1);
    EXPECT_EQ(waiting.lIconIndex, -1);
}
