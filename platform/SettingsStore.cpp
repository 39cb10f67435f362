#include "SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace SettingsStore {
namespace {

// The file the native format uses on this system (<config>/<organization>/<application>.conf),
// named afresh on every call: QSettings settles its own default folders once per process, so a
// change of XDG_CONFIG_HOME after the first use would otherwise go unseen.
QString storePath(const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + application + QLatin1Char('/') + application + QLatin1String(".conf");
}

} // namespace

QString getSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    QSettings settings(storePath(application), QSettings::IniFormat);
    settings.beginGroup(section);
    if (!settings.contains(key))
        return defaultValue;
    return settings.value(key).toString();
}

bool saveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    QSettings settings(storePath(application), QSettings::IniFormat);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace SettingsStore
