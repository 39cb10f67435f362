#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The few run-time value rules of the original environment that stored data depends on:
// the numeric value of a text, its decimal form, banker's rounding, date-and-time text and
// the text-compare search.
namespace VbValue {

// The leading decimal number of a text, blanks and tabs skipped; 0 when there is none.
// "5" -> 5, "2.5" -> 2.5, " 3x" -> 3, "-1" -> -1, "" -> 0, "1e2" -> 100.
double numericValue(const QString& text);

// The shortest decimal form of a number: 5 -> "5", 2.5 -> "2.5", -1 -> "-1".
QString decimalText(double value);

// Rounds halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2. Values beyond the
// integer's range saturate; NaN gives 0.
qint64 roundHalfEven(double value);

// A number as a 16-bit integer the way an integer conversion would: rounded half to even;
// nullopt when it does not fit.
std::optional<short> toInteger16(double value);

// "YYYY/MM/DD hh:mm:ss".
QString formatDateTime(const QDateTime& time);

// Reads "YYYY/MM/DD hh:mm:ss" and the same without leading zeros ("2024/1/5 9:03:07"); seconds
// may be left out. nullopt for anything else. A local time skipped by a daylight-saving change
// reads as the time the clock would have shown without the jump.
std::optional<QDateTime> parseDateTime(const QString& text);

// Seconds from `from` to `to` (positive when `to` is later); nullopt when either is unreadable.
std::optional<qint64> secondsBetween(const QString& from, const QString& to);

// 1-based position of `needle` in `haystack` from `start` (1-based), comparing as text:
// without regard to case, character width (full-width "＞" matches ">") or kana kind
// (hiragana matches katakana). 0 when not found.
int findText(const QString& haystack, const QString& needle, int start = 1);

} // namespace VbValue
