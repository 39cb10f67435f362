#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <optional>

// A private world for one test: its own $WINEPREFIX (with drive_c/windows and dosdevices/c:),
// $XDG_CONFIG_HOME, $XDG_DATA_HOME, $XDG_RUNTIME_DIR and program directory, so no test touches
// the real home directory or the build tree. The previous environment comes back on destruction.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    QString root() const { return dir_.path(); }
    QString winePrefix() const;
    QString windowsDirectory() const;
    QString programDirectory() const;

    // Writes `bytes` to `path` (relative paths are under root()), creating folders.
    QString writeFile(const QString& path, const QByteArray& bytes) const;
    QByteArray readFile(const QString& path) const;

    // Sets or unsets a variable for the rest of the test; restored on destruction.
    void setVariable(const char* name, const std::optional<QByteArray>& value);

private:
    QTemporaryDir dir_;
    std::map<QByteArray, std::optional<QByteArray>> saved_;
};

// The directory holding the built programs (kmbmon, kmbsuite, tovalde, ...).
QString buildDirectory();
QString builtProgram(const QString& relativePath);
