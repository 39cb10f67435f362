#pragma once

#include <QString>

// The monitor's control channel: one request a connection, one record line each way (see
// RecordFile for the line form).
//   POKE <topic> <item> <data>  ->  OK | REFUSED <reason>
//   STATE                       ->  OK <state number>
//   CLOSE                       ->  OK, then the monitor ends
namespace MonitorProtocol {

inline const QString controlTopic = QStringLiteral("KMBMON|CONTROL");
inline const QString goIdleItem = QStringLiteral("Goidle");
inline const QString goActiveItem = QStringLiteral("GoActive");

inline const QString pokeRequest = QStringLiteral("POKE");
inline const QString stateRequest = QStringLiteral("STATE");
inline const QString closeRequest = QStringLiteral("CLOSE");
inline const QString okReply = QStringLiteral("OK");
inline const QString refusedReply = QStringLiteral("REFUSED");

// Line states.
constexpr int idleState = 0;
constexpr int waitingForCallsState = 501;

} // namespace MonitorProtocol
