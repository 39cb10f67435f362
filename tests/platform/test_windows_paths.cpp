#include "TestEnvironment.h"
#include "WindowsPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class WindowsPathsTest : public ::testing::Test {
protected:
    QString prefix() const { return env.winePrefix(); }
    void makeDir(const QString& relative) const { QDir().mkpath(env.root() + '/' + relative); }

    TestEnvironment env;
};

TEST_F(WindowsPathsTest, ThePrefixDefaultsToDotWineInTheHomeDirectory) {
    env.setVariable("HOME", QFile::encodeName(env.root()));
    env.setVariable("WINEPREFIX", std::nullopt);
    EXPECT_EQ(WindowsPaths::winePrefix(), env.root() + "/.wine");
    env.setVariable("WINEPREFIX", "  ");
    EXPECT_EQ(WindowsPaths::winePrefix(), env.root() + "/.wine");
    env.setVariable("WINEPREFIX", QFile::encodeName(prefix() + "//"));
    EXPECT_EQ(WindowsPaths::winePrefix(), prefix());
    EXPECT_EQ(WindowsPaths::windowsDirectory(), prefix() + "/drive_c/windows");
}

TEST_F(WindowsPathsTest, WindowsPathsMapThroughThePrefixMatchingCase) {
    makeDir("wine/drive_c/Korimba/INIFILE");
    env.writeFile("wine/drive_c/Korimba/INIFILE/ifaxprof.ini", "[IFAXPROF]\r\n");
    makeDir("elsewhere/Data");
    ASSERT_TRUE(QFile::link(env.root() + "/elsewhere", prefix() + "/dosdevices/d:"));
    const QString driveC = prefix() + "/drive_c";
    const struct {
        QString windows;
        QString native;
    } cases[] = {
        {"C:\\KORIMBA\\", driveC + "/Korimba/"},
        {"c:\\korimba\\Inifile\\IFAXPROF.INI", driveC + "/Korimba/INIFILE/ifaxprof.ini"},
        {"C:\\KORIMBA\\NewFolder\\x.ini", driveC + "/Korimba/NewFolder/x.ini"},
        {"C:\\WINDOWS\\KMB32.INI", driveC + "/windows/KMB32.INI"},
        {"  C:\\KORIMBA  ", driveC + "/Korimba"},
        {"d:\\data\\file.txt", env.root() + "/elsewhere/Data/file.txt"},
        {"Inifile\\IFAXPROF.INI", "Inifile/IFAXPROF.INI"},
        {"..\\up\\x", "../up/x"},
        {"/already/native", "/already/native"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowsPaths::toNativePath(c.windows), c.native) << c.windows.toStdString();

    QFile::remove(prefix() + "/dosdevices/c:");
    EXPECT_EQ(WindowsPaths::toNativePath("C:\\korimba"), driveC + "/Korimba")
        << "c: falls back to drive_c without its link";
}

TEST_F(WindowsPathsTest, ProfileNamesResolveBareInTheWindowsDirectory) {
    QDir(prefix() + "/drive_c").rename("windows", "Windows");
    env.writeFile("wine/drive_c/Windows/kmb32.ini", "");
    env.writeFile("program/KMBELL.INF", "");
    const QString windows = prefix() + "/drive_c/Windows";
    const struct {
        QString name;
        QString path;
    } cases[] = {
        {"KMB32.INI", windows + "/kmb32.ini"},
        {"NEW.INI", windows + "/NEW.INI"},
        {"C:\\WINDOWS\\KMB32.INI", windows + "/kmb32.ini"},
        {env.programDirectory() + "/KmBell.inf", env.programDirectory() + "/KMBELL.INF"},
        {env.programDirectory() + "/new.inf", env.programDirectory() + "/new.inf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowsPaths::resolveProfilePath(c.name), c.path) << c.name.toStdString();
}

TEST_F(WindowsPathsTest, TheProgramDirectoryComesFromTheEnvironmentOrTheExecutable) {
    env.setVariable("TOVALDE_PROGRAM_DIR", QFile::encodeName(env.root() + "/bin"));
    EXPECT_EQ(WindowsPaths::programDirectory(), env.root() + "/bin/");
    env.setVariable("TOVALDE_PROGRAM_DIR", std::nullopt);
    EXPECT_EQ(WindowsPaths::programDirectory(), QCoreApplication::applicationDirPath() + '/');
}

TEST_F(WindowsPathsTest, TheTemporaryDirectoryFollowsTempThenWindirAndIsNeverTheRoot) {
    const struct {
        const char* what;
        std::optional<QByteArray> temp;
        std::optional<QByteArray> windir;
        QString expected;
    } cases[] = {
        {"TEMP as a native path", "/var/tmp/x", "C:\\WINDOWS", "/var/tmp/x/"},
        {"TEMP keeps its one separator", "/var/tmp/x/", std::nullopt, "/var/tmp/x/"},
        {"TEMP as a Windows path", "C:\\Temp\\", std::nullopt, prefix() + "/drive_c/Temp/"},
        {"empty TEMP falls to windir", "", "C:\\WINDOWS", prefix() + "/drive_c/windows/"},
        {"blank TEMP falls to windir", "  ", "C:\\WINDOWS", prefix() + "/drive_c/windows/"},
        {"unset TEMP falls to windir", std::nullopt, "C:\\WINDOWS", prefix() + "/drive_c/windows/"},
        {"neither: the system's", std::nullopt, std::nullopt, QDir::tempPath() + '/'},
        {"both empty: the system's", "", "", QDir::tempPath() + '/'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        env.setVariable("TEMP", c.temp);
        env.setVariable("windir", c.windir);
        const QString dir = WindowsPaths::temporaryDirectory();
        EXPECT_EQ(dir, c.expected);
        EXPECT_NE(dir, "/");
    }
}

} // namespace
