#include "TabRecord.h"

#include <QStringDecoder>

namespace TabRecord {

QString escapeField(const QString& field) {
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray encodeRecord(const QStringList& fields) {
    QStringList escaped;
    escaped.reserve(fields.size());
    for (const QString& field : fields)
        escaped.append(escapeField(field));
    QByteArray line = escaped.join(QLatin1Char('\t')).toUtf8();
    line.append('\n');
    return line;
}

std::optional<QStringList> decodeRecord(const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(line);
    if (utf8.hasError())
        return std::nullopt;
    if (!text.contains(QLatin1Char('\\'))) { // nothing escaped: the usual line
        if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
            return std::nullopt;
        return text.split(QLatin1Char('\t'));
    }
    QStringList fields;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\t')) {
            fields.append(current);
            current.clear();
        } else if (c == QLatin1Char('\\')) {
            if (++i >= text.size())
                return std::nullopt;
            switch (text.at(i).unicode()) {
            case '\\':
                current += QLatin1Char('\\');
                break;
            case 't':
                current += QLatin1Char('\t');
                break;
            case 'n':
                current += QLatin1Char('\n');
                break;
            case 'r':
                current += QLatin1Char('\r');
                break;
            default:
                return std::nullopt;
            }
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            return std::nullopt;
        } else {
            current += c;
        }
    }
    fields.append(current);
    return fields;
}

} // namespace TabRecord
