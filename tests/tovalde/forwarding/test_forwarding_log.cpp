#include "ForwardingLog.h"
#include "GTestQtText.h"
#include "TabRecord.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <ostream>

namespace {

const QDateTime kNow(QDate(2026, 12, 11), QTime(14, 5, 9));

ForwardingLog::Entry entry(const QString& faxId, ForwardingLog::Outcome outcome = {},
                           const QString& reason = QString()) {
    return {faxId,
            QStringLiteral("/recv/RX1.tif"),
            QStringLiteral("プリンタで印刷"),
            QStringLiteral("PrnA"),
            outcome,
            reason};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A log line split into its fields with the escapes undone, as a reader of the log would.
QStringList fieldsOf(const QString& line) {
    return TabRecord::decodeRecord(line.toUtf8())
        .value_or(QStringList{QStringLiteral("<undecodable>")});
}

QStringList linesOf(const QByteArray& bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TEST(ForwardingLog, LineHoldsTheSevenFieldsAndEveryTextComesBackAsItWas) {
    const QString awkward[] = {
        QStringLiteral("転送:ＡＢＣ（本社）"),
        QStringLiteral("tab\there"),
        QStringLiteral("two\nlines\r\nend"),
        QStringLiteral("C:\\KORIMBA\\Recv\\RX1.tif"),
        QStringLiteral("trailing backslash\\"),
        QStringLiteral("\\t is not a tab"),
        QString(),
    };
    for (const QString& text : awkward) {
        SCOPED_TRACE(text.toStdString());
        TestEnvironment environment;
        ForwardingLog log(environment.root() + QStringLiteral("/f.log"), 1 << 20,
                          [] { return kNow; });
        ASSERT_TRUE(log.append({text, text, text, text, ForwardingLog::Outcome::Error, text}));

        const QStringList lines = linesOf(contents(log.path()));
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(fieldsOf(lines.at(0)),
                  (QStringList{"2026/12/11 14:05:09", text, text, text, text, "error", text}));
    }
}

TEST(ForwardingLog, OutcomesAreWrittenAsWords) {
    TestEnvironment environment;
    ForwardingLog log(environment.root() + QStringLiteral("/f.log"), 1 << 20, [] { return kNow; });
    log.append(entry(QStringLiteral("101")));
    log.append(entry(QStringLiteral("102"), ForwardingLog::Outcome::Skipped, "no pages"));
    log.append(entry(QStringLiteral("103"), ForwardingLog::Outcome::Error, "printer gone"));

    QStringList outcomes;
    for (const QString& line : linesOf(contents(log.path())))
        outcomes << fieldsOf(line).value(5) + '/' + fieldsOf(line).value(6);
    EXPECT_EQ(outcomes, (QStringList{"ok/", "skipped/no pages", "error/printer gone"}));
}

TEST(ForwardingLog, LivesInThePerUserDataDirectoryAndKeepsWhatWasThere) {
    TestEnvironment environment;
    const QString expected = environment.root() + QStringLiteral("/data/KmbRxTrans/forwarding.log");
    EXPECT_EQ(ForwardingLog::defaultPath(), expected);
    environment.writeFile(expected, "earlier line\n");

    ForwardingLog log;
    ASSERT_TRUE(log.append(entry(QStringLiteral("101"))));

    const QStringList lines = linesOf(contents(expected));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.at(0), QStringLiteral("earlier line"));
    EXPECT_EQ(fieldsOf(lines.at(1)).value(1), QStringLiteral("101"));
}

TEST(ForwardingLog, FullLogIsSetAsideAndTheOlderOneReplaced) {
    TestEnvironment environment;
    const QString path = environment.root() + QStringLiteral("/f.log");
    const qint64 lineBytes = [&] {
        ForwardingLog probe(environment.root() + QStringLiteral("/probe.log"), 1 << 20,
                            [] { return kNow; });
        probe.append(entry(QStringLiteral("100")));
        return qint64(contents(probe.path()).size());
    }();
    // Room for exactly three lines.
    ForwardingLog log(path, 3 * lineBytes, [] { return kNow; });
    auto faxIds = [](const QString& file) {
        QStringList ids;
        for (const QString& line : linesOf(contents(file)))
            ids << fieldsOf(line).value(1);
        return ids;
    };

    for (int id = 101; id <= 103; ++id)
        log.append(entry(QString::number(id)));
    EXPECT_EQ(faxIds(path), (QStringList{"101", "102", "103"}));
    EXPECT_FALSE(QFile::exists(log.rotatedPath()));

    log.append(entry(QStringLiteral("104")));
    EXPECT_EQ(faxIds(path), QStringList{"104"});
    EXPECT_EQ(faxIds(log.rotatedPath()), (QStringList{"101", "102", "103"}));

    for (int id = 105; id <= 107; ++id)
        log.append(entry(QString::number(id)));
    EXPECT_EQ(faxIds(path), QStringList{"107"});
    EXPECT_EQ(faxIds(log.rotatedPath()), (QStringList{"104", "105", "106"}));
}

TEST(ForwardingLog, LineLongerThanTheLimitIsStillWrittenWhole) {
    TestEnvironment environment;
    ForwardingLog log(environment.root() + QStringLiteral("/f.log"), 10, [] { return kNow; });
    ASSERT_TRUE(log.append(entry(QStringLiteral("101"))));
    ASSERT_TRUE(log.append(entry(QStringLiteral("102"))));

    EXPECT_EQ(fieldsOf(linesOf(contents(log.path())).value(0)).value(1), QStringLiteral("102"));
    EXPECT_EQ(fieldsOf(linesOf(contents(log.rotatedPath())).value(0)).value(1),
              QStringLiteral("101"));
}

TEST(ForwardingLog, LogThatCannotBeWrittenReportsItWithoutThrowing) {
    TestEnvironment environment;
    // A file where the log's folder should be, and a folder where the log file should be.
    environment.writeFile(QStringLiteral("blocked"), "not a folder");
    QDir(environment.root()).mkpath(QStringLiteral("folder.log"));
    const QString paths[] = {environment.root() + QStringLiteral("/blocked/f.log"),
                             environment.root() + QStringLiteral("/folder.log")};
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        ForwardingLog log(path, 1 << 20, [] { return kNow; });
        EXPECT_FALSE(log.append(entry(QStringLiteral("101"))));
    }
}

} // namespace
