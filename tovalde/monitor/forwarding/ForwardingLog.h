#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// What became of every rule the program carried out, so a person can see afterwards what was
// forwarded where and why something was not. One line per rule, UTF-8, fields separated by tabs:
// time, FAX ID, document, type, destination, outcome ("ok", "skipped", "error") and reason.
// Lines are TabRecord lines, so a tab or line break inside a field never breaks one.
//
// The file is only ever appended to and never held open. When a line would take it past its
// limit it becomes "<name>.1" (replacing the older one) and a fresh file begins, so the log
// never holds more than twice the limit on disk.
class ForwardingLog {
public:
    enum class Outcome { Ok, Skipped, Error };

    struct Entry {
        QString faxId;
        QString document;
        QString type;
        QString destination;
        Outcome outcome = Outcome::Ok;
        QString reason;
    };

    static constexpr qint64 kDefaultLimitBytes = 1024 * 1024;

    using Now = std::function<QDateTime()>;

    // "KmbRxTrans/forwarding.log" in the per-user data directory ($XDG_DATA_HOME).
    static QString defaultPath();

    explicit ForwardingLog(
        QString path = defaultPath(), qint64 limitBytes = kDefaultLimitBytes,
        Now now = [] { return QDateTime::currentDateTime(); });

    // False when the line could not be written; a log that cannot be written never stops
    // forwarding, so this only reports it as a diagnostic.
    bool append(const Entry& entry);

    QString path() const { return path_; }
    QString rotatedPath() const { return path_ + QStringLiteral(".1"); }

    static QString outcomeText(Outcome outcome);

private:
    void rotateBefore(qint64 lineBytes);

    QString path_;
    qint64 limitBytes_;
    Now now_;
};
