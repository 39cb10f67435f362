#include "RegistryDump.h"

#include "Cp932.h"

using namespace Registry;

namespace RegistryDump {

QString resultName(LSTATUS status) {
    switch (status) {
    case ERROR_SUCCESS:
        return QStringLiteral("ERROR_SUCCESS");
    case ERROR_FILE_NOT_FOUND:
        return QStringLiteral("ERROR_FILE_NOT_FOUND");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("ERROR_ACCESS_DENIED");
    case ERROR_INVALID_HANDLE:
        return QStringLiteral("ERROR_INVALID_HANDLE");
    case ERROR_WRITE_FAULT:
        return QStringLiteral("ERROR_WRITE_FAULT");
    case ERROR_INVALID_PARAMETER:
        return QStringLiteral("ERROR_INVALID_PARAMETER");
    case ERROR_MORE_DATA:
        return QStringLiteral("ERROR_MORE_DATA");
    case ERROR_NO_MORE_ITEMS:
        return QStringLiteral("ERROR_NO_MORE_ITEMS");
    case ERROR_BADDB:
        return QStringLiteral("ERROR_BADDB");
    case ERROR_KEY_DELETED:
        return QStringLiteral("ERROR_KEY_DELETED");
    case ERROR_NO_UNICODE_TRANSLATION:
        return QStringLiteral("ERROR_NO_UNICODE_TRANSLATION");
    }
    return QString::number(status);
}

QString dataText(DWORD type, const QByteArray& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
        return QLatin1Char('"') + Cp932::decode(data).replace(QChar(0), QStringLiteral("\\0")) +
               QLatin1Char('"');
    return QString::fromLatin1(data.toHex(','));
}

QString enumerate(const QByteArray& keyPath) {
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key);
    QString out = QStringLiteral("key %1: %2\n").arg(Cp932::decode(keyPath), resultName(opened));
    if (opened != ERROR_SUCCESS)
        return out;
    for (DWORD index = 0; index < 300; ++index) {
        QByteArray name;
        QByteArray data;
        DWORD nameSize = 256;
        DWORD dataSize = 256;
        DWORD type = 0;
        const LSTATUS status = RegEnumValue(key, index, &name, &nameSize, &type, &data, &dataSize);
        out += QStringLiteral("%1 %2").arg(index).arg(resultName(status));
        if (status == ERROR_SUCCESS)
            out += QStringLiteral(" \"%1\" type %2 size %3 %4")
                       .arg(Cp932::decode(name))
                       .arg(type)
                       .arg(dataSize)
                       .arg(dataText(type, data));
        else if (status == ERROR_MORE_DATA)
            out += QStringLiteral(" name %1 data %2").arg(nameSize).arg(dataSize);
        out += QLatin1Char('\n');
        if (status == ERROR_NO_MORE_ITEMS)
            break;
    }
    RegCloseKey(key);
    return out;
}

} // namespace RegistryDump
