#include "FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReplacement {
namespace {

bool writeAll(int fd, const QByteArray& data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

// Distinct enough that no file of anyone else's is taken for a temporary of ours.
QString temporaryPrefix(const QFileInfo& info) {
    return QLatin1Char('.') + info.fileName() + QLatin1String(".writing-");
}

// A writer killed between creating its temporary file and renaming it leaves the file behind.
// Temporaries are only created under the folder lock, so while it is held any that exist belong
// to writers that are gone.
void removeStaleTemporaries(const QFileInfo& info) {
    const QString prefix = temporaryPrefix(info);
    const QDir folder = info.absoluteDir();
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.size() == prefix.size() + 6 && entry.startsWith(prefix))
            QFile::remove(folder.filePath(entry));
    }
}

// A file nobody may write is read-only on purpose; the rename would otherwise replace it anyway.
bool mayWrite(const QByteArray& nativePath) {
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0)
        return errno == ENOENT;
    return (st.st_mode & 0222) != 0 && ::access(nativePath.constData(), W_OK) == 0;
}

} // namespace

FolderLock::FolderLock(const QString& folder) {
    fd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing releases the lock
}

bool replace(const QString& path, const QByteArray& data, QString* error) {
    const QByteArray native = QFile::encodeName(path);
    const QFileInfo info(path);
    auto failed = [&](const char* step) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(step),
                                                  QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    if (!mayWrite(native)) {
        errno = EACCES;
        return failed("the file is read-only");
    }
    removeStaleTemporaries(info);
    QByteArray pattern = QFile::encodeName(info.absolutePath() + QLatin1Char('/') +
                                           temporaryPrefix(info) + QLatin1String("XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return failed("cannot create a temporary file");
    struct stat st {};
    const bool existed = ::stat(native.constData(), &st) == 0;
    mode_t mode = 0;
    if (existed) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const char* failedStep = nullptr;
    if (!writeAll(fd, data) || ::fchmod(fd, mode) != 0)
        failedStep = "cannot write the temporary file";
    if (!failedStep && existed && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        (void)!::fchown(fd, st.st_uid, st.st_gid);
    if (!failedStep && ::fsync(fd) != 0)
        failedStep = "cannot flush the temporary file";
    if (::close(fd) != 0 && !failedStep)
        failedStep = "cannot close the temporary file";
    if (!failedStep && ::rename(pattern.constData(), native.constData()) != 0)
        failedStep = "cannot replace the file";
    if (failedStep) {
        failed(failedStep);
        ::unlink(pattern.constData());
        return false;
    }
    const int dirFd = ::open(QFile::encodeName(info.absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace FileReplacement
