#include "SettingsStore.h"

#include <QSettings>

namespace SettingsStore {

QString getSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, application, application);
    settings.beginGroup(section);
    if (!settings.contains(key))
        return defaultValue;
    return settings.value(key).toString();
}

bool saveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, application, application);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace SettingsStore
