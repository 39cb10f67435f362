#include "KorimbaEngine.h"

#include "IniFile.h"
#include "LocalMonitorLink.h"
#include "RecordFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

Q_LOGGING_CATEGORY(lcEngine, "kmbsuite.engine")

namespace {

constexpr int defaultEngineLevel = 2;
constexpr int defaultCheckIntervalMs = 2000;

int levelFromEnvironment() {
    bool ok = false;
    const int level = qEnvironmentVariableIntValue("KMBSUITE_ENGINE_LEVEL", &ok);
    return ok ? level : defaultEngineLevel;
}

bool processAlive(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

} // namespace

KorimbaEngine::KorimbaEngine(QObject* parent) : KorimbaEngine(SuiteLayout::fromProfile(), parent) {}

KorimbaEngine::KorimbaEngine(const SuiteLayout& layout, QObject* parent)
    : FaxEngine(parent), layout_(layout), log_(layout.receptionLog(), layout.directory()),
      level_(levelFromEnvironment()) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &KorimbaEngine::checkForReceptions);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            &KorimbaEngine::checkForReceptions);
    connect(&check_, &QTimer::timeout, this, &KorimbaEngine::checkForReceptions);
    check_.setInterval(defaultCheckIntervalMs);
    check_.start();
    watchLog();
    try {
        log_.refresh(); // what is logged now is not news
    } catch (const SuiteError& e) {
        qCWarning(lcEngine, "%s", e.what());
    }
}

void KorimbaEngine::watchLog() {
    // A log replaced by rename drops out of the watch, and a log that does not exist yet cannot
    // be watched: watch its folder too (or, until that exists, the suite directory), and add
    // the file again whenever it is there.
    const QString folder = QFileInfo(log_.path()).absolutePath();
    for (const QString& directory : {folder, layout_.directory()}) {
        if (QFileInfo(directory).isDir()) {
            if (!watcher_.directories().contains(directory))
                watcher_.addPath(directory);
            break;
        }
    }
    if (QFileInfo::exists(log_.path()) && !watcher_.files().contains(log_.path()))
        watcher_.addPath(log_.path());
}

void KorimbaEngine::checkForReceptions() {
    watchLog();
    bool changed = false;
    try {
        changed = log_.refresh();
    } catch (const SuiteError& e) {
        qCWarning(lcEngine, "%s", e.what());
        return;
    }
    if (changed)
        Q_EMIT EngineNotify();
}

QString KorimbaEngine::monitorProgram() {
    const QString name = QStringLiteral("kmbmon");
    const QStringList folders = {qEnvironmentVariable("KMBSUITE_BIN_DIR"),
                                 QCoreApplication::applicationDirPath()};
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

int KorimbaEngine::EngineLevel() {
    return level_;
}

int KorimbaEngine::EntryCount() {
    log_.refresh();
    return int(log_.entries().size());
}

int KorimbaEngine::SelectEntry(int index) {
    selected_.reset();
    if (index < 0)
        return -1;
    if (size_t(index) >= log_.entries().size())
        log_.refresh();
    if (size_t(index) >= log_.entries().size())
        return -1;
    selected_ = log_.entries()[size_t(index)];
    return 0;
}

int KorimbaEngine::EntryFlags() {
    return selected_ ? selected_->flags : 0;
}

int KorimbaEngine::EntryResult() {
    return selected_ ? selected_->result : 0;
}

QString KorimbaEngine::EntryTime() {
    return selected_ ? selected_->time : QString();
}

QString KorimbaEngine::EntryFaxId() {
    return selected_ ? selected_->faxId : QString();
}

QString KorimbaEngine::EntryDocument() {
    return selected_ ? selected_->document : QString();
}

void KorimbaEngine::SetRoute(const QString& route) {
    if (level_ < 2)
        throw SuiteError("SetRoute is not available below engine level 2");
    route_ = route;
}

int KorimbaEngine::SendDocument(const QString& subject, const QString& document,
                                const QString& numberOrAddress, const QString& extra) {
    RecordFile::appendRecord(layout_.sendRecord(),
                             {subject, document, numberOrAddress, route_, extra});
    return 0;
}

int KorimbaEngine::SetAutoReceive(int rings) {
    if (rings < 1)
        return -1;
    const QString profile = QString::fromLatin1(SuiteLayout::profileName);
    const QString section = QStringLiteral("Monitor");
    if (!IniFile::bWriteIni(profile, section, QStringLiteral("AutoReceive"), QStringLiteral("1")) ||
        !IniFile::bWriteIni(profile, section, QStringLiteral("RingCount"), QString::number(rings)))
        throw SuiteError("cannot write the automatic reception settings to KMB32.INI");
    return 0;
}

int KorimbaEngine::StartMonitor(int timeoutSeconds) {
    LocalMonitorLink link(layout_.monitorServerName(), monitorTimeoutMs_);
    if (link.state())
        return -3;
    const QString program = monitorProgram();
    if (program.isEmpty()) {
        qCWarning(lcEngine, "kmbmon was found neither in $KMBSUITE_BIN_DIR, beside this program "
                            "nor on the PATH");
        return monitorProgramNotFound;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments({QStringLiteral("--suite-dir"), layout_.directory()});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return monitorProgramNotStarted;
    const QDeadlineTimer deadline(qMax(1, timeoutSeconds) * 1000);
    LocalMonitorLink quickLink(layout_.monitorServerName(), 200);
    while (!deadline.hasExpired()) {
        if (quickLink.state())
            return 0;
        if (!processAlive(pid))
            return quickLink.state() ? 0 : monitorEndedWithoutAnswer;
        QThread::msleep(20);
    }
    return monitorDidNotAnswer;
}

void KorimbaEngine::CloseManager() {
    LocalMonitorLink(layout_.monitorServerName(), monitorTimeoutMs_).requestClose();
}

int KorimbaEngine::MonitorState() {
    return LocalMonitorLink(layout_.monitorServerName(), monitorTimeoutMs_).state().value_or(0);
}
