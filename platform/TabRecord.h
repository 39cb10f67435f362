#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Records as text lines: UTF-8, fields separated by tabs. A tab, line break or backslash inside
// a field is written as \t, \n, \r or \\, so no field can break the line structure. The suite's
// record files and the forwarding log both keep their lines this way.
namespace TabRecord {

// One record as a line, ending in '\n'.
QByteArray encodeRecord(const QStringList& fields);

// The fields of one line (without its line break); nullopt for text that is not valid UTF-8 or
// holds an unknown escape.
std::optional<QStringList> decodeRecord(const QByteArray& line);

// One field as it appears in a record line (for showing records to people).
QString escapeField(const QString& field);

} // namespace TabRecord
