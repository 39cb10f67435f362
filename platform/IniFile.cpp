#include "IniFile.h"

#include "PrivateProfile.h"

namespace IniFile {

namespace {
// The read buffer holds 256 bytes including the terminating zero.
constexpr int kReadBufferBytes = 256;
} // namespace

QString strReadIni(const QString& file, const QString& section, const QString& key) {
    return PrivateProfile::getString(file, section, key, QString(), kReadBufferBytes - 1);
}

bool bWriteIni(const QString& file, const QString& section, const QString& key,
               const QString& value) {
    return PrivateProfile::writeString(file, section, key, value);
}

bool bDeleteIniKey(const QString& file, const QString& section, const QString& key) {
    return PrivateProfile::deleteKey(file, section, key);
}

} // namespace IniFile
