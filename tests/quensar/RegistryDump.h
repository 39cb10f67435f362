#pragma once

#include "Registry.h"

#include <QByteArray>
#include <QString>

// What the registry calls answer, as readable text for comparing with expected-output files.
namespace RegistryDump {

QString resultName(Registry::LSTATUS status);

// Data as text: CP932 for text types (NULs shown as \0), hexadecimal bytes for the rest.
QString dataText(Registry::DWORD type, const QByteArray& data);

// "key <path>" and the open result, then one line per RegEnumValue call from index 0 (with a
// 256-byte name buffer and 256 bytes of data) up to ERROR_NO_MORE_ITEMS or 300 calls.
QString enumerate(const QByteArray& keyPath);

} // namespace RegistryDump
