// Registry figures on a system.reg the size of a lived-in prefix (20,000 keys, 80,000 values,
// about 5 MB): what one start-up of QUENSAR costs (open and query the Parameters key, open and
// enumerate the Shares key, from a file no open has parsed yet) and what its write on OK costs
// (change, check by reading the result back, replace).
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Registry;

namespace {

const QByteArray kParameters = "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";
const QByteArray kShares = "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares";

class LivedInPrefix {
public:
    static LivedInPrefix& instance() {
        static LivedInPrefix prefix;
        return prefix;
    }
    qint64 size() const { return size_; }

    // A new modification time, as a process starting afresh has parsed nothing yet.
    void touch() const {
        static long tick = 0;
        const timespec times[2] = {{0, UTIME_OMIT}, {1000000 + ++tick, 0}};
        ::utimensat(AT_FDCWD,
                    QFile::encodeName(dir_.path() + QStringLiteral("/system.reg")).constData(),
                    times, 0);
    }

private:
    LivedInPrefix() {
        qputenv("WINEPREFIX", QFile::encodeName(dir_.path()));
        QByteArray text =
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
        for (int k = 0; k < 20000; ++k) {
            text += "\n[Software\\\\Classes\\\\CLSID\\\\{" +
                    QByteArray::number(0x10000000 + k, 16) +
                    "-0000-0000-c000-000000000046}\\\\InProcServer32] "
                    "1702000000\n#time=1da2c0f0a1b2c3b\n"
                    "@=\"C:\\\\windows\\\\system32\\\\ole32.dll\"\n\"ThreadingModel\"=\"Both\"\n"
                    "\"Flags\"=dword:00000004\n\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,"
                    "0e,0f,10,11,"
                    "12,13,14,15,16,\\\n  17,18,19,1a\n";
        }
        text += "\n[System\\\\ControlSet001\\\\Services\\\\LanmanServer\\\\Parameters] 1702000000\n"
                "#time=1da2c0f0a1b2c3b\n\"NullSessionShares\"=str(7):\"COMCFG\\0FAX\\0\"\n";
        text += "\n[System\\\\ControlSet001\\\\Services\\\\LanmanServer\\\\Shares] 1702000000\n";
        for (int s = 0; s < 50; ++s)
            text += "\"SHARE" + QByteArray::number(s) + "\"=str(7):\"Path=C:\\\\SHARE" +
                    QByteArray::number(s) + "\\0Type=0\\0\"\n";
        text += "\n[System\\\\CurrentControlSet] 1702000000\n#link\n\"SymbolicLinkValue\"=hex(6):"
                "5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,00,5c,00,4d,00,61,00,63,00,68,"
                "00,69,00,"
                "6e,00,65,00,5c,00,53,00,79,00,73,00,74,00,65,00,6d,00,5c,00,43,00,6f,00,6e,00,74,"
                "00,72,00,"
                "6f,00,6c,00,53,00,65,00,74,00,30,00,30,00,31,00\n";
        QFile file(dir_.path() + QStringLiteral("/system.reg"));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write the registry file");
        size_ = text.size();
    }

    QTemporaryDir dir_;
    qint64 size_ = 0;
};

void BM_ReadAtStartUp(benchmark::State& state) {
    const LivedInPrefix& prefix = LivedInPrefix::instance();
    for (auto _ : state) {
        state.PauseTiming();
        prefix.touch();
        state.ResumeTiming();
        HKEY key = nullptr;
        QByteArray value;
        DWORD size = 256;
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key) != ERROR_SUCCESS ||
            RegQueryValueEx(key, "NullSessionShares", nullptr, &value, &size) != ERROR_SUCCESS)
            state.SkipWithError("cannot read NullSessionShares");
        RegCloseKey(key);
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kShares, 0, KEY_READ, &key) != ERROR_SUCCESS)
            state.SkipWithError("cannot open Shares");
        int shares = 0;
        for (DWORD i = 0;; ++i) {
            QByteArray name;
            QByteArray data;
            DWORD nameSize = 256;
            DWORD dataSize = 256;
            if (RegEnumValue(key, i, &name, &nameSize, nullptr, &data, &dataSize) != ERROR_SUCCESS)
                break;
            ++shares;
        }
        RegCloseKey(key);
        benchmark::DoNotOptimize(shares);
    }
    state.counters["file_bytes"] = double(LivedInPrefix::instance().size());
}
BENCHMARK(BM_ReadAtStartUp)->Unit(benchmark::kMillisecond);

void BM_WriteOnOk(benchmark::State& state) {
    LivedInPrefix::instance();
    int round = 0;
    for (auto _ : state) {
        HKEY key = nullptr;
        const QByteArray value =
            "COMCFG\0FAX\0SHARE" + QByteArray::number(++round % 50) + QByteArray(2, '\0');
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_ALL_ACCESS, &key) !=
                ERROR_SUCCESS ||
            RegSetValueEx(key, "NullSessionShares", REG_MULTI_SZ, value) != ERROR_SUCCESS)
            state.SkipWithError("cannot write NullSessionShares");
        RegCloseKey(key);
    }
}
BENCHMARK(BM_WriteOnOk)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
