#include "FaxEngine.h"
#include "ReceptionLog.h"
#include "RecordFile.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class ReceptionLogTest : public ::testing::Test {
protected:
    QString suite() const { return env.root() + QStringLiteral("/suite"); }
    QString logPath() const { return suite() + QStringLiteral("/Log/recv.log"); }
    void append(const QByteArray& bytes) {
        QDir().mkpath(suite() + QStringLiteral("/Log"));
        QFile file(logPath());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(bytes);
    }
    void appendEntry(const char* time, const char* faxId) {
        append(QByteArray(time) + "\t1\t0\t" + faxId + "\tRecv/" + faxId + ".tif\n");
    }
    QStringList faxIds(const ReceptionLog& log) const {
        QStringList ids;
        for (const ReceptionEntry& e : log.entries())
            ids.append(e.faxId);
        return ids;
    }
    TestEnvironment env;
};

TEST(RecordFile, FieldsSurviveTheLineForm) {
    const QStringList cases[] = {
        {QStringLiteral("転送:101"), QStringLiteral("C:\\KORIMBA\\Recv\\a.tif")},
        {QStringLiteral("tab\there"), QStringLiteral("line\nbreak\r"), QStringLiteral("back\\t")},
        {QString(), QString(), QString()},
        {QStringLiteral("ＦＡＸ＞ローカルモデム")},
    };
    for (const QStringList& fields : cases) {
        const QByteArray line = TabRecord::encodeRecord(fields);
        EXPECT_EQ(line.count('\n'), 1);
        EXPECT_EQ(line.count('\t'), fields.size() - 1);
        EXPECT_EQ(TabRecord::decodeRecord(line.chopped(1)), fields);
    }
    EXPECT_FALSE(TabRecord::decodeRecord("bad\\escape"));
    EXPECT_FALSE(TabRecord::decodeRecord("ends in \\"));
    EXPECT_FALSE(TabRecord::decodeRecord("\xff\xfe not utf-8"));
}

TEST_F(ReceptionLogTest, LinesThatAreNotReceptionsAreSkippedAndCounted) {
    const struct {
        const char* line;
        bool valid;
    } cases[] = {
        {"2024/05/01 10:00:00\t1\t0\t101\tRecv/a.tif", true},
        {"2024/05/01 10:00:00\t1\t0\t\tRecv/no-id.tif", true},
        {"2024/05/01 10:00:00\t1\t0\t101", false},                    // a field missing
        {"2024/05/01 10:00:00\t1\t0\t101\tRecv/a.tif\textra", false}, // one too many
        {"2024/5/1 10:00:00\t1\t0\t101\tRecv/a.tif", false},          // not the logged form
        {"2024/02/30 10:00:00\t1\t0\t101\tRecv/a.tif", false},        // no such day
        {"2024/05/01 24:00:00\t1\t0\t101\tRecv/a.tif", false},
        {"2024/05/01 10:00:00\tx\t0\t101\tRecv/a.tif", false},
        {"2024/05/01 10:00:00\t1\t40000\t101\tRecv/a.tif", false}, // not a 16-bit result
        {"2024/05/01 10:00:00\t1\t0\t101\t", false},               // no document
        {"2024/05/01 10:00:00\t1\t0\t\xff\tRecv/a.tif", false},    // not UTF-8
        {"", false},
    };
    int expectedValid = 0;
    for (const auto& c : cases) {
        append(QByteArray(c.line) + '\n');
        expectedValid += c.valid ? 1 : 0;
    }
    ReceptionLog log(logPath(), suite());
    EXPECT_TRUE(log.refresh());
    EXPECT_EQ(int(log.entries().size()), expectedValid);
    EXPECT_EQ(log.malformedLines(), int(std::size(cases)) - expectedValid);
    for (const auto& c : cases) {
        const auto entry = ReceptionRecord::parse(c.line, suite());
        EXPECT_EQ(entry.has_value(), c.valid) << c.line;
    }
}

TEST_F(ReceptionLogTest, EntryFieldsAndDocumentPaths) {
    append("2024/05/01 10:00:00\t-1\t3\t受信101\tRecv/a.tif\n"
           "2024/05/01 10:00:01\t0\t0\t102\t/elsewhere/b.tif\n");
    ReceptionLog log(logPath(), suite());
    log.refresh();
    ASSERT_EQ(log.entries().size(), 2u);
    const ReceptionEntry& first = log.entries()[0];
    EXPECT_EQ(first.time, QStringLiteral("2024/05/01 10:00:00"));
    EXPECT_EQ(first.flags, -1);
    EXPECT_EQ(first.result, 3);
    EXPECT_EQ(first.faxId, QStringLiteral("受信101"));
    EXPECT_EQ(first.document, suite() + QStringLiteral("/Recv/a.tif"));
    EXPECT_EQ(log.entries()[1].document, QStringLiteral("/elsewhere/b.tif"));
}

TEST_F(ReceptionLogTest, RefreshReadsOnlyWhatWasAppended) {
    ReceptionLog log(logPath(), suite());
    EXPECT_FALSE(log.refresh()) << "a log that does not exist yet is empty";
    appendEntry("2024/05/01 10:00:00", "A");
    EXPECT_TRUE(log.refresh());
    EXPECT_FALSE(log.refresh()) << "nothing new";
    append("2024/05/01 10:00:01\t1\t0\tB\tRe");
    EXPECT_FALSE(log.refresh()) << "half a line is not an entry yet";
    append("cv/b.tif\n");
    EXPECT_TRUE(log.refresh());
    EXPECT_EQ(faxIds(log), (QStringList{"A", "B"}));
    EXPECT_EQ(log.malformedLines(), 0);
}

TEST_F(ReceptionLogTest, LogTruncatedReplacedOrRewrittenIsReadFromTheStart) {
    ReceptionLog log(logPath(), suite());
    appendEntry("2024/05/01 10:00:00", "A");
    appendEntry("2024/05/01 10:00:01", "B");
    log.refresh();

    QFile::resize(logPath(), 0); // truncated
    appendEntry("2024/05/02 09:00:00", "C");
    EXPECT_TRUE(log.refresh());
    EXPECT_EQ(faxIds(log), (QStringList{"C"}));

    // Replaced by another file of the same size, then the same length rewritten in place.
    const QString other = logPath() + QStringLiteral(".new");
    QFile out(other);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("2024/05/02 09:00:00\t1\t0\tD\tRecv/D.tif\n");
    out.close();
    ASSERT_EQ(
        ::rename(QFile::encodeName(other).constData(), QFile::encodeName(logPath()).constData()),
        0);
    EXPECT_TRUE(log.refresh());
    EXPECT_EQ(faxIds(log), (QStringList{"D"}));

    QFile inPlace(logPath());
    ASSERT_TRUE(inPlace.open(QIODevice::ReadWrite));
    inPlace.write(
        "2024/05/02 09:00:00\t1\t0\tE\tRecv/E.tif\n2024/05/02 09:00:01\t1\t0\tF\tRecv/F.tif\n");
    inPlace.close();
    EXPECT_TRUE(log.refresh());
    EXPECT_EQ(faxIds(log), (QStringList{"E", "F"}));

    QFile::remove(logPath());
    EXPECT_TRUE(log.refresh());
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(ReceptionLogTest, IndexOrderIsReceptionTimeOrder) {
    appendEntry("2024/05/01 10:00:05", "A");
    appendEntry("2024/05/01 10:00:09", "B");
    appendEntry("2024/05/01 10:00:01", "C"); // logged late
    appendEntry("2024/05/01 10:00:05", "D"); // same time as A: after it
    ReceptionLog log(logPath(), suite());
    log.refresh();
    EXPECT_EQ(faxIds(log), (QStringList{"C", "A", "D", "B"}));
    appendEntry("2024/05/01 10:00:02", "E");
    log.refresh();
    EXPECT_EQ(faxIds(log), (QStringList{"C", "E", "A", "D", "B"}));
}

TEST_F(ReceptionLogTest, UnreadableLogIsAnError) {
    QDir().mkpath(logPath()); // a folder where the log should be
    ReceptionLog log(logPath(), suite());
    EXPECT_THROW(log.refresh(), SuiteError);
}

} // namespace
