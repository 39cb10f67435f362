#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// One of Wine's registry files ("WINE REGISTRY Version 2"): key sections "[Path\\To\\Key] time"
// followed by their option lines ("#time=", "#link", ...) and value lines. The bytes are kept
// as read; an edit changes only the lines it must, so every other key, value, comment and byte
// stays as it was.
class WineRegistryFile {
public:
    struct Value {
        QString name; // empty for the key's default value ("@")
        quint32 type = 0;
        QByteArray data; // as the registry holds it: UTF-16LE for text written as a string
        qsizetype begin = 0;
        qsizetype end = 0; // just past its last line, line end included
    };

    struct Key {
        QString path; // components joined by '\', relative to the file's root
        qsizetype headerBegin = 0;
        qsizetype stampBegin = -1; // the seconds after "]", when present
        qsizetype stampEnd = -1;
        qsizetype timeBegin = -1; // the hexadecimal of the "#time=" line, when present
        qsizetype timeEnd = -1;
        qsizetype bodyEnd = 0; // just past the last header, option or value line of the key
        bool isLink = false;
        std::vector<Value> values;

        const Value* findValue(const QString& name) const;
    };

    // Nullopt, with the reason in *error, for bytes that are not a well-formed registry file.
    static std::optional<WineRegistryFile> parse(QByteArray bytes, QString* error = nullptr);

    // The path with symbolic-link keys followed, or nullopt when the key does not exist (it
    // exists when it has its own section or a section below it) or the links go round.
    std::optional<QString> resolve(const QString& path) const;

    // The section of a resolved path; nullptr for a key that exists only through its subkeys.
    const Key* section(const QString& resolvedPath) const;

    // The file's bytes with the value set in the key at `resolvedPath` (which must exist), the
    // key's time stamps set to `now`. Nullopt when the key does not exist.
    std::optional<QByteArray> withValue(const QString& resolvedPath, const QString& name,
                                        quint32 type, const QByteArray& data,
                                        const QDateTime& now) const;

    // The value's line(s) as Wine writes them, line end included.
    static QByteArray formatValue(const QString& name, quint32 type, const QByteArray& data,
                                  const QByteArray& lineEnd = "\n");

private:
    explicit WineRegistryFile(QByteArray bytes) : bytes_(std::move(bytes)) {}
    bool parseLines(QString* error);
    int sectionIndex(const QString& path) const;
    bool hasSubkeys(const QString& path) const;

    QByteArray bytes_;
    QByteArray lineEnd_ = "\n";
    std::vector<Key> keys_;
    QHash<QString, int> keyIndex_; // case-folded path -> index in keys_
};
