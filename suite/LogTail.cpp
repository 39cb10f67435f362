#include "LogTail.h"

#include "FaxEngine.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype fingerprintLength = 64;

[[noreturn]] void fail(const QString& path, int error) {
    throw SuiteError(
        QStringLiteral("cannot read %1: %2")
            .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)))
            .toStdString());
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool readExactly(int fd, char* buffer, qint64 length, qint64 at) {
    while (length > 0) {
        const ssize_t n = ::pread(fd, buffer, static_cast<size_t>(length), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buffer += n;
        length -= n;
        at += n;
    }
    return true;
}

} // namespace

LogTail::LogTail(const QString& path) : path_(path) {}

bool LogTail::sameFileAsBefore(int fd, qint64 size) const {
    if (offset_ == 0)
        return true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_dev != device_ || st.st_ino != inode_ || size < offset_)
        return false;
    QByteArray before(fingerprint_.size(), Qt::Uninitialized);
    return readExactly(fd, before.data(), before.size(), offset_ - before.size()) &&
           before == fingerprint_;
}

LogTail::Update LogTail::read() {
    Update update;
    const FileDescriptor fd(::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno != ENOENT)
            fail(path_, errno);
        update.restarted = offset_ > 0; // the log was removed: nothing is logged any more
        offset_ = 0;
        fingerprint_.clear();
        return update;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        fail(path_, errno);
    if (!S_ISREG(st.st_mode))
        fail(path_, EISDIR);
    const qint64 size = st.st_size;
    if (!sameFileAsBefore(fd.get(), size)) {
        update.restarted = true;
        offset_ = 0;
        fingerprint_.clear();
    }
    device_ = st.st_dev;
    inode_ = st.st_ino;
    if (size == offset_)
        return update;

    QByteArray added(size - offset_, Qt::Uninitialized);
    qint64 got = 0;
    while (got < added.size()) {
        const ssize_t n = ::pread(fd.get(), added.data() + got,
                                  static_cast<size_t>(added.size() - got), offset_ + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(path_, errno);
        if (n == 0)
            break; // shrunk while reading: the next look starts over
        got += n;
    }
    added.truncate(got);
    const qsizetype complete = added.lastIndexOf('\n') + 1;
    if (complete == 0)
        return update;
    qsizetype start = 0;
    while (start < complete) {
        const qsizetype end = added.indexOf('\n', start);
        update.lines.append(added.mid(start, end - start));
        start = end + 1;
    }
    offset_ += complete;
    const qsizetype keep = qMin<qsizetype>(fingerprintLength, complete);
    fingerprint_ = added.mid(complete - keep, keep);
    if (fingerprint_.size() < fingerprintLength && offset_ > fingerprint_.size()) {
        // Too little was added to fill the fingerprint: take the rest from what came before.
        const qint64 wanted = qMin<qint64>(fingerprintLength, offset_);
        QByteArray longer(wanted, Qt::Uninitialized);
        if (readExactly(fd.get(), longer.data(), wanted, offset_ - wanted))
            fingerprint_ = longer;
    }
    return update;
}
