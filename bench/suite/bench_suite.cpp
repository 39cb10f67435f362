// Figures of the stand-in suite: how soon the engine tells of a reception, what a poll of a
// long reception log costs, and how long and how much memory decoding a long fine fax takes.
//
//   bench_suite [notify] [poll] [decode]      (all three without arguments)

#include "KmbDocument.h"
#include "KorimbaEngine.h"
#include "ReceptionLog.h"
#include "RecordFile.h"
#include "SampleFax.h"
#include "SuiteLayout.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// This thread's CPU time: a figure a busy machine does not inflate as much as wall time.
double cpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Reception n, a minute after reception n - 1.
QStringList receptionFields(int n) {
    static const QDateTime start(QDate(2024, 5, 1), QTime(8, 0));
    return {start.addSecs(qint64(n) * 60).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
            QStringLiteral("1"), QStringLiteral("0"), QString::number(100 + n % 3),
            QStringLiteral("Recv/RX%1.tif").arg(n, 8, 10, QLatin1Char('0'))};
}

void benchNotify(const QString& root) {
    constexpr int receptions = 50;
    const SuiteLayout layout(root + QStringLiteral("/notify"));
    RecordFile::appendRecord(layout.receptionLog(), receptionFields(0));
    KorimbaEngine engine(layout);
    engine.setCheckInterval(60000); // measure the watch, not the slow check
    QElapsedTimer clock;
    std::vector<double> latencies;
    QEventLoop loop;
    QObject::connect(&engine, &FaxEngine::EngineNotify, &loop, [&] {
        latencies.push_back(double(clock.nsecsElapsed()) / 1e6);
        loop.quit();
    });
    for (int i = 1; i <= receptions; ++i) {
        QTimer::singleShot(5, &loop, [&, i] {
            RecordFile::appendRecord(layout.receptionLog(), receptionFields(i));
            clock.start(); // from the end of the append
        });
        QTimer::singleShot(2000, &loop, &QEventLoop::quit); // a lost notify shows as missing
        loop.exec();
    }
    std::printf("notify latency: median %.3f ms, max %.3f ms over %zu of %d receptions\n",
                median(latencies), *std::max_element(latencies.begin(), latencies.end()),
                latencies.size(), receptions);
}

void benchPoll(const QString& root) {
    constexpr int entries = 100000;
    constexpr int rounds = 100;
    const SuiteLayout layout(root + QStringLiteral("/poll"));
    QDir().mkpath(QFileInfo(layout.receptionLog()).absolutePath());
    {
        QFile log(layout.receptionLog());
        log.open(QIODevice::WriteOnly);
        for (int i = 0; i < entries; ++i)
            log.write(TabRecord::encodeRecord(receptionFields(i)));
    }
    std::printf("reception log: %d entries, %.1f MB\n", entries,
                double(QFileInfo(layout.receptionLog()).size()) / 1e6);

    std::vector<double> full, fullCpu, unchanged, oneMore;
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = cpuMilliseconds();
        ReceptionLog fresh(layout.receptionLog(), layout.directory());
        fresh.refresh();
        fullCpu.push_back(cpuMilliseconds() - cpuBefore);
        full.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    ReceptionLog log(layout.receptionLog(), layout.directory());
    log.refresh();
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer clock;
        clock.start();
        log.refresh();
        unchanged.push_back(double(clock.nsecsElapsed()) / 1e6);
        RecordFile::appendRecord(layout.receptionLog(), receptionFields(entries + r));
        clock.start();
        log.refresh();
        oneMore.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("poll, full re-read:            median %.3f ms (%.3f ms CPU)\n", median(full),
                median(fullCpu));
    std::printf("poll, incremental, no change:  median %.4f ms\n", median(unchanged));
    std::printf("poll, incremental, one append: median %.4f ms (%zu entries at the end)\n",
                median(oneMore), log.entries().size());
}

long kilobytesOf(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(strlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

// Runs in a process of its own, so the memory figures are the decoding's alone.
void decodePages(const QString& fax) {
    const QString bitmap = fax + QStringLiteral(".bmp");
    KmbDocument document;
    const long before = kilobytesOf("VmRSS:");
    std::vector<double> times;
    QElapsedTimer total;
    total.start();
    const int count = document.PageCount(fax);
    for (int page = 1; page <= count; ++page) {
        QElapsedTimer clock;
        clock.start();
        if (document.SavePageImage(fax, bitmap, page) != 0)
            std::printf("page %d failed: %s\n", page, qPrintable(document.lastError()));
        document.PageInfo(fax, page);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const double totalMs = double(total.nsecsElapsed()) / 1e6;
    const long peak = kilobytesOf("VmHWM:");
    std::printf("decode: %d fine pages (%.1f MB file) in %.1f ms, per page median %.2f ms, "
                "max %.2f ms (page to bitmap file + page info)\n",
                count, double(QFileInfo(fax).size()) / 1e6, totalMs, median(times),
                *std::max_element(times.begin(), times.end()));
    std::printf("decode: resident %ld kB before the first page, peak %ld kB (+%ld kB; one "
                "page's bitmap is %lld kB)\n",
                before, peak, peak - before, QFileInfo(bitmap).size() / 1024);
}

void benchDecode(const QString& root) {
    constexpr int pages = 100;
    const QString fax = root + QStringLiteral("/long-fine.tif");
    QString error;
    if (!SampleFax::write(fax, pages, true, &error)) {
        std::printf("decode: cannot write the sample: %s\n", qPrintable(error));
        return;
    }
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("decode-pages"), fax});
    child.waitForFinished(-1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArrayView(argv[1]) == "decode-pages") {
        QCoreApplication app(argc, argv);
        decodePages(app.arguments().at(2));
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList wanted = app.arguments().mid(1);
    if (wanted.isEmpty())
        wanted = {QStringLiteral("notify"), QStringLiteral("poll"), QStringLiteral("decode")};
    QTemporaryDir root;
    if (wanted.contains(QLatin1String("notify")))
        benchNotify(root.path());
    if (wanted.contains(QLatin1String("poll")))
        benchPoll(root.path());
    if (wanted.contains(QLatin1String("decode")))
        benchDecode(root.path());
    return 0;
}
