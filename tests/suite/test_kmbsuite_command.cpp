#include "IniFile.h"
#include "KmbDocument.h"
#include "SuiteLayout.h"
#include "SuiteTestSupport.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

class KmbsuiteCommandTest : public ::testing::Test {
protected:
    ProgramRun kmbsuite(const QStringList& arguments) {
        return runSuiteProgram("kmbsuite", arguments);
    }
    QString ini(const char* section, const char* key) {
        return IniFile::strReadIni("KMB32.INI", QString::fromLatin1(section),
                                   QString::fromLatin1(key));
    }
    QString suite() const { return env.winePrefix() + QStringLiteral("/drive_c/KORIMBA"); }
    TestEnvironment env;
};

TEST_F(KmbsuiteCommandTest, InitWritesTheSuiteProfileAndFolders) {
    const ProgramRun run = kmbsuite({"init", "--folders", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"Path", "KMB Directory", "C:\\KORIMBA\\"},
        {"KMBLOG95-Recv", "NumOfRecvFolder", "2"},
        {"AGENT-Recv", "1", "101,受信フォルダ1"},
        {"AGENT-Recv", "2", "102,受信フォルダ2"},
        {"AGENT-Recv", "3", ""},
        {"Monitor", "AutoReceive", "0"},
        {"Monitor", "RingCount", "3"},
        {"Modem", "DialMode", "0"},
        {"System", "Port", "COM1:"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini(c.section, c.key), QString::fromUtf8(c.value)) << c.section << " " << c.key;
    EXPECT_TRUE(QFileInfo(suite() + "/Recv").isDir());
    EXPECT_EQ(QString::fromUtf8(run.out).trimmed(), suite());

    const QString profiles = suite() + QStringLiteral("/Inifile/IFAXPROF.INI");
    EXPECT_EQ(IniFile::strReadIni(profiles, "IFAXPROF", "PROFILECNT"), QStringLiteral("3"));
    QStringList names;
    for (int i = 1; i <= 3; ++i)
        names.append(
            IniFile::strReadIni(profiles, "IFAXPROF", QStringLiteral("PROFILENAME%1").arg(i)));
    EXPECT_EQ(names.filter(QStringLiteral("テンプレート")).size(), 1);
    EXPECT_EQ(names.size() - names.filter(QStringLiteral("テンプレート")).size(), 2);
}

TEST_F(KmbsuiteCommandTest, InitKeepsWhatIsThere) {
    ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", "Path", "KMB Directory", "C:\\Fax\\Suite"));
    ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", "Monitor", "RingCount", ""));
    ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", "AGENT-Recv", "1", "555,経理⇒F/0312345678"));
    ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", "User", "UserArea", "81"));
    ASSERT_EQ(kmbsuite({"init"}).exitCode, 0);
    EXPECT_EQ(ini("Path", "KMB Directory"), QStringLiteral("C:\\Fax\\Suite"));
    EXPECT_EQ(ini("Monitor", "RingCount"), QString());
    EXPECT_EQ(ini("AGENT-Recv", "1"), QStringLiteral("555,経理⇒F/0312345678"));
    EXPECT_EQ(ini("AGENT-Recv", "2"), QStringLiteral("102,受信フォルダ2"));
    EXPECT_EQ(ini("User", "UserArea"), QStringLiteral("81"));
    EXPECT_TRUE(QFileInfo(env.winePrefix() + "/drive_c/Fax/Suite/Inifile/IFAXPROF.INI").isFile());
}

TEST_F(KmbsuiteCommandTest, ReceptionsAreStoredLoggedAndListed) {
    ASSERT_EQ(kmbsuite({"init"}).exitCode, 0);
    const QString fax = env.root() + "/in.tif";
    writeBlockFax(fax, 2, 98);
    const struct {
        QStringList arguments;
        const char* index;
    } receptions[] = {
        {{"--fax-id", "101", "--time", "2024/05/01 10:00:00"}, "0"},
        {{"--fax-id", "受信", "--time", "2024/5/1 9:30", "--flags", "0", "--result", "-5"}, "0"},
        {{"--fax-id", "", "--time", "2024/05/01 10:00:00"}, "2"},
    };
    for (const auto& r : receptions) {
        const ProgramRun run = kmbsuite(QStringList{"receive"} + r.arguments + QStringList{fax});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_EQ(run.out, QByteArray(r.index) + "\n");
    }
    const QList<QStringList> lines = tabLines(kmbsuite({"log"}).out);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].mid(0, 5), (QStringList{"0", "2024/05/01 09:30:00", "0", "-5", "受信"}));
    EXPECT_EQ(lines[1].mid(0, 5), (QStringList{"1", "2024/05/01 10:00:00", "1", "0", "101"}));
    EXPECT_EQ(lines[2].mid(0, 5), (QStringList{"2", "2024/05/01 10:00:00", "1", "0", ""}));
    QStringList documents;
    for (const QStringList& line : lines)
        documents.append(line.value(5));
    documents.removeDuplicates();
    EXPECT_EQ(documents.size(), 3) << "every reception keeps its own copy";
    for (const QString& document : documents) {
        EXPECT_TRUE(document.startsWith(suite() + "/Recv/")) << document.toStdString();
        EXPECT_EQ(KmbDocument().PageCount(document), 2);
    }
}

TEST_F(KmbsuiteCommandTest, ConcurrentReceptionsAllLandWithTheirOwnIndex) {
    ASSERT_EQ(kmbsuite({"init"}).exitCode, 0);
    const QString fax = env.root() + "/in.tif";
    writeBlockFax(fax, 1, 98);
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < 8; ++i) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(
            builtProgram("suite/kmbsuite"),
            {"receive", "--fax-id", QString::number(i), "--time", "2024/05/01 10:00:00", fax});
    }
    QStringList indices;
    for (auto& process : processes) {
        ASSERT_TRUE(process->waitForFinished(30000));
        EXPECT_EQ(process->exitCode(), 0);
        indices.append(QString::fromUtf8(process->readAllStandardOutput()).trimmed());
    }
    indices.sort();
    EXPECT_EQ(indices, (QStringList{"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(tabLines(kmbsuite({"log"}).out).size(), 8);
}

TEST_F(KmbsuiteCommandTest, BadArgumentsAreUsageErrorsAndChangeNothing) {
    ASSERT_EQ(kmbsuite({"init"}).exitCode, 0);
    const QString fax = env.root() + "/in.tif";
    writeBlockFax(fax, 1, 98);
    const QStringList cases[] = {
        {},
        {"fly"},
        {"receive", fax},
        {"receive", "--fax-id", "1"},
        {"receive", "--fax-id", "1", fax, fax},
        {"receive", "--fax-id", "1", "--time", "yesterday", fax},
        {"receive", "--fax-id", "1", "--time", "2024/02/30 10:00:00", fax},
        {"receive", "--fax-id", "1", "--flags", "40000", fax},
        {"receive", "--fax-id", "1", "--result", "x", fax},
        {"receive", "--fax-id", "1", "--colour", fax},
        {"receive", "--fax-id"},
        {"init", "--folders", "-1"},
        {"init", "--folders", "130"},
        {"init", "extra"},
        {"log", "extra"},
        {"state", "--now"},
        {"sample-fax"},
        {"sample-fax", env.root() + "/s.tif", "--pages", "0"},
        {"sample-fax", env.root() + "/s.tif", "--pages", "many"},
    };
    for (const QStringList& arguments : cases) {
        const ProgramRun run = kmbsuite(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("usage: kmbsuite")) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty()) << arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(kmbsuite({"log"}).out.isEmpty());
    EXPECT_TRUE(QDir(suite() + "/Recv").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(env.root() + "/s.tif"));
}

TEST_F(KmbsuiteCommandTest, MissingFileIsAClearFailure) {
    ASSERT_EQ(kmbsuite({"init"}).exitCode, 0);
    const ProgramRun run = kmbsuite({"receive", "--fax-id", "1", env.root() + "/nothing.tif"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("nothing.tif")) << run.err.constData();
    EXPECT_TRUE(kmbsuite({"log"}).out.isEmpty());
    EXPECT_TRUE(QDir(suite() + "/Recv").isEmpty());
}

TEST_F(KmbsuiteCommandTest, ListingsOfAnUntouchedSuiteAreEmpty) {
    ASSERT_EQ(kmbsuite({"init"}).exitCode, 0);
    for (const char* command : {"log", "outbox", "pokes"}) {
        const ProgramRun run = kmbsuite({command});
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_TRUE(run.out.isEmpty()) << command;
    }
    EXPECT_EQ(kmbsuite({"state"}).out, "0\n");
}

TEST_F(KmbsuiteCommandTest, SampleFaxIsARealFaxWithSomethingOnEveryPage) {
    const struct {
        QStringList options;
        int pages;
        long height, linesPerInch;
    } cases[] = {
        {{}, 1, 1143, 98},
        {{"--pages", "3"}, 3, 1143, 98},
        {{"--fine", "--pages", "2"}, 2, 2286, 196},
    };
    KmbDocument document;
    for (const auto& c : cases) {
        const QString fax = env.root() + "/sample.tif";
        const ProgramRun run = kmbsuite(QStringList{"sample-fax", fax} + c.options);
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        ASSERT_EQ(document.PageCount(fax), c.pages);
        for (int page = 1; page <= c.pages; ++page) {
            const auto geometry = document.PageInfo(fax, page);
            EXPECT_EQ(geometry.width, 1728);
            EXPECT_EQ(geometry.height, c.height);
            EXPECT_EQ(geometry.verticalResolution, c.linesPerInch);
            const QString bitmap = env.root() + "/page.bmp";
            ASSERT_EQ(document.SavePageImage(fax, bitmap, page), 0);
            const QImage image = QImage(bitmap).convertToFormat(QImage::Format_Grayscale8);
            int black = 0;
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4)
                    black += image.pixelColor(x, y) == QColor(Qt::black) ? 1 : 0;
            EXPECT_GT(black, 500) << "page " << page << " shows nothing";
        }
    }
}

TEST_F(KmbsuiteCommandTest, SampleFaxThatCannotBeWrittenLeavesNothing) {
    const ProgramRun run = kmbsuite({"sample-fax", env.root() + "/no/such/folder/s.tif"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.isEmpty());
}

} // namespace
