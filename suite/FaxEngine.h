#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

// A failure reported by a component of the fax suite (the engine, the document control, the
// monitor link). Callers that must survive one bad reception catch it at their boundary.
class SuiteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The fax engine control: the suite's reception log, sending, and the communication monitor.
// This is the seam the forwarding program binds; KorimbaEngine is the suite's implementation,
// tests may put a double in its place. Members keep the control's names and results; any call
// may throw SuiteError.
class FaxEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~FaxEngine() override = default;

    // 2 or more: SetRoute is accepted.
    virtual int EngineLevel() = 0;

    // Number of log entries, indexed 0 .. count-1 in ascending reception time.
    virtual int EntryCount() = 0;
    // 0: the entry is now selected for the Entry* reads; anything else: no such entry.
    virtual int SelectEntry(int index) = 0;
    // Bit 0 set: a reception that may be forwarded.
    virtual int EntryFlags() = 0;
    // 0: completed without error.
    virtual int EntryResult() = 0;
    // "YYYY/MM/DD hh:mm:ss".
    virtual QString EntryTime() = 0;
    virtual QString EntryFaxId() = 0;
    // Native absolute path of the received document.
    virtual QString EntryDocument() = 0;

    // Route for the next SendDocument; empty text = no route.
    virtual void SetRoute(const QString& route) = 0;
    // Sends `document` to a fax number or mail address over the route set last. Result not
    // examined.
    virtual int SendDocument(const QString& subject, const QString& document,
                             const QString& numberOrAddress, const QString& extra) = 0;

    // Automatic reception after `rings` rings; may rewrite "KMB32.INI" [Monitor].
    virtual int SetAutoReceive(int rings) = 0;
    // 0: started; -3: already running; anything else: failure.
    virtual int StartMonitor(int timeoutSeconds) = 0;
    // Asks the communication monitor to end.
    virtual void CloseManager() = 0;
    // 0 idle (or no monitor); 501 waiting for calls; 508, 509, 518, 519 other busy states.
    virtual int MonitorState() = 0;

Q_SIGNALS:
    // The control's notify event: something was logged; the program polls the log.
    void EngineNotify();
};
