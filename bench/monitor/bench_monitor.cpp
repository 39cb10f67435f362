// Figures of the forwarding monitor:
//   1. start-up time from process start to the first shown main window, median of 10, beside
//      the same figure for a minimal Qt window measured in the same run;
//   2. time from starting `kmbsuite receive` to INS_Transmit being called, median of 20, with
//      the real engine and monitor (the command's own start-up included).
// Runs in a private temporary prefix; needs the built kmbsuite and kmbmon (suite/ of the build).

#include "Clock.h"
#include "JapaneseFonts.h"
#include "KmbRxTrans.h"
#include "KorimbaEngine.h"
#include "LocalMonitorLink.h"
#include "MessageBox.h"
#include "SettingsStore.h"
#include "VbValue.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kStartupRuns = 10;
constexpr int kReceptions = 20;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString buildDir() {
    // The bench lives in <build>/bench/monitor.
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../..")).canonicalPath();
}

bool kmbsuite(const QStringList& arguments) {
    QProcess process;
    process.start(buildDir() + QStringLiteral("/suite/kmbsuite"), arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

// Child modes: show a window and say so on the first pass of the event loop.
int showAndReport(QWidget& window) {
    window.show();
    QTimer::singleShot(0, [] {
        std::printf("shown\n");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

int childMinimal(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(524, 300);
    return showAndReport(window);
}

int childTovalde(int argc, char** argv) {
    QApplication app(argc, argv);
    JapaneseFonts::installSubstitutions();
    KorimbaEngine engine;
    LocalMonitorLink link(engine.layout().monitorServerName());
    SystemClock clock;
    KmbRxTrans window(engine, link, clock);
    window.Form_Load();
    return showAndReport(window);
}

// Milliseconds from starting `mode` in a child process until it reports its shown window.
double timeStartup(const char* mode) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BENCH_MONITOR_CHILD"), QString::fromLatin1(mode));
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {});
    while (child.waitForReadyRead(30000)) {
        if (child.readAllStandardOutput().contains("shown"))
            break;
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    child.waitForFinished(30000);
    return ms;
}

// The main window whose hand-over to forwarding is timed.
class TimedWindow : public KmbRxTrans {
public:
    using KmbRxTrans::KmbRxTrans;
    void INS_Transmit(int index) override {
        if (!transmitted.isValid())
            transmitted.start();
        KmbRxTrans::INS_Transmit(index);
    }
    QElapsedTimer transmitted;
};

void measureReceptions(const QString& sample) {
    for (const auto& [key, value] : {std::pair{"AllTrans", "1"},
                                     {"AllTransPort", "FAX"},
                                     {"AllTransAdr", "0311112222"},
                                     {"FaxManClose", "True"},
                                     {"AutoRun", "False"}})
        SettingsStore::saveSetting(QStringLiteral("KmbRxTrans"), QStringLiteral("Setting"),
                                   QString::fromLatin1(key), QString::fromLatin1(value));
    KorimbaEngine engine;
    LocalMonitorLink link(engine.layout().monitorServerName());
    SystemClock clock;
    TimedWindow window(engine, link, clock);
    window.Form_Load();
    window.INS_StartWaiting();
    if (!window.TimerIDLE->isActive()) {
        std::printf("waiting could not start; reception figures skipped\n");
        return;
    }
    std::vector<double> fromStart;
    const QDateTime base = QDateTime::currentDateTime().addSecs(2);
    for (int i = 0; i < kReceptions; ++i) {
        const QString time = VbValue::formatDateTime(base.addSecs(i));
        window.transmitted.invalidate();
        QProcess receive;
        QElapsedTimer started;
        started.start();
        receive.start(buildDir() + QStringLiteral("/suite/kmbsuite"),
                      {QStringLiteral("receive"), QStringLiteral("--fax-id"), QStringLiteral("101"),
                       QStringLiteral("--time"), time, sample});
        QElapsedTimer limit;
        limit.start();
        while (!window.transmitted.isValid() && limit.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        receive.waitForFinished(30000);
        if (!window.transmitted.isValid()) {
            std::printf("reception %d was not handed over within 10 s\n", i + 1);
            continue;
        }
        const double total =
            static_cast<double>(started.nsecsElapsed() - window.transmitted.nsecsElapsed()) / 1e6;
        fromStart.push_back(total);
    }
    window.close();
    if (fromStart.empty())
        return;
    std::printf("kmbsuite receive -> INS_Transmit: median %.1f ms (min %.1f, max %.1f, "
                "n=%zu)\n",
                median(fromStart), *std::min_element(fromStart.begin(), fromStart.end()),
                *std::max_element(fromStart.begin(), fromStart.end()), fromStart.size());
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray child = qgetenv("BENCH_MONITOR_CHILD");
    if (child == "minimal")
        return childMinimal(argc, argv);
    if (child == "tovalde")
        return childTovalde(argc, argv);

    QApplication app(argc, argv);
    QTemporaryDir dir;
    for (const char* sub : {"wine/drive_c/windows", "config", "data", "runtime", "tmp"})
        QDir(dir.path()).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("WINEPREFIX", QFile::encodeName(dir.filePath(QStringLiteral("wine"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.filePath(QStringLiteral("runtime"))));
    qputenv("TEMP", QFile::encodeName(dir.filePath(QStringLiteral("tmp"))));
    qputenv("KMBSUITE_BIN_DIR", QFile::encodeName(buildDir() + QStringLiteral("/suite")));
    const QString sample = dir.filePath(QStringLiteral("sample.tif"));
    if (!kmbsuite({QStringLiteral("init")}) || !kmbsuite({QStringLiteral("sample-fax"), sample})) {
        std::fprintf(stderr, "kmbsuite is not built beside this bench\n");
        return 1;
    }

    std::vector<double> minimal;
    std::vector<double> tovalde;
    for (int run = 0; run < kStartupRuns; ++run) {
        minimal.push_back(timeStartup("minimal"));
        tovalde.push_back(timeStartup("tovalde"));
    }
    std::printf("start-up to first shown window, median of %d: Tovalde %.1f ms, minimal Qt "
                "window %.1f ms\n",
                kStartupRuns, median(tovalde), median(minimal));
    measureReceptions(sample);
    return 0;
}
