#include "WineRegistryFile.h"

#include "WineRegistryText.h"

#include <algorithm>
#include <utility>

namespace {

constexpr quint32 kRegSz = 1;
constexpr quint32 kRegExpandSz = 2;
constexpr quint32 kRegBinary = 3;
constexpr quint32 kRegDword = 4;
constexpr quint32 kRegMultiSz = 7;
constexpr int kMaxLinkHops = 32;
const QString kMachineRoot = QStringLiteral("\\Registry\\Machine");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

quint32 hexValue(char c) {
    if (c >= '0' && c <= '9')
        return quint32(c - '0');
    return quint32((c | 0x20) - 'a' + 10);
}

bool isStringType(quint32 type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

QString fold(const QString& s) {
    return s.toCaseFolded();
}

// Registry names sort without regard to case.
int compareNames(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive);
}

QByteArray fileTimeHex(const QDateTime& now) {
    const quint64 ticks = quint64(now.toMSecsSinceEpoch()) * 10000ULL + 116444736000000000ULL;
    return QByteArray::number(quint32(ticks >> 32), 16) +
           QByteArray::number(quint32(ticks & 0xFFFFFFFFU), 16).rightJustified(8, '0');
}

struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;  // content end: line feed and a carriage return before it excluded
    qsizetype next = 0; // start of the following line
};

Line lineAt(const QByteArray& bytes, qsizetype pos) {
    Line line;
    line.begin = pos;
    qsizetype e = bytes.indexOf('\n', pos);
    line.next = e < 0 ? bytes.size() : e + 1;
    if (e < 0)
        e = bytes.size();
    if (e > pos && bytes[e - 1] == '\r')
        --e;
    line.end = e;
    return line;
}

qsizetype skipBlanks(const QByteArray& bytes, qsizetype p, qsizetype end) {
    while (p < end && isBlank(bytes[p]))
        ++p;
    return p;
}

// Reads up to eight hex digits as a number; returns the position after them, or -1.
qsizetype parseHexNumber(const QByteArray& bytes, qsizetype p, qsizetype end, quint32* value) {
    const qsizetype start = p;
    quint32 v = 0;
    while (p < end && isHexDigit(bytes[p]) && p - start < 8)
        v = v * 16 + hexValue(bytes[p++]);
    if (p == start)
        return -1;
    *value = v;
    return p;
}

} // namespace

const WineRegistryFile::Value* WineRegistryFile::Key::findValue(const QString& name) const {
    for (const Value& v : values) {
        if (compareNames(v.name, name) == 0)
            return &v;
    }
    return nullptr;
}

std::optional<WineRegistryFile> WineRegistryFile::parse(QByteArray bytes, QString* error) {
    WineRegistryFile file(std::move(bytes));
    QString reason;
    if (!file.parseLines(&reason)) {
        if (error)
            *error = reason;
        return std::nullopt;
    }
    return file;
}

bool WineRegistryFile::parseLines(QString* error) {
    const QByteArray& b = bytes_;
    Line first = lineAt(b, 0);
    if (b.mid(first.begin, first.end - first.begin) != "WINE REGISTRY Version 2") {
        *error = QStringLiteral("not a registry file of version 2");
        return false;
    }
    if (first.end < b.size() && b[first.end] == '\r')
        lineEnd_ = "\r\n";
    int lineNumber = 1;
    auto fail = [&](const char* what) {
        *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(QLatin1String(what));
        return false;
    };
    Key* key = nullptr;
    for (qsizetype pos = first.next; pos < b.size();) {
        ++lineNumber;
        Line line = lineAt(b, pos);
        pos = line.next;
        const qsizetype start = skipBlanks(b, line.begin, line.end);
        if (start == line.end || b[start] == ';')
            continue;
        const char lead = b[start];
        if (lead == '[') {
            QString path;
            const qsizetype after =
                WineRegistryText::parseString(b, start + 1, line.end, ']', &path);
            if (after < 0)
                return fail("key name not closed");
            Key k;
            k.path = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
            k.headerBegin = line.begin;
            qsizetype p = skipBlanks(b, after, line.end);
            const qsizetype digits = p;
            while (p < line.end && b[p] >= '0' && b[p] <= '9')
                ++p;
            if (p > digits) {
                k.stampBegin = digits;
                k.stampEnd = p;
            }
            if (skipBlanks(b, p, line.end) != line.end)
                return fail("unexpected text after a key name");
            k.bodyEnd = line.next;
            const QString folded = fold(k.path);
            if (keyIndex_.contains(folded))
                return fail("key appears twice");
            keyIndex_.insert(folded, int(keys_.size()));
            keys_.push_back(std::move(k));
            key = &keys_.back();
            continue;
        }
        if (lead == '#') {
            if (key) {
                static const QByteArray kTime("#time=");
                if (b.mid(start, kTime.size()) == kTime) {
                    key->timeBegin = start + kTime.size();
                    qsizetype p = key->timeBegin;
                    while (p < line.end && isHexDigit(b[p]))
                        ++p;
                    key->timeEnd = p;
                } else if (b.mid(start, line.end - start).trimmed() == "#link") {
                    key->isLink = true;
                }
                key->bodyEnd = line.next;
            }
            continue;
        }
        if (lead != '"' && lead != '@')
            return fail("not a key, value, option or comment");
        if (!key)
            return fail("value outside any key");
        Value value;
        value.begin = line.begin;
        qsizetype p = start + 1;
        if (lead == '"') {
            const qsizetype after =
                WineRegistryText::parseString(b, start + 1, line.end, '"', &value.name);
            if (after < 0)
                return fail("value name not closed");
            p = after;
        }
        p = skipBlanks(b, p, line.end);
        if (p >= line.end || b[p] != '=')
            return fail("value without \"=\"");
        p = skipBlanks(b, p + 1, line.end);
        auto startsWith = [&](const char* prefix) {
            const qsizetype n = qsizetype(qstrlen(prefix));
            return b.mid(p, n) == prefix ? (p += n, true) : false;
        };
        auto restIsBlank = [&](qsizetype from) {
            return skipBlanks(b, from, line.end) == line.end;
        };
        if (p >= line.end)
            return fail("value without data");
        if (b[p] == '"' || startsWith("str(")) {
            value.type = kRegSz;
            if (b[p] != '"') {
                p = parseHexNumber(b, p, line.end, &value.type);
                if (p < 0 || b.mid(p, 3) != "):\"")
                    return fail("bad string type");
                p += 2;
            }
            QString text;
            const qsizetype after = WineRegistryText::parseString(b, p + 1, line.end, '"', &text);
            if (after < 0)
                return fail("string value not closed");
            if (!restIsBlank(after))
                return fail("unexpected text after a string value");
            value.data = WineRegistryText::toUtf16Le(text) + QByteArray(2, '\0');
        } else if (startsWith("dword:")) {
            quint32 number = 0;
            const qsizetype after = parseHexNumber(b, p, line.end, &number);
            if (after < 0 || !restIsBlank(after))
                return fail("bad dword value");
            value.type = kRegDword;
            for (int i = 0; i < 4; ++i)
                value.data += char((number >> (8 * i)) & 0xFF);
        } else if (startsWith("hex")) {
            value.type = kRegBinary;
            if (startsWith("(")) {
                p = parseHexNumber(b, p, line.end, &value.type);
                if (p < 0 || b.mid(p, 1) != ")")
                    return fail("bad hex type");
                ++p;
            }
            if (!startsWith(":"))
                return fail("bad hex value");
            // Bytes separated by commas; a backslash at the end of a line continues on the next.
            for (;;) {
                p = skipBlanks(b, p, line.end);
                if (p >= line.end)
                    break;
                if (b[p] == '\\' && restIsBlank(p + 1) && line.next > line.end) {
                    line = lineAt(b, line.next);
                    ++lineNumber;
                    pos = line.next;
                    p = line.begin;
                    continue;
                }
                qsizetype q = p;
                while (q < line.end && q - p < 2 && isHexDigit(b[q]))
                    ++q;
                if (q == p)
                    return fail("bad hex byte");
                quint32 byte = 0;
                for (qsizetype i = p; i < q; ++i)
                    byte = byte * 16 + hexValue(b[i]);
                value.data += char(byte);
                p = skipBlanks(b, q, line.end);
                if (p < line.end && b[p] == ',')
                    ++p;
                else if (p < line.end && b[p] != '\\')
                    return fail("bad hex separator");
            }
        } else {
            return fail("unknown value type");
        }
        value.end = line.next;
        if (key->findValue(value.name))
            return fail("value appears twice in its key");
        key->values.push_back(std::move(value));
        key->bodyEnd = line.next;
    }
    return true;
}

int WineRegistryFile::sectionIndex(const QString& path) const {
    return keyIndex_.value(fold(path), -1);
}

bool WineRegistryFile::hasSubkeys(const QString& path) const {
    const QString prefix = fold(path) + QLatin1Char('\\');
    return std::any_of(keys_.begin(), keys_.end(),
                       [&](const Key& k) { return fold(k.path).startsWith(prefix); });
}

const WineRegistryFile::Key* WineRegistryFile::section(const QString& resolvedPath) const {
    const int i = sectionIndex(resolvedPath);
    return i < 0 ? nullptr : &keys_[size_t(i)];
}

std::optional<QString> WineRegistryFile::resolve(const QString& path) const {
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QStringList current;
    int hops = 0;
    for (const QString& part : parts) {
        current.append(part);
        for (;;) {
            const int i = sectionIndex(current.join(QLatin1Char('\\')));
            if (i < 0 || !keys_[size_t(i)].isLink)
                break;
            const Value* link = keys_[size_t(i)].findValue(QStringLiteral("SymbolicLinkValue"));
            if (!link || ++hops > kMaxLinkHops)
                return std::nullopt;
            QString target = WineRegistryText::fromUtf16Le(link->data);
            while (target.endsWith(QChar(0)))
                target.chop(1);
            if (!target.startsWith(kMachineRoot + QLatin1Char('\\'), Qt::CaseInsensitive))
                return std::nullopt;
            current = target.mid(kMachineRoot.size()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        }
    }
    const QString resolved = current.join(QLatin1Char('\\'));
    if (resolved.isEmpty() || sectionIndex(resolved) >= 0 || hasSubkeys(resolved))
        return resolved;
    return std::nullopt;
}

QByteArray WineRegistryFile::formatValue(const QString& name, quint32 type, const QByteArray& data,
                                         const QByteArray& lineEnd) {
    QByteArray out = name.isEmpty() ? QByteArray("@=")
                                    : '"' + WineRegistryText::escapeString(name, '"', '"') + "\"=";
    // Text is written as a string only when it ends in its terminating NUL, as Wine does.
    if (isStringType(type) && data.size() >= 2 && data.size() % 2 == 0 &&
        data[data.size() - 1] == 0 && data[data.size() - 2] == 0) {
        if (type != kRegSz)
            out += "str(" + QByteArray::number(type, 16) + "):";
        const QString text = WineRegistryText::fromUtf16Le(data.chopped(2));
        return out + '"' + WineRegistryText::escapeString(text, '"', '"') + '"' + lineEnd;
    }
    if (type == kRegDword && data.size() == 4) {
        quint32 number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(data[i]);
        return out + "dword:" + QByteArray::number(number, 16).rightJustified(8, '0') + lineEnd;
    }
    out += type == kRegBinary ? QByteArray("hex:") : "hex(" + QByteArray::number(type, 16) + "):";
    int count = int(out.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += QByteArray::number(static_cast<unsigned char>(data[i]), 16).rightJustified(2, '0');
        count += 2;
        if (i + 1 < data.size()) {
            out += ',';
            if (++count > 76) {
                out += "\\" + lineEnd + "  ";
                count = 2;
            }
        }
    }
    return out + lineEnd;
}

std::optional<QByteArray> WineRegistryFile::withValue(const QString& resolvedPath,
                                                      const QString& name, quint32 type,
                                                      const QByteArray& data,
                                                      const QDateTime& now) const {
    struct Edit {
        qsizetype at;
        qsizetype length;
        QByteArray text;
    };
    std::vector<Edit> edits;
    const QByteArray seconds = QByteArray::number(now.toSecsSinceEpoch());
    const bool endsOpen = !bytes_.isEmpty() && !bytes_.endsWith('\n');
    const Key* key = section(resolvedPath);
    const Value* old = key ? key->findValue(name) : nullptr;
    // A value that exists keeps the spelling of its name.
    const QByteArray valueText = formatValue(old ? old->name : name, type, data, lineEnd_);
    if (key) {
        if (old) {
            QByteArray text = valueText;
            if (old->end == bytes_.size() && endsOpen)
                text.chop(lineEnd_.size());
            edits.push_back({old->begin, old->end - old->begin, text});
        } else {
            qsizetype at = key->bodyEnd;
            for (const Value& v : key->values) {
                if (compareNames(v.name, name) > 0) {
                    at = v.begin;
                    break;
                }
            }
            edits.push_back(
                {at, 0, (at == bytes_.size() && endsOpen ? lineEnd_ : QByteArray()) + valueText});
        }
        if (key->timeBegin >= 0)
            edits.push_back({key->timeBegin, key->timeEnd - key->timeBegin, fileTimeHex(now)});
        if (key->stampBegin >= 0)
            edits.push_back({key->stampBegin, key->stampEnd - key->stampBegin, seconds});
    } else {
        // A key known only through its subkeys gets its own section just before the first of them.
        const QString prefix = fold(resolvedPath) + QLatin1Char('\\');
        qsizetype at = -1;
        for (const Key& k : keys_) {
            if (fold(k.path).startsWith(prefix) && (at < 0 || k.headerBegin < at))
                at = k.headerBegin;
        }
        if (at < 0)
            return std::nullopt;
        const QByteArray header = '[' + WineRegistryText::escapeString(resolvedPath, '[', ']') +
                                  "] " + seconds + lineEnd_ + "#time=" + fileTimeHex(now) +
                                  lineEnd_;
        edits.push_back({at, 0, header + valueText + lineEnd_});
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at > b.at; });
    QByteArray out = bytes_;
    for (const Edit& e : edits)
        out.replace(e.at, e.length, e.text);
    return out;
}
