#include "Cp932.h"
#include "IniFile.h"
#include "PrivateProfile.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Byte strings with NULs in them.
template <size_t N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, qsizetype(N - 1));
}

QByteArray sjis(const QString& text) {
    bool ok = false;
    const QByteArray bytes = Cp932::encode(text, &ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return bytes;
}

std::string printable(const QByteArray& bytes) {
    std::string out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && u != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

// The profile file of one test: KMB32.INI in the test's Windows directory.
class ProfileFile : public ::testing::Test {
protected:
    QString path() const { return env.windowsDirectory() + QStringLiteral("/KMB32.INI"); }
    void put(const QByteArray& bytes) const { env.writeFile(path(), bytes); }
    QByteArray content() const { return env.readFile(path()); }

    TestEnvironment env;
};

struct ReadCase {
    const char* what;
    QByteArray file;
    QString section;
    QString key;
    QString expected;
};

TEST_F(ProfileFile, ReadsByTheRulesTheSuiteRelies) {
    const QByteArray tenSou = sjis(QStringLiteral("転送")); // its first trail byte is "]"
    const ReadCase cases[] = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"names ignore ASCII case", "[MoNiToR]\r\nAutoReceive=1\r\n", "monitor", "AUTORECEIVE",
         "1"},
        {"asked names are trimmed", "[Monitor]\r\nRingCount=2\r\n", " Monitor\t", "\tRingCount ",
         "2"},
        {"header trimmed inside and out", "  [  S  ]  tail\r\nk=v\r\n", "S", "k", "v"},
        {"header runs to the last bracket", "[a]b]\r\nk=v\r\n", "a]b", "k", "v"},
        {"no section 'a' when the header is a]b", "[a]b]\r\nk=v\r\n", "a", "k", ""},
        {"bracket line without ] is no header", "[S]\r\n[broken\r\nk=v\r\n", "S", "k", "v"},
        {"bracket line with = is a key", "[S]\r\n[x=1\r\n", "S", "[x", "1"},
        {"first = splits", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
        {"names and values trimmed", "[S]\r\n  k \t=  v v \t\r\n", "S", "k", "v v"},
        {"double quotes removed", "[S]\r\nk=\"v \"\r\n", "S", "k", "v "},
        {"single quotes removed", "[S]\r\nk='v'\r\n", "S", "k", "v"},
        {"quotes removed after trimming", "[S]\r\nk=  \" a \"  \r\n", "S", "k", " a "},
        {"only one pair removed", "[S]\r\nk=\"\"a\"\"\r\n", "S", "k", "\"a\""},
        {"unmatched quotes kept", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
        {"a lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"empty quotes read empty", "[S]\r\nk=\"\"\r\n", "S", "k", ""},
        {"only the first of duplicate sections", "[S]\r\na=1\r\n[s]\r\nb=2\r\n", "S", "b", ""},
        {"first of duplicate sections found", "[S]\r\na=1\r\n[s]\r\nb=2\r\n", "S", "a", "1"},
        {"first of duplicate keys wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
        {"no comment syntax", "[S]\r\n;x=1\r\n", "S", ";x", "1"},
        {"lines without = are no keys", "[S]\r\njunk\r\nk=v\r\n", "S", "junk", ""},
        {"... and end nothing", "[S]\r\njunk\r\nk=v\r\n", "S", "k", "v"},
        {"NUL ends the value", bytes("[S]\r\nk=ab\0cd\r\nn=1\r\n"), "S", "k", "ab"},
        {"a NUL line does not end the section", bytes("[S]\r\nk=ab\0cd\r\nn=1\r\n"), "S", "n", "1"},
        {"CR line ends", "[S]\rk=v\rn=w", "S", "n", "w"},
        {"LF line ends", "[S]\nk=v\nn=w\n", "S", "n", "w"},
        {"mixed line ends", "[A]\r\na=1\n[S]\rk=v\r\n", "S", "k", "v"},
        {"nothing after =", "[S]\r\nk=\r\n", "S", "k", ""},
        {"missing key", "[S]\r\nk=v\r\n", "S", "x", ""},
        {"missing section", "[S]\r\nk=v\r\n", "T", "k", ""},
        {"keys before any header belong to no section", "k=v\r\n[S]\r\n", "S", "k", ""},
        {"empty key asked", "[S]\r\n=v\r\n", "S", "", ""},
        {"Japanese names", sjis(QStringLiteral("[受信]\r\n転送=⇒\r\n")), QStringLiteral("受信"),
         QStringLiteral("転送"), QStringLiteral("⇒")},
        {"a trail byte equal to ] does not end the header", "[" + tenSou + "]\r\nk=v\r\n",
         QStringLiteral("転送"), "k", "v"},
        {"a trail byte equal to ] makes no header", "[S]\r\n[" + tenSou + "\r\nk=v\r\n", "S", "k",
         "v"},
        {"trail bytes are not case-folded", sjis(QStringLiteral("[S]\r\nヂ=wrong\r\nア=right\r\n")),
         "S", QStringLiteral("ア"), "right"},
        {"full-width letters are not their ASCII forms", sjis(QStringLiteral("[S]\r\nＡＢ=1\r\n")),
         "S", "ab", ""},
        {"UTF-8 file with a byte-order mark",
         "\xEF\xBB\xBF[S]\r\nk=" + QStringLiteral("受信").toUtf8(), "S", "k",
         QStringLiteral("受信")},
        {"bytes that are no CP932 read as replacement characters",
         "[S]\r\nk=a\x80"
         "b\xA0\x82\r\n",
         "S", "k", QStringLiteral("a\uFFFDb\uFFFD\uFFFD")},
        {"junk bytes around", "\x80\xFF\xA0\r\n[S]\r\n\xFD\xFE=\x81\r\nk=v\r\n", "S", "k", "v"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        put(c.file);
        EXPECT_EQ(IniFile::strReadIni(path(), c.section, c.key), c.expected);
    }
}

TEST_F(ProfileFile, LongValuesAreCutTo255BytesNeverInsideACharacter) {
    const struct {
        const char* what;
        QString stored;
        QString expected;
    } cases[] = {
        {"300 single bytes", QString(300, QLatin1Char('a')), QString(255, QLatin1Char('a'))},
        {"exactly 255", QString(255, QLatin1Char('b')), QString(255, QLatin1Char('b'))},
        {"a double-byte character across the limit",
         QString(254, QLatin1Char('a')) + QStringLiteral("あい"), QString(254, QLatin1Char('a'))},
        {"double-byte characters to the limit", QString(128, QChar(0x3042)),
         QString(127, QChar(0x3042))},
        {"half-width katakana are single bytes", QString(253, QLatin1Char('a')) + "ｷｬﾝｾﾙ",
         QString(253, QLatin1Char('a')) + "ｷｬ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        put("[S]\r\nk=" + sjis(c.stored) + "\r\n");
        EXPECT_EQ(IniFile::strReadIni(path(), "S", "k"), c.expected);
    }
    put("\xEF\xBB\xBF[S]\r\nk=" + (QString(254, QLatin1Char('a')) + QStringLiteral("あ")).toUtf8());
    EXPECT_EQ(IniFile::strReadIni(path(), "S", "k"), QString(254, QLatin1Char('a')))
        << "UTF-8 files are cut at a character boundary too";
    EXPECT_EQ(PrivateProfile::getString(path(), "S", "k", QString(), -1), QString());
}

struct EditCase {
    const char* what;
    QByteArray before;
    QString section;
    QString key;
    std::optional<QString> value; // nullopt: delete
    QByteArray after;
};

TEST_F(ProfileFile, EditsChangeOnlyTheLineTheyMust) {
    const EditCase cases[] = {
        {"key changed in place, spelling and indentation kept", "[s]\r\n  Key = old ; x\r\n", "S",
         "KEY", "new", "[s]\r\n  Key = new\r\n"},
        {"new key after the section's last non-blank line", "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A",
         "n", "3", "[A]\r\na=1\r\nn=3\r\n\r\n[B]\r\nb=2\r\n"},
        {"new key after an unknown line of the section", "[A]\r\na=1\r\n junk\r\n[B]\r\n", "A", "n",
         "3", "[A]\r\na=1\r\n junk\r\nn=3\r\n[B]\r\n"},
        {"new key into a header-only section", "[A]\r\n[B]\r\n", "A", "n", "3",
         "[A]\r\nn=3\r\n[B]\r\n"},
        {"new key into the last section without a final line end", "[A]\r\na=1", "A", "n", "3",
         "[A]\r\na=1\r\nn=3\r\n"},
        {"new key into a header without a line end", "[A]", "A", "n", "3", "[A]\r\nn=3\r\n"},
        {"new section at the end, no blank line", "[A]\r\na=1\r\n", "B", "b", "2",
         "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        {"new section after a last line without line end", "[A]\r\na=1", "B", "b", "2",
         "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        {"new section into an empty file", "", "B", "b", "2", "[B]\r\nb=2\r\n"},
        {"LF file stays LF", "[A]\na=1\n", "A", "b", "2", "[A]\na=1\nb=2\n"},
        {"CR file stays CR", "[A]\ra=1\r", "B", "b", "2", "[A]\ra=1\r[B]\rb=2\r"},
        {"empty text writes Key=", "[A]\r\nk=v\r\n", "A", "k", "", "[A]\r\nk=\r\n"},
        {"blanks at the edges are quoted", "[A]\r\n", "A", "k", " v ", "[A]\r\nk=\" v \"\r\n"},
        {"a quoted-looking value is quoted again", "[A]\r\n", "A", "k", "\"q\"",
         "[A]\r\nk='\"q\"'\r\n"},
        {"comments, blank lines and junk kept",
         ";c\r\n\r\n# x\r\n[A]\r\n\tjunk line\r\na=1\r\n\r\n", "A", "a", "2",
         ";c\r\n\r\n# x\r\n[A]\r\n\tjunk line\r\na=2\r\n\r\n"},
        {"bytes invalid in CP932 kept in other lines", "[A]\r\nx=\x80\xFF\xA0\x81\r\na=1\r\n", "A",
         "a", "2", "[A]\r\nx=\x80\xFF\xA0\x81\r\na=2\r\n"},
        {"the first of duplicate sections is written", "[A]\r\na=1\r\n[A]\r\nb=2\r\n", "A", "b",
         "3", "[A]\r\na=1\r\nb=3\r\n[A]\r\nb=2\r\n"},
        {"a file that is no profile only grows", bytes("\x00\x01 bin\xFF"), "S", "k", "v",
         bytes("\x00\x01 bin\xFF\r\n[S]\r\nk=v\r\n")},
        {"UTF-8 file written as UTF-8", "\xEF\xBB\xBF[A]\r\n", "A", "k", QStringLiteral("受信"),
         "\xEF\xBB\xBF[A]\r\nk=" + QStringLiteral("受信").toUtf8() + "\r\n"},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", "A", "k", "v", "\xEF\xBB\xBF[A]\r\nk=v\r\n"},
        {"section name ending in ]", "", "a]", "k", "v", "[a]]\r\nk=v\r\n"},
        {"delete removes the line", "[A]\r\na=1\r\nb=2\r\n", "a", "A", std::nullopt,
         "[A]\r\nb=2\r\n"},
        {"delete removes duplicates of the key too", "[A]\r\na=1\r\nb=2\r\nA=3\r\n[B]\r\na=4\r\n",
         "A", "a", std::nullopt, "[A]\r\nb=2\r\n[B]\r\na=4\r\n"},
        {"delete of the last line without line end", "[A]\r\nb=2\r\na=1", "A", "a", std::nullopt,
         "[A]\r\nb=2\r\n"},
        {"delete of a missing key changes nothing", "[A]\r\nb=2\r\n", "A", "a", std::nullopt,
         "[A]\r\nb=2\r\n"},
        {"delete in a missing section changes nothing", "[A]\r\nb=2\r\n", "B", "b", std::nullopt,
         "[A]\r\nb=2\r\n"},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.what);
        put(c.before);
        const bool ok = c.value ? IniFile::bWriteIni(path(), c.section, c.key, *c.value)
                                : IniFile::bDeleteIniKey(path(), c.section, c.key);
        EXPECT_TRUE(ok);
        EXPECT_EQ(printable(content()), printable(c.after));
        if (c.value)
            EXPECT_EQ(IniFile::strReadIni(path(), c.section, c.key), *c.value);
        else
            EXPECT_EQ(IniFile::strReadIni(path(), c.section, c.key), QString());
    }
}

TEST_F(ProfileFile, InputThatWouldCorruptTheFileIsRefused) {
    const struct {
        const char* what;
        QString section;
        QString key;
        QString value;
    } cases[] = {
        {"line feed in the value", "A", "k", "a\nb"},
        {"carriage return in the value", "A", "k", "a\rb"},
        {"NUL in the value", "A", "k", QString("a") + QChar(0) + "b"},
        {"line break in the key", "A", "k\nx", "v"},
        {"line break in the section", "A\r\n[B", "k", "v"},
        {"= in the key", "A", "a=b", "v"},
        {"] followed by more text in the section", "A]B", "k", "v"},
        {"a key whose line reads as a header", "A", "[x]", "v"},
        {"a key and value whose line reads as a header", "A", "[x", "y]"},
        {"empty key", "A", "  ", "v"},
        {"empty section", "", "k", "v"},
        {"a value CP932 cannot hold", "A", "k", QStringLiteral("한국")},
        {"a key CP932 cannot hold", "A", QStringLiteral("😀"), "v"},
    };
    const QByteArray original = "[A]\r\nk=old\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        put(original);
        EXPECT_FALSE(IniFile::bWriteIni(path(), c.section, c.key, c.value));
        EXPECT_EQ(content(), original);
        const QString fresh = env.root() + QStringLiteral("/new/NEW.INI");
        EXPECT_FALSE(IniFile::bWriteIni(fresh, c.section, c.key, c.value));
        EXPECT_FALSE(QFileInfo::exists(env.root() + QStringLiteral("/new")))
            << "no file, and no folder for it";
    }
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "old");
}

TEST_F(ProfileFile, AWriteOfTheSameValueLeavesTheFileUntouched) {
    put("[A]\r\nk = \"v\"\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &before), 0);
    ::usleep(20000);
    EXPECT_TRUE(IniFile::bWriteIni(path(), "a", "K", "v"));
    EXPECT_TRUE(IniFile::bDeleteIniKey(path(), "a", "missing"));
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

TEST_F(ProfileFile, ReadsSeeEveryChangeOfTheFile) {
    put("[A]\r\nk=1\r\n");
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "1");
    put("[A]\r\nk=2\r\n"); // same size, same folder, rewritten in place
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "2");
    ASSERT_TRUE(IniFile::bWriteIni(path(), "A", "k", "3"));
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "3");
    QFile::remove(path());
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "");
}

TEST_F(ProfileFile, BareNamesLiveInTheWindowsDirectoryWhicheverSpellingIsOnDisk) {
    const QString onDisk = env.windowsDirectory() + QStringLiteral("/kmb32.ini");
    env.writeFile(onDisk, "[Monitor]\r\nAutoReceive=0\r\n");
    EXPECT_EQ(IniFile::strReadIni("KMB32.INI", "Monitor", "AutoReceive"), "0");
    EXPECT_TRUE(IniFile::bWriteIni("KMB32.ini", "Monitor", "AutoReceive", "1"));
    EXPECT_EQ(IniFile::strReadIni("Kmb32.Ini", "Monitor", "AutoReceive"), "1");
    EXPECT_EQ(QDir(env.windowsDirectory()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"kmb32.ini"});

    EXPECT_TRUE(IniFile::bWriteIni("KmBell.INF", "Bell0", "BellTitle", "x"));
    EXPECT_TRUE(QFileInfo::exists(env.windowsDirectory() + QStringLiteral("/KmBell.INF")))
        << "a new file takes the spelling given";
}

TEST_F(ProfileFile, AMissingFileReadsEmptyAndADeleteCreatesNothing) {
    const QString missing = env.root() + QStringLiteral("/no/such/dir/KmBell.inf");
    EXPECT_EQ(IniFile::strReadIni(missing, "Bell0", "BellTitle"), "");
    EXPECT_TRUE(IniFile::bDeleteIniKey(missing, "Bell0", "BellTitle"));
    EXPECT_FALSE(QFileInfo::exists(env.root() + QStringLiteral("/no")));

    const QString underAFile = env.writeFile("plain.txt", "x") + QStringLiteral("/sub/x.inf");
    EXPECT_FALSE(IniFile::bWriteIni(underAFile, "Bell0", "BellTitle", "x"))
        << "a folder that cannot be made fails the write";
    EXPECT_FALSE(IniFile::bWriteIni(env.windowsDirectory(), "Bell0", "BellTitle", "x"))
        << "a folder is no profile file";

    EXPECT_TRUE(IniFile::bWriteIni(missing, "Bell0", "BellTitle", QStringLiteral("事務所")));
    EXPECT_EQ(env.readFile(missing), sjis(QStringLiteral("[Bell0]\r\nBellTitle=事務所\r\n")));
}

TEST_F(ProfileFile, PermissionsAreKeptAndReadOnlyFilesAreNotWritten) {
    const QByteArray native = QFile::encodeName(path());
    auto mode = [&] {
        struct stat st {};
        ::stat(native.constData(), &st);
        return st.st_mode & 07777;
    };
    put("[A]\r\nk=1\r\n");
    ::chmod(native.constData(), 0640);
    ASSERT_TRUE(IniFile::bWriteIni(path(), "A", "k", "2"));
    EXPECT_EQ(mode(), 0640u);

    ::chmod(native.constData(), 0444);
    EXPECT_FALSE(IniFile::bWriteIni(path(), "A", "k", "3"));
    EXPECT_FALSE(IniFile::bDeleteIniKey(path(), "A", "k"));
    EXPECT_EQ(content(), "[A]\r\nk=2\r\n");
    EXPECT_EQ(mode(), 0444u);
}

TEST_F(ProfileFile, ALinkedFileIsWrittenThroughItsLink) {
    const QString target = env.writeFile(QStringLiteral("suite/KMB32.INI"), "[A]\r\nk=1\r\n");
    ASSERT_TRUE(QFile::link(target, path()));
    ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", "A", "k", "2"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(env.readFile(target), "[A]\r\nk=2\r\n");
}

TEST_F(ProfileFile, TemporariesLeftByAKilledWriterAreSweptAndNothingElse) {
    put("[A]\r\nk=1\r\n");
    const QString stale = env.windowsDirectory() + QStringLiteral("/.KMB32.INI.writing-a1B2c3");
    const QString unrelated = env.windowsDirectory() + QStringLiteral("/.KMB32.INI.backup");
    env.writeFile(stale, "[A]\r\nk=");
    env.writeFile(unrelated, "x");
    ASSERT_TRUE(IniFile::bWriteIni(path(), "A", "k", "2"));
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(unrelated));
    EXPECT_EQ(QDir(env.windowsDirectory()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".KMB32.INI.backup", "KMB32.INI"}));
}

TEST_F(ProfileFile, AHugeSingleLineFileReadsAndSurvivesAWrite) {
    QByteArray huge(10 * 1024 * 1024, 'x');
    huge[5000] = '=';
    put(huge);
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "");
    ASSERT_TRUE(IniFile::bWriteIni(path(), "A", "k", "v"));
    const QByteArray after = content();
    EXPECT_TRUE(after.startsWith(huge));
    EXPECT_EQ(after.mid(huge.size()), "\r\n[A]\r\nk=v\r\n");
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "v");
}

TEST_F(ProfileFile, ManyLinesWithoutEqualsParseQuickly) {
    // One line with "=" at the very end of 400,000 lines without: a scan per line to the next
    // "=" would run for minutes, past the test's time limit.
    QByteArray body = "[A]\r\n";
    for (int i = 0; i < 400000; ++i)
        body += "line without an equals sign\r\n";
    body += "k=v\r\n";
    put(body);
    EXPECT_EQ(IniFile::strReadIni(path(), "A", "k"), "v");
}

TEST(ProfileText, JapaneseTextRoundTripsThroughCp932Bytes) {
    TestEnvironment env;
    const QString file = env.windowsDirectory() + QStringLiteral("/KMB32.INI");
    const struct {
        QString written;
        QByteArray bytes;
        QString readBack;
    } cases[] = {
        {QStringLiteral("⇒"), "\x81\xCB", QStringLiteral("⇒")},
        {QStringLiteral("＞"), "\x81\x84", QStringLiteral("＞")},
        {QStringLiteral("(なし)"), "(\x82\xC8\x82\xB5)", QStringLiteral("(なし)")},
        {QStringLiteral("FAXまたはメールに転送"),
         "FAX\x82\xDC\x82\xBD\x82\xCD\x83\x81\x81\x5B\x83\x8B\x82\xC9\x93\x5D\x91\x97",
         QStringLiteral("FAXまたはメールに転送")},
        {QStringLiteral("ｷｬﾝｾﾙ"), "\xB7\xAC\xDD\xBE\xD9", QStringLiteral("ｷｬﾝｾﾙ")},
        {QStringLiteral("①№"), "\x87\x40\x87\x82", QStringLiteral("①№")},
        // Characters whose Unicode form is not the one CP932 maps are stored as their look-alike.
        {QString(QChar(0x301C)), "\x81\x60", QString(QChar(0xFF5E))},
        {QString(QChar(0x2212)), "\x81\x7C", QString(QChar(0xFF0D))},
        {QString(QChar(0x2016)), "\x81\x61", QString(QChar(0x2225))},
        {QString(QChar(0x2014)), "\x81\x5C", QString(QChar(0x2015))},
        {QString(QChar(0x00A2)), "\x81\x91", QString(QChar(0xFFE0))},
        {QString(QChar(0x00A3)), "\x81\x92", QString(QChar(0xFFE1))},
        {QString(QChar(0x00AC)), "\x81\xCA", QString(QChar(0xFFE2))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        QFile::remove(file);
        ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", "AGENT-Recv", "1", c.written));
        EXPECT_EQ(printable(env.readFile(file)),
                  printable("[AGENT-Recv]\r\n1=" + c.bytes + "\r\n"));
        EXPECT_EQ(IniFile::strReadIni("KMB32.INI", "AGENT-Recv", "1"), c.readBack);
    }
    const QString rule = QStringLiteral("123,受信⇒F/0312345678＞ローカルモデム");
    ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", QStringLiteral("受信フォルダ"), "1", rule));
    EXPECT_EQ(IniFile::strReadIni("kmb32.ini", QStringLiteral("受信フォルダ"), "1"), rule);
}

TEST(ProfileText, Cp932Conversions) {
    bool ok = true;
    Cp932::encode(QStringLiteral("a한b"), &ok);
    EXPECT_FALSE(ok) << "characters CP932 cannot hold are reported";
    Cp932::encode(QStringLiteral("ｷｬﾝｾﾙ〜"), &ok);
    EXPECT_TRUE(ok);

    // Invalid input in between: nothing of it may carry over to the next conversion.
    const struct {
        QByteArray bytes;
        bool valid;
    } validity[] = {{"abc", true},   {"\x82\xA0", true},  {"\x82", false},   {"\x80", false},
                    {"\xA0", false}, {"\x82\x20", false}, {"\x82\xA0", true}};
    for (const auto& c : validity)
        EXPECT_EQ(Cp932::isValid(c.bytes), c.valid) << printable(c.bytes);
    EXPECT_EQ(Cp932::decode("a\x82"), QStringLiteral("a\uFFFD"));
    EXPECT_EQ(Cp932::decode("\xA0\x82\xA0"), QStringLiteral("\uFFFDあ"));

    const struct {
        QByteArray bytes;
        int max;
        int length;
    } cuts[] = {{"abc", 5, 3},
                {"abc", 2, 2},
                {"a\x82\xA0", 2, 1},
                {"a\x82\xA0", 3, 3},
                {"\x82\xA0\x82\xA0", 3, 2},
                {"\xB7\xAC", 1, 1},
                {"\x82\xA0", 0, 0}};
    for (const auto& c : cuts)
        EXPECT_EQ(Cp932::truncatedLength(c.bytes, c.max), c.length)
            << printable(c.bytes) << " max " << c.max;
}

} // namespace
