#include "Cp932.h"
#include "IniFile.h"
#include "ProfileWriteSequence.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

namespace {

QByteArray expectedFile(long completedEdits) {
    QByteArray out = ProfileWriteSequence::initialContent();
    for (const auto& [key, value] : ProfileWriteSequence::keysAfter(completedEdits))
        out += Cp932::encode(key) + '=' + Cp932::encode(value) + "\r\n";
    return out;
}

// The index of the last edit the writer reported as returned, or -1.
long lastReported(const QByteArray& output) {
    long last = -1;
    for (const QByteArray& line : output.split('\n')) {
        bool ok = false;
        const long index = line.toLong(&ok);
        if (ok)
            last = index;
    }
    return last;
}

TEST(ProfileProcesses, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    TestEnvironment env;
    const QString path = env.writeFile(env.windowsDirectory() + "/KMB32.INI",
                                       ProfileWriteSequence::initialContent());
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> killAfterMicroseconds(0, 15000);

    long completed = 0; // edits known to have returned
    long completedBeforeKill = 0;
    for (int round = 0; round < 300; ++round) {
        QProcess writer;
        writer.start(PROFILE_WRITER, {"sequence", path, QString::number(completed)});
        ASSERT_TRUE(writer.waitForStarted());
        // Killed while it edits, not while it starts: the moment falls within the first edit
        // or the one after.
        QByteArray output;
        while (!output.contains("ready") && writer.waitForReadyRead(10000))
            output += writer.readAllStandardOutput();
        ASSERT_TRUE(output.contains("ready")) << writer.readAllStandardError().data();
        ::usleep(useconds_t(killAfterMicroseconds(random)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished());
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << writer.readAllStandardError().data();
        const long last = lastReported(output + writer.readAllStandardOutput());
        if (last >= 0) {
            completed = last + 1;
            ++completedBeforeKill;
        }

        // The edit in flight may have reached the file before the kill, or not at all.
        const QByteArray file = env.readFile(path);
        const bool asBefore = file == expectedFile(completed);
        if (!asBefore) {
            ASSERT_EQ(file, expectedFile(completed + 1)) << "round " << round;
            ++completed;
        }
        for (const auto& [key, value] : ProfileWriteSequence::keysAfter(completed))
            ASSERT_EQ(IniFile::strReadIni(path, ProfileWriteSequence::kSection, key), value);
        ASSERT_EQ(IniFile::strReadIni(path, "Other", "x"), "1");
    }
    EXPECT_GT(completedBeforeKill, 0) << "no writer ever got to write before its kill";
    const QStringList leftOver =
        QDir(env.windowsDirectory()).entryList({".KMB32.INI.*"}, QDir::Files | QDir::Hidden);
    EXPECT_LE(leftOver.size(), 1) << "each writer sweeps what killed ones left: "
                                  << leftOver.join(' ').toStdString();
    std::printf("%ld edits completed over 300 kills\n", completed);
}

TEST(ProfileProcesses, TwoWritersAtOnceLoseNoKey) {
    TestEnvironment env;
    const QString path = env.windowsDirectory() + "/KMB32.INI";
    QProcess first;
    QProcess second;
    first.start(PROFILE_WRITER, {"distinct", path, "A", "500"});
    second.start(PROFILE_WRITER, {"distinct", path, "B", "500"});
    ASSERT_TRUE(first.waitForFinished(100000));
    ASSERT_TRUE(second.waitForFinished(100000));
    ASSERT_EQ(first.exitCode(), 0) << first.readAllStandardError().data();
    ASSERT_EQ(second.exitCode(), 0) << second.readAllStandardError().data();

    for (const QString prefix : {"A", "B"}) {
        for (int i = 0; i < 500; ++i) {
            const QString key = prefix + QString::number(i);
            ASSERT_EQ(IniFile::strReadIni(path, "Keys", key), QStringLiteral("値") + key);
        }
    }
    const QByteArray file = env.readFile(path);
    EXPECT_EQ(file.count("\r\n"), 1001) << "one header and a line per key, nothing torn";
}

} // namespace
