#include "Registry.h"

#include "Cp932.h"
#include "FileReplacement.h"
#include "WindowsPaths.h"
#include "WineRegistryFile.h"
#include "WineRegistryText.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <memory>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcRegistry, "platform.registry")

namespace Registry {

struct KeyHandle {
    QString path; // with links followed; empty for the machine root
    bool writable = false;
    std::vector<WineRegistryFile::Value> values;
};

namespace {

KeyHandle g_machineRoot;
std::set<const KeyHandle*> g_openKeys;
std::function<QDateTime()> g_clock;

QString registryFilePath() {
    return WindowsPaths::winePrefix() + QStringLiteral("/system.reg");
}

bool isValidHandle(HKEY key) {
    return key == &g_machineRoot || g_openKeys.count(key) > 0;
}

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The last file parsed, with what identifies that version of it: a replacement by rename gets a
// new inode, an edit in place a new modification time or size.
struct ParsedFile {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    std::shared_ptr<const WineRegistryFile> file;

    bool matches(const QString& p, const struct stat& st) const {
        return file && path == p && device == st.st_dev && inode == st.st_ino &&
               size == st.st_size && modified.tv_sec == st.st_mtim.tv_sec &&
               modified.tv_nsec == st.st_mtim.tv_nsec;
    }
};
ParsedFile g_lastParsed;

LSTATUS load(std::shared_ptr<const WineRegistryFile>* file) {
    const QString path = registryFilePath();
    QFile f(path);
    if (!f.exists())
        return ERROR_FILE_NOT_FOUND;
    if (!f.open(QIODevice::ReadOnly))
        return ERROR_ACCESS_DENIED;
    struct stat st {};
    if (::fstat(f.handle(), &st) != 0)
        return ERROR_ACCESS_DENIED;
    if (g_lastParsed.matches(path, st)) {
        *file = g_lastParsed.file;
        return ERROR_SUCCESS;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return ERROR_ACCESS_DENIED;
    QString reason;
    std::optional<WineRegistryFile> parsed = WineRegistryFile::parse(bytes, &reason);
    if (!parsed) {
        qCWarning(lcRegistry) << "refusing the malformed registry file" << path << reason;
        return ERROR_BADDB;
    }
    *file = std::make_shared<const WineRegistryFile>(std::move(*parsed));
    g_lastParsed = ParsedFile{path, st.st_dev, st.st_ino, st.st_size, st.st_mtim, *file};
    return ERROR_SUCCESS;
}

// CP932 bytes as text, only when they are valid CP932.
std::optional<QString> fromAnsi(const QByteArray& bytes) {
    if (!Cp932::isValid(bytes))
        return std::nullopt;
    return Cp932::decode(bytes);
}

// Text as CP932 bytes, only when they read back as the same text.
std::optional<QByteArray> toAnsi(const QString& text) {
    bool ok = false;
    const QByteArray bytes = Cp932::encode(text, &ok);
    if (!ok || Cp932::decode(bytes) != text)
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> ansiData(const WineRegistryFile::Value& value) {
    if (!isStringType(value.type))
        return value.data;
    return toAnsi(WineRegistryText::fromUtf16Le(value.data));
}

bool canReplace(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return ::access(file.constData(), R_OK | W_OK) == 0 && ::access(folder.constData(), W_OK) == 0;
}

const WineRegistryFile::Value* findValue(const KeyHandle& key, const QString& name) {
    for (const auto& v : key.values) {
        if (QString::compare(v.name, name, Qt::CaseInsensitive) == 0)
            return &v;
    }
    return nullptr;
}

QDateTime now() {
    return g_clock ? g_clock() : QDateTime::currentDateTimeUtc();
}

} // namespace

const HKEY HKEY_LOCAL_MACHINE = &g_machineRoot;

LSTATUS RegOpenKeyEx(HKEY key, const QByteArray& subKey, DWORD, DWORD samDesired, HKEY* result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!isValidHandle(key))
        return ERROR_INVALID_HANDLE;
    const std::optional<QString> sub = fromAnsi(subKey);
    if (!sub)
        return ERROR_FILE_NOT_FOUND;
    std::shared_ptr<const WineRegistryFile> file;
    if (const LSTATUS status = load(&file))
        return status;
    const QString wanted = key->path.isEmpty() ? *sub : key->path + QLatin1Char('\\') + *sub;
    const std::optional<QString> path = file->resolve(wanted);
    if (!path)
        return ERROR_FILE_NOT_FOUND;
    const bool writable = (samDesired & KEY_SET_VALUE) != 0;
    if (writable && !canReplace(registryFilePath()))
        return ERROR_ACCESS_DENIED;
    auto* handle = new KeyHandle{*path, writable, {}};
    if (const WineRegistryFile::Key* section = file->section(*path))
        handle->values = section->values;
    g_openKeys.insert(handle);
    *result = handle;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueEx(HKEY key, const QByteArray& valueName, DWORD* type, QByteArray* data,
                        DWORD* dataSize) {
    if (!isValidHandle(key))
        return ERROR_INVALID_HANDLE;
    if (!data || !dataSize)
        return ERROR_INVALID_PARAMETER;
    const std::optional<QString> name = fromAnsi(valueName);
    const WineRegistryFile::Value* value = name ? findValue(*key, *name) : nullptr;
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    const std::optional<QByteArray> bytes = ansiData(*value);
    if (!bytes)
        return ERROR_NO_UNICODE_TRANSLATION;
    if (type)
        *type = value->type;
    if (DWORD(bytes->size()) > *dataSize) {
        *dataSize = DWORD(bytes->size());
        return ERROR_MORE_DATA;
    }
    *data = *bytes;
    *dataSize = DWORD(bytes->size());
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValue(HKEY key, DWORD index, QByteArray* name, DWORD* nameSize, DWORD* type,
                     QByteArray* data, DWORD* dataSize) {
    if (!isValidHandle(key))
        return ERROR_INVALID_HANDLE;
    if (!name || !nameSize || (data && !dataSize))
        return ERROR_INVALID_PARAMETER;
    if (index >= key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const WineRegistryFile::Value& value = key->values[index];
    const std::optional<QByteArray> ansiName = toAnsi(value.name);
    if (!ansiName)
        return ERROR_NO_UNICODE_TRANSLATION;
    if (DWORD(ansiName->size()) >= *nameSize) {
        *nameSize = DWORD(ansiName->size());
        return ERROR_MORE_DATA;
    }
    std::optional<QByteArray> bytes;
    if (data) {
        bytes = ansiData(value);
        if (!bytes)
            return ERROR_NO_UNICODE_TRANSLATION;
        if (DWORD(bytes->size()) > *dataSize) {
            *dataSize = DWORD(bytes->size());
            return ERROR_MORE_DATA;
        }
        *data = *bytes;
        *dataSize = DWORD(bytes->size());
    }
    *name = *ansiName;
    *nameSize = DWORD(ansiName->size());
    if (type)
        *type = value.type;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueEx(HKEY key, const QByteArray& valueName, DWORD type, const QByteArray& data) {
    if (!isValidHandle(key))
        return ERROR_INVALID_HANDLE;
    if (!key->writable)
        return ERROR_ACCESS_DENIED;
    const std::optional<QString> name = fromAnsi(valueName);
    std::optional<QByteArray> stored = data;
    if (isStringType(type)) {
        const std::optional<QString> text = fromAnsi(data);
        stored =
            text ? std::optional<QByteArray>(WineRegistryText::toUtf16Le(*text)) : std::nullopt;
    }
    if (!name || !stored)
        return ERROR_NO_UNICODE_TRANSLATION;

    // A registry file reached through a symbolic link is replaced where it lives, so the link
    // and whoever else shares the file keep seeing it.
    const QString linked = QFileInfo(registryFilePath()).canonicalFilePath();
    const QString path = linked.isEmpty() ? registryFilePath() : linked;
    const FileReplacement::FolderLock lock(QFileInfo(path).absolutePath());
    if (!lock.held()) // unlocked, a second writer could silently undo this change
        return ERROR_WRITE_FAULT;
    std::shared_ptr<const WineRegistryFile> file;
    if (const LSTATUS status = load(&file))
        return status == ERROR_FILE_NOT_FOUND ? ERROR_KEY_DELETED : status;
    const std::optional<QString> resolved = file->resolve(key->path);
    if (!resolved || resolved->compare(key->path, Qt::CaseInsensitive) != 0)
        return ERROR_KEY_DELETED;
    const std::optional<QByteArray> updated =
        file->withValue(*resolved, *name, type, *stored, now());
    if (!updated)
        return ERROR_KEY_DELETED;
    // What is written must read back as a registry file holding the value just set.
    std::optional<WineRegistryFile> check = WineRegistryFile::parse(*updated);
    const WineRegistryFile::Key* section = check ? check->section(*resolved) : nullptr;
    const WineRegistryFile::Value* written = section ? section->findValue(*name) : nullptr;
    if (!written || written->type != type || written->data != *stored) {
        qCWarning(lcRegistry) << "refusing a change that would not read back:" << *name;
        return ERROR_BADDB;
    }
    QString reason;
    if (!FileReplacement::replace(path, *updated, &reason)) {
        qCWarning(lcRegistry) << "cannot write" << path << reason;
        return ERROR_WRITE_FAULT;
    }
    key->values = section->values;
    // The file just written is the one parsed for the check: the next open needs no parse.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && st.st_size == updated->size())
        g_lastParsed = ParsedFile{
            path,       st.st_dev,  st.st_ino,
            st.st_size, st.st_mtim, std::make_shared<const WineRegistryFile>(std::move(*check))};
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (key == &g_machineRoot)
        return ERROR_SUCCESS;
    if (!g_openKeys.erase(key))
        return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

void setClock(std::function<QDateTime()> clock) {
    g_clock = std::move(clock);
}

} // namespace Registry
