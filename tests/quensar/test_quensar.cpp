#include "CShareNameApp.h"
#include "CShareNameDlg.h"
#include "Cp932.h"
#include "JapaneseFonts.h"
#include "RecordingMessageBoxes.h"
#include "Registry.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>

using namespace Registry;

namespace {

const QString kNoParameters = QStringLiteral("共有フォルダを設定するレジストリがありません");
const QString kNoSharesKey = QStringLiteral("共有フォルダ名のレジストリがありません");
const QString kNoShares = QStringLiteral("共有するフォルダがありません");
const QString kCannotWrite = QStringLiteral("共有フォルダを設定するレジストリに書き込みできません");
const QString kTooManyShares =
    QStringLiteral("共有フォルダが多すぎます。共有フォルダ名は 257 個まで扱えます");
const QString kTooManySlots = QStringLiteral(
    "共有名が多すぎます。設定済みの共有名と共有フォルダ名は合わせて 257 個まで扱えます");
const QString kValueTooLong =
    QStringLiteral("選択した共有名が多すぎるため、レジストリに書き込みできません。共有名は合わせて "
                   "1,028 バイトまで書き込めます");

// Text as a registry file holds it; "\000" keeps a following digit out of the escape.
QByteArray escaped(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        if (c.unicode() > 127)
            out += "\\x" + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
        else if (c.unicode() == 0)
            out += "\\000";
        else if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += '\\' + QByteArray(1, char(c.unicode()));
        else
            out += char(c.unicode());
    }
    return out;
}

struct Share {
    QString name;
    QString data = QStringLiteral("Path=C:\\KORIMBA");
};

// The machine's registry as QUENSAR meets it: the Parameters key with "NullSessionShares"
// (entries; nullopt: no such value) and the Shares key with one value per share.
struct Machine {
    std::optional<QStringList> nullSessionShares = QStringList();
    QList<Share> shares;
    bool parametersKey = true;
    bool sharesKey = true;

    QByteArray file() const {
        QByteArray out =
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
            "[Software\\\\Wine] 1702000000\n\"Version\"=\"win10\"\n\n";
        if (parametersKey) {
            out += "[System\\\\CurrentControlSet\\\\Services\\\\LanmanServer\\\\Parameters] "
                   "1702000000\n"
                   "#time=1da2c0f0a1b2c3b\n\"Lmannounce\"=dword:00000000\n";
            if (nullSessionShares) {
                QString joined;
                for (const QString& entry : *nullSessionShares)
                    joined += entry + QChar(0);
                out += "\"NullSessionShares\"=str(7):\"" + escaped(joined) + "\"\n";
            }
            out += "\"Size\"=dword:00000001\n\n";
        }
        if (sharesKey) {
            out +=
                "[System\\\\CurrentControlSet\\\\Services\\\\LanmanServer\\\\Shares] 1702000000\n";
            for (const Share& share : shares)
                out += '"' + escaped(share.name) + "\"=\"" + escaped(share.data) + "\"\n";
            out += '\n';
        }
        return out + "[System\\\\Select] 1702000000\n\"Current\"=dword:00000001\n";
    }
};

QList<Share> sharesNamed(const QStringList& names) {
    QList<Share> shares;
    for (const QString& name : names)
        shares.append({name});
    return shares;
}

// The entries of the value as the program wrote it, or nullopt when it cannot be read.
std::optional<QStringList> writtenEntries(QByteArray* raw = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE,
                     "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters", 0, KEY_READ,
                     &key) != ERROR_SUCCESS)
        return std::nullopt;
    QByteArray data;
    DWORD size = 65536;
    DWORD type = REG_NONE;
    const LSTATUS status = RegQueryValueEx(key, "NullSessionShares", &type, &data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return std::nullopt;
    if (raw)
        *raw = data;
    QStringList entries;
    for (const QByteArray& entry : data.split('\0')) {
        if (!entry.isEmpty())
            entries.append(Cp932::decode(entry));
    }
    return entries;
}

QByteArray multiSz(const QStringList& entries) {
    QByteArray out;
    for (const QString& entry : entries)
        out += Cp932::encode(entry) + '\0';
    return out + '\0';
}

QListWidget* shareList(QWidget* dlg) {
    return dlg->findChild<QListWidget*>(QStringLiteral("1000"));
}

QStringList listed(QWidget* dlg, bool selectedOnly) {
    QStringList out;
    QListWidget* list = shareList(dlg);
    for (int i = 0; i < list->count(); ++i) {
        if (!selectedOnly || list->item(i)->isSelected())
            out.append(list->item(i)->text());
    }
    return out;
}

void clickItem(QWidget* dlg, const QString& text) {
    QListWidget* list = shareList(dlg);
    const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable(text));
    list->scrollToItem(items.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.first()).center());
}

void clickButton(QWidget* dlg, const char* id) {
    QTest::mouseClick(dlg->findChild<QPushButton*>(QLatin1String(id)), Qt::LeftButton);
}

// One run of the program; `operate` is called once with the selection dialog while it is open.
struct Run {
    bool dialogShown = false;
    QStringList listedAtStart;
    QStringList markedAtStart;
    QList<MessageBox::Request> messages;
};

Run runProgram(const std::function<void(QWidget*)>& operate) {
    Run run;
    RecordingMessageBoxes boxes;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QLatin1String("102"))
            return;
        driver.stop();
        run.dialogShown = true;
        run.listedAtStart = listed(modal, false);
        run.markedAtStart = listed(modal, true);
        operate(modal);
    });
    driver.start();
    CShareNameApp app;
    const bool result = app.InitInstance();
    driver.stop();
    if (result)
        qWarning("the start-up method asked to go on");
    run.messages = boxes.shown();
    return run;
}

void clickThenOk(QWidget* dlg, const QStringList& clicks) {
    for (const QString& text : clicks)
        clickItem(dlg, text);
    clickButton(dlg, "1");
}

QString repeated(const QString& unit, int times) {
    return unit.repeated(times);
}

// Entries that make a value of `bytes` bytes (from 250 up): 31 of 8 bytes with their zero
// bytes, one more to fill, and the final zero byte.
QStringList valueOfBytes(int bytes) {
    QStringList entries;
    for (int i = 0; i < 31; ++i)
        entries.append(QStringLiteral("SHARE%1").arg(i, 2, 10, QLatin1Char('0')));
    entries.append(repeated(QStringLiteral("X"), bytes - 31 * 8 - 2));
    return entries;
}

} // namespace

class QuensarFlowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { JapaneseFonts::installSubstitutions(); }

    void writesTheMarkedShares_data();
    void writesTheMarkedShares();
    void endsWithoutWritingWhenLeftOtherwise_data();
    void endsWithoutWritingWhenLeftOtherwise();
    void enumerationStopsAtTheFirstShareItCannotRead_data();
    void enumerationStopsAtTheFirstShareItCannotRead();
    void reportsEachFailureAndWritesNothing_data();
    void reportsEachFailureAndWritesNothing();
    void reportsAWriteThatFails_data();
    void reportsAWriteThatFails();
    void refusesAValueLongerThanItsBuffer();
    void holdsAsManySharesAsItsTables();
    void windowMenuOpensTheAboutBox();
    void dialogsShowTheirTextsWhole();
};

void QuensarFlowTest::writesTheMarkedShares_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("shares");
    QTest::addColumn<QStringList>("markedAtStart");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("byEnter");

    const QStringList faxPrint{QStringLiteral("FAX"), QStringLiteral("PRINT")};
    QTest::newRow("other entries stay in front, in their order")
        << QStringList{"COMCFG", "FAX", "DFS$"} << QStringList{"FAX", "DATA"} << QStringList{"FAX"}
        << QStringList{"DATA"} << QStringList{"COMCFG", "DFS$", "FAX", "DATA"} << false;
    QTest::newRow("an entry in another case starts marked and is written as the share is named")
        << QStringList{"fax"} << faxPrint << QStringList{"FAX"} << QStringList()
        << QStringList{"FAX"} << false;
    QTest::newRow("unmarking a listed share removes it")
        << QStringList{"other", "Fax"} << faxPrint << QStringList{"FAX"} << QStringList{"FAX"}
        << QStringList{"other"} << false;
    QTest::newRow("FAX marks only FAX, not FAXDATA")
        << QStringList{"FAX"} << QStringList{"FAX", "FAXDATA"} << QStringList{"FAX"}
        << QStringList() << QStringList{"FAX"} << false;
    QTest::newRow("each share's own mark decides")
        << QStringList{"FAX"} << QStringList{"FAX", "FAXDATA"} << QStringList{"FAX"}
        << QStringList{"FAXDATA", "FAX"} << QStringList{"FAXDATA"} << false;
    QTest::newRow("OK without changes moves the shares behind the others, in enumeration order")
        << QStringList{"PRINT", "COMCFG", "FAX"} << faxPrint << faxPrint << QStringList()
        << QStringList{"COMCFG", "FAX", "PRINT"} << false;
    QTest::newRow("unmarking everything leaves a single zero byte")
        << faxPrint << faxPrint << faxPrint << faxPrint << QStringList() << false;
    QTest::newRow("an empty value starts with nothing marked")
        << QStringList() << faxPrint << QStringList() << QStringList{"PRINT"}
        << QStringList{"PRINT"} << false;
    QTest::newRow("a click toggles: twice is no change")
        << QStringList() << faxPrint << QStringList() << QStringList{"FAX", "PRINT", "FAX"}
        << QStringList{"PRINT"} << false;
    QTest::newRow("a value of 256 bytes is read whole")
        << valueOfBytes(256) << QStringList{"FAX"} << QStringList() << QStringList()
        << valueOfBytes(256) << false;
    QTest::newRow("Enter in the list is OK") << QStringList() << faxPrint << QStringList()
                                             << QStringList{"FAX"} << QStringList{"FAX"} << true;
    QTest::newRow("Japanese share names")
        << QStringList{"共有"} << QStringList{"ファクス", "共有"} << QStringList{"共有"}
        << QStringList{"ファクス"} << QStringList{"ファクス", "共有"} << false;
}

void QuensarFlowTest::writesTheMarkedShares() {
    QFETCH(QStringList, existing);
    QFETCH(QStringList, shares);
    QFETCH(QStringList, markedAtStart);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, written);
    QFETCH(bool, byEnter);
    TestEnvironment env;
    env.writeFile(env.winePrefix() + "/system.reg", Machine{existing, sharesNamed(shares)}.file());

    const Run run = runProgram([&](QWidget* dlg) {
        if (!byEnter)
            return clickThenOk(dlg, clicks);
        for (const QString& text : clicks)
            clickItem(dlg, text);
        QTest::keyClick(shareList(dlg), Qt::Key_Return);
    });

    QVERIFY(run.dialogShown);
    QCOMPARE(run.listedAtStart, shares);
    QCOMPARE(run.markedAtStart, markedAtStart);
    QCOMPARE(run.messages.size(), 0);
    QByteArray raw;
    QCOMPARE(writtenEntries(&raw), std::optional<QStringList>(written));
    QCOMPARE(raw, multiSz(written));
}

void QuensarFlowTest::endsWithoutWritingWhenLeftOtherwise_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("閉じる in the window menu") << "close";
}

void QuensarFlowTest::endsWithoutWritingWhenLeftOtherwise() {
    QFETCH(QString, how);
    TestEnvironment env;
    const QByteArray before = Machine{QStringList{"FAX"}, sharesNamed({"FAX", "PRINT"})}.file();
    env.writeFile(env.winePrefix() + "/system.reg", before);

    const Run run = runProgram([&](QWidget* dlg) {
        clickItem(dlg, QStringLiteral("PRINT"));
        if (how == QLatin1String("cancel"))
            clickButton(dlg, "2");
        else if (how == QLatin1String("esc"))
            QTest::keyClick(dlg, Qt::Key_Escape);
        else {
            QMenu* menu = static_cast<CShareNameDlg*>(dlg)->systemMenu();
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                         dlg->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(dlg, &rightClick);
            QTRY_VERIFY(menu->isVisible());
            QTest::keyClick(menu, Qt::Key_C);
        }
    });

    QVERIFY(run.dialogShown);
    QCOMPARE(run.messages.size(), 0);
    QCOMPARE(env.readFile(env.winePrefix() + "/system.reg"), before);
}

void QuensarFlowTest::enumerationStopsAtTheFirstShareItCannotRead_data() {
    QTest::addColumn<QList<Share>>("shares");
    QTest::addColumn<QStringList>("offered");
    const QString name255 = QStringLiteral("N") + repeated(QStringLiteral("共"), 127);
    const QString name256 = QStringLiteral("NN") + repeated(QStringLiteral("共"), 127);
    const QString data256 = repeated(QStringLiteral("d"), 255);
    const QString data257 = repeated(QStringLiteral("d"), 256);
    QTest::newRow("a 255-byte name is offered")
        << QList<Share>{{"FAX"}, {name255}, {"AFTER"}} << QStringList{"FAX", name255, "AFTER"};
    QTest::newRow("a 256-byte name ends the list")
        << QList<Share>{{"FAX"}, {name256}, {"AFTER"}} << QStringList{"FAX"};
    QTest::newRow("256 bytes of data are read")
        << QList<Share>{{"FAX"}, {"BIG", data256}, {"AFTER"}} << QStringList{"FAX", "BIG", "AFTER"};
    QTest::newRow("257 bytes of data end the list")
        << QList<Share>{{"FAX"}, {"BIG", data257}, {"AFTER"}} << QStringList{"FAX"};
    QTest::newRow("a name CP932 cannot hold ends the list")
        << QList<Share>{{"FAX"}, {QStringLiteral("snow\u2603")}, {"AFTER"}} << QStringList{"FAX"};
}

void QuensarFlowTest::enumerationStopsAtTheFirstShareItCannotRead() {
    QFETCH(QList<Share>, shares);
    QFETCH(QStringList, offered);
    TestEnvironment env;
    env.writeFile(env.winePrefix() + "/system.reg", Machine{QStringList{"AFTER"}, shares}.file());

    const Run run = runProgram([&](QWidget* dlg) { clickButton(dlg, "1"); });

    QCOMPARE(run.listedAtStart, offered);
    // AFTER was open without a logon; offered or not, it stays so.
    QCOMPARE(writtenEntries(), std::optional<QStringList>(QStringList{"AFTER"}));
}

void QuensarFlowTest::reportsEachFailureAndWritesNothing_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    const QList<Share> fax = sharesNamed({"FAX"});

    QTest::newRow("no registry file") << QByteArray() << kNoParameters;
    Machine noParameters{QStringList{"FAX"}, fax};
    noParameters.parametersKey = false;
    QTest::newRow("no Parameters key") << noParameters.file() << kNoParameters;
    QTest::newRow("no NullSessionShares value")
        << Machine{std::nullopt, fax}.file() << kNoParameters;
    QTest::newRow("value of 257 bytes") << Machine{valueOfBytes(257), fax}.file() << kNoParameters;
    QTest::newRow("an entry CP932 cannot hold")
        << Machine{QStringList{QStringLiteral("snow\u2603")}, fax}.file() << kNoParameters;
    Machine noSharesKey{QStringList{"FAX"}, fax};
    noSharesKey.sharesKey = false;
    QTest::newRow("no Shares key") << noSharesKey.file() << kNoSharesKey;
    QTest::newRow("no shares") << Machine{QStringList{"FAX"}, {}}.file() << kNoShares;
    QTest::newRow("first share name too long")
        << Machine{QStringList(), sharesNamed({repeated("L", 256), "FAX"})}.file() << kNoShares;
    QByteArray malformed = Machine{QStringList{"FAX"}, fax}.file();
    malformed.replace("\"Size\"=dword:00000001", "\"Size\"=dword:zz");
    QTest::newRow("malformed registry file") << malformed << kNoParameters;

    QList<Share> many;
    for (int i = 0; i < 258; ++i)
        many.append({QStringLiteral("S%1").arg(i)});
    QTest::newRow("258 shares") << Machine{QStringList(), many}.file() << kTooManyShares;
    many.removeLast();
    QTest::newRow("257 shares and one other entry")
        << Machine{QStringList{"OTHER"}, many}.file() << kTooManySlots;
}

void QuensarFlowTest::reportsEachFailureAndWritesNothing() {
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    TestEnvironment env;
    const QString path = env.winePrefix() + "/system.reg";
    if (!file.isEmpty())
        env.writeFile(path, file);

    const Run run = runProgram([](QWidget* dlg) { clickButton(dlg, "1"); });

    QVERIFY(!run.dialogShown);
    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(run.messages[0].text, message);
    QCOMPARE(run.messages[0].title, QStringLiteral("QUENSAR"));
    QCOMPARE(run.messages[0].icon, MessageBox::Icon::Critical);
    QCOMPARE(run.messages[0].buttons, MessageBox::Buttons::Ok);
    QCOMPARE(env.readFile(path), file);
    QCOMPARE(QFile::exists(path), !file.isEmpty());
}

void QuensarFlowTest::reportsAWriteThatFails_data() {
    QTest::addColumn<QString>("cause");
    QTest::newRow("Parameters key removed while the dialog was open") << "key removed";
    QTest::newRow("registry file spoilt while the dialog was open") << "file spoilt";
    QTest::newRow("the new file cannot be written") << "file size limit";
}

void QuensarFlowTest::reportsAWriteThatFails() {
    QFETCH(QString, cause);
    TestEnvironment env;
    const QString path = env.winePrefix() + "/system.reg";
    QByteArray current = Machine{QStringList{"FAX"}, sharesNamed({"FAX", "PRINT"})}.file();
    env.writeFile(path, current);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);

    const Run run = runProgram([&](QWidget* dlg) {
        clickItem(dlg, QStringLiteral("PRINT"));
        if (cause == QLatin1String("key removed")) {
            Machine changed{QStringList{"FAX"}, sharesNamed({"FAX", "PRINT"})};
            changed.parametersKey = false;
            current = changed.file();
            env.writeFile(path, current);
        } else if (cause == QLatin1String("file spoilt")) {
            current = current.replace("\"Size\"=dword:00000001", "\"Size\"=");
            env.writeFile(path, current);
        } else {
            rlimit small = old;
            small.rlim_cur = rlim_t(current.size() / 2);
            setrlimit(RLIMIT_FSIZE, &small);
        }
        clickButton(dlg, "1");
    });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(run.messages[0].text, kCannotWrite);
    QCOMPARE(run.messages[0].title, QStringLiteral("QUENSAR"));
    QCOMPARE(run.messages[0].icon, MessageBox::Icon::Critical);
    QCOMPARE(env.readFile(path), current);
}

void QuensarFlowTest::refusesAValueLongerThanItsBuffer() {
    TestEnvironment env;
    const QString path = env.winePrefix() + "/system.reg";
    QStringList names;
    for (int i = 0; i < 49; ++i)
        names.append(QStringLiteral("SHARE-NAME-OF-20-x%1").arg(i, 2, 10, QLatin1Char('0')));
    const QByteArray before = Machine{QStringList(), sharesNamed(names)}.file();
    env.writeFile(path, before);

    // 49 names of 20 bytes give 1,030 bytes with their zero bytes and the final one.
    Run run = runProgram([&](QWidget* dlg) { clickThenOk(dlg, names); });
    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(run.messages[0].text, kValueTooLong);
    QCOMPARE(run.messages[0].title, QStringLiteral("QUENSAR"));
    QCOMPARE(run.messages[0].icon, MessageBox::Icon::Critical);
    QCOMPARE(env.readFile(path), before);

    // One name fewer fits: 1,009 bytes.
    run = runProgram([&](QWidget* dlg) { clickThenOk(dlg, names.mid(1)); });
    QCOMPARE(run.messages.size(), 0);
    QCOMPARE(writtenEntries(), std::optional<QStringList>(names.mid(1)));
}

void QuensarFlowTest::holdsAsManySharesAsItsTables() {
    TestEnvironment env;
    QStringList names;
    for (int i = 0; i < 257; ++i)
        names.append(QStringLiteral("S%1").arg(i));
    env.writeFile(env.winePrefix() + "/system.reg",
                  Machine{QStringList(), sharesNamed(names)}.file());

    const Run run = runProgram([&](QWidget* dlg) {
        clickThenOk(dlg, {QStringLiteral("S256"), QStringLiteral("S0")});
    });

    QCOMPARE(run.messages.size(), 0);
    QCOMPARE(run.listedAtStart.size(), 257);
    QCOMPARE(writtenEntries(), std::optional<QStringList>(QStringList{"S0", "S256"}));
}

void QuensarFlowTest::windowMenuOpensTheAboutBox() {
    TestEnvironment env;
    const QByteArray before = Machine{QStringList{"FAX"}, sharesNamed({"FAX"})}.file();
    env.writeFile(env.winePrefix() + "/system.reg", before);
    QStringList aboutTexts;
    QString aboutTitle;
    QString versionDetails;
    bool dialogStayed = false;

    const Run run = runProgram([&](QWidget* dlg) {
        QMenu* menu = static_cast<CShareNameDlg*>(dlg)->systemMenu();
        QTest::keyClick(dlg, Qt::Key_Space, Qt::AltModifier);
        QTRY_VERIFY(menu->isVisible());
        const QStringList items = [&] {
            QStringList texts;
            for (QAction* a : menu->actions())
                texts.append(a->isSeparator() ? QStringLiteral("-") : a->text());
            return texts;
        }();
        QCOMPARE(items, (QStringList{"閉じる(&C)\tAlt+F4", "-", "ﾊﾞｰｼﾞｮﾝ情報(QUENSAR) (&A)..."}));
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget() &&
                        QApplication::activeModalWidget()->objectName() == QLatin1String("100"));
            QWidget* about = QApplication::activeModalWidget();
            aboutTitle = about->windowTitle();
            for (QLabel* label : about->findChildren<QLabel*>()) {
                if (!label->text().isEmpty())
                    aboutTexts.append(label->text());
            }
            QVERIFY(!about->findChild<QLabel*>(QStringLiteral("IDR_MAINFRAME"))->pixmap().isNull());
            versionDetails =
                about->findChild<QLabel*>(QStringLiteral("IDC_STATIC_VERSION"))->toolTip();
            QTest::keyClick(about, Qt::Key_Return);
        });
        QTest::keyClick(menu, Qt::Key_A);
        QTRY_VERIFY(QApplication::activeModalWidget() == dlg);
        dialogStayed = dlg->isVisible();
        clickButton(dlg, "2");
    });

    QVERIFY(dialogStayed);
    QCOMPARE(aboutTitle, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 QUENSAR"));
    QCOMPARE(aboutTexts.size(), 2);
    QCOMPARE(aboutTexts[0],
             QStringLiteral(
                 "KORIMBA クライアント共有名設定プログラム\n              QUENSAR Ver. 2.00"));
    QVERIFY(aboutTexts[1].contains(QStringLiteral("Copyright")));
    QVERIFY(versionDetails.contains(QStringLiteral("FileVersion: 2.00.99.001")));
    QVERIFY(versionDetails.contains(QStringLiteral("FileDescription: クライアント共有名設定")));
    QCOMPARE(run.messages.size(), 0);
    QCOMPARE(env.readFile(env.winePrefix() + "/system.reg"), before);
}

// Laid out in dialog units of the dialog font, the texts must fit their controls and the
// controls the dialog.
void QuensarFlowTest::dialogsShowTheirTextsWhole() {
    TestEnvironment env;
    env.writeFile(env.winePrefix() + "/system.reg",
                  Machine{QStringList(), sharesNamed({"FAX"})}.file());
    const Run run = runProgram([](QWidget* dlg) {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("QUENSAR"));
        QVERIFY(!dlg->windowIcon().isNull());
        QVERIFY(dlg->minimumSize() == dlg->maximumSize());
        QCOMPARE(dlg->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        auto* prompt = dlg->findChild<QLabel*>(QStringLiteral("IDC_STATIC"));
        QCOMPARE(prompt->text(),
                 QStringLiteral("クライアントのシステムで使用する共有名を選択してください"));
        QVERIFY(prompt->heightForWidth(prompt->width()) <= prompt->height());
        QListWidget* list = shareList(dlg);
        QCOMPARE(list->selectionMode(), QAbstractItemView::MultiSelection);
        auto* ok = dlg->findChild<QPushButton*>(QStringLiteral("1"));
        auto* cancel = dlg->findChild<QPushButton*>(QStringLiteral("2"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(cancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(ok->isDefault());
        for (QWidget* w : {static_cast<QWidget*>(prompt), static_cast<QWidget*>(list),
                           static_cast<QWidget*>(ok), static_cast<QWidget*>(cancel)})
            QVERIFY2(dlg->rect().contains(w->geometry()), qPrintable(w->objectName()));
        QVERIFY(!list->geometry().intersects(ok->geometry()));
        QVERIFY(!prompt->geometry().intersects(list->geometry()));
        QVERIFY(ok->fontMetrics().horizontalAdvance(ok->text()) < ok->width());
        QVERIFY(cancel->fontMetrics().horizontalAdvance(cancel->text()) < cancel->width());
        clickButton(dlg, "2");
    });
    QVERIFY(run.dialogShown);
}

QTEST_MAIN(QuensarFlowTest)
#include "test_quensar.moc"
