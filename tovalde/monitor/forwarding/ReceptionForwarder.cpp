#include "ReceptionForwarder.h"

#include "FaxDocument.h"
#include "FaxEngine.h"
#include "PortEncoding.h"

#include <exception>
#include <optional>

namespace {

const QString& kNone = PortEncoding::kPortNames[PortEncoding::PortNone];
const QString& kPortFax = PortEncoding::kPortNames[PortEncoding::PortFax];
const QString& kPortPrinter = PortEncoding::kPortNames[PortEncoding::PortPrinter];
const QString& kPortPager = PortEncoding::kPortNames[PortEncoding::PortPager];
const QString kSubjectPrefix = QStringLiteral("転送:");

// Runs `step`; the reason it failed, or nothing when it did not.
template <typename Step> std::optional<QString> failureOf(Step&& step) {
    try {
        step();
        return std::nullopt;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("unknown failure");
    }
}

// Shows the forwarding title while a rule runs and puts back the title it found, however the
// rule ends.
class ForwardingTitle {
public:
    explicit ForwardingTitle(ForwardingWindow& window)
        : window_(window), remembered_(window.currentTitle()) {
        window_.showTitle(ReceptionForwarder::kTitle + ReceptionForwarder::kForwardingSuffix);
    }
    ~ForwardingTitle() { window_.showTitle(remembered_); }
    ForwardingTitle(const ForwardingTitle&) = delete;
    ForwardingTitle& operator=(const ForwardingTitle&) = delete;

private:
    ForwardingWindow& window_;
    QString remembered_;
};

// Clears the flag it was given when it goes, so a walk that fails cannot block later ones.
class WalkGuard {
public:
    explicit WalkGuard(bool& walking) : walking_(walking) { walking_ = true; }
    ~WalkGuard() { walking_ = false; }
    WalkGuard(const WalkGuard&) = delete;
    WalkGuard& operator=(const WalkGuard&) = delete;

private:
    bool& walking_;
};

} // namespace

const QString ReceptionForwarder::kTitle = QStringLiteral("KORIMBA 自動転送");
const QString ReceptionForwarder::kForwardingSuffix = QStringLiteral(" [処理中]");

ReceptionForwarder::ReceptionForwarder(FaxEngine& engine, FaxDocument& document,
                                       ForwardingRoutines routines, ForwardingWindow& window,
                                       ForwardingLog& log)
    : engine_(engine), document_(document), routines_(std::move(routines)), window_(window),
      log_(log) {}

void ReceptionForwarder::INS_Transmit(int& Lptr) {
    if (walking_)
        return;
    const WalkGuard guard(walking_);
    for (;;) {
        int selected = -1;
        if (const auto failure = failureOf([&] { selected = engine_.SelectEntry(Lptr); })) {
            // Without a selected entry nothing further can be read; the mark stays where the
            // last forwarded reception put it, so the next poll starts here again.
            logReadFailure(QStringLiteral("log entry %1 cannot be selected").arg(Lptr), *failure);
            return;
        }
        if (selected != 0)
            return;
        forwardSelectedReception();
        ++Lptr;
        window_.letEventsRun();
    }
}

void ReceptionForwarder::forwardSelectedReception() {
    bool forwardable = false;
    if (const auto failure = failureOf(
            [&] { forwardable = (engine_.EntryFlags() & 1) && engine_.EntryResult() == 0; })) {
        logReadFailure(QStringLiteral("the state of a log entry cannot be read"), *failure);
        return;
    }
    if (!forwardable)
        return;

    // One reception is forwarded under one rule set; edits made meanwhile apply from the next.
    const ForwardingRuleStore rules = window_.ruleStore();
    if (rules.allRuleOn()) {
        window_.letEventsRun();
        INS_TransmitExecute(rules.allRule.strPort, rules.allRule.strAdr);
    }
    if (!rules.folderRulesOn())
        return;
    QString faxId;
    if (const auto failure = failureOf([&] { faxId = engine_.EntryFaxId(); })) {
        logReadFailure(QStringLiteral("the FAX ID of a log entry cannot be read"), *failure);
        return;
    }
    for (const ReceiveFolderRow& row : rules.rows) {
        if (row.strFaxId != faxId)
            continue;
        window_.letEventsRun();
        INS_TransmitExecute(row.rule.strPort, row.rule.strAdr);
    }
}

void ReceptionForwarder::INS_TransmitExecute(const QString& strPort, const QString& strAdr) {
    if (strPort == kNone || strPort.isEmpty() || strAdr.isEmpty())
        return;
    ForwardingLog::Entry entry;
    entry.type = strPort;
    entry.destination = strAdr;
    if (const auto failure = failureOf([&] { executeRule(strPort, strAdr, entry); })) {
        entry.outcome = ForwardingLog::Outcome::Error;
        entry.reason = *failure;
    }
    log_.append(entry);
}

// `entry` gathers what is known of the reception as it is read, so a failure further on is
// logged with it.
void ReceptionForwarder::executeRule(const QString& strPort, const QString& strAdr,
                                     ForwardingLog::Entry& entry) {
    // The mark moves before the document is examined: a reception without pages is not
    // offered again by later polls.
    window_.setLastRxTime(engine_.EntryTime());
    entry.document = engine_.EntryDocument();
    entry.faxId = engine_.EntryFaxId();
    if (document_.PageCount(entry.document) <= 0) {
        entry.outcome = ForwardingLog::Outcome::Skipped;
        entry.reason = QStringLiteral("the document has no pages that can be read");
        return;
    }

    const ForwardingTitle title(window_);
    if (strPort == kPortFax) {
        sendDocument(strAdr, entry.document, entry.faxId);
    } else if (strPort == kPortPrinter) {
        printDocument(strAdr, entry);
    } else if (strPort == kPortPager) {
        callPager(strAdr, entry);
    } else {
        entry.outcome = ForwardingLog::Outcome::Skipped;
        entry.reason = QStringLiteral("unknown forwarding type");
    }
}

void ReceptionForwarder::sendDocument(const QString& strAdr, const QString& document,
                                      const QString& faxId) {
    const bool routed = window_.g_varEngineLevel() >= 2;
    if (routed)
        engine_.SetRoute(PortEncoding::INS_strGetFaxRoute_Exec(strAdr));
    // The engine queues the transmission; how it ends is the suite's to report.
    engine_.SendDocument(kSubjectPrefix + faxId, document,
                         PortEncoding::INS_strGetFaxNumber(strAdr), QString());
    if (routed)
        engine_.SetRoute(QString());
}

// A printer that is gone prints nothing without complaint; the log says so, so a rule naming
// a removed printer does not pass for one that printed.
void ReceptionForwarder::printDocument(const QString& strAdr, ForwardingLog::Entry& entry) {
    if (!routines_.printerInstalled(strAdr)) {
        entry.outcome = ForwardingLog::Outcome::Error;
        entry.reason = QStringLiteral("no printer with this device name is installed");
        return;
    }
    routines_.INS_PrnOut(entry.document, strAdr);
}

void ReceptionForwarder::callPager(const QString& strAdr, ForwardingLog::Entry& entry) {
    const int slot = routines_.iFindBellTitle(strAdr);
    const QString linkText = window_.monitorLinkText();
    if (!routines_.bMonitorGoIdle(linkText)) {
        entry.outcome = ForwardingLog::Outcome::Error;
        entry.reason = QStringLiteral("the communication monitor did not give up the line; "
                                      "nothing was dialled");
        return;
    }
    int result = 0;
    // Whatever becomes of the call, the monitor gets its line back: left idle it would receive
    // no more faxes.
    const auto callFailure = failureOf([&] { result = routines_.iCallBell(slot); });
    const bool lineBack = routines_.bMonitorGoActive(linkText);

    QStringList reasons;
    if (callFailure)
        reasons << *callFailure;
    else if (slot < 0)
        reasons << QStringLiteral("no pager entry has this title");
    else if (result == -1)
        reasons << QStringLiteral("the pager entry has no number to dial");
    else if (result != 0)
        reasons << QStringLiteral("the modem could not be used (call result %1)").arg(result);
    if (!lineBack)
        reasons << QStringLiteral("the communication monitor did not take the line back");
    if (!reasons.isEmpty()) {
        entry.outcome = ForwardingLog::Outcome::Error;
        entry.reason = reasons.join(QStringLiteral("; "));
    }
}

void ReceptionForwarder::logReadFailure(const QString& what, const QString& reason) {
    ForwardingLog::Entry entry;
    entry.outcome = ForwardingLog::Outcome::Error;
    entry.reason = what + QStringLiteral(": ") + reason;
    log_.append(entry);
}
