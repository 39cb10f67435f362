#include "Commands.h"

#include "FaxEngine.h"
#include "LocalMonitorLink.h"
#include "PrivateProfile.h"
#include "ReceptionLog.h"
#include "RecordFile.h"
#include "SampleFax.h"
#include "SuiteLayout.h"
#include "VbValue.h"
#include "WindowsPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace Commands {
namespace {

constexpr int maxReceiveFolders = 129; // the forwarding program's row capacity
constexpr int maxSamplePages = 999;

[[noreturn]] void usage(const char* line) {
    throw CommandFailure(usageStatus, QStringLiteral("usage: kmbsuite ") + QLatin1String(line));
}

CommandLine parse(const QStringList& arguments, const char* usageLine,
                  const QStringList& valueOptions = {}, const QStringList& switches = {},
                  int plainCount = 0) {
    const auto line = CommandLine::parse(arguments, valueOptions, switches);
    if (!line || line->plain().size() != plainCount)
        usage(usageLine);
    return *line;
}

void printRecord(const QStringList& fields) {
    QStringList escaped;
    for (const QString& field : fields)
        escaped.append(TabRecord::escapeField(field));
    const QByteArray line = (escaped.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
}

// Writes Key=Value unless the key is already there, with whatever value.
void writeIfMissing(const QString& file, const QString& section, const QString& key,
                    const QString& value) {
    static const QString absent = QStringLiteral("\x01absent\x01");
    if (PrivateProfile::getString(file, section, key, absent) != absent)
        return;
    if (!PrivateProfile::writeString(file, section, key, value))
        throw CommandFailure(failedStatus, QStringLiteral("cannot write [%1] %2 to %3")
                                               .arg(section, key, QDir::toNativeSeparators(file)));
}

void makeFolder(const QString& path) {
    if (!QDir().mkpath(path))
        throw CommandFailure(failedStatus,
                             QStringLiteral("cannot make %1").arg(QDir::toNativeSeparators(path)));
}

// A copy of `source` under a new name in `folder`, made under a temporary name first so a
// half-copied document never appears.
QString storeCopy(const QString& source, const QString& folder, const QDateTime& time) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw CommandFailure(failedStatus,
                             QStringLiteral("cannot read %1: %2")
                                 .arg(QDir::toNativeSeparators(source), in.errorString()));
    QTemporaryFile temporary(QDir(folder).filePath(QStringLiteral(".receiving-XXXXXX")));
    if (!temporary.open())
        throw CommandFailure(failedStatus,
                             QStringLiteral("cannot store in %1: %2")
                                 .arg(QDir::toNativeSeparators(folder), temporary.errorString()));
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFile::NoError)
            throw CommandFailure(failedStatus,
                                 QStringLiteral("cannot read %1: %2")
                                     .arg(QDir::toNativeSeparators(source), in.errorString()));
        if (temporary.write(chunk) != chunk.size())
            throw CommandFailure(
                failedStatus, QStringLiteral("cannot store in %1: %2")
                                  .arg(QDir::toNativeSeparators(folder), temporary.errorString()));
    }
    if (!temporary.flush())
        throw CommandFailure(failedStatus, temporary.errorString());
    temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                             QFile::ReadOther);
    const QString suffix = QFileInfo(source).suffix().isEmpty()
                               ? QString()
                               : QLatin1Char('.') + QFileInfo(source).suffix().toLower();
    const QString stem = QStringLiteral("RX") + time.toString(QStringLiteral("yyyyMMddHHmmss"));
    // link() never replaces an existing file: two receptions in one second get two names.
    for (int n = 1;; ++n) {
        const QString name = QDir(folder).filePath(
            QStringLiteral("%1_%2%3").arg(stem).arg(n, 3, 10, QLatin1Char('0')).arg(suffix));
        if (::link(QFile::encodeName(temporary.fileName()).constData(),
                   QFile::encodeName(name).constData()) == 0)
            return name;
        if (errno != EEXIST)
            throw CommandFailure(
                failedStatus,
                QStringLiteral("cannot store %1").arg(QDir::toNativeSeparators(name)));
    }
}

} // namespace

int init(const QStringList& arguments) {
    const char* line = "init [--folders N]";
    const CommandLine options = parse(arguments, line, {QStringLiteral("--folders")});
    const auto folders = options.number(QStringLiteral("--folders"), 3, 0, maxReceiveFolders);
    if (!folders)
        usage(line);

    const QString profile = QString::fromLatin1(SuiteLayout::profileName);
    makeFolder(WindowsPaths::windowsDirectory());
    writeIfMissing(profile, QStringLiteral("Path"), QStringLiteral("KMB Directory"),
                   QString::fromLatin1(SuiteLayout::defaultSuiteDirectory));
    writeIfMissing(profile, QStringLiteral("KMBLOG95-Recv"), QStringLiteral("NumOfRecvFolder"),
                   QString::number(*folders));
    for (int i = 1; i <= *folders; ++i)
        writeIfMissing(profile, QStringLiteral("AGENT-Recv"), QString::number(i),
                       QStringLiteral("%1,受信フォルダ%2").arg(100 + i).arg(i));
    // Off with three rings, so a program that turns automatic reception on and puts the
    // settings back afterwards is seen doing both.
    writeIfMissing(profile, QStringLiteral("Monitor"), QStringLiteral("AutoReceive"),
                   QStringLiteral("0"));
    writeIfMissing(profile, QStringLiteral("Monitor"), QStringLiteral("RingCount"),
                   QStringLiteral("3"));
    writeIfMissing(profile, QStringLiteral("Modem"), QStringLiteral("DialMode"),
                   QStringLiteral("0"));
    writeIfMissing(profile, QStringLiteral("Modem"), QStringLiteral("DialPrefix"), QString());
    writeIfMissing(profile, QStringLiteral("System"), QStringLiteral("Port"),
                   QStringLiteral("COM1:"));

    const SuiteLayout layout = SuiteLayout::fromProfile();
    makeFolder(layout.directory());
    makeFolder(QFileInfo(layout.faxProfiles()).absolutePath());
    makeFolder(QFileInfo(layout.receptionLog()).absolutePath());
    makeFolder(layout.receivedDocuments());
    const QString profiles = layout.faxProfiles();
    const QString section = QStringLiteral("IFAXPROF");
    writeIfMissing(profiles, section, QStringLiteral("PROFILECNT"), QStringLiteral("3"));
    writeIfMissing(profiles, section, QStringLiteral("PROFILENAME1"), QStringLiteral("本社"));
    writeIfMissing(profiles, section, QStringLiteral("PROFILENAME2"),
                   QStringLiteral("（テンプレート）新しいプロファイル"));
    writeIfMissing(profiles, section, QStringLiteral("PROFILENAME3"), QStringLiteral("大阪支店"));
    printRecord({layout.directory()});
    return 0;
}

int receive(const QStringList& arguments) {
    const char* line = "receive --fax-id ID [--time \"YYYY/MM/DD hh:mm:ss\"] [--flags F] "
                       "[--result R] FILE";
    const CommandLine options = parse(arguments, line,
                                      {QStringLiteral("--fax-id"), QStringLiteral("--time"),
                                       QStringLiteral("--flags"), QStringLiteral("--result")},
                                      {}, 1);
    const auto flags = options.number(QStringLiteral("--flags"), 1, -32768, 32767);
    const auto result = options.number(QStringLiteral("--result"), 0, -32768, 32767);
    const std::optional<QDateTime> time =
        options.has(QStringLiteral("--time"))
            ? VbValue::parseDateTime(options.value(QStringLiteral("--time")))
            : QDateTime::currentDateTime();
    if (!options.has(QStringLiteral("--fax-id")) || !flags || !result || !time)
        usage(line);
    const QString source = options.plain().first();
    if (!QFileInfo(source).isFile())
        throw CommandFailure(
            failedStatus, QStringLiteral("%1: no such file").arg(QDir::toNativeSeparators(source)));

    const SuiteLayout layout = SuiteLayout::fromProfile();
    makeFolder(layout.receivedDocuments());
    const QString document = storeCopy(source, layout.receivedDocuments(), *time);
    try {
        // Under the log's lock, so the index printed is the one the entry has.
        RecordFile::LockedRecordFile log(layout.receptionLog());
        ReceptionLog existing(layout.receptionLog(), layout.directory());
        existing.refresh();
        const QStringList fields = ReceptionRecord::fields(
            *time, *flags, *result, options.value(QStringLiteral("--fax-id")), document,
            layout.directory());
        const qint64 key = ReceptionRecord::sortKey(*time);
        qsizetype index = 0;
        for (const ReceptionEntry& entry : existing.entries())
            index += entry.sortKey <= key ? 1 : 0;
        log.append(fields);
        printRecord({QString::number(index)});
    } catch (const SuiteError&) {
        QFile::remove(document);
        throw;
    }
    return 0;
}

int log(const QStringList& arguments) {
    parse(arguments, "log");
    const SuiteLayout layout = SuiteLayout::fromProfile();
    ReceptionLog receptions(layout.receptionLog(), layout.directory());
    receptions.refresh();
    qsizetype index = 0;
    for (const ReceptionEntry& entry : receptions.entries())
        printRecord({QString::number(index++), entry.time, QString::number(entry.flags),
                     QString::number(entry.result), entry.faxId, entry.document});
    return 0;
}

int outbox(const QStringList& arguments) {
    parse(arguments, "outbox");
    for (const QStringList& record :
         RecordFile::readRecords(SuiteLayout::fromProfile().sendRecord()))
        printRecord(record);
    return 0;
}

int pokes(const QStringList& arguments) {
    parse(arguments, "pokes");
    for (const QStringList& record :
         RecordFile::readRecords(SuiteLayout::fromProfile().pokeRecord()))
        printRecord(record);
    return 0;
}

int state(const QStringList& arguments) {
    parse(arguments, "state");
    LocalMonitorLink link(SuiteLayout::fromProfile().monitorServerName());
    printRecord({QString::number(link.state().value_or(0))});
    return 0;
}

int sampleFax(const QStringList& arguments) {
    const char* line = "sample-fax FILE [--pages N] [--fine]";
    const CommandLine options =
        parse(arguments, line, {QStringLiteral("--pages")}, {QStringLiteral("--fine")}, 1);
    const auto pages = options.number(QStringLiteral("--pages"), 1, 1, maxSamplePages);
    if (!pages)
        usage(line);
    QString error;
    if (!SampleFax::write(options.plain().first(), *pages, options.has(QStringLiteral("--fine")),
                          &error))
        throw CommandFailure(failedStatus, error);
    return 0;
}

} // namespace Commands
