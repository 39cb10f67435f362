#include "PrivateProfile.h"

#include "Cp932.h"
#include "FileReplacement.h"
#include "WindowsPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QMutex>

#include <algorithm>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

Q_LOGGING_CATEGORY(lcProfile, "platform.profile")

namespace PrivateProfile {
namespace {

enum class Encoding { Cp932, Utf8 };

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Width of the character starting at `i`: 2 for a CP932 double-byte character, else 1.
int charWidth(const QByteArray& bytes, qsizetype i, qsizetype end, Encoding enc) {
    return (enc == Encoding::Cp932 && Cp932::isLeadByte(static_cast<unsigned char>(bytes[i])) &&
            i + 1 < end)
               ? 2
               : 1;
}

// Names compare without regard to ASCII case; the second byte of a double-byte character is
// never folded, so two different kanji never compare equal.
QByteArray foldName(const QByteArray& name, Encoding enc) {
    QByteArray out = name;
    for (qsizetype i = 0; i < out.size();) {
        const int w = charWidth(out, i, out.size(), enc);
        if (w == 1 && out[i] >= 'A' && out[i] <= 'Z')
            out[i] = char(out[i] + ('a' - 'A'));
        i += w;
    }
    return out;
}

void trimRange(const QByteArray& bytes, qsizetype& begin, qsizetype& end) {
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
}

struct Line {
    enum Kind { Other, Header, Key };
    Kind kind = Other;
    qsizetype begin = 0;      // first byte of the line's content
    qsizetype end = 0;        // one past its last content byte (line end excluded)
    qsizetype next = 0;       // first byte of the following line
    qsizetype equals = -1;    // Key: position of the first "="
    qsizetype valueBegin = 0; // Key: trimmed value, before quote removal
    qsizetype valueEnd = 0;
    QByteArray foldedName; // Header: section name; Key: key name
};

struct Section {
    int header = -1;             // line index of the header; -1 for the lines before any header
    int endLine = 0;             // one past the last line of the section
    QHash<QByteArray, int> keys; // folded key -> first line holding it
};

// One profile file split into lines, with an index of the first occurrence of each section and
// key. Parsing never fails: whatever is not a header or a key line is kept as it is.
struct Document {
    QByteArray bytes;
    Encoding encoding = Encoding::Cp932;
    QByteArray lineEnd = "\r\n";
    std::vector<Line> lines;
    std::vector<Section> sections;
    QHash<QByteArray, int> sectionIndex; // folded name -> first section with that name

    explicit Document(QByteArray content) : bytes(std::move(content)) { parse(); }

    const Section* findSection(const QByteArray& folded) const {
        const auto it = sectionIndex.constFind(folded);
        return it == sectionIndex.constEnd() ? nullptr : &sections[size_t(*it)];
    }

    // The value as the file holds it: trimmed, one pair of surrounding quotes removed, cut at NUL.
    QByteArray value(const Line& line) const {
        qsizetype b = line.valueBegin;
        qsizetype e = line.valueEnd;
        if (e - b >= 2 && bytes[b] == bytes[e - 1] && (bytes[b] == '"' || bytes[b] == '\'')) {
            ++b;
            --e;
        }
        return bytes.mid(b, e - b);
    }

private:
    void parse() {
        qsizetype pos = 0;
        if (bytes.startsWith(kUtf8Bom)) {
            encoding = Encoding::Utf8;
            pos = kUtf8Bom.size();
        }
        bool lineEndKnown = false;
        const qsizetype size = bytes.size();
        sections.push_back(Section{});
        while (pos < size) {
            Line line;
            line.begin = pos;
            qsizetype e = pos;
            while (e < size && bytes[e] != '\r' && bytes[e] != '\n')
                ++e;
            line.end = e;
            if (e < size && bytes[e] == '\r' && e + 1 < size && bytes[e + 1] == '\n')
                line.next = e + 2;
            else
                line.next = e < size ? e + 1 : e;
            if (!lineEndKnown && line.next > e) {
                lineEnd = bytes.mid(e, line.next - e);
                lineEndKnown = true;
            }
            classify(line);
            addLine(std::move(line));
            pos = lines.back().next;
        }
        sections.back().endLine = int(lines.size());
    }

    void classify(Line& line) const {
        // A NUL ends the line's text for every purpose but keeping its bytes.
        qsizetype end = line.begin;
        while (end < line.end && bytes[end] != '\0')
            ++end;
        qsizetype p = line.begin;
        while (p < end && isBlank(bytes[p]))
            ++p;
        if (p < end && bytes[p] == '[') {
            qsizetype lastBracket = -1;
            for (qsizetype i = p + 1; i < end;) {
                const int w = charWidth(bytes, i, end, encoding);
                if (w == 1 && bytes[i] == ']')
                    lastBracket = i;
                i += w;
            }
            if (lastBracket >= 0) {
                qsizetype b = p + 1;
                qsizetype e = lastBracket;
                trimRange(bytes, b, e);
                line.kind = Line::Header;
                line.foldedName = foldName(bytes.mid(b, e - b), encoding);
                return;
            }
        }
        // Searched within the line only: a file of many lines without "=" must not be scanned
        // to its end once per line.
        qsizetype eq = line.begin;
        while (eq < end && bytes[eq] != '=')
            ++eq;
        if (eq >= end)
            return;
        qsizetype kb = line.begin;
        qsizetype ke = eq;
        trimRange(bytes, kb, ke);
        line.kind = Line::Key;
        line.equals = eq;
        line.foldedName = foldName(bytes.mid(kb, ke - kb), encoding);
        line.valueBegin = eq + 1;
        line.valueEnd = end;
        trimRange(bytes, line.valueBegin, line.valueEnd);
    }

    // One hash lookup per line: the slot reads 0 until the name is first seen. Neither a
    // named section nor a key of one can have the index 0 (section 0 holds the lines before
    // the first header, whose keys belong to no section and are not indexed).
    void addLine(Line line) {
        const int index = int(lines.size());
        if (line.kind == Line::Header) {
            sections.back().endLine = index;
            Section section;
            section.header = index;
            sections.push_back(std::move(section));
            int& first = sectionIndex[line.foldedName];
            if (first == 0)
                first = int(sections.size()) - 1;
        } else if (line.kind == Line::Key && sections.back().header >= 0) {
            int& first = sections.back().keys[line.foldedName];
            if (first == 0)
                first = index;
        }
        lines.push_back(std::move(line));
    }
};

// ---- the parse cache: an unchanged file is not parsed again ----

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size && mtimeNs == o.mtimeNs &&
               ctimeNs == o.ctimeNs;
    }
};

std::optional<FileStamp> stampOf(const QByteArray& nativePath) {
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    FileStamp s;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

struct CacheEntry {
    FileStamp stamp;
    std::shared_ptr<const Document> document;
};

QMutex g_cacheMutex;
QHash<QString, CacheEntry> g_cache;
constexpr int kCacheCapacity = 64;

void forget(const QString& path) {
    QMutexLocker lock(&g_cacheMutex);
    g_cache.remove(path);
}

std::shared_ptr<const Document> loadDocument(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const auto stamp = stampOf(native);
    if (!stamp)
        return nullptr;
    {
        QMutexLocker lock(&g_cacheMutex);
        const auto it = g_cache.constFind(path);
        if (it != g_cache.constEnd() && it->stamp == *stamp)
            return it->document;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcProfile) << "cannot read" << path << file.errorString();
        return nullptr;
    }
    auto document = std::make_shared<const Document>(file.readAll());
    // Stamp taken before the read: a change during the read makes the next read parse again.
    QMutexLocker lock(&g_cacheMutex);
    if (g_cache.size() >= kCacheCapacity)
        g_cache.clear();
    g_cache.insert(path, CacheEntry{*stamp, document});
    return document;
}

// ---- text conversion ----

std::optional<QByteArray> encodeFor(const QString& text, Encoding enc) {
    if (enc == Encoding::Utf8)
        return text.toUtf8();
    bool ok = false;
    QByteArray bytes = Cp932::encode(text, &ok);
    if (!ok)
        return std::nullopt;
    return bytes;
}

QString decodeFrom(const QByteArray& bytes, Encoding enc) {
    return enc == Encoding::Utf8 ? QString::fromUtf8(bytes) : Cp932::decode(bytes);
}

QString trimmedName(const QString& name) {
    qsizetype b = 0;
    qsizetype e = name.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (b < e && blank(name[b]))
        ++b;
    while (e > b && blank(name[e - 1]))
        --e;
    return name.mid(b, e - b);
}

int utf8TruncatedLength(const QByteArray& bytes, int maxBytes) {
    if (bytes.size() <= maxBytes)
        return int(bytes.size());
    int n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

// ---- writing ----

bool hasLineBreakOrNul(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0));
}

// A value that would not read back as itself unquoted (surrounding blanks, or surrounding
// quotes of its own) is written inside one pair of quotes, which reading removes again.
QByteArray storedValue(const QByteArray& value) {
    if (value.isEmpty())
        return value;
    const char first = value.front();
    const char last = value.back();
    const bool blankEdge = isBlank(first) || isBlank(last);
    const bool quotedLook = value.size() >= 2 && first == last && (first == '"' || first == '\'');
    if (!blankEdge && !quotedLook)
        return value;
    const char quote = value.contains('"') && !value.contains('\'') ? '\'' : '"';
    return quote + value + quote;
}

struct EditRequest {
    QByteArray section;
    QByteArray key;
    std::optional<QByteArray> value; // nullopt: delete the key
};

// The new content of the file, or nullopt when the edit leaves it as it is.
std::optional<QByteArray> applyEdit(const Document& doc, const EditRequest& edit) {
    const Section* section = doc.findSection(foldName(edit.section, doc.encoding));
    const QByteArray& bytes = doc.bytes;
    if (section && section->header >= 0) {
        const QByteArray foldedKey = foldName(edit.key, doc.encoding);
        const auto keyIt = section->keys.constFind(foldedKey);
        if (keyIt != section->keys.constEnd()) {
            const Line& line = doc.lines[size_t(*keyIt)];
            if (!edit.value) {
                // Every line of the key goes: removing only the first would let a duplicate
                // below it read back as the value of a key just deleted.
                QByteArray out = bytes;
                for (int i = section->endLine - 1; i >= *keyIt; --i) {
                    const Line& l = doc.lines[size_t(i)];
                    if (l.kind == Line::Key && l.foldedName == foldedKey)
                        out.remove(l.begin, l.next - l.begin);
                }
                return out;
            }
            if (doc.value(line) == *edit.value)
                return std::nullopt;
            qsizetype valueAt = line.equals + 1;
            while (valueAt < line.end && isBlank(bytes[valueAt]))
                ++valueAt;
            QByteArray out = bytes;
            out.replace(valueAt, line.end - valueAt, storedValue(*edit.value));
            return out;
        }
        if (!edit.value)
            return std::nullopt;
        // After the last line of the section that is not blank, before any blank lines that
        // separate it from the next header.
        int after = section->header;
        for (int i = section->header + 1; i < section->endLine; ++i) {
            const Line& l = doc.lines[size_t(i)];
            qsizetype b = l.begin;
            qsizetype e = l.end;
            trimRange(bytes, b, e);
            if (b < e)
                after = i;
        }
        const Line& anchor = doc.lines[size_t(after)];
        QByteArray insert = edit.key + '=' + storedValue(*edit.value) + doc.lineEnd;
        QByteArray out = bytes;
        if (anchor.next == anchor.end) // the anchor is the last line and has no line end
            insert.prepend(doc.lineEnd);
        out.insert(anchor.next, insert);
        return out;
    }
    if (!edit.value)
        return std::nullopt;
    QByteArray out = bytes;
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r') && out != kUtf8Bom)
        out += doc.lineEnd;
    out += '[' + edit.section + ']' + doc.lineEnd + edit.key + '=' + storedValue(*edit.value) +
           doc.lineEnd;
    return out;
}

// False for names and values whose line would not read back as written.
bool isSafeEdit(const QString& section, const QString& key, const std::optional<QString>& value) {
    if (section.isEmpty() || key.isEmpty() || hasLineBreakOrNul(section) ||
        hasLineBreakOrNul(key) || (value && hasLineBreakOrNul(*value)))
        return false;
    if (key.contains(QLatin1Char('=')))
        return false;
    const qsizetype bracket = section.indexOf(QLatin1Char(']'));
    if (bracket >= 0 && bracket != section.size() - 1)
        return false;
    // A key line starting with "[" and holding a "]" would read as a section header.
    return !(key.startsWith(QLatin1Char('[')) &&
             (key.contains(QLatin1Char(']')) || (value && value->contains(QLatin1Char(']')))));
}

// The edit in the file's own bytes; nullopt when the encoding cannot hold the text.
std::optional<EditRequest> encodeRequest(const QString& section, const QString& key,
                                         const std::optional<QString>& value, Encoding enc) {
    EditRequest request;
    const auto sectionBytes = encodeFor(section, enc);
    const auto keyBytes = encodeFor(key, enc);
    if (!sectionBytes || !keyBytes)
        return std::nullopt;
    request.section = *sectionBytes;
    request.key = *keyBytes;
    if (value) {
        const auto valueBytes = encodeFor(*value, enc);
        if (!valueBytes)
            return std::nullopt;
        request.value = *valueBytes;
    }
    return request;
}

bool edit(const QString& file, const QString& sectionName, const QString& keyName,
          const std::optional<QString>& value) {
    const QString section = trimmedName(sectionName);
    const QString key = trimmedName(keyName);
    if (!isSafeEdit(section, key, value))
        return false;

    QString path = WindowsPaths::resolveProfilePath(file);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false;
    if (!info.exists()) {
        if (!value)
            return true; // nothing to delete, and no file to create for it
        // Refused text must not leave a new folder behind either.
        if (!encodeRequest(section, key, value, Encoding::Cp932) ||
            !QDir().mkpath(info.absolutePath()))
            return false;
    } else if (info.isSymLink()) {
        path = info.canonicalFilePath();
    }

    const FileReplacement::FolderLock lock(QFileInfo(path).absolutePath());
    if (!lock.held())
        return false;
    QFile current(path);
    QByteArray content;
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            return false;
        content = current.readAll();
        current.close();
    } else if (!value) {
        return true;
    }
    const Document doc(content);
    const auto request = encodeRequest(section, key, value, doc.encoding);
    if (!request)
        return false;
    const auto updated = applyEdit(doc, *request);
    if (!updated)
        return true;
    forget(path);
    QString reason;
    if (!FileReplacement::replace(path, *updated, &reason)) {
        qCWarning(lcProfile) << "cannot write" << path << reason;
        return false;
    }
    return true;
}

} // namespace

QString getString(const QString& file, const QString& section, const QString& key,
                  const QString& defaultValue, int maxBytes) {
    maxBytes = std::max(maxBytes, 0);
    const QString path = WindowsPaths::resolveProfilePath(file);
    const auto doc = loadDocument(path);
    if (!doc)
        return defaultValue;
    const auto sectionBytes = encodeFor(trimmedName(section), doc->encoding);
    const auto keyBytes = encodeFor(trimmedName(key), doc->encoding);
    if (!sectionBytes || !keyBytes || keyBytes->isEmpty())
        return defaultValue;
    const Section* s = doc->findSection(foldName(*sectionBytes, doc->encoding));
    if (!s || s->header < 0)
        return defaultValue;
    const auto it = s->keys.constFind(foldName(*keyBytes, doc->encoding));
    if (it == s->keys.constEnd())
        return defaultValue;
    const QByteArray value = doc->value(doc->lines[size_t(*it)]);
    const int length = doc->encoding == Encoding::Utf8 ? utf8TruncatedLength(value, maxBytes)
                                                       : Cp932::truncatedLength(value, maxBytes);
    return decodeFrom(value.left(length), doc->encoding);
}

bool writeString(const QString& file, const QString& section, const QString& key,
                 const QString& value) {
    return edit(file, section, key, value);
}

bool deleteKey(const QString& file, const QString& section, const QString& key) {
    return edit(file, section, key, std::nullopt);
}

} // namespace PrivateProfile
