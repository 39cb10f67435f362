// The destination dialog driven as a person drives it: picking from its lists with the mouse,
// typing into its boxes, pressing its buttons; prepared and read back the way the rule editing
// of the main window does.
#include "IniFile.h"
#include "JapaneseFonts.h"
#include "KmBell.h"
#include "Main.h"
#include "PortEncoding.h"
#include "RecordingMessageBoxes.h"
#include "RecordingPrinters.h"
#include "SetForm.h"
#include "TestEnvironment.h"
#include "Twips.h"
#include "WidgetDriving.h"
#include "WidgetItemList.h"
#include "WinAPI_Define.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kCaption = QStringLiteral("｢受信フォルダ1｣の転送先の設定");
const QString kPagerQuestion =
    QStringLiteral("ポケベル呼び出しの登録がありません。\r\n\r\nポケベルの登録をしますか？");
const QStringList kFixedRoutes{"メールアドレスを直接入力", "ローカルモデム",
                               "FAXモデム共有サーバー", "インターネットFAXの標準の宛先"};

// The controls whose visibility changes with the choices.
const QStringList kChangingControls{"LabelRoute",    "ComboRoute",    "ComboAddress0",
                                    "ComboAddress1", "ComboAddress2", "ComboAddress3",
                                    "CommandHint"};

QStringList visibleChangingControls(const SetForm& form) {
    QStringList visible;
    for (const QString& name : kChangingControls) {
        const auto* widget = form.findChild<QWidget*>(name);
        if (widget && widget->isVisible())
            visible.append(name);
    }
    return visible;
}

void writeIfaxProfiles(const QString& count, const QStringList& names) {
    const QString file = QStringLiteral("C:\\KORIMBA\\Inifile\\IFAXPROF.INI");
    QVERIFY(IniFile::bWriteIni(file, "IFAXPROF", "PROFILECNT", count));
    for (int i = 0; i < names.size(); ++i)
        QVERIFY(IniFile::bWriteIni(file, "IFAXPROF", QStringLiteral("PROFILENAME%1").arg(i + 1),
                                   names[i]));
}

// The suite as its set-up leaves it, written directly where the suite's own command is not the
// subject: two profiles around a template.
void writeSuiteProfiles() {
    QVERIFY(IniFile::bWriteIni(QStringLiteral("KMB32.INI"), "Path", "KMB Directory",
                               QStringLiteral("C:\\KORIMBA\\")));
    writeIfaxProfiles(QStringLiteral("3"),
                      {"本社", "（テンプレート）新しいプロファイル", "大阪支店"});
}

void writePagerEntries(const QStringList& titles) {
    for (int slot = 0; slot < titles.size(); ++slot) {
        BellInf entry;
        entry.strTitle = titles[slot];
        entry.rows[0] = {1, QStringLiteral("0312345678"), QStringLiteral("3")};
        Main::SaveBellEdit(slot, entry);
    }
}

// Answers the modal dialogs of type T that open while it lives by closing them, and counts them.
template <typename T> class ModalCloser {
public:
    ModalCloser() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                ++closed;
                dialog->reject();
            }
        });
        timer_.start();
    }
    int closed = 0;

private:
    QTimer timer_;
};

// What the rule editing of the main window puts into the dialog and reads back from it.
struct Stored {
    int type = 0;
    QString adr;
};

struct Lists {
    QStringList faxNumbers;
    QStringList printers;
};

void prepareAsTheRuleEditingDoes(SetForm& form, const Stored& rule, const Lists& lists) {
    form.setWindowTitle(kCaption);
    form.ComboPort->setCurrentIndex(rule.type);
    form.CommandHint->setVisible(rule.type != 0);
    ComboBoxItems numbers(form.ComboAddress[1]);
    numbers.clear();
    for (const QString& number : lists.faxNumbers)
        numbers.addItem(number);
    RecordingPrinters printers;
    printers.installed = lists.printers;
    ComboBoxItems printerItems(form.ComboAddress[2]);
    printerItems.clear();
    WinAPI_Define::SetPrinterList(printerItems, printers);
    ComboBoxItems titles(form.ComboAddress[3]);
    Main::SetBellTitleListNoTemplate(titles);
    for (QComboBox* box : form.ComboAddress) {
        if (box->isEditable())
            box->setEditText(QString());
    }
    if (rule.type == 1) {
        form.ComboAddress[1]->setEditText(PortEncoding::INS_strGetFaxNumber(rule.adr));
        if (form.g_varEngineLevel() >= 2)
            form.ComboRoute->setEditText(PortEncoding::INS_strGetFaxRoute(rule.adr));
    } else if (rule.type > 1) {
        form.ComboAddress[rule.type]->setCurrentIndex(
            form.ComboAddress[rule.type]->findText(rule.adr, Qt::MatchExactly));
    }
}

Stored readBackAsTheRuleEditingDoes(const SetForm& form) {
    Stored rule;
    rule.type = form.ComboPort->currentIndex();
    rule.adr = form.ComboAddress[rule.type]->currentText();
    const QString route = form.ComboRoute->currentText();
    if (!route.isEmpty() && rule.type == 1 && form.g_varEngineLevel() >= 2)
        rule.adr += QStringLiteral("＞") + route;
    return rule;
}

} // namespace

class SetFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { JapaneseFonts::installSubstitutions(); }

    void init() {
        env_ = std::make_unique<TestEnvironment>();
        boxes_ = std::make_unique<RecordingMessageBoxes>();
    }

    void cleanup() {
        boxes_.reset();
        env_.reset();
    }

    void controlsSitWhereTheLayoutPutsThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("text");
        QTest::newRow("Image1") << "Image1" << QRect(180, 180, 6225, 1635) << QString();
        QTest::newRow("LabelPort") << "LabelPort" << QRect(400, 450, 885, 255) << "転送種別：";
        QTest::newRow("ComboPort") << "ComboPort" << QRect(1305, 405, 2310, 300) << QString();
        QTest::newRow("LabelRoute") << "LabelRoute" << QRect(400, 885, 885, 255) << "通信経路：";
        QTest::newRow("ComboRoute") << "ComboRoute" << QRect(1320, 840, 3060, 300) << QString();
        QTest::newRow("LabelAddress")
            << "LabelAddress" << QRect(400, 1365, 870, 255) << "FAX番号：";
        QTest::newRow("ComboAddress0")
            << "ComboAddress0" << QRect(1320, 1320, 4920, 300) << QString();
        QTest::newRow("ComboAddress1")
            << "ComboAddress1" << QRect(1320, 1320, 4920, 300) << QString();
        QTest::newRow("ComboAddress2")
            << "ComboAddress2" << QRect(1305, 1320, 4920, 300) << QString();
        QTest::newRow("ComboAddress3")
            << "ComboAddress3" << QRect(1305, 1320, 4920, 300) << QString();
        QTest::newRow("CommandHint") << "CommandHint" << QRect(180, 1920, 1140, 300) << "ヒント";
        QTest::newRow("CommandEntry") << "CommandEntry" << QRect(4050, 1920, 1140, 300) << "登録";
        QTest::newRow("CommandCan") << "CommandCan" << QRect(5280, 1920, 1140, 300) << "キャンセル";
    }

    void controlsSitWhereTheLayoutPutsThem() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(QString, text);
        SetForm form(2);
        auto* widget = form.findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), &form);
        QCOMPARE(widget->geometry(),
                 Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), text);
        if (auto* button = qobject_cast<QPushButton*>(widget))
            QCOMPARE(button->text(), text);
    }

    void dialogStartsInItsDesignState() {
        SetForm form(2);
        QCOMPARE(form.windowTitle(), QStringLiteral("転送先の設定"));
        QCOMPARE(form.size(), QSize(Twips::toPixels(6645), Twips::toPixels(2400)));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(itemsOf(form.ComboPort), (QStringList{"(なし)", "FAXまたはメールに転送",
                                                       "プリンタで印刷", "ポケベル呼出し"}));
        QVERIFY(!form.ComboPort->isEditable());
        QVERIFY(form.ComboRoute->isEditable());
        QVERIFY(form.ComboAddress[0]->isEditable());
        QVERIFY(form.ComboAddress[1]->isEditable());
        QVERIFY(!form.ComboAddress[2]->isEditable());
        QVERIFY(!form.ComboAddress[3]->isEditable());
        QCOMPARE(form.tag(), QString());
        QCOMPARE(boxes_->shown().size(), 0);
    }

    void tabOrderRunsFromEntryToHint() {
        SetForm form(2);
        form.setWindowTitle(kCaption);
        form.ComboPort->setCurrentIndex(1);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.CommandEntry);
        QStringList order;
        for (int i = 0; i < 7; ++i) {
            order.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Hidden boxes take no focus; the route box's edit field belongs to the route box.
        QCOMPARE(order, (QStringList{"CommandEntry", "CommandCan", "ComboPort", "ComboRoute",
                                     "ComboAddress1", "CommandHint", "CommandEntry"}));
    }

    void eachTypeShowsItsRows_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("visible");
        QTest::addColumn<QString>("addressCaption");
        QTest::addColumn<int>("routes");
        QTest::newRow("none") << 2 << "(なし)" << QStringList{} << QString() << 0;
        QTest::newRow("fax, level 2")
            << 2 << "FAXまたはメールに転送"
            << QStringList{"LabelRoute", "ComboRoute", "ComboAddress1", "CommandHint"}
            << "FAX番号：" << 6;
        QTest::newRow("fax, level 3")
            << 3 << "FAXまたはメールに転送"
            << QStringList{"LabelRoute", "ComboRoute", "ComboAddress1", "CommandHint"}
            << "FAX番号：" << 6;
        QTest::newRow("fax, level 1")
            << 1 << "FAXまたはメールに転送" << QStringList{"ComboAddress1", "CommandHint"}
            << "FAX番号：" << 0;
        QTest::newRow("fax, level 0")
            << 0 << "FAXまたはメールに転送" << QStringList{"ComboAddress1", "CommandHint"}
            << "FAX番号：" << 0;
        QTest::newRow("printer") << 2 << "プリンタで印刷"
                                 << QStringList{"ComboAddress2", "CommandHint"} << "プリンタ名："
                                 << 0;
        QTest::newRow("pager") << 2 << "ポケベル呼出し"
                               << QStringList{"ComboAddress3", "CommandHint"} << "タイトル：" << 0;
    }

    void eachTypeShowsItsRows() {
        writeSuiteProfiles();
        QFETCH(int, level);
        QFETCH(QString, type);
        QFETCH(QStringList, visible);
        QFETCH(QString, addressCaption);
        QFETCH(int, routes);
        writePagerEntries({QStringLiteral("営業部")});
        SetForm form(level);
        form.setWindowTitle(kCaption);
        form.ComboPort->setCurrentIndex(2);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // From another type first, so every row the type does not own has been shown before.
        pick(form.ComboPort, QStringLiteral("FAXまたはメールに転送"));
        pick(form.ComboPort, QStringLiteral("ポケベル呼出し"));
        pick(form.ComboPort, type);
        QCOMPARE(visibleChangingControls(form), visible);
        QCOMPARE(form.LabelAddress->text(), addressCaption);
        QCOMPARE(form.ComboRoute->count(), routes);
        QCOMPARE(form.ComboRoute->currentText(), QString());
        QVERIFY(form.LabelPort->isVisible());
        QVERIFY(form.ComboPort->isVisible());
        QVERIFY(form.LabelAddress->isVisible());
        QCOMPARE(boxes_->shown().size(), 0);
    }

    void routeListHoldsTheFixedRoutesAndTheSuitesProfiles() {
        runSuiteInit();
        SetForm form(2);
        form.setWindowTitle(kCaption);
        form.ComboPort->setCurrentIndex(0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString fax = QStringLiteral("FAXまたはメールに転送");
        const QString printer = QStringLiteral("プリンタで印刷");

        // As the suite set itself up: one template among two profiles.
        pick(form.ComboPort, fax);
        QCOMPARE(itemsOf(form.ComboRoute), (kFixedRoutes + QStringList{"本社", "大阪支店"}));
        QCOMPARE(form.strSuiteIniPath, QStringLiteral("KMB32.INI"));
        QCOMPARE(form.strSuiteDir, QStringLiteral("C:\\KORIMBA\\"));
        QCOMPARE(form.strIfaxProfPath, QStringLiteral("C:\\KORIMBA\\Inifile\\IFAXPROF.INI"));

        // The suite changes its profiles while the dialog is open; choosing the type reads them.
        writeIfaxProfiles(QStringLiteral("2.5"), {"本社", "東京", "大阪支店"});
        QCOMPARE(itemsOf(form.ComboRoute), (kFixedRoutes + QStringList{"本社", "大阪支店"}));
        pick(form.ComboPort, printer);
        QCOMPARE(form.ComboRoute->count(), 0);
        pick(form.ComboPort, fax);
        QCOMPARE(itemsOf(form.ComboRoute), (kFixedRoutes + QStringList{"本社", "東京"}));

        writeIfaxProfiles(QStringLiteral("3.5"), {"本社", "（テンプレート）", "大阪支店", "福岡"});
        pick(form.ComboPort, printer);
        pick(form.ComboPort, fax);
        QCOMPARE(itemsOf(form.ComboRoute),
                 (kFixedRoutes + QStringList{"本社", "大阪支店", "福岡"}));

        writeIfaxProfiles(QString(), {});
        pick(form.ComboPort, printer);
        pick(form.ComboPort, fax);
        QCOMPARE(itemsOf(form.ComboRoute), kFixedRoutes);
        QCOMPARE(form.ComboRoute->currentText(), QString());
    }

    void routeListFollowsTheWindowsDirectoryVariable() {
        runSuiteInit();
        env_->setVariable("windir", QByteArray("C:\\WINDOWS"));
        SetForm form(2);
        form.ComboPort->setCurrentIndex(1);
        QCOMPARE(form.strSuiteIniPath, QStringLiteral("C:\\WINDOWS\\KMB32.INI"));
        QCOMPARE(itemsOf(form.ComboRoute), (kFixedRoutes + QStringList{"本社", "大阪支店"}));

        // Without the suite profile only the fixed routes remain, and nothing is reported.
        QVERIFY(QFile::remove(env_->windowsDirectory() + QStringLiteral("/KMB32.INI")));
        form.ComboPort->setCurrentIndex(0);
        form.ComboPort->setCurrentIndex(1);
        QCOMPARE(form.strSuiteDir, QString());
        QCOMPARE(form.strIfaxProfPath, QStringLiteral("Inifile\\IFAXPROF.INI"));
        QCOMPARE(itemsOf(form.ComboRoute), kFixedRoutes);
        QCOMPARE(boxes_->shown().size(), 0);
    }

    void directMailPromptTakesTheNumberAway() {
        SetForm form(2);
        form.setWindowTitle(kCaption);
        form.ComboPort->setCurrentIndex(1);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QComboBox* number = form.ComboAddress[1];

        pick(form.ComboRoute, QStringLiteral("ローカルモデム"));
        typeInto(number, QStringLiteral("03-1234-5678"));
        QCOMPARE(number->currentText(), QStringLiteral("03-1234-5678"));

        pick(form.ComboRoute, QStringLiteral("メールアドレスを直接入力"));
        QCOMPARE(form.ComboRoute->currentText(), QStringLiteral("ここにメールアドレスを入力"));
        QVERIFY(!number->isVisible());
        QCOMPARE(number->currentText(), QString());
        QCOMPARE(form.LabelAddress->text(), QString());

        pick(form.ComboRoute, QStringLiteral("ローカルモデム"));
        QVERIFY(number->isVisible());
        QCOMPARE(number->currentText(), QString());
        QCOMPARE(form.LabelAddress->text(), QStringLiteral("FAX番号："));

        // Registering with the prompt still there stores no route.
        pick(form.ComboRoute, QStringLiteral("メールアドレスを直接入力"));
        QTest::mouseClick(form.CommandEntry, Qt::LeftButton);
        QCOMPARE(form.tag(), QStringLiteral("Entry"));
        QVERIFY(form.isHidden());
        QCOMPARE(form.ComboRoute->currentText(), QString());
        QCOMPARE(readBackAsTheRuleEditingDoes(form).adr, QString());
        QCOMPARE(boxes_->shown().size(), 0);
    }

    void typedRoutesKeepTheNumberOnlyForListEntries_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("numberRow");
        QTest::addColumn<QString>("routeText");
        QTest::newRow("mail address") << "taro@example.jp" << false << "taro@example.jp";
        QTest::newRow("fixed route") << "ローカルモデム" << true << "ローカルモデム";
        QTest::newRow("suite profile") << "大阪支店" << true << "大阪支店";
        QTest::newRow("route in hiragana") << "ろーかるもでむ" << false << "ろーかるもでむ";
        QTest::newRow("route in other case")
            << "faxモデム共有サーバー" << false << "faxモデム共有サーバー";
        QTest::newRow("route with a blank") << "ローカルモデム " << false << "ローカルモデム ";
        QTest::newRow("old route name") << "ＮＰサーバー" << false << "ＮＰサーバー";
        QTest::newRow("direct-mail entry typed out")
            << "メールアドレスを直接入力" << false << "ここにメールアドレスを入力";
    }

    void typedRoutesKeepTheNumberOnlyForListEntries() {
        writeSuiteProfiles();
        QFETCH(QString, typed);
        QFETCH(bool, numberRow);
        QFETCH(QString, routeText);
        SetForm form(2);
        form.setWindowTitle(kCaption);
        form.ComboPort->setCurrentIndex(1);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QComboBox* number = form.ComboAddress[1];
        pick(form.ComboRoute, QStringLiteral("FAXモデム共有サーバー"));
        typeInto(number, QStringLiteral("0612345678"));

        eraseText(form.ComboRoute);
        QVERIFY(!number->isVisible());
        QCOMPARE(number->currentText(), QString());
        typeInto(form.ComboRoute, typed);
        QCOMPARE(form.ComboRoute->currentText(), routeText);
        QCOMPARE(number->isVisible(), numberRow);
        QCOMPARE(form.LabelAddress->text(), numberRow ? QStringLiteral("FAX番号：") : QString());
        QCOMPARE(number->currentText(), QString());

        // Enter neither adds the text to the list nor registers the rule.
        QTest::keyClick(form.ComboRoute->lineEdit(), Qt::Key_Return);
        QCOMPARE(form.ComboRoute->count(), 6);
        QCOMPARE(form.ComboRoute->currentText(), routeText);
        QCOMPARE(number->isVisible(), numberRow);
        QVERIFY(form.isVisible());
        QCOMPARE(form.tag(), QString());
    }

    void numberBoxTakesNoRouteSeparator() {
        SetForm form(2);
        prepareAsTheRuleEditingDoes(form, {1, QStringLiteral("＞ローカルモデム")}, {});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        typeInto(form.ComboAddress[1], QStringLiteral("03>1234＞5678"));
        QCOMPARE(form.ComboAddress[1]->currentText(), QStringLiteral("0312345678"));
        QTest::mouseClick(form.CommandEntry, Qt::LeftButton);
        QCOMPARE(readBackAsTheRuleEditingDoes(form).adr,
                 QStringLiteral("0312345678＞ローカルモデム"));
    }

    void entryRefusesAnEmptyPrinterOrTitle_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("message");
        QTest::newRow("printer") << "プリンタで印刷"
                                 << "プリンタ名を設定してください.";
        QTest::newRow("pager title") << "ポケベル呼出し"
                                     << "タイトルを設定してください.";
    }

    void entryRefusesAnEmptyPrinterOrTitle() {
        QFETCH(QString, type);
        QFETCH(QString, message);
        writePagerEntries({QStringLiteral("営業部")});
        SetForm form(2);
        prepareAsTheRuleEditingDoes(form, {0, QString()}, {{}, {"Office", "PDF"}});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        pick(form.ComboPort, type);
        QTest::mouseClick(form.CommandEntry, Qt::LeftButton);

        QCOMPARE(boxes_->shown().size(), 1);
        const MessageBox::Request& box = boxes_->shown().first();
        QCOMPARE(box.text, message);
        QCOMPARE(box.title, kCaption);
        QCOMPARE(box.icon, MessageBox::Icon::Exclamation);
        QCOMPARE(box.buttons, MessageBox::Buttons::Ok);
        QVERIFY(form.isVisible());
        QCOMPARE(form.tag(), QString());

        // Choosing a value lets the same press through.
        const int type_ = form.ComboPort->currentIndex();
        pick(form.ComboAddress[type_], form.ComboAddress[type_]->itemText(0));
        QTest::mouseClick(form.CommandEntry, Qt::LeftButton);
        QCOMPARE(boxes_->shown().size(), 1);
        QCOMPARE(form.tag(), QStringLiteral("Entry"));
        QVERIFY(form.isHidden());
    }

    void entryAcceptsNoneAndAnEmptyFaxDestination_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("level");
        QTest::newRow("none") << 0 << 2;
        QTest::newRow("fax without number or route") << 1 << 2;
        QTest::newRow("fax without number, no routes") << 1 << 1;
    }

    void entryAcceptsNoneAndAnEmptyFaxDestination() {
        QFETCH(int, type);
        QFETCH(int, level);
        SetForm form(level);
        prepareAsTheRuleEditingDoes(form, {type, QString()}, {});
        QTimer::singleShot(0, &form,
                           [&form] { QTest::mouseClick(form.CommandEntry, Qt::LeftButton); });
        form.exec();
        QCOMPARE(form.tag(), QStringLiteral("Entry"));
        QVERIFY(form.isHidden());
        QCOMPARE(boxes_->shown().size(), 0);
        const Stored back = readBackAsTheRuleEditingDoes(form);
        QCOMPARE(back.type, type);
        QCOMPARE(back.adr, QString());
    }

    void cancelAndClosingAreNoEntry() {
        SetForm cancelled(2);
        prepareAsTheRuleEditingDoes(cancelled, {1, QStringLiteral("03＞ローカルモデム")}, {});
        QTimer::singleShot(0, &cancelled, [&cancelled] {
            QTest::mouseClick(cancelled.CommandCan, Qt::LeftButton);
        });
        cancelled.exec();
        QCOMPARE(cancelled.tag(), QStringLiteral("Cancel"));
        QVERIFY(cancelled.isHidden());

        SetForm closed(2);
        prepareAsTheRuleEditingDoes(closed, {2, QString()}, {{}, {"PDF"}});
        QTimer::singleShot(0, &closed, [&closed] { closed.close(); });
        closed.exec();
        QCOMPARE(closed.tag(), QString());

        SetForm escaped(2);
        prepareAsTheRuleEditingDoes(escaped, {0, QString()}, {});
        QTimer::singleShot(0, &escaped, [&escaped] { QTest::keyClick(&escaped, Qt::Key_Escape); });
        escaped.exec();
        QCOMPARE(escaped.tag(), QString());
        QCOMPARE(boxes_->shown().size(), 0);
    }

    void pagerQuestionComesEachTimeThePagerTypeIsChosenWithoutEntries() {
        writePagerEntries(
            {QStringLiteral("テンプレート 営業部"), QStringLiteral("(テンプレート)")});
        SetForm form(2);
        prepareAsTheRuleEditingDoes(form, {0, QString()}, {});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        boxes_->queueAnswer(MessageBox::Answer::No);
        pick(form.ComboPort, QStringLiteral("ポケベル呼出し"));
        QCOMPARE(boxes_->shown().size(), 1);
        const MessageBox::Request& question = boxes_->shown().first();
        QCOMPARE(question.text, kPagerQuestion);
        QCOMPARE(question.title, kCaption);
        QCOMPARE(question.icon, MessageBox::Icon::Question);
        QCOMPARE(question.buttons, MessageBox::Buttons::YesNo);
        QCOMPARE(form.ComboAddress[3]->count(), 0);

        pick(form.ComboPort, QStringLiteral("プリンタで印刷"));
        QCOMPARE(boxes_->shown().size(), 1);

        // Yes opens the pager list; the question comes again on the next choice.
        ModalCloser<KmBell> pagerList;
        boxes_->queueAnswer(MessageBox::Answer::Yes);
        pick(form.ComboPort, QStringLiteral("ポケベル呼出し"));
        QCOMPARE(boxes_->shown().size(), 2);
        QCOMPARE(boxes_->shown().last().text, kPagerQuestion);
        QCOMPARE(pagerList.closed, 1);

        boxes_->queueAnswer(MessageBox::Answer::No);
        pick(form.ComboPort, QStringLiteral("(なし)"));
        pick(form.ComboPort, QStringLiteral("ポケベル呼出し"));
        QCOMPARE(boxes_->shown().size(), 3);
        QCOMPARE(pagerList.closed, 1);
        QVERIFY(form.isVisible());
    }

    void pagerEntriesAreOfferedWithoutQuestionOrSelection() {
        writePagerEntries(
            {QStringLiteral("テンプレート"), QStringLiteral("営業部"), QStringLiteral("総務部")});
        SetForm form(2);
        prepareAsTheRuleEditingDoes(form, {0, QString()}, {});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        pick(form.ComboPort, QStringLiteral("ポケベル呼出し"));
        QCOMPARE(boxes_->shown().size(), 0);
        QCOMPARE(itemsOf(form.ComboAddress[3]), (QStringList{"営業部", "総務部"}));
        QCOMPARE(form.ComboAddress[3]->currentIndex(), -1);
        QCOMPARE(form.ComboAddress[3]->currentText(), QString());
    }

    void hintShowsTheTextOfTheType_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("fax")
            << "FAXまたはメールに転送"
            << "FAXまたはメールに転送のヒント"
            << "■ FAXまたはメールに転送\r\n"
               "（説明）\r\n"
               "受信したFAXを、FAX機またはインターネットメールに転送する設定です。\r\n"
               "(原稿はTIFファイルとして添付されます)\r\n"
               "\r\n"
               "＜通信経路＞について\r\n"
               "◎メールアドレスを直接入力\r\n"
               "　入力したアドレスへメールとして転送されます。\r\n"
               "　（事前にメール関連の環境設定が必要です）\r\n"
               "◎ローカルモデム\r\n"
               "　このパソコンに接続されているモデムからFAXに転送します。\r\n"
               "　FAX番号：欄に送信先のFAX番号を入力します。\r\n"
               "◎FAXモデム共有サーバー\r\n"
               "　ネットワーク上のFAXモデム共有サーバーを経由してFAXに転送します。\r\n"
               "　FAX番号：欄に送信先のFAX番号を入力します。\r\n"
               "　（事前にモデム共有に関する環境設定が必要です）\r\n"
               "◎インターネットFAXの標準の宛先\r\n"
               "　[環境設定]－[通信経路設定]の「インターネットFAX標準の宛先名」の\r\n"
               "　設定内容にしたがって、メールとして転送されます。\r\n"
               "　（事前にメール関連の環境設定が必要です）\r\n"
               "　（宛先がメール→FAXのゲートウエイサーバーの場合、FAX番号：欄に\r\n"
               "　　送信先のFAX番号を入れてFAXへ中継させることができます）\r\n"
               "◎上記以外\r\n"
               "　[環境設定]－[インターネットFAX設定]でプロファイルを登録した場合\r\n"
               "　それらが表示されます。\r\n"
               "　（宛先がメール→FAXのゲートウエイサーバーの場合、FAX番号：欄に\r\n"
               "　　送信先のFAX番号を入れてFAXへ中継させることができます）\r\n";
        QTest::newRow("printer")
            << "プリンタで印刷"
            << "プリンタで印刷のヒント"
            << "■ プリンタで印刷\r\n"
               "（説明）\r\n"
               "受信したFAXを、選択したプリンタに印刷します。印刷される用紙は、\r\n"
               "そのプリンタの既定用紙となっているものが選択されます。自動切替え\r\n"
               "はできません。\r\n"
               "\r\n"
               "＜プリンタ名＞\r\n"
               "このパソコンで利用できるプリンタから選択することができます。\r\n";
        QTest::newRow("pager")
            << "ポケベル呼出し"
            << "ポケベル呼出しのヒント"
            << "■ ポケベル呼出し\r\n"
               "（説明）FAXを受信したことをポケベルや携帯電話に知らせることができます。\r\n"
               "\r\n"
               "＜タイトル＞\r\n"
               "自動転送の[設定]メニュー「ポケベル登録」に登録した内容が表示されています。\r\n"
               "この中から選択して利用します。\r\n";
    }

    void hintShowsTheTextOfTheType() {
        QFETCH(QString, type);
        QFETCH(QString, title);
        QFETCH(QString, text);
        writePagerEntries({QStringLiteral("営業部")});
        SetForm form(2);
        prepareAsTheRuleEditingDoes(form, {0, QString()}, {});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        pick(form.ComboPort, type);
        QTest::mouseClick(form.CommandHint, Qt::LeftButton);
        QCOMPARE(boxes_->shown().size(), 1);
        const MessageBox::Request& hint = boxes_->shown().first();
        QCOMPARE(hint.title, title);
        QCOMPARE(hint.text, text);
        QCOMPARE(hint.icon, MessageBox::Icon::None);
        QCOMPARE(hint.buttons, MessageBox::Buttons::Ok);
        QVERIFY(form.isVisible());
        QCOMPARE(form.tag(), QString());
    }

    void storedRulesOpenAndComeBackThroughTheControls_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("numberShown"); // null: the number box is hidden
        QTest::addColumn<QString>("routeShown");
        QTest::addColumn<QString>("registered");

        QTest::newRow("number and fixed route") << 2 << 1 << "03-1234-5678＞ローカルモデム"
                                                << "03-1234-5678"
                                                << "ローカルモデム"
                                                << "03-1234-5678＞ローカルモデム";
        QTest::newRow("number and suite profile") << 2 << 1 << "0612345678＞大阪支店"
                                                  << "0612345678"
                                                  << "大阪支店"
                                                  << "0612345678＞大阪支店";
        QTest::newRow("number alone") << 2 << 1 << "0312345678"
                                      << "0312345678" << QString() << "0312345678";
        QTest::newRow("mail address as route")
            << 2 << 1 << "＞taro@example.jp" << QString() << "taro@example.jp"
            << "＞taro@example.jp";
        QTest::newRow("half-width separator") << 2 << 1 << "0312345678>ローカルモデム"
                                              << "0312345678"
                                              << "ローカルモデム"
                                              << "0312345678＞ローカルモデム";
        QTest::newRow("route of a deleted profile")
            << 2 << 1 << "0612345678＞旧支店" << QString() << "旧支店"
            << "＞旧支店";
        QTest::newRow("route, engine without routes") << 1 << 1 << "03-1234＞ローカルモデム"
                                                      << "03-1234" << QString() << "03-1234";
        QTest::newRow("mail route, engine without routes")
            << 1 << 1 << "＞taro@example.jp" << QString("") << QString() << QString();
        QTest::newRow("printer") << 2 << 2 << "PDF" << QString() << QString() << "PDF";
        QTest::newRow("pager title") << 2 << 3 << "総務部" << QString() << QString() << "総務部";
        QTest::newRow("none") << 2 << 0 << QString() << QString() << QString() << QString();
    }

    void storedRulesOpenAndComeBackThroughTheControls() {
        writeSuiteProfiles();
        QFETCH(int, level);
        QFETCH(int, type);
        QFETCH(QString, stored);
        QFETCH(QString, numberShown);
        QFETCH(QString, routeShown);
        QFETCH(QString, registered);
        writePagerEntries({QStringLiteral("営業部"), QStringLiteral("総務部")});
        SetForm form(level);
        const Lists lists{{"0312345678", "0612345678", "0312345678"}, {"Office", "PDF"}};
        prepareAsTheRuleEditingDoes(form, {type, stored}, lists);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QCOMPARE(form.windowTitle(), kCaption);
        if (type == 1) {
            QCOMPARE(itemsOf(form.ComboAddress[1]), lists.faxNumbers);
            QCOMPARE(form.ComboAddress[1]->isVisible(), !numberShown.isNull());
            QCOMPARE(form.ComboAddress[1]->currentText(), QString(numberShown));
            QCOMPARE(form.ComboRoute->currentText(), routeShown);
        } else if (type > 1) {
            QCOMPARE(form.ComboAddress[type]->currentText(), stored);
        }
        QTest::mouseClick(form.CommandEntry, Qt::LeftButton);
        QCOMPARE(form.tag(), QStringLiteral("Entry"));
        const Stored back = readBackAsTheRuleEditingDoes(form);
        QCOMPARE(back.type, type);
        QCOMPARE(back.adr, registered);
        QCOMPARE(boxes_->shown().size(), 0);
    }

    void vanishedPrinterOrTitleOpensWithoutSelection_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("removed printer") << 2 << "旧プリンタ"
                                         << "プリンタ名を設定してください.";
        QTest::newRow("printer in another case") << 2 << "pdf"
                                                 << "プリンタ名を設定してください.";
        QTest::newRow("deleted pager entry") << 3 << "経理部"
                                             << "タイトルを設定してください.";
    }

    void vanishedPrinterOrTitleOpensWithoutSelection() {
        QFETCH(int, type);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        writePagerEntries({QStringLiteral("営業部")});
        SetForm form(2);
        prepareAsTheRuleEditingDoes(form, {type, stored}, {{}, {"Office", "PDF"}});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.ComboAddress[type]->currentIndex(), -1);
        QCOMPARE(form.ComboAddress[type]->currentText(), QString());
        QTest::mouseClick(form.CommandEntry, Qt::LeftButton);
        QCOMPARE(boxes_->shown().size(), 1);
        QCOMPARE(boxes_->shown().first().text, message);
        QCOMPARE(form.tag(), QString());
    }

    // Renders the dialog for each type into the build tree, for people to look at.
    void screenshots() {
        writeSuiteProfiles();
        writePagerEntries({QStringLiteral("営業部")});
        const QString folder =
            qEnvironmentVariable("TOVALDE_BUILD_DIR", QDir::currentPath()) + "/screenshots";
        QVERIFY(QDir().mkpath(folder));
        const struct {
            int type;
            QString stored;
            const char* file;
        } shots[] = {
            {0, QString(), "SetForm-none.png"},
            {1, QStringLiteral("03-1234-5678＞ローカルモデム"), "SetForm-fax.png"},
            {1, QStringLiteral("＞taro@example.jp"), "SetForm-mail.png"},
            {2, QStringLiteral("PDF"), "SetForm-printer.png"},
            {3, QStringLiteral("営業部"), "SetForm-pager.png"},
        };
        for (const auto& shot : shots) {
            SetForm form(2);
            prepareAsTheRuleEditingDoes(form, {shot.type, shot.stored}, {{}, {"Office", "PDF"}});
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            const QString path = folder + QLatin1Char('/') + QLatin1String(shot.file);
            QVERIFY(form.grab().save(path));
        }
    }

private:
    void runSuiteInit() {
        QProcess kmbsuite;
        kmbsuite.start(builtProgram(QStringLiteral("suite/kmbsuite")), {QStringLiteral("init")});
        QVERIFY(kmbsuite.waitForFinished(30000));
        QCOMPARE(kmbsuite.exitCode(), 0);
    }

    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<RecordingMessageBoxes> boxes_;
};

QTEST_MAIN(SetFormTest)
#include "test_setform.moc"
