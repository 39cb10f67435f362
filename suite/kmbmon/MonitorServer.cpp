#include "MonitorServer.h"

#include "FaxEngine.h"
#include "MonitorProtocol.h"
#include "RecordFile.h"

#include <QFile>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcMonitor, "kmbsuite.monitor")

namespace {
// A request is one short line; anything longer is not a client of ours.
constexpr qint64 maxRequestBytes = 64 * 1024;
constexpr int requestTimeoutMs = 5000;
} // namespace

MonitorServer::MonitorServer(const SuiteLayout& layout, QObject* parent)
    : QObject(parent), layout_(layout), state_(MonitorProtocol::waitingForCallsState) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
            // A client that never finishes its request does not keep its connection.
            QTimer::singleShot(requestTimeoutMs, socket, &QLocalSocket::abort);
            answer(socket);
        }
    });
}

MonitorServer::~MonitorServer() {
    server_.close(); // removes the socket file
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

MonitorServer::StartResult MonitorServer::start(QString* message) {
    const QString name = layout_.monitorServerName();
    // The lock decides which of two monitors started at once keeps the channel; it goes with
    // the process however that ends.
    lockFd_ = ::open(QFile::encodeName(name + QStringLiteral(".lock")).constData(),
                     O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        *message = QStringLiteral("cannot make the lock beside %1").arg(name);
        return StartResult::Failed;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        *message = QStringLiteral("a monitor already runs for %1").arg(layout_.directory());
        return StartResult::AlreadyRunning;
    }
    QLocalServer::removeServer(name); // left by a monitor that was killed
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name)) {
        *message = QStringLiteral("cannot listen on %1: %2").arg(name, server_.errorString());
        return StartResult::Failed;
    }
    return StartResult::Started;
}

void MonitorServer::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > maxRequestBytes)
            socket->abort();
        return;
    }
    QByteArray line = socket->readLine();
    line.chop(1);
    const auto request = TabRecord::decodeRecord(line);
    const QStringList reply =
        request ? handle(*request)
                : QStringList{MonitorProtocol::refusedReply, QStringLiteral("not a request")};
    socket->write(TabRecord::encodeRecord(reply));
    socket->flush();
    socket->disconnectFromServer();
    if (request && request->value(0) == MonitorProtocol::closeRequest)
        Q_EMIT closeRequested();
}

QStringList MonitorServer::handle(const QStringList& request) {
    const QString& kind = request.first();
    if (kind == MonitorProtocol::stateRequest && request.size() == 1)
        return {MonitorProtocol::okReply, QString::number(state_)};
    if (kind == MonitorProtocol::pokeRequest && request.size() == 4)
        return poke(request);
    if (kind == MonitorProtocol::closeRequest && request.size() == 1)
        return {MonitorProtocol::okReply};
    return {MonitorProtocol::refusedReply, QStringLiteral("unknown request")};
}

QStringList MonitorServer::poke(const QStringList& request) {
    const QString& topic = request.at(1);
    const QString& item = request.at(2);
    const QString& data = request.at(3);
    try {
        RecordFile::appendRecord(layout_.pokeRecord(), {item, data});
    } catch (const SuiteError& e) {
        qCWarning(lcMonitor, "%s", e.what());
    }
    // Topic and item names are not case-sensitive on the channel this one replaces.
    if (topic.compare(MonitorProtocol::controlTopic, Qt::CaseInsensitive) != 0)
        return {MonitorProtocol::refusedReply, QStringLiteral("unknown topic")};
    if (item.compare(MonitorProtocol::goIdleItem, Qt::CaseInsensitive) == 0)
        state_ = MonitorProtocol::idleState;
    else if (item.compare(MonitorProtocol::goActiveItem, Qt::CaseInsensitive) == 0)
        state_ = MonitorProtocol::waitingForCallsState;
    else
        return {MonitorProtocol::refusedReply, QStringLiteral("unknown item")};
    return {MonitorProtocol::okReply};
}
