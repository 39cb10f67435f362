#pragma once

#include "LogTail.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// One reception as the log records it.
struct ReceptionEntry {
    QString time; // "YYYY/MM/DD hh:mm:ss"
    int flags = 0;
    int result = 0;
    QString faxId;
    QString document; // native absolute path

    qint64 sortKey = 0; // YYYYMMDDhhmmss: orders entries by reception time
};

namespace ReceptionRecord {

// The fields of a log line: time, flags, result, FAX ID, document. A document inside the suite
// directory is written relative to it, so a moved suite keeps its documents.
QStringList fields(const QDateTime& time, int flags, int result, const QString& faxId,
                   const QString& document, const QString& suiteDirectory);

// The order key of a reception time (whole seconds).
qint64 sortKey(const QDateTime& time);

// A log line's entry; nullopt for a line that is not one (missing or extra fields, a time that
// is not a date, flags or result that are not 16-bit integers, bytes that are not UTF-8).
std::optional<ReceptionEntry> parse(const QByteArray& line, const QString& suiteDirectory);

} // namespace ReceptionRecord

// The reception log read into memory, in ascending reception time (receptions with the same
// time keep the order they were logged in). Reading follows the file: a refresh reads only the
// lines appended since the last one.
class ReceptionLog {
public:
    ReceptionLog(const QString& logPath, const QString& suiteDirectory);

    // Reads what was logged since the last refresh. True when the entries changed.
    // Throws SuiteError when the log exists but cannot be read.
    bool refresh();

    const std::vector<ReceptionEntry>& entries() const { return entries_; }

    // Lines skipped because they are not log entries, since the log was last read from its start.
    int malformedLines() const { return malformed_; }

    QString path() const { return tail_.path(); }

private:
    void keepTimeOrder(size_t firstNew);

    LogTail tail_;
    QString suiteDirectory_;
    std::vector<ReceptionEntry> entries_;
    int malformed_ = 0;
};
