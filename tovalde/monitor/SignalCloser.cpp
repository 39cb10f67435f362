#include "SignalCloser.h"

#include "MonitorLog.h"

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    const ssize_t written = ::write(signalPipe[0], &byte, 1);
    (void)written; // a full pipe already holds a pending close
}

const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

SignalCloser::SignalCloser(QWidget* window) : QObject(window), window_(window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        qCWarning(lcMonitor) << "cannot watch for termination signals";
        return;
    }
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalCloser::readSignal);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

SignalCloser::~SignalCloser() {
    if (!notifier_)
        return;
    for (int sig : kSignals)
        ::signal(sig, SIG_DFL);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void SignalCloser::readSignal() {
    char buffer[16];
    while (::read(signalPipe[1], buffer, sizeof buffer) > 0) {
    }
    window_->close();
}
