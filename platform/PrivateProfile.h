#pragma once

#include <QString>

// Classic sectioned profile files ("[Section]" lines followed by "Key=Value" lines), shared with
// the fax suite's own programs. Reading follows the rules those programs rely on; writing changes
// only the line it must and replaces the file atomically under an advisory lock, so a crash or a
// second writer never leaves a torn file or loses a key.
//
// `file` is a bare name (resolved in the Windows directory) or a path; see
// WindowsPaths::resolveProfilePath. Text is CP932 on disk (UTF-8 for a file that starts with a
// UTF-8 byte-order mark).
namespace PrivateProfile {

// The value of Key in Section, at most `maxBytes` bytes of it on disk (never half a double-byte
// character); `defaultValue` when the file, section or key does not exist.
QString getString(const QString& file, const QString& section, const QString& key,
                  const QString& defaultValue = QString(), int maxBytes = 255);

// Sets Key=Value in Section, creating the file (and its folder), the section or the key as
// needed. False, with nothing written, for input that would corrupt the file (line breaks, NUL,
// a key holding "=", a section holding "]" followed by more text, a line that would read as a
// section header, text CP932 cannot hold) or when the file cannot be written (a file nobody may
// write counts as read-only). Writing the value a key already has leaves the file untouched.
bool writeString(const QString& file, const QString& section, const QString& key,
                 const QString& value);

// Removes the key's line, and the lines of any duplicates of it in the section. True also when
// there is nothing to remove (no file is created).
bool deleteKey(const QString& file, const QString& section, const QString& key);

} // namespace PrivateProfile
