#pragma once

#include "MonitorLink.h"

#include <QStringList>

#include <optional>

// The monitor's control channel over a local socket. Every call gives up after the timeout
// and reports failure, so a monitor that hangs never hangs its caller.
class LocalMonitorLink : public MonitorLink {
public:
    explicit LocalMonitorLink(const QString& serverName, int timeoutMs = 3000);

    bool poke(const QString& topic, const QString& item, const QString& data) override;

    // The line state; nullopt when no monitor answers.
    std::optional<int> state();

    // Asks the monitor to end and waits (within the timeout) until it has gone.
    // False when no monitor answered.
    bool requestClose();

    QString serverName() const { return serverName_; }

private:
    std::optional<QStringList> exchange(const QStringList& request);

    QString serverName_;
    int timeoutMs_;
};
