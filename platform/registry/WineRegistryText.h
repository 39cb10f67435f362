#pragma once

#include <QByteArray>
#include <QString>

// The escapes Wine's registry files use for key paths, value names and string data. Text is a
// sequence of UTF-16 code units, NULs and lone surrogates included, exactly as the registry holds
// it; the file itself is ASCII with escapes (plain bytes above 0x7F are read as UTF-8).
namespace WineRegistryText {

// Reads escaped text from `bytes` starting at `from` up to the first unescaped `endChar` before
// `end` (the end of the line). Returns the position just after `endChar`, or -1 when the text is
// not closed before `end`.
qsizetype parseString(const QByteArray& bytes, qsizetype from, qsizetype end, char endChar,
                      QString* text);

// `text` escaped as Wine writes it: backslash and the two `quotes` characters escaped, control
// characters as C or octal escapes, code units above 0x7F as \x escapes.
QByteArray escapeString(const QString& text, char quoteA, char quoteB);

// UTF-16 little-endian bytes and back; an odd last byte is dropped.
QByteArray toUtf16Le(const QString& text);
QString fromUtf16Le(const QByteArray& bytes);

} // namespace WineRegistryText
