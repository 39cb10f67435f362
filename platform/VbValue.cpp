#include "VbValue.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <utility>

namespace VbValue {

double numericValue(const QString& text) {
    // Blanks, tabs and line feeds are skipped anywhere before the number ends, as the run-time
    // does; an "&H" prefix is not needed by anything the programs store.
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        compact += c;
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(compact);
    if (!m.hasMatch())
        return 0.0;
    QString matched = m.captured(0);
    matched.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double value = matched.toDouble(&ok);
    return ok ? value : 0.0;
}

QString decimalText(double value) {
    if (value == 0.0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

qint64 roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    // Converting a double beyond the integer's range is undefined; such values saturate.
    constexpr double kLimit = 9223372036854775807.0; // 2^63
    if (value >= kLimit)
        return std::numeric_limits<qint64>::max();
    if (value <= -kLimit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(std::nearbyint(value));
}

std::optional<short> toInteger16(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<short>(rounded);
}

QString formatDateTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

namespace {

// The date and time a text names, as written: no time zone is applied yet.
std::optional<std::pair<QDate, QTime>> parseCalendarTime(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(\\d{4})/(\\d{1,2})/(\\d{1,2})\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(),
                     m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return std::make_pair(date, time);
}

} // namespace

std::optional<QDateTime> parseDateTime(const QString& text) {
    const auto parts = parseCalendarTime(text);
    if (!parts)
        return std::nullopt;
    const QDateTime local(parts->first, parts->second);
    if (local.isValid())
        return local;
    // A time the local clock skipped when daylight saving began: read it as the clock would
    // have shown it without the jump, an hour after the reading an hour earlier.
    const QDateTime hourBefore = QDateTime(parts->first, parts->second, Qt::UTC).addSecs(-3600);
    return QDateTime(hourBefore.date(), hourBefore.time()).addSecs(3600);
}

std::optional<qint64> secondsBetween(const QString& from, const QString& to) {
    const auto a = parseCalendarTime(from);
    const auto b = parseCalendarTime(to);
    if (!a || !b)
        return std::nullopt;
    // Counted on the calendar as written, like a date difference on the original system: a
    // daylight-saving change between the two must not add or remove an hour.
    return QDateTime(a->first, a->second, Qt::UTC).secsTo(QDateTime(b->first, b->second, Qt::UTC));
}

namespace {

// Full-width ASCII to half-width, hiragana to katakana, then case; half-width katakana (with
// their separate voicing marks) become full-width ones by the compatibility normalisation.
QString foldForTextCompare(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        ushort u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            u = ushort(u - 0xFF01 + 0x21);
        else if (u == 0x3000)
            u = 0x20;
        else if (u >= 0x3041 && u <= 0x3096)
            u = ushort(u + 0x60);
        out += QChar(u).toCaseFolded();
    }
    return out.normalized(QString::NormalizationForm_KC);
}

} // namespace

int findText(const QString& haystack, const QString& needle, int start) {
    if (start < 1)
        start = 1;
    if (needle.isEmpty())
        return start <= haystack.size() + 1 ? start : 0;
    // Windows of the original text are folded whole, so positions count its characters and a
    // half-width kana with its voicing mark ("ｶﾞ") matches the one full-width character ("ガ").
    // A window never needs more than two characters per folded needle character.
    const int n = int(haystack.size());
    const QString foldedNeedle = foldForTextCompare(needle);
    const int longestWindow = 2 * int(foldedNeedle.size());
    for (int i = start - 1; i < n; ++i) {
        for (int length = 1; length <= longestWindow && i + length <= n; ++length) {
            if (foldForTextCompare(haystack.mid(i, length)) == foldedNeedle)
                return i + 1;
        }
    }
    return 0;
}

} // namespace VbValue
