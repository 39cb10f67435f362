#pragma once

#include <QByteArray>
#include <QString>

// Replacing a shared file so that no reader ever sees it half written and no second writer loses
// the first one's change.
namespace FileReplacement {

// Holds an exclusive advisory lock on a folder for one read-modify-write of a file in it.
class FolderLock {
public:
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

// Writes `data` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, keeping the old file's permissions and owner. On failure `path` is untouched and
// *error (when given) says why.
bool replace(const QString& path, const QByteArray& data, QString* error = nullptr);

} // namespace FileReplacement
