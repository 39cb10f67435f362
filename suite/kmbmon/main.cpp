// kmbmon: the suite's communication monitor, one per suite directory.
//
//   kmbmon [--suite-dir DIR]
//
// Ends on a close request over its control channel, on SIGTERM, SIGINT or SIGHUP, and when its
// suite directory disappears; it removes its socket whichever way it ends.

#include "MonitorServer.h"
#include "SuiteLayout.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void quitOnSignals() {
    ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe);
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

constexpr int suiteCheckIntervalMs = 2000;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    SuiteLayout layout = SuiteLayout::fromProfile();
    if (args.size() == 2 && args.first() == QLatin1String("--suite-dir")) {
        layout = SuiteLayout(args.at(1));
    } else if (!args.isEmpty()) {
        std::fprintf(stderr, "usage: kmbmon [--suite-dir DIR]\n");
        return 2;
    }
    if (!QFileInfo(layout.directory()).isDir()) {
        std::fprintf(stderr, "kmbmon: the suite directory %s does not exist\n",
                     qPrintable(layout.directory()));
        return 1;
    }

    MonitorServer server(layout);
    QString message;
    switch (server.start(&message)) {
    case MonitorServer::StartResult::Started:
        break;
    case MonitorServer::StartResult::AlreadyRunning:
        std::fprintf(stderr, "kmbmon: %s\n", qPrintable(message));
        return 0;
    case MonitorServer::StartResult::Failed:
        std::fprintf(stderr, "kmbmon: %s\n", qPrintable(message));
        return 1;
    }
    QObject::connect(&server, &MonitorServer::closeRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    quitOnSignals();

    // A monitor whose suite was removed has nothing left to serve.
    QTimer suiteCheck;
    QObject::connect(&suiteCheck, &QTimer::timeout, &app, [&] {
        if (!QFileInfo(layout.directory()).isDir())
            QCoreApplication::quit();
    });
    suiteCheck.start(suiteCheckIntervalMs);
    return app.exec();
}
