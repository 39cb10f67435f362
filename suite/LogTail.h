#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

// Follows a file that grows by whole lines, reading only what was added since the last look.
// A file that was truncated, replaced or rewritten under the part already read is read again
// from its start; a last line without its line break is left for the next look.
class LogTail {
public:
    explicit LogTail(const QString& path);

    struct Update {
        bool restarted = false; // the lines below replace everything read before
        QList<QByteArray> lines;
    };

    // Throws SuiteError when the file exists but cannot be read. A missing file has no lines.
    Update read();

    QString path() const { return path_; }

private:
    bool sameFileAsBefore(int fd, qint64 size) const;

    QString path_;
    qint64 offset_ = 0;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    // The bytes just before offset_: if they change, the file was rewritten, not appended to.
    QByteArray fingerprint_;
};
