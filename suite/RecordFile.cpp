#include "RecordFile.h"

#include "FaxEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RecordFile {
namespace {

[[noreturn]] void fail(const QString& what, const QString& path, int error) {
    throw SuiteError(
        QStringLiteral("%1 %2: %3")
            .arg(what, QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)))
            .toStdString());
}

} // namespace

LockedRecordFile::LockedRecordFile(const QString& path) : path_(path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    fd_ =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        fail(QStringLiteral("cannot open"), path, errno);
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd_);
            fd_ = -1;
            fail(QStringLiteral("cannot lock"), path, error);
        }
    }
}

LockedRecordFile::~LockedRecordFile() {
    if (fd_ >= 0)
        ::close(fd_); // closing releases the lock
}

void LockedRecordFile::append(const QStringList& fields) {
    const QByteArray line = TabRecord::encodeRecord(fields);
    struct stat before {};
    if (::fstat(fd_, &before) != 0)
        fail(QStringLiteral("cannot examine"), path_, errno);
    ssize_t written;
    do {
        written = ::write(fd_, line.constData(), static_cast<size_t>(line.size()));
    } while (written < 0 && errno == EINTR);
    if (written == line.size())
        return;
    const int error = written < 0 ? errno : ENOSPC;
    if (written > 0 && ::ftruncate(fd_, before.st_size) != 0)
        fail(QStringLiteral("cannot take back a short write to"), path_, errno);
    fail(QStringLiteral("cannot append to"), path_, error);
}

void appendRecord(const QString& path, const QStringList& fields) {
    LockedRecordFile(path).append(fields);
}

QList<QStringList> readRecords(const QString& path, int* skipped) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw SuiteError(QStringLiteral("cannot read %1: %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString())
                             .toStdString());
    const QByteArray bytes = file.readAll();
    QList<QStringList> records;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            break; // a record still being written
        if (auto fields = TabRecord::decodeRecord(bytes.mid(start, end - start)))
            records.append(*fields);
        else if (skipped)
            ++*skipped;
        start = end + 1;
    }
    return records;
}

} // namespace RecordFile
