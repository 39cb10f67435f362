#include "ModemEmulator.h"

#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

ModemEmulator::ModemEmulator(const QString& winePrefix, int port, const QStringList& script)
    : link_(QStringLiteral("%1/dosdevices/com%2").arg(winePrefix).arg(port)),
      transcriptPath_(QStringLiteral("%1/modem-com%2.txt").arg(winePrefix).arg(port)) {
    QStringList arguments{"--link", link_, "--transcript", transcriptPath_};
    arguments += script;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(builtProgram("tools/modem_emulator/modem_emulator"), arguments);
    while (!ready_ && process_.waitForReadyRead(5000))
        ready_ = process_.readLine().startsWith("ready");
}

ModemEmulator::~ModemEmulator() {
    process_.terminate();
    if (!process_.waitForFinished(5000))
        process_.kill();
}

QStringList ModemEmulator::transcript() const {
    QFile file(transcriptPath_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ModemEmulator::transcriptOnceItHas(int lines) const {
    const QDeadlineTimer deadline(5000);
    QStringList seen = transcript();
    while (seen.size() < lines && !deadline.hasExpired()) {
        QThread::msleep(5);
        seen = transcript();
    }
    return seen;
}
