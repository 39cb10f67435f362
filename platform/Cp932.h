#pragma once

#include <QByteArray>
#include <QString>

// The ANSI code page of the systems the programs serve: Shift-JIS with the Windows extensions.
// Every profile file, registry table and serial line carries these bytes.
namespace Cp932 {

// Unicode text as CP932 bytes. Characters CP932 cannot hold are replaced and clear *ok; callers
// that store text refuse it then rather than write the replacement.
// The handful of characters whose Unicode form differs from the one CP932 maps
// (WAVE DASH, MINUS SIGN, ...) are taken to their CP932 look-alikes first.
QByteArray encode(const QString& text, bool* ok = nullptr);

// CP932 bytes as Unicode text; every byte that is not part of a valid CP932 character becomes
// U+FFFD.
QString decode(const QByteArray& bytes);

// True when every byte sequence in `bytes` is valid CP932.
bool isValid(const QByteArray& bytes);

// True for the first byte of a double-byte character.
bool isLeadByte(unsigned char b);

// The length of `bytes` cut to at most `maxBytes`, never splitting a double-byte character.
int truncatedLength(const QByteArray& bytes, int maxBytes);

} // namespace Cp932
