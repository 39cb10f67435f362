#include "Cp932.h"
#include "Registry.h"
#include "RegistryDump.h"
#include "TestEnvironment.h"
#include "WineRegistryText.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace Registry;

namespace {

const QByteArray kParameters = "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";

QByteArray dataFile(const QString& name) {
    QFile file(QStringLiteral(QUENSAR_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing test data " << name.toStdString();
    return file.readAll();
}

QByteArray sjis(const QString& text) {
    return Cp932::encode(text);
}

// A prefix whose system.reg holds `bytes`, with a fixed clock for the keys' time stamps.
class RegistryFile {
public:
    explicit RegistryFile(const QByteArray& bytes) {
        env.writeFile(path(), bytes);
        Registry::setClock([] { return QDateTime(QDate(2026, 12, 11), QTime(12, 0), Qt::UTC); });
    }
    ~RegistryFile() { Registry::setClock({}); }
    QString path() const { return env.winePrefix() + QStringLiteral("/system.reg"); }
    QByteArray bytes() const { return env.readFile(path()); }

    TestEnvironment env;
};

LSTATUS setValue(const QByteArray& keyPath, const QByteArray& name, DWORD type,
                 const QByteArray& data) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, &key);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueEx(key, name, type, data);
    RegCloseKey(key);
    return status;
}

} // namespace

// Every key an expected listing names is enumerated the way the program does it; the listing
// shows each call's result, so long names and long data show where enumeration would stop.
TEST(Registry, EnumeratesValuesAsTheExpectedListings) {
    const char* const cases[][2] = {
        {"wine-machine.reg", "wine-machine.enum.txt"},
        {"hand-kept.reg", "hand-kept.enum.txt"},
    };
    for (const auto& [input, listing] : cases) {
        SCOPED_TRACE(input);
        RegistryFile reg(dataFile(input));
        const QString expected = QString::fromUtf8(dataFile(listing));
        QString actual;
        static const QRegularExpression keyLine(QStringLiteral("^key (.*): "),
                                                QRegularExpression::MultilineOption);
        for (const auto& m : keyLine.globalMatch(expected))
            actual += RegistryDump::enumerate(sjis(m.captured(1)));
        EXPECT_EQ(actual.toStdString(), expected.toStdString());
        EXPECT_EQ(reg.bytes(), dataFile(input)) << "reading changed the file";
    }
}

TEST(Registry, QueriesValuesWithinTheirLimit) {
    struct Case {
        const char* file;
        QByteArray key;
        QByteArray value;
        DWORD limit;
        LSTATUS result;
        DWORD size; // returned, or needed for ERROR_MORE_DATA
        QString data;
    };
    const QByteArray test = "Software\\Quensar Test";
    const Case cases[] = {
        {"wine-machine.reg", kParameters, "NullSessionShares", 256, ERROR_SUCCESS, 22,
         QStringLiteral("\"COMCFG\\0DFS$\\0fax\\0共有\\0\\0\"")},
        {"wine-machine.reg", kParameters, "nullsessionshares", 22, ERROR_SUCCESS, 22,
         QStringLiteral("\"COMCFG\\0DFS$\\0fax\\0共有\\0\\0\"")},
        {"wine-machine.reg", kParameters, "NullSessionShares", 21, ERROR_MORE_DATA, 22, {}},
        {"wine-machine.reg", "system\\currentcontrolset\\SERVICES\\LanmanServer\\Parameters",
         "Size", 256, ERROR_SUCCESS, 4, QStringLiteral("01,00,00,00")},
        {"wine-machine.reg", kParameters, "Missing", 256, ERROR_FILE_NOT_FOUND, 256, {}},
        {"wine-machine.reg", test, "", 256, ERROR_SUCCESS, 13,
         QStringLiteral("\"default text\\0\"")},
        {"wine-machine.reg", test, "Escapes", 256, ERROR_SUCCESS, 38,
         QStringLiteral("\"tab\there \"quoted\" back\\slash\nnew line\\0\"")},
        {"wine-machine.reg", test, "Expand", 256, ERROR_SUCCESS, 22,
         QStringLiteral("\"%SystemRoot%\\system32\\0\"")},
        {"wine-machine.reg", test, "HexMulti", 256, ERROR_SUCCESS, 5,
         QStringLiteral("\"A\\0B\\0\\0\"")},
        {"wine-machine.reg", test, "Japanese", 256, ERROR_SUCCESS, 13,
         QStringLiteral("\"共有フォルダ\\0\"")},
        {"wine-machine.reg", test, "Japanese", 12, ERROR_MORE_DATA, 13, {}},
        {"wine-machine.reg", test, "Odd", 256, ERROR_SUCCESS, 1, QStringLiteral("\"A\"")},
        {"wine-machine.reg", test, "NotCp932", 256, ERROR_NO_UNICODE_TRANSLATION, 256, {}},
        {"wine-machine.reg", test, "Binary", 256, ERROR_SUCCESS, 5,
         QStringLiteral("00,01,7f,80,ff")},
        {"hand-kept.reg", kParameters, "NullSessionShares", 256, ERROR_SUCCESS, 11,
         QStringLiteral("\"FAX\\0PRINT\\0\\0\"")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.key.toStdString() + " " + c.value.toStdString());
        RegistryFile reg(dataFile(c.file));
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, c.key, 0, KEY_READ, &key), ERROR_SUCCESS);
        QByteArray data;
        DWORD size = c.limit;
        DWORD type = REG_NONE;
        EXPECT_EQ(RegistryDump::resultName(RegQueryValueEx(key, c.value, &type, &data, &size)),
                  RegistryDump::resultName(c.result));
        EXPECT_EQ(size, c.size);
        if (c.result == ERROR_SUCCESS) {
            EXPECT_EQ(RegistryDump::dataText(type, data), c.data);
        }
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
}

TEST(Registry, OpensOnlyKeysThatExist) {
    struct Case {
        const char* file;
        QByteArray key;
        LSTATUS result;
    };
    const Case cases[] = {
        {"wine-machine.reg", "SYSTEM\\CurrentControlSet\\Services\\LanmanServer", ERROR_SUCCESS},
        {"wine-machine.reg", "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares\\Security",
         ERROR_SUCCESS},
        {"wine-machine.reg", "SYSTEM\\CurrentControlSet\\Services\\Lanman", ERROR_FILE_NOT_FOUND},
        {"wine-machine.reg", "SYSTEM\\ControlSet002\\Services", ERROR_FILE_NOT_FOUND},
        {"hand-kept.reg", "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares",
         ERROR_SUCCESS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        RegistryFile reg(dataFile(c.file));
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, c.key, 0, KEY_READ, &key), c.result);
        EXPECT_EQ(key != nullptr, c.result == ERROR_SUCCESS);
        if (key)
            RegCloseKey(key);
    }
    TestEnvironment withoutRegistry;
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

// The whole file after the change is compared, so every byte besides the value's lines and the
// key's time stamps must have stayed as it was.
TEST(Registry, SetsValuesAsTheExpectedFiles) {
    struct Case {
        const char* input;
        QByteArray key;
        QByteArray name;
        DWORD type;
        QByteArray data;
        const char* expected;
    };
    const Case cases[] = {
        {"wine-machine.reg", kParameters, "NullSessionShares", REG_MULTI_SZ,
         QByteArray("COMCFG\0FAX\0", 11) + sjis(QStringLiteral("共有")) + QByteArray("\0\0", 2),
         "wine-machine.set-multi.reg"},
        {"wine-machine.reg", kParameters, "nullsessionshares", REG_MULTI_SZ, QByteArray(1, '\0'),
         "wine-machine.set-empty.reg"},
        {"wine-machine.reg", kParameters, "NullSessionPipes", REG_MULTI_SZ,
         QByteArray("A\0B\0\0", 5), "wine-machine.set-new.reg"},
        {"wine-machine.reg", "SYSTEM\\CurrentControlSet\\Services\\LanmanServer", "Marker",
         REG_BINARY, QByteArray(40, '\x5a'), "wine-machine.set-implied-key.reg"},
        {"wine-machine.reg", "Software\\Quensar Test", "Zebra", REG_MULTI_SZ,
         QByteArray("no end", 6), "wine-machine.set-unterminated.reg"},
        {"hand-kept.reg", kParameters, "NullSessionShares", REG_MULTI_SZ,
         QByteArray("PRINT\0FAX\0\0", 11), "hand-kept.set-multi.reg"},
        {"hand-kept.reg", "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares", "PRINT",
         REG_SZ, QByteArray("Path=C:\\PRINT2\0", 15), "hand-kept.set-last.reg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        RegistryFile reg(dataFile(c.input));
        ASSERT_EQ(setValue(c.key, c.name, c.type, c.data), ERROR_SUCCESS);
        EXPECT_EQ(reg.bytes().toStdString(), dataFile(c.expected).toStdString());

        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, c.key, 0, KEY_READ, &key), ERROR_SUCCESS);
        QByteArray data;
        DWORD size = 1028;
        DWORD type = REG_NONE;
        EXPECT_EQ(RegQueryValueEx(key, c.name, &type, &data, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data) << "the value does not read back as written";
        RegCloseKey(key);
    }
}

TEST(Registry, RefusesMalformedFilesAndNeverChangesThem) {
    const QByteArray good = dataFile("hand-kept.reg");
    const QByteArray header = "WINE REGISTRY Version 2\n";
    const QByteArray key =
        "[System\\\\CurrentControlSet\\\\Services\\\\LanmanServer\\\\Parameters]\n";
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty file", QByteArray()},
        {"other format", "REGEDIT4\n" + key},
        {"version 1", "WINE REGISTRY Version 1\n" + key},
        {"key name not closed", header + "[System\\\\CurrentControlSet\n"},
        {"text after a key", header + "[System] 12 more\n"},
        {"value outside a key", header + "\"NullSessionShares\"=\"x\"\n" + key},
        {"name not closed", header + key + "\"NullSessionShares=\"x\"\n"},
        {"string not closed", header + key + "\"NullSessionShares\"=str(7):\"FAX\\0\n"},
        {"no equals sign", header + key + "\"NullSessionShares\" \"x\"\n"},
        {"no data", header + key + "\"NullSessionShares\"=\n"},
        {"unknown data", header + key + "\"NullSessionShares\"=multi:FAX\n"},
        {"bad hex byte", header + key + "\"NullSessionShares\"=hex(7):46,00,zz,00\n"},
        {"bad dword", header + key + "\"Size\"=dword:\n"},
        {"stray line", header + key + "NullSessionShares=FAX\n"},
        {"value twice", header + key + "\"Size\"=dword:1\n\"SIZE\"=dword:2\n"},
        {"key twice", header + key + key},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        RegistryFile reg(bytes);
        HKEY handle = nullptr;
        EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &handle), ERROR_BADDB);
        EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_ALL_ACCESS, &handle),
                  ERROR_BADDB);
        EXPECT_EQ(handle, nullptr);

        // A file that turns bad between opening the key and setting the value is left alone.
        RegistryFile later(good);
        ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_ALL_ACCESS, &handle),
                  ERROR_SUCCESS);
        later.env.writeFile(later.path(), bytes);
        EXPECT_NE(
            RegSetValueEx(handle, "NullSessionShares", REG_MULTI_SZ, QByteArray("FAX\0\0", 5)),
            ERROR_SUCCESS);
        RegCloseKey(handle);
        EXPECT_EQ(later.bytes(), bytes);
    }
}

TEST(Registry, RefusesWritesThatWouldLoseOrCorruptText) {
    RegistryFile reg(dataFile("wine-machine.reg"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, "NullSessionShares", REG_MULTI_SZ, QByteArray("FAX\0\0", 5)),
              ERROR_ACCESS_DENIED)
        << "a key opened for reading took a value";
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, "NullSessionShares", REG_MULTI_SZ, QByteArray("FA\x81\0\0", 5)),
              ERROR_NO_UNICODE_TRANSLATION)
        << "half a double-byte character was written";
    EXPECT_EQ(RegSetValueEx(key, QByteArray("\x82", 1), REG_MULTI_SZ, QByteArray("FAX\0\0", 5)),
              ERROR_NO_UNICODE_TRANSLATION);
    RegCloseKey(key);
    EXPECT_EQ(reg.bytes(), dataFile("wine-machine.reg"));
}

TEST(Registry, ReplacesTheFileWholeKeepingItsPermissions) {
    RegistryFile reg(dataFile("wine-machine.reg"));
    QFile::setPermissions(reg.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QFile::Permissions before = QFile::permissions(reg.path());
    ASSERT_EQ(setValue(kParameters, "NullSessionShares", REG_MULTI_SZ, QByteArray("FAX\0\0", 5)),
              ERROR_SUCCESS);
    EXPECT_EQ(QFile::permissions(reg.path()), before);
    EXPECT_FALSE(QFile::permissions(reg.path()) & QFile::ReadOther);
    EXPECT_EQ(QDir(reg.env.winePrefix()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("system.reg")})
        << "a temporary file was left behind";
}

TEST(Registry, ReplacesALinkedFileWhereItLives) {
    RegistryFile reg(dataFile("wine-machine.reg"));
    const QString shared = reg.env.root() + QStringLiteral("/shared/system.reg");
    QDir().mkpath(reg.env.root() + QStringLiteral("/shared"));
    ASSERT_TRUE(QFile::rename(reg.path(), shared));
    ASSERT_TRUE(QFile::link(shared, reg.path()));
    ASSERT_EQ(setValue(kParameters, "NullSessionShares", REG_MULTI_SZ, QByteArray("FAX\0\0", 5)),
              ERROR_SUCCESS);
    EXPECT_TRUE(QFileInfo(reg.path()).isSymLink());
    EXPECT_TRUE(reg.env.readFile(shared).contains("\"NullSessionShares\"=str(7):\"FAX\\0\""));
}

// A write that cannot be completed (here: the file-size limit, as a full disk would) leaves the
// old file whole.
TEST(Registry, AFailedWriteLeavesTheOldFile) {
    const QByteArray original = dataFile("wine-machine.reg");
    RegistryFile reg(original);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = rlim_t(original.size() / 2);
    setrlimit(RLIMIT_FSIZE, &small);
    const LSTATUS status =
        RegSetValueEx(key, "NullSessionShares", REG_MULTI_SZ, QByteArray("FAX\0\0", 5));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    RegCloseKey(key);
    EXPECT_EQ(status, ERROR_WRITE_FAULT);
    EXPECT_EQ(reg.bytes(), original);
    EXPECT_EQ(QDir(reg.env.winePrefix()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("system.reg")});
}

TEST(WineRegistryText, EscapesAndReadsBackAsWineDoes) {
    struct Case {
        QString text;
        QByteArray escaped;
    };
    const Case cases[] = {
        {QStringLiteral("plain"), "plain"},
        {QStringLiteral("a\"b\\c"), "a\\\"b\\\\c"},
        {QStringLiteral("共有"), "\\x5171\\x6709"},
        {QStringLiteral("共a"), "\\x5171a"},
        {QStringLiteral("共g"), "\\x5171g"},
        {QStringLiteral("é1"), "\\x00e91"},
        {QStringLiteral("éz"), "\\xe9z"},
        {QString(QChar(0)) + QStringLiteral("7"), "\\0007"},
        {QString(QChar(0)) + QStringLiteral("8"), "\\08"},
        {QStringLiteral("\t\n\r\x1b\x01"), "\\t\\n\\r\\e\\1"},
        {QString(QChar(0xD83D)), "\\xd83d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.escaped.toStdString());
        EXPECT_EQ(WineRegistryText::escapeString(c.text, '"', '"'), c.escaped);
        QString back;
        EXPECT_EQ(
            WineRegistryText::parseString(c.escaped + '"', 0, c.escaped.size() + 1, '"', &back),
            c.escaped.size() + 1);
        EXPECT_EQ(back, c.text);
    }
    QString text;
    EXPECT_EQ(WineRegistryText::parseString("caf\xc3\xa9\"", 0, 6, '"', &text), 6)
        << "UTF-8 in the file";
    EXPECT_EQ(text, QStringLiteral("café"));
    EXPECT_EQ(WineRegistryText::parseString("not closed\"", 0, 10, '"', &text), -1);
}
