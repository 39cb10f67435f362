#include "SuiteLayout.h"

#include "IniFile.h"
#include "WindowsPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Room for "/kmbmon-<16 hex>.sock" and the terminating zero in a socket address.
bool fitsSocketPath(const QString& directory) {
    constexpr int nameLength = 1 + 7 + 16 + 5;
    return QFile::encodeName(directory).size() + nameLength < int(sizeof(sockaddr_un::sun_path));
}

QString privateTemporaryRuntimeDirectory() {
    const QString dir = QStringLiteral("/tmp/kmbsuite-%1").arg(::getuid());
    const QByteArray encoded = QFile::encodeName(dir);
    ::mkdir(encoded.constData(), 0700);
    return dir;
}

QString runtimeDirectory() {
    const QString fromEnv = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!fromEnv.isEmpty() && QFileInfo(fromEnv).isDir() && fitsSocketPath(fromEnv))
        return fromEnv;
    return privateTemporaryRuntimeDirectory();
}

} // namespace

SuiteLayout SuiteLayout::fromProfile() {
    QString configured =
        IniFile::strReadIni(QString::fromLatin1(profileName), QStringLiteral("Path"),
                            QStringLiteral("KMB Directory"))
            .trimmed();
    if (configured.isEmpty())
        configured = QString::fromLatin1(defaultSuiteDirectory);
    return SuiteLayout(WindowsPaths::toNativePath(configured));
}

SuiteLayout::SuiteLayout(const QString& directory)
    : directory_(QDir::cleanPath(QDir(directory).absolutePath())) {}

QString SuiteLayout::receptionLog() const {
    return directory_ + QStringLiteral("/Log/recv.log");
}

QString SuiteLayout::sendRecord() const {
    return directory_ + QStringLiteral("/Log/send.log");
}

QString SuiteLayout::pokeRecord() const {
    return directory_ + QStringLiteral("/Log/pokes.log");
}

QString SuiteLayout::receivedDocuments() const {
    return directory_ + QStringLiteral("/Recv");
}

QString SuiteLayout::faxProfiles() const {
    return WindowsPaths::matchCaseInsensitive(directory_, QStringLiteral("Inifile/IFAXPROF.INI"));
}

QString SuiteLayout::monitorServerName() const {
    // The same directory reached through a symbolic link is the same suite.
    const QFileInfo info(directory_);
    const QString identity = info.exists() ? info.canonicalFilePath() : directory_;
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(identity), QCryptographicHash::Sha1).toHex();
    return runtimeDirectory() + QStringLiteral("/kmbmon-") + QString::fromLatin1(hash.left(16)) +
           QStringLiteral(".sock");
}
