#include "ReceptionWaiting.h"

#include "Clock.h"
#include "FaxEngine.h"
#include "MonitorLog.h"
#include "VbValue.h"

ReceptionWaiting::ReceptionWaiting(FaxEngine& engine, const Clock& clock, WaitingWindow& window)
    : engine_(engine), clock_(clock), window_(window) {}

void ReceptionWaiting::enter() {
    strLastRxTime = VbValue::formatDateTime(clock_.now());
    bPolling = 0;
    iPollTick = 0;
    INS_ChangeIcon(0);
}

void ReceptionWaiting::leave() {
    INS_ChangeIcon(-1);
}

void ReceptionWaiting::TimerIDLE_Timer() {
    if (!window_.isWindowMinimized()) {
        if (++iAnimeTick >= kTicksPerFrame) {
            iAnimeTick = 0;
            INS_ChangeIcon(1);
        }
    }
    if (++iPollTick >= kTicksPerPoll) {
        iPollTick = 0;
        INS_PollRxStatus();
    }
}

void ReceptionWaiting::INS_PollRxStatus() {
    if (bPolling)
        return; // a poll is already running further down the call stack
    bPolling = -1;
    // One bad reception or a suite that went away must not end forwarding for good: the failure
    // ends this poll only, and the next one starts afresh.
    try {
        const int found = findFirstNewEntry();
        if (found != -1)
            window_.INS_Transmit(found);
    } catch (const std::exception& e) {
        qCWarning(lcMonitor) << "reception poll failed, waiting goes on:" << e.what();
    }
    bPolling = 0;
}

// Scans from the newest entry backwards and stops at the first forwardable entry that is not
// newer than the mark, so the result is the oldest forwardable entry of the new run.
int ReceptionWaiting::findFirstNewEntry() {
    // Before waiting was ever entered there is no mark to compare with: nothing is new.
    if (!VbValue::parseDateTime(strLastRxTime))
        return -1;
    int found = -1;
    for (int i = engine_.EntryCount() - 1; i >= 0; --i) {
        if (engine_.SelectEntry(i) != 0)
            break;
        if ((engine_.EntryFlags() & 1) && engine_.EntryResult() == 0) {
            // An entry whose time cannot be read is passed over like one that cannot be
            // forwarded, so it neither hides older new receptions nor ends waiting.
            const auto d = VbValue::secondsBetween(strLastRxTime, engine_.EntryTime());
            if (d) {
                if (*d > 0)
                    found = i;
                else
                    break;
            }
        }
        window_.letEventsRun();
    }
    return found;
}

void ReceptionWaiting::INS_ChangeIcon(int sw) {
    if (sw == 0) {
        window_.showStatusImage(2);
        lIconIndex = 3;
    } else if (sw == 1) {
        if (window_.isWindowMinimized() || window_.statusImageCount() == 0 || lIconIndex < 2)
            return;
        window_.showStatusImage(static_cast<int>(lIconIndex));
        if (++lIconIndex > window_.statusImageCount())
            lIconIndex = 2;
    } else {
        window_.showStatusImage(1);
        lIconIndex = -1;
    }
}
