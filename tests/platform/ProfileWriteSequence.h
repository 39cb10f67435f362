#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The deterministic run of profile edits the crash test's writer performs: edit `index` sets or
// deletes one of a few dozen keys of the section "Crash", so the writer and the test agree on
// what the file holds after any number of completed edits.
namespace ProfileWriteSequence {

inline const QString kSection = QStringLiteral("Crash");

// The file as the writer finds it first: other sections and bytes the edits must never touch.
inline QByteArray initialContent() {
    return QByteArray("; suite profile\r\n[Other]\r\nx=1\r\n\x80\xFF junk\r\n\r\n[Crash]\r\n");
}

struct Edit {
    QString key;
    bool remove = false;
    QString value;
};

inline Edit edit(long index) {
    Edit e;
    e.key = QStringLiteral("K%1").arg(index % 60);
    e.remove = index % 11 == 10;
    if (!e.remove)
        e.value = QStringLiteral("値%1＞").arg(index) + QString(int(index % 17), QLatin1Char('x'));
    return e;
}

// The key lines of "Crash", in file order, after the first `count` edits.
inline std::vector<std::pair<QString, QString>> keysAfter(long count) {
    std::vector<std::pair<QString, QString>> keys;
    for (long i = 0; i < count; ++i) {
        const Edit e = edit(i);
        auto it = keys.begin();
        while (it != keys.end() && it->first != e.key)
            ++it;
        if (e.remove) {
            if (it != keys.end())
                keys.erase(it);
        } else if (it != keys.end()) {
            it->second = e.value;
        } else {
            keys.emplace_back(e.key, e.value); // the section is the file's last: a new key ends it
        }
    }
    return keys;
}

} // namespace ProfileWriteSequence
