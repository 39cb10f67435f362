// Profile-file figures: single-key reads and writes on a suite profile of 200 keys, reading a
// full pager registration file of 1,900 keys, and the same reads with every read parsing the
// file again (the parse cache defeated), as the baseline the cache is measured against.
#include "Cp932.h"
#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A private Windows directory holding the two files, made once for the whole run.
class ProfileFiles {
public:
    static ProfileFiles& instance() {
        static ProfileFiles files;
        return files;
    }

    QString suiteProfile() const { return windows_ + QStringLiteral("/KMB32.INI"); }
    QString bellFile() const { return windows_ + QStringLiteral("/KmBell.inf"); }
    const QStringList& suiteSections() const { return suiteSections_; }
    const QStringList& suiteKeys() const { return suiteKeys_; }

    // A new modification time, so the next read parses the file again.
    static void touch(const QString& path) {
        static long tick = 0;
        const timespec times[2] = {{0, UTIME_OMIT}, {1000000 + ++tick, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }

private:
    ProfileFiles() {
        windows_ = dir_.path() + QStringLiteral("/drive_c/windows");
        QDir().mkpath(windows_);
        qputenv("WINEPREFIX", QFile::encodeName(dir_.path()));
        writeSuiteProfile();
        writeBellFile();
    }

    // 200 keys in the shape of the suite's profile: a few settings sections and a long
    // receive-folder table whose entries carry forwarding rules in Japanese.
    void writeSuiteProfile() {
        QString text;
        auto add = [&](const QString& section, const QString& key, const QString& value) {
            if (suiteSections_.isEmpty() || suiteSections_.constLast() != section)
                text += QLatin1Char('[') + section + QStringLiteral("]\r\n");
            text += key + QLatin1Char('=') + value + QStringLiteral("\r\n");
            suiteSections_ << section;
            suiteKeys_ << key;
        };
        for (int i = 0; i < 20; ++i)
            add(QStringLiteral("Monitor"), QStringLiteral("Setting%1").arg(i), QString::number(i));
        for (int i = 0; i < 20; ++i)
            add(QStringLiteral("Modem"), QStringLiteral("Option%1").arg(i), QStringLiteral("AT&F"));
        add(QStringLiteral("KMBLOG95-Recv"), QStringLiteral("NumOfRecvFolder"),
            QStringLiteral("159"));
        for (int i = 1; i <= 159; ++i)
            add(QStringLiteral("AGENT-Recv"), QString::number(i),
                QStringLiteral("%1,受信フォルダ%1⇒F/03123456%1＞ローカルモデム").arg(i));
        write(suiteProfile(), text);
    }

    // The full pager file: 100 slots of a title and six rows of check flag, data and wait.
    void writeBellFile() {
        QString text;
        for (int slot = 0; slot < 100; ++slot) {
            text += QStringLiteral("[Bell%1]\r\nBellTitle=事務所の呼出し%1\r\n").arg(slot);
            for (int row = 0; row < 6; ++row)
                text += QStringLiteral("BellChecked%1=1\r\nBellData%1=0312345678%1#\r\n"
                                       "BellWait%1=3\r\n")
                            .arg(row);
        }
        write(bellFile(), text);
    }

    static void write(const QString& path, const QString& text) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(Cp932::encode(text));
    }

    QTemporaryDir dir_;
    QString windows_;
    QStringList suiteSections_;
    QStringList suiteKeys_;
};

void readSuiteKeys(benchmark::State& state, bool parseEveryTime) {
    const ProfileFiles& files = ProfileFiles::instance();
    const QStringList& sections = files.suiteSections();
    const QStringList& keys = files.suiteKeys();
    qsizetype i = 0;
    for (auto _ : state) {
        if (parseEveryTime) {
            state.PauseTiming();
            ProfileFiles::touch(files.suiteProfile());
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(
            IniFile::strReadIni(QStringLiteral("KMB32.INI"), sections[i], keys[i]));
        i = (i + 1) % keys.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ReadSuiteKey(benchmark::State& state) {
    readSuiteKeys(state, false);
}
void BM_ReadSuiteKeyParsingEveryTime(benchmark::State& state) {
    readSuiteKeys(state, true);
}

// Alternating values, so every write changes the file and replaces it on disk.
void BM_WriteSuiteKey(benchmark::State& state) {
    ProfileFiles::instance();
    long n = 0;
    for (auto _ : state) {
        const int key = int(n % 159) + 1;
        const QString value =
            QStringLiteral("%1,受信フォルダ⇒F/03%2＞ローカルモデム").arg(key).arg(n);
        if (!IniFile::bWriteIni(QStringLiteral("KMB32.INI"), QStringLiteral("AGENT-Recv"),
                                QString::number(key), value))
            state.SkipWithError("write failed");
        ++n;
    }
    state.SetItemsProcessed(state.iterations());
}

void readWholeBellFile(benchmark::State& state, bool parseEveryTime) {
    const QString file = ProfileFiles::instance().bellFile();
    for (auto _ : state) {
        for (int slot = 0; slot < 100; ++slot) {
            const QString section = QStringLiteral("Bell%1").arg(slot);
            auto read = [&](const QString& key) {
                if (parseEveryTime) {
                    state.PauseTiming();
                    ProfileFiles::touch(file);
                    state.ResumeTiming();
                }
                benchmark::DoNotOptimize(IniFile::strReadIni(file, section, key));
            };
            read(QStringLiteral("BellTitle"));
            for (int row = 0; row < 6; ++row) {
                read(QStringLiteral("BellChecked%1").arg(row));
                read(QStringLiteral("BellData%1").arg(row));
                read(QStringLiteral("BellWait%1").arg(row));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 1900);
}

void BM_ReadWholeBellFile(benchmark::State& state) {
    readWholeBellFile(state, false);
}
void BM_ReadWholeBellFileParsingEveryTime(benchmark::State& state) {
    readWholeBellFile(state, true);
}

} // namespace

BENCHMARK(BM_ReadSuiteKey);
BENCHMARK(BM_ReadSuiteKeyParsingEveryTime);
BENCHMARK(BM_WriteSuiteKey)->UseRealTime();
BENCHMARK(BM_ReadWholeBellFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWholeBellFileParsingEveryTime)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
