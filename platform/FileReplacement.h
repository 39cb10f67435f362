#pragma once

#include <QByteArray>
#include <QString>

// Replacing a shared file so that no reader ever sees it half written and no second writer loses
// the first one's change. Used by the profile files and the registry file alike.
namespace FileReplacement {

// Holds an exclusive advisory lock on a folder for one read-modify-write of a file in it.
// Readers need no lock: the files are only ever replaced by rename.
class FolderLock {
public:
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Writes `data` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, keeping the old file's permissions and owner. A file nobody may write is refused.
// Call it under the folder's FolderLock. On failure `path` is untouched and *error (when given)
// says why.
bool replace(const QString& path, const QByteArray& data, QString* error = nullptr);

} // namespace FileReplacement
