#pragma once

#include "ForwardingLog.h"
#include "ForwardingRuleStore.h"

#include <QString>

#include <functional>

class FaxDocument;
class FaxEngine;

// What forwarding needs from the main window. The window implements it; tests put a double in
// its place.
class ForwardingWindow {
public:
    virtual ~ForwardingWindow() = default;
    // The rule set as the window holds it at this moment, rows in profile order.
    virtual ForwardingRuleStore ruleStore() const = 0;
    virtual int g_varEngineLevel() const = 0;
    // The text of the control the monitor link uses (LabelAddress).
    virtual QString monitorLinkText() const = 0;
    // Moves the waiting cycle's high-water mark.
    virtual void setLastRxTime(const QString& time) = 0;
    virtual QString currentTitle() const = 0;
    virtual void showTitle(const QString& title) = 0;
    virtual void letEventsRun() = 0;
};

// The routines of the other subsystems a rule calls. The window binds them to the real ones:
// the printer list and the print routine of the received-fax printer, Main::iFindBellTitle,
// Bell::iCallBell and the two monitor link routines of KMB95_DDE over its engine and link.
struct ForwardingRoutines {
    // Whether a printer with exactly this device name is installed.
    std::function<bool(const QString& strPrnName)> printerInstalled;
    // Prints the document on the printer with that device name; may throw.
    std::function<void(const QString& strFileName, const QString& strPrnName)> INS_PrnOut;
    // The pager entry's slot, or -1.
    std::function<int(const QString& title)> iFindBellTitle;
    // Dials the pager entry: 0 done, -1 nothing to dial, -2 port or modem failed.
    std::function<int(int slot)> iCallBell;
    // Take the monitor off the line and hand it back; false when the link failed.
    std::function<bool(const QString& linkText)> bMonitorGoIdle;
    std::function<bool(const QString& linkText)> bMonitorGoActive;
};

// Forwards new receptions by the rules: walks the reception log from the first new entry to
// its end and, for every forwardable reception, carries out the all-folders rule and every
// folder rule whose FAX ID matches, each written to the forwarding log.
//
// One bad reception or rule never stops forwarding: whatever fails inside a rule (the engine,
// the document, the printer, the monitor link, the pager) is written to the log with its reason
// and forwarding goes on with the next rule and the next reception.
class ReceptionForwarder {
public:
    ReceptionForwarder(FaxEngine& engine, FaxDocument& document, ForwardingRoutines routines,
                       ForwardingWindow& window, ForwardingLog& log);

    // Forwards from log entry Lptr to the end of the log; Lptr ends one past the last entry.
    // A call made while a walk is running (from the events it lets run) returns at once: the
    // running walk reaches the end of the log and so forwards whatever the nested one would,
    // and nothing is forwarded twice.
    void INS_Transmit(int& Lptr);

    // Carries out one rule for the selected reception. Never throws.
    void INS_TransmitExecute(const QString& strPort, const QString& strAdr);

    static const QString kTitle;
    static const QString kForwardingSuffix;

private:
    void forwardSelectedReception();
    void executeRule(const QString& strPort, const QString& strAdr, ForwardingLog::Entry& entry);
    void sendDocument(const QString& strAdr, const QString& document, const QString& faxId);
    void printDocument(const QString& strAdr, ForwardingLog::Entry& entry);
    void callPager(const QString& strAdr, ForwardingLog::Entry& entry);
    void logReadFailure(const QString& what, const QString& reason);

    FaxEngine& engine_;
    FaxDocument& document_;
    ForwardingRoutines routines_;
    ForwardingWindow& window_;
    ForwardingLog& log_;
    bool walking_ = false;
};
