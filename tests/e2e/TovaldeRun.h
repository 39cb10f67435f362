#pragma once

#include "TestEnvironment.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// One run of the built programs in a private world: the suite set up by `kmbsuite init`, the
// forwarding program started as a user would start it (offscreen), and the suite's records
// read back through `kmbsuite`. The program and the monitor it started never outlive the run.
class TovaldeRun {
public:
    TovaldeRun();
    ~TovaldeRun();
    TovaldeRun(const TovaldeRun&) = delete;
    TovaldeRun& operator=(const TovaldeRun&) = delete;

    TestEnvironment& environment() { return environment_; }

    // Runs kmbsuite with the arguments; its standard output. A failure is a test failure.
    QString suite(const QStringList& arguments);
    // The records a kmbsuite listing prints ("log", "outbox", "pokes"), fields unescaped.
    QVector<QStringList> records(const QString& listing);

    void setSetting(const QString& key, const QString& value);
    QString setting(const QString& key) const;
    void setProfile(const QString& section, const QString& key, const QString& value);
    QString profile(const QString& section, const QString& key) const;

    // Starts the program and waits until it waits for receptions (the monitor answers and the
    // automatic reception is on). False when it did not get there.
    bool startWaiting();
    // A sample fax of `pages` pages received into the folder with `faxId`, `secondsAhead`
    // seconds after now: the program sets its mark only after the monitor answers, so a margin
    // of several seconds keeps the reception newer than the mark on a busy machine. The stored
    // document.
    QString receive(const QString& faxId, int pages, int secondsAhead, int flags = 1);
    // The same with a document of the test's making.
    QString receiveFile(const QString& faxId, const QString& file, int secondsAhead, int flags = 1);
    // Closes the program as the system does (SIGTERM); its exit code, or -1 when it did not end.
    int terminate();
    // What the program wrote to its standard output and error.
    QString programOutput();

    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

private:
    TestEnvironment environment_;
    QProcess tovalde_;
    QByteArray output_;
};
