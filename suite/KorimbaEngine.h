#pragma once

#include "FaxEngine.h"
#include "ReceptionLog.h"
#include "SuiteLayout.h"

#include <QFileSystemWatcher>
#include <QTimer>

#include <optional>

// The suite's fax engine: reads the reception log, records sends, writes the automatic
// reception settings and drives the communication monitor (kmbmon) over its control channel.
//
// EngineNotify follows the log: a file watch reports an append at once, and a slow timed check
// catches what a watch cannot see (a log on a network file system, a log folder made later).
class KorimbaEngine : public FaxEngine {
    Q_OBJECT
public:
    // StartMonitor's failures besides -3 (already running).
    static constexpr int monitorProgramNotFound = -1;
    static constexpr int monitorProgramNotStarted = -2;
    static constexpr int monitorEndedWithoutAnswer = -4;
    static constexpr int monitorDidNotAnswer = -5;

    // The suite that "KMB32.INI" names.
    explicit KorimbaEngine(QObject* parent = nullptr);
    explicit KorimbaEngine(const SuiteLayout& layout, QObject* parent = nullptr);

    // 2 unless $KMBSUITE_ENGINE_LEVEL says otherwise; tests set it to run a level-1 engine.
    void setEngineLevel(int level) { level_ = level; }
    // How often the slow check looks at the log (milliseconds).
    void setCheckInterval(int milliseconds) { check_.setInterval(milliseconds); }
    // How long one control-channel exchange may take (milliseconds).
    void setMonitorTimeout(int milliseconds) { monitorTimeoutMs_ = milliseconds; }

    const SuiteLayout& layout() const { return layout_; }
    int malformedLogLines() const { return log_.malformedLines(); }

    // The monitor program: $KMBSUITE_BIN_DIR/kmbmon, else kmbmon beside the running program,
    // else kmbmon on the PATH. Empty when there is none.
    static QString monitorProgram();

    int EngineLevel() override;
    int EntryCount() override;
    int SelectEntry(int index) override;
    int EntryFlags() override;
    int EntryResult() override;
    QString EntryTime() override;
    QString EntryFaxId() override;
    QString EntryDocument() override;
    void SetRoute(const QString& route) override;
    int SendDocument(const QString& subject, const QString& document,
                     const QString& numberOrAddress, const QString& extra) override;
    int SetAutoReceive(int rings) override;
    int StartMonitor(int timeoutSeconds) override;
    void CloseManager() override;
    int MonitorState() override;

private:
    void checkForReceptions();
    void watchLog();

    SuiteLayout layout_;
    ReceptionLog log_;
    std::optional<ReceptionEntry> selected_;
    QString route_;
    int level_;
    int monitorTimeoutMs_ = 3000;
    QFileSystemWatcher watcher_;
    QTimer check_;
};
