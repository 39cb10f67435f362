#pragma once

#include <QString>

// The per-user settings store, addressed by application, section and key; every value is text.
// Kept by QSettings in the native format under organization and application `application`
// (on Linux: $XDG_CONFIG_HOME/<application>/<application>.conf, group <section>).
namespace SettingsStore {

QString getSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = QString());

// Returns false when the store could not be written.
bool saveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);

} // namespace SettingsStore
