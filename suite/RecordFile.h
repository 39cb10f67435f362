#pragma once

#include "TabRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The suite's own record files (reception log, send record, poke record): one TabRecord line
// per record.
namespace RecordFile {

// Holds an exclusive advisory lock on a record file for as long as it lives, so a writer can
// read what is there and append in one step that no other writer interleaves with.
class LockedRecordFile {
public:
    // Opens (creating it and its folder) and locks the file. Throws SuiteError when it cannot.
    explicit LockedRecordFile(const QString& path);
    ~LockedRecordFile();
    LockedRecordFile(const LockedRecordFile&) = delete;
    LockedRecordFile& operator=(const LockedRecordFile&) = delete;

    // Appends one record with a single write, so readers never see two records mixed. A write
    // that stops short (disk full) is taken back. Throws SuiteError on failure.
    void append(const QStringList& fields);

private:
    QString path_;
    int fd_ = -1;
};

// Opens, locks, appends one record and closes.
void appendRecord(const QString& path, const QStringList& fields);

// Every well-formed record of a file, oldest first; a missing file has none. Lines that do not
// decode are skipped and added to *skipped. Throws SuiteError when the file exists but cannot
// be read.
QList<QStringList> readRecords(const QString& path, int* skipped = nullptr);

} // namespace RecordFile
