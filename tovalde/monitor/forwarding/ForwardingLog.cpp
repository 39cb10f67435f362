#include "ForwardingLog.h"

#include "ForwardingDiagnostics.h"
#include "TabRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

ForwardingLog::ForwardingLog(QString path, qint64 limitBytes, Now now)
    : path_(std::move(path)), limitBytes_(limitBytes), now_(std::move(now)) {}

QString ForwardingLog::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/KmbRxTrans/forwarding.log");
}

QString ForwardingLog::outcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return QStringLiteral("ok");
    case Outcome::Skipped:
        return QStringLiteral("skipped");
    case Outcome::Error:
        return QStringLiteral("error");
    }
    return QString();
}

bool ForwardingLog::append(const Entry& entry) {
    const QStringList fields{now_().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")),
                             entry.faxId,
                             entry.document,
                             entry.type,
                             entry.destination,
                             outcomeText(entry.outcome),
                             entry.reason};
    const QByteArray line = TabRecord::encodeRecord(fields);

    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        qCWarning(lcForwarding) << "cannot make the folder of the forwarding log" << path_;
        return false;
    }
    rotateBefore(line.size());
    QFile file(path_);
    // One write of the whole line, so a line is never split by another writer.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() ||
        !file.flush()) {
        qCWarning(lcForwarding) << "cannot write the forwarding log" << path_ << file.errorString();
        return false;
    }
    return true;
}

void ForwardingLog::rotateBefore(qint64 lineBytes) {
    const QFileInfo log(path_);
    const qint64 size = log.size();
    if (!log.isFile() || size == 0 || size + lineBytes <= limitBytes_)
        return;
    QFile::remove(rotatedPath());
    if (!QFile::rename(path_, rotatedPath()))
        qCWarning(lcForwarding) << "cannot set the full forwarding log aside as" << rotatedPath();
}
