#pragma once

#include "SuiteLayout.h"

#include <QLocalServer>
#include <QObject>

// The communication monitor's control channel and line state. Without a modem the line only
// moves between waiting for calls (after start and "GoActive") and idle (after "Goidle").
class MonitorServer : public QObject {
    Q_OBJECT
public:
    explicit MonitorServer(const SuiteLayout& layout, QObject* parent = nullptr);
    ~MonitorServer() override;

    enum class StartResult { Started, AlreadyRunning, Failed };
    // Takes the suite's control channel; *message says why when it does not.
    StartResult start(QString* message);

    int state() const { return state_; }

Q_SIGNALS:
    // A client asked the monitor to end.
    void closeRequested();

private:
    void answer(QLocalSocket* socket);
    QStringList handle(const QStringList& request);
    QStringList poke(const QStringList& request);

    SuiteLayout layout_;
    QLocalServer server_;
    int lockFd_ = -1;
    int state_;
};
