#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The program's version information. The same fields are embedded in the executable as a
// readable section (".quensar.version", see `readelf -p .quensar.version quensar`), the closest
// this system has to a version resource, and shown in the about box.
namespace VersionInfo {

QString fileVersion();    // "2.00.99.001" (binary 2.0.0.1)
QString productVersion(); // the same
QString internalName();   // "QUENSAR", also the program's name and message-box title
QString shortVersion();   // "2.00", as the about box shows it
QString legalCopyright(); // the maker's notice

// Every field as name and value, in the order a version resource lists them.
QList<QPair<QString, QString>> fields();

} // namespace VersionInfo
