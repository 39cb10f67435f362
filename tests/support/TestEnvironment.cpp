#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <unistd.h>

namespace {
std::optional<QByteArray> currentValue(const char* name) {
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qgetenv(name);
}
} // namespace

TestEnvironment::TestEnvironment() {
    dir_.setAutoRemove(true);
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("wine/drive_c/windows"));
    root.mkpath(QStringLiteral("wine/dosdevices"));
    ::symlink("../drive_c", QFile::encodeName(root.filePath(QStringLiteral("wine/dosdevices/c:"))).constData());
    root.mkpath(QStringLiteral("config"));
    root.mkpath(QStringLiteral("data"));
    root.mkpath(QStringLiteral("runtime"));
    root.mkpath(QStringLiteral("program"));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setVariable("WINEPREFIX", QFile::encodeName(winePrefix()));
    setVariable("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    setVariable("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
    setVariable("XDG_RUNTIME_DIR", QFile::encodeName(root.filePath(QStringLiteral("runtime"))));
    setVariable("TOVALDE_PROGRAM_DIR", QFile::encodeName(programDirectory()));
    setVariable("TEMP", QFile::encodeName(root.filePath(QStringLiteral("tmp"))));
    root.mkpath(QStringLiteral("tmp"));
    // Where the fax engine finds the suite's monitor program when a test starts it.
    setVariable("KMBSUITE_BIN_DIR", QFile::encodeName(builtProgram(QStringLiteral("suite"))));
}

TestEnvironment::~TestEnvironment() {
    for (const auto& [name, value] : saved_) {
        if (value)
            qputenv(name.constData(), *value);
        else
            qunsetenv(name.constData());
    }
}

QString TestEnvironment::winePrefix() const { return dir_.filePath(QStringLiteral("wine")); }

QString TestEnvironment::windowsDirectory() const { return winePrefix() + QStringLiteral("/drive_c/windows"); }

QString TestEnvironment::programDirectory() const { return dir_.filePath(QStringLiteral("program")); }

QString TestEnvironment::writeFile(const QString& path, const QByteArray& bytes) const {
    const QString full = QDir::isAbsolutePath(path) ? path : dir_.filePath(path);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(full));
    file.write(bytes);
    return full;
}

QByteArray TestEnvironment::readFile(const QString& path) const {
    QFile file(QDir::isAbsolutePath(path) ? path : dir_.filePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TestEnvironment::setVariable(const char* name, const std::optional<QByteArray>& value) {
    if (saved_.find(name) == saved_.end())
        saved_[name] = currentValue(name);
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

QString buildDirectory() {
    const QString fromEnv = qEnvironmentVariable("TOVALDE_BUILD_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStringLiteral(TOVALDE_BUILD_DIR);
}

QString builtProgram(const QString& relativePath) { return buildDirectory() + QLatin1Char('/') + relativePath; }
