#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// SIGTERM, SIGINT and SIGHUP close the window as the system closing it would, so the shutdown
// steps run. The handler only writes a byte into a pipe; the window is closed from the event loop.
class SignalCloser : public QObject {
    Q_OBJECT
public:
    explicit SignalCloser(QWidget* window);
    ~SignalCloser() override;

private:
    void readSignal();

    QWidget* window_;
    QSocketNotifier* notifier_ = nullptr;
};
