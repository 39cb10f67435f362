#include "LocalMonitorLink.h"

#include "MonitorProtocol.h"
#include "RecordFile.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>

LocalMonitorLink::LocalMonitorLink(const QString& serverName, int timeoutMs)
    : serverName_(serverName), timeoutMs_(timeoutMs) {}

std::optional<QStringList> LocalMonitorLink::exchange(const QStringList& request) {
    const QDeadlineTimer deadline(timeoutMs_);
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return std::nullopt;
    socket.write(TabRecord::encodeRecord(request));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return std::nullopt;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return std::nullopt;
    }
    QByteArray line = socket.readLine();
    line.chop(1);
    return TabRecord::decodeRecord(line);
}

bool LocalMonitorLink::poke(const QString& topic, const QString& item, const QString& data) {
    const auto reply = exchange({MonitorProtocol::pokeRequest, topic, item, data});
    return reply && !reply->isEmpty() && reply->first() == MonitorProtocol::okReply;
}

std::optional<int> LocalMonitorLink::state() {
    const auto reply = exchange({MonitorProtocol::stateRequest});
    if (!reply || reply->size() != 2 || reply->first() != MonitorProtocol::okReply)
        return std::nullopt;
    bool ok = false;
    const int value = reply->at(1).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool LocalMonitorLink::requestClose() {
    const QDeadlineTimer deadline(timeoutMs_);
    const auto reply = exchange({MonitorProtocol::closeRequest});
    if (!reply || reply->isEmpty() || reply->first() != MonitorProtocol::okReply)
        return false;
    // The monitor answers before it ends: wait until it no longer listens, so a start right
    // after this one does not find the old monitor still there.
    while (!deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(serverName_);
        if (!probe.waitForConnected(50))
            break;
        probe.abort();
        QThread::msleep(20);
    }
    return true;
}
