#pragma once

#include <QByteArray>
#include <QDateTime>

#include <functional>

// The machine's registry (HKEY_LOCAL_MACHINE), kept where Wine keeps it: $WINEPREFIX/system.reg.
// The calls are shaped like the ANSI registry functions of the Windows programs: result codes,
// size limits in bytes, names and text data as CP932 bytes. Conversions are exact: text that
// cannot be carried over between CP932 and the registry's UTF-16 is refused, never replaced by
// look-alike characters, so a name read here and written back is the name that was there.
//
// A handle opened for reading holds the key's values as they were when it was opened. Setting a
// value rereads the file under a lock, changes the value's lines only and replaces the file
// atomically. A file that is not a well-formed registry file is neither read nor written.
namespace Registry {

using LSTATUS = qint32;
using DWORD = quint32;

enum : LSTATUS {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_WRITE_FAULT = 29,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
    ERROR_BADDB = 1009,
    ERROR_KEY_DELETED = 1018,
    ERROR_NO_UNICODE_TRANSLATION = 1113,
};

enum : DWORD {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
};

// Access rights; only whether values may be set makes a difference here.
enum : DWORD {
    KEY_SET_VALUE = 0x0002,
    KEY_READ = 0x20019,
    KEY_ALL_ACCESS = 0xF003F,
};

struct KeyHandle;
using HKEY = KeyHandle*;
extern const HKEY HKEY_LOCAL_MACHINE;

// Opens `subKey` ("A\B\C", CP932) below `key`. ERROR_FILE_NOT_FOUND when it does not exist,
// ERROR_ACCESS_DENIED when the registry cannot be read (or, for KEY_SET_VALUE, written),
// ERROR_BADDB when the registry file is malformed.
LSTATUS RegOpenKeyEx(HKEY key, const QByteArray& subKey, DWORD options, DWORD samDesired,
                     HKEY* result);

// The value's data, at most *dataSize bytes of it: on success *data holds it and *dataSize its
// length; when it is longer, ERROR_MORE_DATA with the length needed in *dataSize and *data
// untouched. `type` may be null.
LSTATUS RegQueryValueEx(HKEY key, const QByteArray& valueName, DWORD* type, QByteArray* data,
                        DWORD* dataSize);

// The value at `index` in the key's order. *nameSize is the name buffer's size including its
// terminating zero, so the name must be shorter; *dataSize limits the data as above. On success
// both hold the lengths returned. ERROR_MORE_DATA when either does not fit, ERROR_NO_MORE_ITEMS
// past the last value. `type` and `data` may be null (then the data is not limited).
LSTATUS RegEnumValue(HKEY key, DWORD index, QByteArray* name, DWORD* nameSize, DWORD* type,
                     QByteArray* data, DWORD* dataSize);

// Sets the value; text types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are taken as CP932 bytes.
LSTATUS RegSetValueEx(HKEY key, const QByteArray& valueName, DWORD type, const QByteArray& data);

LSTATUS RegCloseKey(HKEY key);

// The clock that stamps a changed key; the system clock unless a test sets another.
void setClock(std::function<QDateTime()> clock);

} // namespace Registry
