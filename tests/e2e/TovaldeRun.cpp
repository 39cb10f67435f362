#include "TovaldeRun.h"

#include "LocalMonitorLink.h"
#include "PrivateProfile.h"
#include "RecordFile.h"
#include "SettingsStore.h"
#include "SuiteLayout.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

namespace {

const QString kApplication = QStringLiteral("KmbRxTrans");
const QString kSection = QStringLiteral("Setting");
const QString kProfile = QStringLiteral("KMB32.INI");

} // namespace

TovaldeRun::TovaldeRun() {
    suite({QStringLiteral("init"), QStringLiteral("--folders"), QStringLiteral("3")});
}

TovaldeRun::~TovaldeRun() {
    if (tovalde_.state() != QProcess::NotRunning) {
        tovalde_.kill();
        tovalde_.waitForFinished(5000);
    }
    // The program starts the monitor as a process of its own; it must not outlive the test.
    LocalMonitorLink(SuiteLayout::fromProfile().monitorServerName(), 2000).requestClose();
}

QString TovaldeRun::suite(const QStringList& arguments) {
    QProcess kmbsuite;
    kmbsuite.start(builtProgram(QStringLiteral("suite/kmbsuite")), arguments);
    const bool finished = kmbsuite.waitForFinished(30000);
    const QByteArray errors = kmbsuite.readAllStandardError();
    EXPECT_TRUE(finished && kmbsuite.exitStatus() == QProcess::NormalExit &&
                kmbsuite.exitCode() == 0)
        << "kmbsuite " << arguments.join(' ').toStdString() << ": " << errors.toStdString();
    return QString::fromUtf8(kmbsuite.readAllStandardOutput());
}

QVector<QStringList> TovaldeRun::records(const QString& listing) {
    QVector<QStringList> result;
    for (const QString& line : suite({listing}).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto fields = TabRecord::decodeRecord(line.toUtf8());
        EXPECT_TRUE(fields.has_value()) << line.toStdString();
        if (fields)
            result.append(*fields);
    }
    return result;
}

void TovaldeRun::setSetting(const QString& key, const QString& value) {
    ASSERT_TRUE(SettingsStore::saveSetting(kApplication, kSection, key, value));
}

QString TovaldeRun::setting(const QString& key) const {
    return SettingsStore::getSetting(kApplication, kSection, key, QStringLiteral("<missing>"));
}

void TovaldeRun::setProfile(const QString& section, const QString& key, const QString& value) {
    ASSERT_TRUE(PrivateProfile::writeString(kProfile, section, key, value));
}

QString TovaldeRun::profile(const QString& section, const QString& key) const {
    return PrivateProfile::getString(kProfile, section, key, QStringLiteral("<missing>"));
}

bool TovaldeRun::startWaiting() {
    tovalde_.setProcessChannelMode(QProcess::MergedChannels);
    tovalde_.start(builtProgram(QStringLiteral("tovalde/monitor/tovalde")), {});
    if (!tovalde_.waitForStarted(10000))
        return false;
    return waitFor([this] {
        output_ += tovalde_.readAll();
        return tovalde_.state() == QProcess::Running &&
               suite({QStringLiteral("state")}).trimmed() == QStringLiteral("501") &&
               profile(QStringLiteral("Monitor"), QStringLiteral("AutoReceive")) ==
                   QStringLiteral("1");
    });
}

QString TovaldeRun::receive(const QString& faxId, int pages, int secondsAhead, int flags) {
    const QString fax = environment_.root() + QStringLiteral("/incoming-%1.tif").arg(faxId);
    suite({QStringLiteral("sample-fax"), fax, QStringLiteral("--pages"), QString::number(pages)});
    return receiveFile(faxId, fax, secondsAhead, flags);
}

QString TovaldeRun::receiveFile(const QString& faxId, const QString& file, int secondsAhead,
                                int flags) {
    const QString time = QDateTime::currentDateTime()
                             .addSecs(secondsAhead)
                             .toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    const int index = suite({QStringLiteral("receive"), QStringLiteral("--fax-id"), faxId,
                             QStringLiteral("--time"), time, QStringLiteral("--flags"),
                             QString::number(flags), file})
                          .trimmed()
                          .toInt();
    return records(QStringLiteral("log")).value(index).value(5);
}

int TovaldeRun::terminate() {
    if (tovalde_.state() == QProcess::NotRunning)
        return -1;
    ::kill(pid_t(tovalde_.processId()), SIGTERM);
    if (!tovalde_.waitForFinished(20000))
        return -1;
    return tovalde_.exitStatus() == QProcess::NormalExit ? tovalde_.exitCode() : -1;
}

QString TovaldeRun::programOutput() {
    output_ += tovalde_.readAll();
    return QString::fromUtf8(output_);
}

bool TovaldeRun::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}
