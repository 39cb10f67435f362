#pragma once

#include <QString>

// The three profile routines every part of the forwarding program uses.
namespace IniFile {

// The value, or empty text when the file, the section or the key does not exist.
// At most 255 bytes of a long value are returned.
QString strReadIni(const QString& file, const QString& section, const QString& key);

// Writes Key=Value (empty text writes "Key=" and keeps the key). True on success.
bool bWriteIni(const QString& file, const QString& section, const QString& key,
               const QString& value);

// Removes the key. True on success, also when there was nothing to remove.
bool bDeleteIniKey(const QString& file, const QString& section, const QString& key);

} // namespace IniFile
