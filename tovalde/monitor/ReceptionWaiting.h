#pragma once

#include <QString>

class Clock;
class FaxEngine;

// What the waiting cycle needs from the main window.
class WaitingWindow {
public:
    virtual ~WaitingWindow() = default;
    virtual bool isWindowMinimized() const = 0;
    // Shows image `image` (1-based) of the status icon's image list.
    virtual void showStatusImage(int image) = 0;
    virtual int statusImageCount() const = 0;
    virtual void letEventsRun() = 0;
    // Forwarding from log entry `index` on.
    virtual void INS_Transmit(int index) = 0;
};

// The reception-waiting cycle: the icon animation, the timed and the event-driven polls of the
// reception log, and the high-water mark. The tick and the poll are plain methods; the window's
// timer and the engine's event only call them.
class ReceptionWaiting {
public:
    ReceptionWaiting(FaxEngine& engine, const Clock& clock, WaitingWindow& window);

    // Puts the mark at the current time and shows the first waiting frame.
    void enter();
    // Shows the idle image.
    void leave();

    void TimerIDLE_Timer();
    void INS_PollRxStatus();
    void INS_ChangeIcon(int sw);

    static constexpr int kTicksPerPoll = 60;
    static constexpr int kTicksPerFrame = 2;

    QString strLastRxTime; // the newest reception already handled
    short bPolling = 0;    // -1 while a poll runs
    short iPollTick = 0;
    short iAnimeTick = 0;
    long lIconIndex = -1;

private:
    int findFirstNewEntry();

    FaxEngine& engine_;
    const Clock& clock_;
    WaitingWindow& window_;
};
