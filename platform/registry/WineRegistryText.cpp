#include "WineRegistryText.h"

#include <algorithm>

namespace WineRegistryText {
namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// One UTF-8 sequence starting at `pos`, appended to `text`; a byte that does not start a valid
// sequence stands for itself, as older files wrote such bytes.
qsizetype appendUtf8(const QByteArray& line, qsizetype pos, qsizetype end, QString* text) {
    const auto lead = static_cast<unsigned char>(line[pos]);
    int follow = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        follow = 1;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        follow = 2;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        follow = 3;
        code = lead & 0x07;
    }
    bool valid = follow > 0;
    for (int i = 1; valid && i <= follow; ++i) {
        const auto b = pos + i < end ? static_cast<unsigned char>(line[pos + i]) : 0;
        valid = (b & 0xC0) == 0x80;
        code = (code << 6) | (b & 0x3F);
    }
    const char32_t minimum = follow == 1 ? 0x80 : follow == 2 ? 0x800 : 0x10000;
    if (!valid || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        text->append(QChar(lead));
        return pos + 1;
    }
    text->append(QString::fromUcs4(&code, 1));
    return pos + 1 + follow;
}

} // namespace

qsizetype parseString(const QByteArray& line, qsizetype from, qsizetype end, char endChar,
                      QString* text) {
    text->clear();
    qsizetype p = from;
    const qsizetype size = std::min(end, line.size());
    while (p < size && line[p] != endChar) {
        const char c = line[p];
        if (c == '\\' && p + 1 < size) {
            const char e = line[p + 1];
            p += 2;
            switch (e) {
            case 'a':
                text->append(QChar(0x07));
                continue;
            case 'b':
                text->append(QChar(0x08));
                continue;
            case 'e':
                text->append(QChar(0x1B));
                continue;
            case 'f':
                text->append(QChar(0x0C));
                continue;
            case 'n':
                text->append(QChar(0x0A));
                continue;
            case 'r':
                text->append(QChar(0x0D));
                continue;
            case 't':
                text->append(QChar(0x09));
                continue;
            case 'v':
                text->append(QChar(0x0B));
                continue;
            case 'x': {
                if (p >= size || !isHexDigit(line[p])) {
                    text->append(QLatin1Char('x'));
                    continue;
                }
                char16_t unit = 0;
                for (int i = 0; i < 4 && p < size && isHexDigit(line[p]); ++i, ++p)
                    unit = char16_t(unit * 16 + hexValue(line[p]));
                text->append(QChar(unit));
                continue;
            }
            default:
                if (isOctalDigit(e)) {
                    char16_t unit = char16_t(e - '0');
                    for (int i = 0; i < 2 && p < size && isOctalDigit(line[p]); ++i, ++p)
                        unit = char16_t(unit * 8 + (line[p] - '0'));
                    text->append(QChar(unit));
                    continue;
                }
                // Any other escaped character stands for itself.
                p -= 1;
                break;
            }
        }
        if (static_cast<unsigned char>(line[p]) < 0x80) {
            text->append(QLatin1Char(line[p]));
            ++p;
        } else {
            p = appendUtf8(line, p, size, text);
        }
    }
    if (p >= size)
        return -1;
    return p + 1;
}

QByteArray escapeString(const QString& text, char quoteA, char quoteB) {
    static const char kCEscapes[33] = ".......abtnvfr.............e....";
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool hasNext = i + 1 < text.size();
        const char16_t next = hasNext ? text[i + 1].unicode() : 0;
        if (c > 127) {
            // A following hex digit would be read as part of a short escape: pad to four digits.
            const bool pad = hasNext && next < 128 && isHexDigit(char(next));
            out += (pad ? QByteArray("\\x") + QByteArray::number(c, 16).rightJustified(4, '0')
                        : QByteArray("\\x") + QByteArray::number(c, 16));
        } else if (c < 32) {
            out += '\\';
            if (kCEscapes[c] != '.')
                out += kCEscapes[c];
            else if (hasNext && next >= '0' && next <= '7')
                out += QByteArray::number(c, 8).rightJustified(3, '0');
            else
                out += QByteArray::number(c, 8);
        } else {
            if (c == '\\' || c == char16_t(quoteA) || c == char16_t(quoteB))
                out += '\\';
            out += char(c);
        }
    }
    return out;
}

QByteArray toUtf16Le(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QString fromUtf16Le(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out.append(QChar(char16_t(static_cast<unsigned char>(bytes[i]) |
                                  (static_cast<unsigned char>(bytes[i + 1]) << 8))));
    return out;
}

} // namespace WineRegistryText
