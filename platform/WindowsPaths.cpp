#include "WindowsPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace WindowsPaths {
namespace {

QString withTrailingSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString envPath(const char* name) {
    return qEnvironmentVariable(name).trimmed();
}

bool hasDriveLetter(const QString& path) {
    if (path.size() < 2 || path.at(1) != QLatin1Char(':'))
        return false;
    const char16_t letter = path.at(0).toLower().unicode();
    return letter >= u'a' && letter <= u'z';
}

// The entry of `folder` named `name` without regard to case; empty when there is none.
QString entryMatching(const QString& folder, const QString& name) {
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

QString winePrefix() {
    QString prefix = envPath("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + QStringLiteral("/.wine");
    while (prefix.size() > 1 && prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    return prefix;
}

QString windowsDirectory() {
    return matchCaseInsensitive(winePrefix(), QStringLiteral("drive_c/windows"));
}

QString matchCaseInsensitive(const QString& base, const QString& relative) {
    QString current = base;
    bool inExistingFolder = QFileInfo(current).isDir();
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QString next = current + QLatin1Char('/') + part;
        if (!inExistingFolder) {
            current = next;
            continue;
        }
        // One look at the disk per component on the common path where the spelling matches.
        QFileInfo info(next);
        if (!info.exists()) {
            const QString onDisk = entryMatching(current, part);
            if (!onDisk.isEmpty()) {
                next = current + QLatin1Char('/') + onDisk;
                info = QFileInfo(next);
            }
        }
        current = next;
        inExistingFolder = info.isDir();
    }
    return current;
}

QString resolveProfilePath(const QString& name) {
    const bool bare = !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
    if (bare)
        return matchCaseInsensitive(windowsDirectory(), name);
    if (name.contains(QLatin1Char('\\')) || hasDriveLetter(name))
        return toNativePath(name);
    const QFileInfo info(name);
    return matchCaseInsensitive(info.absolutePath(), info.fileName());
}

QString toNativePath(const QString& windowsPath) {
    QString path = windowsPath.trimmed();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool trailing = path.endsWith(QLatin1Char('/'));
    if (hasDriveLetter(path)) {
        const QString drive = path.left(2).toLower();
        const QString rest = path.mid(2);
        const QString devices = winePrefix() + QStringLiteral("/dosdevices");
        QString root = devices + QLatin1Char('/') + drive;
        if (!QFileInfo::exists(root) && drive == QLatin1String("c:"))
            root = winePrefix() + QStringLiteral("/drive_c");
        root = QFileInfo(root).exists() ? QFileInfo(root).canonicalFilePath() : root;
        QString native = matchCaseInsensitive(root, rest);
        if (trailing)
            native = withTrailingSlash(native);
        return native;
    }
    if (path.startsWith(QLatin1Char('/')))
        return path;
    return path; // relative: stays relative, separators turned to '/'
}

QString programDirectory() {
    const QString fromEnv = envPath("TOVALDE_PROGRAM_DIR");
    if (!fromEnv.isEmpty())
        return withTrailingSlash(QDir(fromEnv).absolutePath());
    return withTrailingSlash(QCoreApplication::applicationDirPath());
}

QString temporaryDirectory() {
    // "windir" names a Windows path on the systems the programs come from; map it like any other.
    for (const char* name : {"TEMP", "windir"}) {
        const QString value = envPath(name);
        if (value.isEmpty())
            continue;
        const QString native =
            (value.contains(QLatin1Char('\\')) || value.contains(QLatin1Char(':')))
                ? toNativePath(value)
                : value;
        if (!native.isEmpty())
            return withTrailingSlash(native);
    }
    return withTrailingSlash(QDir::tempPath());
}

} // namespace WindowsPaths
