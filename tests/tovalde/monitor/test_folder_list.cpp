// The all-folders row and the receive-folder list of the main window, driven with the mouse as a
// person drives them, and the destination dialog they open answered from a timer.
#include "Cp932.h"
#include "FakeFaxEngine.h"
#include "FixedClock.h"
#include "IniFile.h"
#include "JapaneseFonts.h"
#include "KmbRxTrans.h"
#include "Main.h"
#include "RecordingMessageBoxes.h"
#include "RecordingPrinters.h"
#include "SetForm.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Twips.h"
#include "WidgetDriving.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString kSuiteProfile = QStringLiteral("[KMBLOG95-Recv]\nNumOfRecvFolder=6\n"
                                             "[AGENT-Recv]\n"
                                             "1=0311112222,営業部⇒F/0312345678＞ローカルモデム\n"
                                             "2=0333334444,総務部⇒P/PDF\n"
                                             "3=0311112222,経理部⇒F/0312345678\n"
                                             "4=0355556666,大阪支店⇒F/＞taro@example.jp\n"
                                             "5=0377778888,倉庫⇒F/0612345678＞ＮＰサーバー\n"
                                             "6=0399990000,資材部⇒P/旧プリンタ\n"
                                             "[Path]\nKMB Directory=C:\\KORIMBA\\\n"
                                             "[Monitor]\nAutoReceive=0\nRingCount=2\n");

const QString kAllAdr = QStringLiteral("0298765432＞ローカルモデム");

void setSetting(const QString& key, const QString& value) {
    SettingsStore::saveSetting(QStringLiteral("KmbRxTrans"), QStringLiteral("Setting"), key, value);
}

// Every value of the settings store, "key=value" sorted by key.
QStringList allSettings() {
    QSettings settings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/KmbRxTrans/KmbRxTrans.conf"),
                       QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Setting"));
    QStringList values;
    for (const QString& key : settings.childKeys())
        values << key + QLatin1Char('=') + settings.value(key).toString();
    values.sort();
    return values;
}

QStringList suiteProfileLines(const TestEnvironment& env) {
    return Cp932::decode(env.readFile(env.windowsDirectory() + QStringLiteral("/KMB32.INI")))
        .split(QRegularExpression(QStringLiteral("\r?\n")));
}

// A double click as the window system delivers it: press, release, double click, release.
void doubleClick(QWidget* widget, Qt::MouseButton button, QPoint pos = QPoint()) {
    QTest::mouseClick(widget, button, {}, pos);
    QTest::mouseDClick(widget, button, {}, pos);
    QTest::mouseRelease(widget, button, {}, pos);
}

// Clicks an entry of a pop-up menu that is showing.
void choose(QMenu* menu, QAction* action) {
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    QTRY_VERIFY(!menu->isVisible());
}

// What the dialog shows for the rule it opened with: the type, then for a fax rule the number
// box and the route box ("-" for a hidden box), for a printer or pager rule the selection.
QString describe(const SetForm& form) {
    const int type = form.ComboPort->currentIndex();
    const auto shown = [](const QComboBox* box) {
        return box->isVisible() ? box->currentText() : QStringLiteral("-");
    };
    switch (type) {
    case 1:
        return QStringLiteral("1|%1|%2").arg(shown(form.ComboAddress[1]), shown(form.ComboRoute));
    case 2:
    case 3:
        return QStringLiteral("%1|%2").arg(type).arg(form.ComboAddress[type]->currentIndex() < 0
                                                         ? QStringLiteral("-")
                                                         : form.ComboAddress[type]->currentText());
    default:
        return QString::number(type);
    }
}

// A person at the destination dialog: each dialog the window opens is noted as it first
// appears, then operated by the steps given ("type:X", "route:X", "address:X" pick from a
// list; "number:X", "mail:X" retype the number or the route box; "entry", "cancel" press the
// buttons). Without steps every dialog is cancelled.
class DialogUser {
public:
    struct Seen {
        QString caption;
        QString opening;
        QPoint position;
        QStringList numbers;
        QStringList printers;
    };

    explicit DialogUser(QString steps = QStringLiteral("cancel")) : steps_(std::move(steps)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
        timer_.start();
    }

    // Moves each dialog there before the steps, as a person drags it.
    void moveTo(QPoint position) { moveTo_ = position; }

    QVector<Seen> seen;

private:
    void look() {
        auto* form = qobject_cast<SetForm*>(QApplication::activeModalWidget());
        if (!form || form == current_)
            return;
        current_ = form;
        seen.append({form->windowTitle(), describe(*form), form->pos(),
                     itemsOf(form->ComboAddress[1]), itemsOf(form->ComboAddress[2])});
        if (moveTo_)
            form->move(*moveTo_);
        timer_.stop();
        operate(*form);
        timer_.start();
    }

    void operate(SetForm& form) {
        for (const QString& step : steps_.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString verb = step.section(QLatin1Char(':'), 0, 0);
            const QString text = step.section(QLatin1Char(':'), 1);
            const int type = form.ComboPort->currentIndex();
            if (verb == QLatin1String("type"))
                pick(form.ComboPort, text);
            else if (verb == QLatin1String("route"))
                pick(form.ComboRoute, text);
            else if (verb == QLatin1String("address"))
                pick(form.ComboAddress[type], text);
            else if (verb == QLatin1String("number"))
                retype(form.ComboAddress[1], text);
            else if (verb == QLatin1String("mail"))
                retype(form.ComboRoute, text);
            else if (verb == QLatin1String("entry"))
                QTest::mouseClick(form.CommandEntry, Qt::LeftButton);
            else if (verb == QLatin1String("cancel"))
                QTest::mouseClick(form.CommandCan, Qt::LeftButton);
            else
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }

    QString steps_;
    std::optional<QPoint> moveTo_;
    QTimer timer_;
    QPointer<SetForm> current_;
};

// One test's world: a private prefix and settings holding six receive folders with rules, the
// engine double, two installed printers, one pager entry, and the shown main window.
struct World {
    World() {
        env.writeFile(env.windowsDirectory() + QStringLiteral("/KMB32.INI"),
                      Cp932::encode(kSuiteProfile));
        setSetting(QStringLiteral("AllTrans"), QStringLiteral("1"));
        setSetting(QStringLiteral("AllTransPort"), QStringLiteral("FAX"));
        setSetting(QStringLiteral("AllTransAdr"), kAllAdr);
        setSetting(QStringLiteral("FolderTRans"), QStringLiteral("1"));
        printers.installed = {QStringLiteral("Office"), QStringLiteral("PDF")};
        BellInf night;
        night.strTitle = QStringLiteral("夜間");
        night.rows[0] = {1, QStringLiteral("0312345678"), QStringLiteral("3")};
        Main::SaveBellEdit(0, night);
    }

    KmbRxTrans& shown() {
        window = std::make_unique<KmbRxTrans>(engine, link, clock, &printers);
        window->Form_Load();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the main window was not exposed");
        return *window;
    }

    // Row i in profile order, wherever sorting has put it.
    QPoint rowCentre(int i) const {
        return window->ListViewFolder->visualItemRect(window->folderRow(i)).center();
    }
    QWidget* listArea() const { return window->ListViewFolder->viewport(); }

    TestEnvironment env;
    FakeFaxEngine engine;
    FakeMonitorLink link;
    FixedClock clock;
    RecordingPrinters printers;
    RecordingMessageBoxes boxes;
    std::unique_ptr<KmbRxTrans> window;
};

QStringList screenColumn(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

// Whether some of the picture is drawn in a colour well apart from the background.
bool hasWriting(const QImage& picture, const QColor& background) {
    int written = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAbs(qGray(picture.pixel(x, y)) - qGray(background.rgb())) > 40)
                ++written;
        }
    }
    return written > 20;
}

void clickHeader(QTreeWidget* list, int column) {
    QHeaderView* header = list->header();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

} // namespace

class FolderListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { JapaneseFonts::installSubstitutions(); }

    void listShowsEachFolderWithItsRuleInProfileOrder() {
        World world;
        KmbRxTrans& w = world.shown();
        QTreeWidget* list = w.ListViewFolder;
        QCOMPARE(list->columnCount(), 4);
        QStringList headers;
        for (int c = 0; c < 4; ++c)
            headers << list->headerItem()->text(c);
        QCOMPARE(headers, QStringList({"受信フォルダ名", "種別", "転送先", "FAX ID"}));
        QCOMPARE(screenColumn(list, 0),
                 QStringList({"営業部", "総務部", "経理部", "大阪支店", "倉庫", "資材部"}));
        QCOMPARE(screenColumn(list, 1),
                 QStringList({"FAXまたはメールに転送", "プリンタで印刷", "FAXまたはメールに転送",
                              "FAXまたはメールに転送", "FAXまたはメールに転送", "プリンタで印刷"}));
        // Destinations as stored: a folder rule keeps an old route name until it is edited.
        QCOMPARE(screenColumn(list, 2),
                 QStringList({"0312345678＞ローカルモデム", "PDF", "0312345678",
                              "＞taro@example.jp", "0612345678＞ＮＰサーバー", "旧プリンタ"}));
        QCOMPARE(screenColumn(list, 3), QStringList({"0311112222", "0333334444", "0311112222",
                                                     "0355556666", "0377778888", "0399990000"}));
        QCOMPARE(w.LabelPort->text(), QStringLiteral("FAXまたはメールに転送"));
        QCOMPARE(w.LabelAddress->text(), kAllAdr);
        QCOMPARE(w.iMouseButton, short(0));
        QVERIFY(!w.bItemClicked);
    }

    // Check states 0 off, 1 on, 2 grey: only on enables the row and takes the mouse.
    void switchesGreyTheirRulesAndShutOutTheMouse_data() {
        QTest::addColumn<QString>("allTrans");
        QTest::addColumn<QString>("folderTrans");
        QTest::newRow("both on") << "1"
                                 << "1";
        QTest::newRow("both off") << "0"
                                  << "0";
        QTest::newRow("both grey") << "2"
                                   << "2";
        QTest::newRow("all-folders on, folders grey") << "1"
                                                      << "2";
        QTest::newRow("all-folders off, folders on") << "0"
                                                     << "1";
    }

    void switchesGreyTheirRulesAndShutOutTheMouse() {
        QFETCH(QString, allTrans);
        QFETCH(QString, folderTrans);
        World world;
        setSetting(QStringLiteral("AllTrans"), allTrans);
        setSetting(QStringLiteral("FolderTRans"), folderTrans);
        KmbRxTrans& w = world.shown();
        const bool allOn = allTrans == QLatin1String("1");
        const bool foldersOn = folderTrans == QLatin1String("1");
        const QColor background =
            allOn ? QGuiApplication::palette().color(QPalette::Base) : QColor(192, 192, 192);
        const QColor text =
            foldersOn ? QGuiApplication::palette().color(QPalette::Text) : QColor(128, 128, 128);

        for (QWidget* control :
             {static_cast<QWidget*>(w.LabelPort), static_cast<QWidget*>(w.LabelAddress),
              static_cast<QWidget*>(w.LabelTo), static_cast<QWidget*>(w.CommandSet)})
            QCOMPARE(control->isEnabled(), allOn);
        QCOMPARE(w.LabelPort->palette().color(QPalette::Window), background);
        QCOMPARE(w.LabelAddress->palette().color(QPalette::Window), background);
        // The rule stays readable when its switch is off.
        QVERIFY(hasWriting(w.LabelPort->grab(w.LabelPort->contentsRect()).toImage(), background));
        QVERIFY(
            hasWriting(w.LabelAddress->grab(w.LabelAddress->contentsRect()).toImage(), background));
        QCOMPARE(w.ListViewFolder->isEnabled(), foldersOn);
        QCOMPARE(w.ListViewFolder->palette().color(QPalette::Text), text);
        QVERIFY(w.CheckRecvFolder->isEnabled()); // there are folders to switch

        // The mouse: a double click and a right click on each rule, and nothing more.
        DialogUser user;
        doubleClick(w.LabelAddress, Qt::LeftButton);
        QTest::mouseClick(w.LabelPort, Qt::RightButton);
        QCOMPARE(w.MenuEdit->isVisible(), allOn);
        w.MenuEdit->hide();
        doubleClick(world.listArea(), Qt::LeftButton, world.rowCentre(1));
        QTest::mouseClick(world.listArea(), Qt::RightButton, {}, world.rowCentre(2));
        QCOMPARE(w.MenuEdit2->isVisible(), foldersOn);
        w.MenuEdit2->hide();
        QStringList captions;
        for (const DialogUser::Seen& dialog : user.seen)
            captions << dialog.caption;
        QStringList expected;
        if (allOn)
            expected << QStringLiteral("｢すべて｣の転送先の設定");
        if (foldersOn)
            expected << QStringLiteral("｢総務部｣の転送先の設定");
        QCOMPARE(captions, expected);

        // A click on a switch turns it on from any state, and the row follows.
        for (QCheckBox* box : {w.CheckTransAll, w.CheckRecvFolder}) {
            if (box->checkState() != Qt::Checked)
                QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(box->checkState(), Qt::Checked);
        }
        QVERIFY(w.LabelPort->isEnabled() && w.CommandSet->isEnabled());
        QCOMPARE(w.LabelAddress->palette().color(QPalette::Window),
                 QGuiApplication::palette().color(QPalette::Base));
        QVERIFY(w.ListViewFolder->isEnabled());
        QCOMPARE(w.ListViewFolder->palette().color(QPalette::Text),
                 QGuiApplication::palette().color(QPalette::Text));
    }

    // Only a left double click opens the dialog, on a label or on a row; a right one, one on the
    // empty part of the list, or one the window never saw pressed opens nothing.
    void onlyALeftDoubleClickOpensTheDialog_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("opened");
        const int left = Qt::LeftButton;
        const int right = Qt::RightButton;
        QTest::newRow("left on the type label") << "port" << left << "｢すべて｣の転送先の設定";
        QTest::newRow("left on the destination label")
            << "address" << left << "｢すべて｣の転送先の設定";
        QTest::newRow("right on the type label") << "port" << right << "";
        QTest::newRow("right on the destination label") << "address" << right << "";
        QTest::newRow("left on a row") << "row" << left << "｢大阪支店｣の転送先の設定";
        QTest::newRow("right on a row") << "row" << right << "";
        QTest::newRow("left on the empty part of the list") << "empty" << left << "";
        QTest::newRow("without the press before it") << "bare" << left << "";
    }

    void onlyALeftDoubleClickOpensTheDialog() {
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(QString, opened);
        World world;
        KmbRxTrans& w = world.shown();
        const auto mouseButton = static_cast<Qt::MouseButton>(button);
        const QPoint emptyPart(10, world.listArea()->height() - 5);
        QVERIFY(!w.ListViewFolder->itemAt(emptyPart));
        DialogUser user;
        if (target == QLatin1String("port"))
            doubleClick(w.LabelPort, mouseButton);
        else if (target == QLatin1String("address"))
            doubleClick(w.LabelAddress, mouseButton);
        else if (target == QLatin1String("row"))
            doubleClick(world.listArea(), mouseButton, world.rowCentre(3));
        else if (target == QLatin1String("empty"))
            doubleClick(world.listArea(), mouseButton, emptyPart);
        else
            QTest::mouseDClick(world.listArea(), mouseButton, {}, world.rowCentre(3));
        w.MenuEdit->hide();
        w.MenuEdit2->hide();
        QCOMPARE(user.seen.size(), opened.isEmpty() ? 0 : 1);
        if (!opened.isEmpty())
            QCOMPARE(user.seen.first().caption, opened);
    }

    // A right click on a row pops up the row's menu and selects the row its commands act on; on
    // the empty part of the list nothing pops up.
    void rightClickPopsUpTheRowMenuOnlyOverARow() {
        World world;
        KmbRxTrans& w = world.shown();
        const QPoint emptyPart(10, world.listArea()->height() - 5);
        QTest::mouseClick(world.listArea(), Qt::RightButton, {}, emptyPart);
        QVERIFY(!w.MenuEdit2->isVisible());
        QVERIFY(!w.bItemClicked);
        QCOMPARE(w.iMouseButton, short(2));

        QTest::mouseClick(world.listArea(), Qt::RightButton, {}, world.rowCentre(4));
        QVERIFY(w.bItemClicked);
        QVERIFY(w.folderRow(4)->isSelected());
        QCOMPARE(w.MenuEdit2->actions().size(), 2);
        choose(w.MenuEdit2, w.MenuEditCan2);
        const ForwardingRuleStore rules = w.ruleStore();
        QCOMPARE(rules.rows[4].strFolder, QStringLiteral("倉庫"));
        QCOMPARE(rules.rows[4].strFaxId, QStringLiteral("0377778888"));
        QCOMPARE(rules.rows[4].rule.strPort, QStringLiteral("(なし)"));
        QCOMPARE(rules.rows[4].rule.strAdr, QString());
        QCOMPARE(rules.rows[3].rule.strAdr, QStringLiteral("＞taro@example.jp"));
        QCOMPARE(w.CheckRecvFolder->checkState(), Qt::Checked);

        // "編集(&E)" of the row's menu edits the row that was right-clicked.
        DialogUser user;
        QTest::mouseClick(world.listArea(), Qt::RightButton, {}, world.rowCentre(1));
        choose(w.MenuEdit2, w.MenuEditEdit2);
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().caption, QStringLiteral("｢総務部｣の転送先の設定"));
        QCOMPARE(user.seen.first().opening, QStringLiteral("2|PDF"));
    }

    // "転送しない(&C)" of the all-folders rule empties it and turns its switch off.
    void clearingTheAllFoldersRuleTurnsItsSwitchOff() {
        World world;
        KmbRxTrans& w = world.shown();
        QTest::mouseClick(w.LabelAddress, Qt::RightButton);
        choose(w.MenuEdit, w.MenuEditCan);
        QCOMPARE(w.LabelPort->text(), QStringLiteral("(なし)"));
        QCOMPARE(w.LabelAddress->text(), QString());
        QCOMPARE(w.CheckTransAll->checkState(), Qt::Unchecked);
        QVERIFY(!w.LabelPort->isEnabled() && !w.CommandSet->isEnabled());
        QCOMPARE(w.LabelPort->palette().color(QPalette::Window), QColor(192, 192, 192));
        QCOMPARE(w.ruleStore().rows[0].rule.strAdr, QStringLiteral("0312345678＞ローカルモデム"));
    }

    // Every header click sorts by its column and flips the direction, whichever column it is;
    // the rows keep their keys when written.
    void headerClicksSortAndFlipTheDirection() {
        World world;
        KmbRxTrans& w = world.shown();
        QTreeWidget* list = w.ListViewFolder;
        clickHeader(list, 3);
        QCOMPARE(screenColumn(list, 3), QStringList({"0311112222", "0311112222", "0333334444",
                                                     "0355556666", "0377778888", "0399990000"}));
        clickHeader(list, 3);
        QCOMPARE(screenColumn(list, 3), QStringList({"0399990000", "0377778888", "0355556666",
                                                     "0333334444", "0311112222", "0311112222"}));
        clickHeader(list, 2);
        QCOMPARE(screenColumn(list, 2), QStringList({"0312345678", "0312345678＞ローカルモデム",
                                                     "0612345678＞ＮＰサーバー", "PDF",
                                                     "旧プリンタ", "＞taro@example.jp"}));
        clickHeader(list, 0);
        QCOMPARE(screenColumn(list, 0),
                 QStringList({"資材部", "総務部", "経理部", "大阪支店", "営業部", "倉庫"}));
        QCOMPARE(list->header()->sortIndicatorSection(), 0);
        QCOMPARE(list->header()->sortIndicatorOrder(), Qt::DescendingOrder);

        // A row edited on the sorted screen is still written under its own key.
        DialogUser user(QStringLiteral("address:Office;entry"));
        doubleClick(world.listArea(), Qt::LeftButton, world.rowCentre(1));
        QCOMPARE(user.seen.size(), 1);
        w.INS_bWriteFolders();
        QCOMPARE(IniFile::strReadIni(QStringLiteral("KMB32.INI"), QStringLiteral("AGENT-Recv"),
                                     QStringLiteral("2")),
                 QStringLiteral("0333334444,総務部⇒P/Office"));
        QCOMPARE(IniFile::strReadIni(QStringLiteral("KMB32.INI"), QStringLiteral("AGENT-Recv"),
                                     QStringLiteral("6")),
                 QStringLiteral("0399990000,資材部⇒P/旧プリンタ"));
    }

    // The number list offers every fax rule's number: twice when two rules use it, and the
    // all-folders rule's while its switch is off. The printers are the installed ones.
    void dialogListsEveryRulesNumberAndTheInstalledPrinters() {
        World world;
        setSetting(QStringLiteral("AllTrans"), QStringLiteral("0"));
        world.printers.installed = {QStringLiteral("Office"), QStringLiteral("DORVATEK KORIMBA"),
                                    QStringLiteral("PDF")};
        KmbRxTrans& w = world.shown();
        DialogUser user;
        doubleClick(world.listArea(), Qt::LeftButton, world.rowCentre(5));
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().numbers,
                 QStringList({"0298765432", "0312345678", "0312345678", "0612345678"}));
        QCOMPARE(user.seen.first().printers, QStringList({"Office", "PDF"}));
        // A printer that is gone opens without a selection.
        QCOMPARE(user.seen.first().opening, QStringLiteral("2|-"));
        QCOMPARE(w.ruleStore().rows[5].rule.strAdr, QStringLiteral("旧プリンタ"));
    }

    // Each rule edited through the dialog: what the dialog opens with, and what reaches the
    // stores when they are next written, with everything else in them as it was.
    void editedRulesReachTheStoresAndNothingElseChanges_data() {
        QTest::addColumn<QString>("rule"); // "all" or the folder's key
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("entry");             // the folder's entry afterwards
        QTest::addColumn<QStringList>("settingsAfter"); // changed settings

        QTest::newRow("printer chosen for a printer rule")
            << "2"
            << "row" << 2 << "2|PDF"
            << "address:Office;entry"
            << "0333334444,総務部⇒P/Office" << QStringList();
        QTest::newRow("another route and number")
            << "1"
            << "popup" << 2 << "1|0312345678|ローカルモデム"
            << "route:FAXモデム共有サーバー;number:0398765432;entry"
            << "0311112222,営業部⇒F/0398765432＞FAXモデム共有サーバー" << QStringList();
        QTest::newRow("mail address as route, unchanged")
            << "4"
            << "row" << 2 << "1|-|taro@example.jp"
            << "entry"
            << "0355556666,大阪支店⇒F/＞taro@example.jp" << QStringList();
        QTest::newRow("old route name keeps its number")
            << "5"
            << "row" << 2 << "1|0612345678|FAXモデム共有サーバー"
            << "entry"
            << "0377778888,倉庫⇒F/0612345678＞FAXモデム共有サーバー" << QStringList();
        QTest::newRow("no forwarding for a folder, its switch stays on")
            << "3"
            << "popup" << 2 << "1|0312345678|"
            << "type:(なし);entry"
            << "0311112222,経理部" << QStringList();
        QTest::newRow("typed mail address")
            << "3"
            << "row" << 2 << "1|0312345678|"
            << "route:メールアドレスを直接入力;mail:hanako@example.jp;entry"
            << "0311112222,経理部⇒F/＞hanako@example.jp" << QStringList();
        QTest::newRow("removed printer replaced") << "6"
                                                  << "row" << 2 << "2|-"
                                                  << "address:PDF;entry"
                                                  << "0399990000,資材部⇒P/PDF" << QStringList();
        QTest::newRow("engine without routes stores the number alone")
            << "1"
            << "row" << 1 << "1|0312345678|-"
            << "entry"
            << "0311112222,営業部⇒F/0312345678" << QStringList();
        QTest::newRow("cancelled")
            << "1"
            << "row" << 2 << "1|0312345678|ローカルモデム"
            << "number:0399999999;type:プリンタで印刷;address:PDF;cancel"
            << "0311112222,営業部⇒F/0312345678＞ローカルモデム" << QStringList();
        QTest::newRow("all folders to a pager entry")
            << "all"
            << "button" << 2 << "1|0298765432|ローカルモデム"
            << "type:ポケベル呼出し;address:夜間;entry" << QString()
            << QStringList({"AllTransAdr=夜間", "AllTransPort=ポケベル呼出し"});
        QTest::newRow("all folders to another route")
            << "all"
            << "popup" << 2 << "1|0298765432|ローカルモデム"
            << "route:インターネットFAXの標準の宛先;entry" << QString()
            << QStringList({"AllTransAdr=0298765432＞インターネットFAXの標準の宛先"});
        QTest::newRow("no forwarding for all folders turns its switch off")
            << "all"
            << "label" << 2 << "1|0298765432|ローカルモデム"
            << "type:(なし);entry" << QString()
            << QStringList({"AllTrans=0", "AllTransAdr=", "AllTransPort=(なし)"});
    }

    void editedRulesReachTheStoresAndNothingElseChanges() {
        QFETCH(QString, rule);
        QFETCH(QString, how);
        QFETCH(int, level);
        QFETCH(QString, opening);
        QFETCH(QString, steps);
        QFETCH(QString, entry);
        QFETCH(QStringList, settingsAfter);
        World world;
        world.engine.level = level;
        KmbRxTrans& w = world.shown();
        // What writing stores without any edit is the measure for what the edit changed.
        w.INS_bWriteFolders();
        const QStringList profileBefore = suiteProfileLines(world.env);
        const QStringList settingsBefore = allSettings();

        const bool allFolders = rule == QLatin1String("all");
        const int row = allFolders ? -1 : rule.toInt() - 1;
        const QString folder = allFolders ? QStringLiteral("すべて") : w.folderRow(row)->text(0);
        DialogUser user(steps);
        if (allFolders && how == QLatin1String("button")) {
            QTest::mouseClick(w.CommandSet, Qt::LeftButton);
        } else if (allFolders && how == QLatin1String("label")) {
            doubleClick(w.LabelPort, Qt::LeftButton);
        } else if (allFolders) {
            QTest::mouseClick(w.LabelPort, Qt::RightButton);
            choose(w.MenuEdit, w.MenuEditEdit);
        } else if (how == QLatin1String("row")) {
            doubleClick(world.listArea(), Qt::LeftButton, world.rowCentre(row));
        } else {
            QTest::mouseClick(world.listArea(), Qt::RightButton, {}, world.rowCentre(row));
            choose(w.MenuEdit2, w.MenuEditEdit2);
        }
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().caption, QStringLiteral("｢%1｣の転送先の設定").arg(folder));
        QCOMPARE(user.seen.first().opening, opening);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(world.boxes.shown().size(), 0);

        w.INS_bWriteFolders();
        QStringList profileExpected = profileBefore;
        if (!allFolders) {
            const int section = profileExpected.indexOf(QStringLiteral("[AGENT-Recv]"));
            int at = section + 1;
            while (at < profileExpected.size() && !profileExpected[at].startsWith(rule + '='))
                ++at;
            QVERIFY(section >= 0 && at < profileExpected.size());
            profileExpected[at] = rule + QLatin1Char('=') + entry;
        }
        QCOMPARE(suiteProfileLines(world.env), profileExpected);

        QStringList settingsExpected = settingsBefore;
        for (const QString& changed : settingsAfter) {
            const QString key = changed.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
            auto at = std::find_if(settingsExpected.begin(), settingsExpected.end(),
                                   [&](const QString& value) { return value.startsWith(key); });
            QVERIFY(at != settingsExpected.end());
            *at = changed;
        }
        QCOMPARE(allSettings(), settingsExpected);
    }

    // The first dialog opens where the settings put it, every later one where the one before was
    // left; a position no screen shows is not used. Writing stores where the dialog was left.
    void destinationDialogOpensWhereItWasLeft_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("firstAt"); // null: wherever the system puts a dialog
        QTest::addColumn<QString>("storedLeftUnmoved");
        QTest::newRow("stored") << "1500"
                                << "750" << QPoint(100, 50) << "1500";
        QTest::newRow("between two pixels") << "1507"
                                            << "752" << QPoint(100, 50) << "1507";
        QTest::newRow("never stored") << ""
                                      << "" << QPoint(0, 0) << "0";
        QTest::newRow("off every screen") << "-3000000"
                                          << "0" << QPoint() << "";
        QTest::newRow("beyond any number") << "1e30"
                                           << "1e30" << QPoint() << "";
    }

    void destinationDialogOpensWhereItWasLeft() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, firstAt);
        QFETCH(QString, storedLeftUnmoved);
        World world;
        if (!left.isEmpty()) {
            setSetting(QStringLiteral("Form2Left"), left);
            setSetting(QStringLiteral("Form2Top"), top);
        }
        KmbRxTrans& w = world.shown();
        const auto stored = [](const char* key) {
            return SettingsStore::getSetting(QStringLiteral("KmbRxTrans"),
                                             QStringLiteral("Setting"), QString::fromLatin1(key));
        };

        QPoint shownAt;
        {
            DialogUser unmoved;
            QTest::mouseClick(w.CommandSet, Qt::LeftButton);
            QCOMPARE(unmoved.seen.size(), 1);
            shownAt = unmoved.seen.first().position;
        }
        if (!firstAt.isNull())
            QCOMPARE(shownAt, firstAt);
        QVERIFY(QGuiApplication::screenAt(shownAt + QPoint(10, 1)));
        w.INS_bWriteFolders();
        QCOMPARE(stored("Form2Left"), storedLeftUnmoved.isEmpty()
                                          ? QString::number(Twips::fromPixels(shownAt.x()))
                                          : storedLeftUnmoved);

        DialogUser mover;
        mover.moveTo(QPoint(200, 120));
        QTest::mouseClick(w.CommandSet, Qt::LeftButton);
        QTest::mouseClick(w.CommandSet, Qt::LeftButton);
        QCOMPARE(mover.seen.size(), 2);
        QCOMPARE(mover.seen.at(1).position, QPoint(200, 120));
        w.INS_bWriteFolders();
        QCOMPARE(stored("Form2Left"), QStringLiteral("3000"));
        QCOMPARE(stored("Form2Top"), QStringLiteral("1800"));
    }

    // An edit acts at once: the next reception is forwarded by the rule as edited, also while
    // waiting, before anything is stored.
    void anEditedRuleForwardsTheNextReception() {
        World world;
        KmbRxTrans& w = world.shown();
        w.INS_StartWaiting();
        {
            DialogUser user(QStringLiteral("address:Office;entry"));
            doubleClick(world.listArea(), Qt::LeftButton, world.rowCentre(1));
            QCOMPARE(user.seen.size(), 1);
        }
        world.engine.log = {{QStringLiteral("2026/04/01 09:10:00"), 1, 0,
                             QStringLiteral("0333334444"), QStringLiteral("/faxes/0001.tif")}};
        world.engine.notify();
        QFile log(w.forwardingLog().path());
        QVERIFY(log.open(QIODevice::ReadOnly));
        // The all-folders rule's line, then the folder's.
        const QStringList lines =
            QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1).split(QLatin1Char('\t')).mid(1, 4),
                 QStringList({"0333334444", "/faxes/0001.tif", "プリンタで印刷", "Office"}));
        QCOMPARE(IniFile::strReadIni(QStringLiteral("KMB32.INI"), QStringLiteral("AGENT-Recv"),
                                     QStringLiteral("2")),
                 QStringLiteral("0333334444,総務部⇒P/PDF"));
    }

    // The main window with its rows, for people to look at.
    void screenshot() {
        World world;
        KmbRxTrans& w = world.shown();
        const QString folder =
            qEnvironmentVariable("TOVALDE_BUILD_DIR", QDir::currentPath()) + "/screenshots";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(w.grab().save(folder + QStringLiteral("/KmbRxTrans-folders.png")));
        setSetting(QStringLiteral("AllTrans"), QStringLiteral("0"));
        setSetting(QStringLiteral("FolderTRans"), QStringLiteral("0"));
        KmbRxTrans& off = world.shown();
        QVERIFY(off.grab().save(folder + QStringLiteral("/KmbRxTrans-switched-off.png")));
    }
};

QTEST_MAIN(FolderListTest)
#include "test_folder_list.moc"
