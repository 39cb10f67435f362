#include "Bell.h"
#include "BellKeyFilter.h"
#include "Cp932.h"
#include "GTestQtText.h"
#include "KmBell.h"
#include "KmEditBell.h"
#include "Main.h"
#include "ModemEmulator.h"
#include "RecordingMessageBoxes.h"
#include "TestEnvironment.h"
#include "Twips.h"
#include "WidgetDriving.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace {

// Entries as a person keeps them: "title" or "title|check0|data0|wait0|check1|data1|wait1...".
void writeEntries(const TestEnvironment& env, const QStringList& entries) {
    QString text;
    for (int slot = 0; slot < entries.size(); ++slot) {
        const QStringList fields = entries[slot].split(QLatin1Char('|'));
        text += QStringLiteral("[Bell%1]\r\nBellTitle=%2\r\n").arg(slot).arg(fields[0]);
        for (int i = 1; i < fields.size(); i += 3) {
            const int row = (i - 1) / 3;
            const QString values[] = {fields[i], fields.value(i + 1), fields.value(i + 2)};
            const char* stems[] = {"BellChecked", "BellData", "BellWait"};
            for (int k = 0; k < 3; ++k) {
                if (!values[k].isEmpty())
                    text += QStringLiteral("%1%2=%3\r\n")
                                .arg(QLatin1String(stems[k]))
                                .arg(row)
                                .arg(values[k]);
            }
        }
    }
    env.writeFile(env.programDirectory() + "/KmBell.inf", Cp932::encode(text));
}

QStringList numbered(int count) {
    QStringList titles;
    for (int i = 0; i < count; ++i)
        titles << QStringLiteral("呼出%1").arg(i);
    return titles;
}

QStringList rows(const KmBell& dlg) {
    QStringList texts;
    for (int row = 0; row < dlg.ListBell->count(); ++row)
        texts << dlg.ListBell->item(row)->text();
    return texts;
}

int selected(const KmBell& dlg) {
    const auto items = dlg.ListBell->selectedItems();
    return items.isEmpty() ? -1 : dlg.ListBell->row(items.front());
}

QStringList enabledButtons(const KmBell& dlg) {
    QStringList names;
    for (QPushButton* button :
         {dlg.CommandNew, dlg.CommandEdit, dlg.CommandCopy, dlg.CommandDel, dlg.CommandUp,
          dlg.CommandDown, dlg.CommandTest, dlg.CommandClose}) {
        if (button->isEnabled())
            names << button->objectName().mid(7);
    }
    return names;
}

QStringList keysOf(int slot) {
    QStringList keys;
    for (const QString& key : Main::bellKeys()) {
        const QString value = Main::strReadBellInf(Main::strBellSection(slot), key);
        if (!value.isEmpty())
            keys << key + "=" + value;
    }
    return keys;
}

// Runs `action` on the modal dialog of type T once `start` has opened it, then returns.
template <typename T>
void whileModal(const std::function<void()>& start, const std::function<void(T&)>& action) {
    bool handled = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            dialog && !handled) {
            handled = true;
            action(*dialog);
        }
    });
    poll.start();
    start();
    EXPECT_TRUE(handled);
}

void quickSleep(int milliseconds) {
    QThread::usleep(static_cast<unsigned long>(milliseconds) * 10);
}

class BellDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        Bell::setSleep(quickSleep);
        Bell::g_bBellAbort = false;
    }
    void TearDown() override { Bell::setSleep({}); }

    TestEnvironment env;
    RecordingMessageBoxes boxes;
};

} // namespace

TEST_F(BellDialogs, ListDialogLayout) {
    KmBell dlg;
    EXPECT_EQ(dlg.windowTitle(), "ポケベル登録");
    EXPECT_EQ(dlg.size(), QSize(Twips::toPixels(6795), Twips::toPixels(3600)));
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
    const struct {
        QString name;
        QString caption;
        QRect twips;
    } controls[] = {
        {"ListBell", "", {405, 360, 4695, 2040}},
        {"CommandNew", "新規登録", {400, 2500, 1140, 300}},
        {"CommandEdit", "編集", {1590, 2500, 1140, 300}},
        {"CommandCopy", "複製", {2780, 2500, 1140, 300}},
        {"CommandDel", "削除", {3960, 2500, 1140, 300}},
        {"CommandUp", "上へ移動", {5200, 1020, 1140, 300}},
        {"CommandDown", "下へ移動", {5200, 1410, 1140, 300}},
        {"CommandTest", "発信テスト", {5200, 2500, 1140, 300}},
        {"CommandClose", "閉じる", {5200, 3150, 1140, 300}},
        {"Frame1", "", {135, 90, 6540, 2940}},
        {"lblBellStatus", "", {150, 3150, 4905, 315}},
    };
    for (const auto& c : controls) {
        QWidget* control = dlg.findChild<QWidget*>(c.name);
        ASSERT_NE(control, nullptr) << c.name.toStdString();
        const QRect& t = c.twips;
        EXPECT_EQ(control->geometry(), Twips::rect(t.x(), t.y(), t.width(), t.height()))
            << c.name.toStdString();
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->text(), c.caption);
        }
    }
    EXPECT_TRUE(dlg.Frame1->title().isEmpty());
    EXPECT_TRUE(dlg.lblBellStatus->text().isEmpty());
    QStringList tabOrder{"ListBell"};
    for (QWidget* w = dlg.ListBell->nextInFocusChain(); w != dlg.ListBell && tabOrder.size() < 9;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            tabOrder << w->objectName();
    }
    EXPECT_EQ(tabOrder,
              (QStringList{"ListBell", "CommandNew", "CommandEdit", "CommandCopy", "CommandDel",
                           "CommandUp", "CommandDown", "CommandTest", "CommandClose"}));
}

TEST_F(BellDialogs, ButtonStatesFollowTheSelection) {
    const struct {
        const char* name;
        QStringList entries;
        std::optional<int> select;
        QStringList enabled;
        bool controlClickSelectedRow = false;
    } cases[] = {
        {"no entries", {}, std::nullopt, {"New", "Close"}},
        {"one entry", {"A"}, std::nullopt, {"New", "Edit", "Copy", "Del", "Test", "Close"}},
        {"middle row",
         {"A", "B", "C"},
         1,
         {"New", "Edit", "Copy", "Del", "Up", "Down", "Test", "Close"}},
        {"last row", {"A", "B", "C"}, 2, {"New", "Edit", "Copy", "Del", "Up", "Test", "Close"}},
        {"nothing selected", {"A", "B"}, -1, {"New", "Close"}},
        {"selection clicked away", {"A", "B"}, std::nullopt, {"New", "Close"}, true},
        {"template", {"テンプレート", "B"}, 0, {"New", "Edit", "Copy", "Del", "Down", "Close"}},
        {"template in parentheses",
         {"A", "（テンプレート）携帯"},
         1,
         {"New", "Edit", "Copy", "Del", "Up", "Close"}},
        {"almost a template", {"テンプ"}, 0, {"New", "Edit", "Copy", "Del", "Test", "Close"}},
        {"98 entries", numbered(98), 0, {"New", "Edit", "Copy", "Del", "Down", "Test", "Close"}},
        {"99 entries", numbered(99), 0, {"Edit", "Copy", "Del", "Down", "Test", "Close"}},
        {"100 entries", numbered(100), 99, {"Edit", "Del", "Up", "Test", "Close"}},
    };
    for (const auto& c : cases) {
        writeEntries(env, c.entries);
        KmBell dlg;
        EXPECT_EQ(rows(dlg), c.entries) << c.name;
        EXPECT_EQ(selected(dlg), c.entries.isEmpty() ? -1 : 0) << c.name;
        if (c.select)
            dlg.ListBell->setCurrentRow(*c.select);
        if (c.controlClickSelectedRow) {
            dlg.show();
            QListWidget* list = dlg.ListBell;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualItemRect(list->currentItem()).center());
            EXPECT_EQ(selected(dlg), -1) << c.name;
        }
        EXPECT_EQ(enabledButtons(dlg), c.enabled) << c.name;
    }
}

TEST_F(BellDialogs, OpeningPacksAHandWrittenFileSoRowsAreSlots) {
    env.writeFile(
        env.programDirectory() + "/KmBell.inf",
        Cp932::encode("[Bell1]\r\nBellTitle=一\r\n[Bell4]\r\nBellTitle=二\r\nBellData0=123\r\n"));
    KmBell dlg;
    EXPECT_EQ(rows(dlg), (QStringList{"一", "二"}));
    EXPECT_EQ(keysOf(0), QStringList{"BellTitle=一"});
    EXPECT_EQ(keysOf(1), (QStringList{"BellTitle=二", "BellData0=123"}));
    EXPECT_TRUE(keysOf(4).isEmpty());
}

TEST_F(BellDialogs, DeleteSelectsTheRowThatMovedIntoTheGapOrTheNewLast) {
    const struct {
        QStringList entries;
        int select;
        QStringList after;
        int selectedAfter;
    } cases[] = {
        {{"A", "B", "C", "D", "E"}, 2, {"A", "B", "D", "E"}, 2},
        {{"A", "B", "C"}, 2, {"A", "B"}, 1},
        {{"A"}, 0, {}, -1},
    };
    for (const auto& c : cases) {
        writeEntries(env, c.entries);
        KmBell dlg;
        dlg.ListBell->setCurrentRow(c.select);
        QTest::mouseClick(dlg.CommandDel, Qt::LeftButton);
        EXPECT_EQ(rows(dlg), c.after);
        EXPECT_EQ(selected(dlg), c.selectedAfter);
        KmBell reopened;
        EXPECT_EQ(rows(reopened), c.after);
        if (c.after.isEmpty()) {
            EXPECT_EQ(enabledButtons(dlg), (QStringList{"New", "Close"}));
        }
    }
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(BellDialogs, MovingExchangesEveryKeyOfTheTwoSlots) {
    writeEntries(env, {"A|1|0312345678|3", "B||||1|22|5", "C"});
    KmBell dlg;
    dlg.ListBell->setCurrentRow(1);
    QTest::mouseClick(dlg.CommandUp, Qt::LeftButton);
    EXPECT_EQ(rows(dlg), (QStringList{"B", "A", "C"}));
    EXPECT_EQ(selected(dlg), 0);
    EXPECT_EQ(keysOf(0),
              (QStringList{"BellTitle=B", "BellChecked1=1", "BellData1=22", "BellWait1=5"}));
    EXPECT_EQ(keysOf(1), (QStringList{"BellTitle=A", "BellChecked0=1", "BellData0=0312345678",
                                      "BellWait0=3"}));
    EXPECT_FALSE(dlg.CommandUp->isEnabled());

    dlg.ListBell->setCurrentRow(1);
    QTest::mouseClick(dlg.CommandDown, Qt::LeftButton);
    EXPECT_EQ(rows(dlg), (QStringList{"B", "C", "A"}));
    EXPECT_EQ(selected(dlg), 2);
    EXPECT_FALSE(dlg.CommandDown->isEnabled());
    EXPECT_EQ(keysOf(2), (QStringList{"BellTitle=A", "BellChecked0=1", "BellData0=0312345678",
                                      "BellWait0=3"}));
    EXPECT_EQ(keysOf(1), QStringList{"BellTitle=C"});
}

TEST_F(BellDialogs, CopyAppendsTheSameEntryAndSelectsIt) {
    writeEntries(env, {"A", "B", "C|1|555|2|2|66", "D", "E"});
    KmBell dlg;
    dlg.ListBell->setCurrentRow(2);
    QTest::mouseClick(dlg.CommandCopy, Qt::LeftButton);
    EXPECT_EQ(rows(dlg), (QStringList{"A", "B", "C", "D", "E", "C"}));
    EXPECT_EQ(selected(dlg), 5);
    EXPECT_EQ(keysOf(5), keysOf(2));
    EXPECT_EQ(keysOf(5), (QStringList{"BellTitle=C", "BellChecked0=1", "BellData0=555",
                                      "BellWait0=2", "BellChecked1=2", "BellData1=66"}));
}

TEST_F(BellDialogs, CopyFillsTheLastSlotThenStops) {
    writeEntries(env, numbered(99));
    KmBell dlg;
    dlg.ListBell->setCurrentRow(3);
    EXPECT_FALSE(dlg.CommandNew->isEnabled());
    QTest::mouseClick(dlg.CommandCopy, Qt::LeftButton);
    EXPECT_EQ(dlg.ListBell->count(), 100);
    EXPECT_EQ(selected(dlg), 99);
    EXPECT_EQ(Main::strReadBellInf("Bell99", "BellTitle"), "呼出3");
    EXPECT_FALSE(dlg.CommandCopy->isEnabled());
    dlg.CommandCopy_Click();
    EXPECT_EQ(dlg.ListBell->count(), 100);
    EXPECT_TRUE(Main::strReadBellInf("Bell100", "BellTitle").isEmpty());
}

TEST_F(BellDialogs, NewEntryIsTypedAndSavedAfterTheLast) {
    writeEntries(env, {"A", "B"});
    KmBell dlg;
    dlg.show();
    whileModal<KmEditBell>([&] { QTest::mouseClick(dlg.CommandNew, Qt::LeftButton); },
                           [&](KmEditBell& editor) {
                               EXPECT_EQ(editor.windowTitle(), "ポケベル新規登録");
                               EXPECT_TRUE(editor.TextTitle->text().isEmpty());
                               typeText(editor.TextTitle, "営業部 携帯");
                               QTest::mouseClick(editor.CheckData[0], Qt::LeftButton);
                               typeText(editor.TextData[0], "0,03-1234a5");
                               typeText(editor.TextWait[0], "1.5");
                               QTest::mouseClick(editor.CheckData[2], Qt::LeftButton);
                               typeText(editor.TextData[2], "*1#, 2");
                               QTest::mouseClick(editor.CommandEntry, Qt::LeftButton);
                           });
    EXPECT_EQ(rows(dlg), (QStringList{"A", "B", "営業部 携帯"}));
    EXPECT_EQ(selected(dlg), 2);
    EXPECT_EQ(keysOf(2),
              (QStringList{"BellTitle=営業部 携帯", "BellChecked0=1", "BellData0=0,0312345",
                           "BellWait0=15", "BellChecked2=1", "BellData2=*1# 2"}));
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(BellDialogs, NewEntryWithATitleHigherUpSelectsTheHigherOne) {
    writeEntries(env, {"A", "B"});
    KmBell dlg;
    dlg.show();
    whileModal<KmEditBell>([&] { dlg.CommandNew_Click(); },
                           [&](KmEditBell& editor) {
                               typeText(editor.TextTitle, "A");
                               QTest::mouseClick(editor.CommandEntry, Qt::LeftButton);
                           });
    EXPECT_EQ(rows(dlg), (QStringList{"A", "B", "A"}));
    EXPECT_EQ(selected(dlg), 0);
}

TEST_F(BellDialogs, CancelledEditorWritesNothingAndSelectsByTheLastTitle) {
    writeEntries(env, {"X|1|123", "Y", "X|1|456"});
    const QByteArray before = env.readFile(env.programDirectory() + "/KmBell.inf");
    KmBell dlg;
    dlg.show();
    dlg.ListBell->setCurrentRow(2);
    whileModal<KmEditBell>([&] { dlg.ListBell_DblClick(); },
                           [&](KmEditBell& editor) {
                               EXPECT_EQ(editor.windowTitle(), "ポケベル設定編集");
                               EXPECT_EQ(editor.TextData[0]->text(), "456");
                               typeText(editor.TextData[0], "789");
                               QTest::mouseClick(editor.CommandCancel, Qt::LeftButton);
                           });
    EXPECT_EQ(env.readFile(env.programDirectory() + "/KmBell.inf"), before);
    EXPECT_EQ(dlg.g_strLastTitle, "X");
    EXPECT_EQ(selected(dlg), 0);

    // A new entry given up on: the title from before decides, here "X" again.
    whileModal<KmEditBell>([&] { dlg.CommandNew_Click(); },
                           [&](KmEditBell& editor) { QTest::keyClick(&editor, Qt::Key_Escape); });
    EXPECT_EQ(env.readFile(env.programDirectory() + "/KmBell.inf"), before);
    EXPECT_EQ(selected(dlg), 0);

    dlg.g_strLastTitle.clear();
    whileModal<KmEditBell>([&] { dlg.CommandNew_Click(); },
                           [&](KmEditBell& editor) { editor.close(); });
    EXPECT_EQ(selected(dlg), -1);
    EXPECT_EQ(enabledButtons(dlg), (QStringList{"New", "Close"}));
}

TEST_F(BellDialogs, EditingSavesWaitsAndUncheckedRowsAsTheFileExpects) {
    writeEntries(env, {"A|1|123|3|1|45|2"});
    KmBell dlg;
    dlg.show();
    whileModal<KmEditBell>([&] { QTest::mouseClick(dlg.CommandEdit, Qt::LeftButton); },
                           [&](KmEditBell& editor) {
                               EXPECT_EQ(editor.TextWait[0]->text(), "3");
                               EXPECT_EQ(editor.TextWait[5]->text(), "0");
                               editor.TextWait[0]->clear();
                               typeText(editor.TextWait[0], "0");
                               QTest::mouseClick(editor.CheckData[1], Qt::LeftButton);
                               EXPECT_FALSE(editor.TextData[1]->isEnabled());
                               EXPECT_EQ(editor.TextData[1]->text(), "45");
                               QTest::mouseClick(editor.CommandEntry, Qt::LeftButton);
                           });
    EXPECT_EQ(keysOf(0), (QStringList{"BellTitle=A", "BellChecked0=1", "BellData0=123",
                                      "BellData1=45", "BellWait1=2"}));
    whileModal<KmEditBell>([&] { dlg.CommandEdit_Click(); },
                           [&](KmEditBell& editor) {
                               EXPECT_EQ(editor.TextWait[0]->text(), "0");
                               editor.reject();
                           });
}

TEST_F(BellDialogs, EmptyTitleIsRefusedAndTheEditorStaysOpen) {
    writeEntries(env, {"A|1|123"});
    KmBell dlg;
    dlg.g_iCurrentBellNum = 0;
    dlg.g_strLastTitle = "A";
    KmEditBell editor(dlg);
    editor.setWindowTitle("ポケベル設定編集");
    editor.show();
    editor.TextTitle->clear();
    QTest::mouseClick(editor.CommandEntry, Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, "タイトルは省略できません。");
    EXPECT_EQ(boxes.shown()[0].title, "ポケベル設定編集");
    EXPECT_EQ(boxes.shown()[0].icon, MessageBox::Icon::Exclamation);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(dlg.g_strLastTitle.isEmpty());
    EXPECT_EQ(keysOf(0), (QStringList{"BellTitle=A", "BellChecked0=1", "BellData0=123"}));
}

TEST_F(BellDialogs, TextTheFileCannotHoldIsRefusedInsteadOfLost) {
    KmBell dlg;
    KmEditBell editor(dlg);
    editor.show();
    editor.TextTitle->setText("携帯 😀");
    QTest::mouseClick(editor.CommandEntry, Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].icon, MessageBox::Icon::Exclamation);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(Main::iFindBellTitle("携帯 😀"), -1);
}

TEST_F(BellDialogs, EditorLayoutAndRowEnabling) {
    KmBell dlg;
    KmEditBell editor(dlg);
    EXPECT_EQ(editor.size(), QSize(Twips::toPixels(6795), Twips::toPixels(4080)));
    EXPECT_EQ(editor.TextTitle->geometry(), Twips::rect(1485, 405, 4635, 300));
    EXPECT_EQ(editor.Label11->text(), "タイトル：");
    EXPECT_EQ(editor.CommandEntry->text(), "登録");
    EXPECT_EQ(editor.CommandCancel->text(), "キャンセル");
    EXPECT_EQ(editor.Image1->geometry(), Twips::rect(180, 180, 6405, 3345));
    QStringList tabOrder;
    for (QWidget* w = editor.TextTitle; tabOrder.size() < 21; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            tabOrder << w->objectName();
    }
    QStringList expectedOrder{"TextTitle"};
    for (int r = 0; r < BellInf::kRows; ++r) {
        expectedOrder << QStringLiteral("CheckData(%1)").arg(r)
                      << QStringLiteral("TextData(%1)").arg(r)
                      << QStringLiteral("TextWait(%1)").arg(r);
        EXPECT_EQ(editor.CheckData[r]->text(), r == 0 ? "発信先：" : "データ：");
        EXPECT_EQ(editor.CheckData[r]->geometry(), Twips::rect(450, 990 + 405 * r, 1000, 240));
        EXPECT_EQ(editor.TextData[r]->geometry(), Twips::rect(1485, 945 + 405 * r, 4100, 300));
        EXPECT_EQ(editor.TextWait[r]->geometry(), Twips::rect(5715, 945 + 405 * r, 400, 300));
        EXPECT_EQ(editor.LabelSec[r]->geometry(), Twips::rect(6165, 990 + 405 * r, 405, 300));
        EXPECT_EQ(editor.LabelSec[r]->text(), "秒");
    }
    EXPECT_EQ(tabOrder, expectedOrder + QStringList({"CommandEntry", "CommandCancel"}));

    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor window = QApplication::palette().color(QPalette::Base);
    ASSERT_NE(face, window);
    editor.show();
    for (int r = 0; r < BellInf::kRows; ++r) {
        EXPECT_FALSE(editor.TextData[r]->isEnabled());
        EXPECT_FALSE(editor.TextWait[r]->isEnabled());
        EXPECT_FALSE(editor.LabelSec[r]->isEnabled());
        EXPECT_EQ(editor.TextData[r]->palette().color(QPalette::Base), face);
    }
    QTest::mouseClick(editor.CheckData[3], Qt::LeftButton);
    EXPECT_TRUE(editor.TextData[3]->isEnabled());
    EXPECT_TRUE(editor.TextWait[3]->isEnabled());
    EXPECT_TRUE(editor.LabelSec[3]->isEnabled());
    EXPECT_EQ(editor.TextWait[3]->palette().color(QPalette::Base), window);
    EXPECT_FALSE(editor.TextData[2]->isEnabled());
}

TEST_F(BellDialogs, GreyRowsStayOffUntilClickedOn) {
    writeEntries(env, {"A|2|123|0|7|45"});
    KmBell dlg;
    dlg.g_iCurrentBellNum = 0;
    KmEditBell editor(dlg);
    editor.show();
    EXPECT_EQ(editor.CheckData[0]->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(editor.TextData[0]->isEnabled());
    EXPECT_EQ(editor.CheckData[1]->checkState(), Qt::Unchecked);
    QTest::mouseClick(editor.CheckData[0], Qt::LeftButton);
    EXPECT_EQ(editor.CheckData[0]->checkState(), Qt::Checked);
    EXPECT_TRUE(editor.TextData[0]->isEnabled());
    QTest::mouseClick(editor.CheckData[0], Qt::LeftButton);
    EXPECT_EQ(editor.CheckData[0]->checkState(), Qt::Unchecked);
    EXPECT_FALSE(editor.TextData[0]->isEnabled());
    // Clicking on never brings the grey state back, neither to this row nor to a row that
    // opened unchecked.
    for (QCheckBox* box : {editor.CheckData[0], editor.CheckData[1]}) {
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(box->checkState(), Qt::Checked) << box->objectName().toStdString();
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(box->checkState(), Qt::Unchecked) << box->objectName().toStdString();
    }
}

TEST_F(BellDialogs, KeyFiltersOfTheDataAndWaitBoxes) {
    KmBell dlg;
    KmEditBell editor(dlg);
    editor.show();
    for (QCheckBox* box : editor.CheckData)
        QTest::mouseClick(box, Qt::LeftButton);
    const struct {
        QLineEdit* box;
        QString typed;
        QString kept;
    } cases[] = {
        {editor.TextData[0], "0,12 3#*", "0,12 3#*"}, {editor.TextData[1], "1,2-3aB.", "123"},
        {editor.TextData[5], "# * 9", "# * 9"},       {editor.TextData[2], "０１２ｱ＃", ""},
        {editor.TextWait[0], "1.5s,-", "15"},         {editor.TextWait[4], " 3#", "3"},
        {editor.TextTitle, "ﾃｽﾄ-1,a.", "ﾃｽﾄ-1,a."},
    };
    for (const auto& c : cases) {
        typeText(c.box, c.typed);
        EXPECT_EQ(c.box->text(), c.kept) << c.box->objectName().toStdString();
    }

    // Backspace still corrects; a paste shortcut is a control character the boxes drop.
    QTest::keyClick(editor.TextData[0], Qt::Key_Backspace);
    EXPECT_EQ(editor.TextData[0]->text(), "0,12 3#");
    QTest::keyClick(editor.TextWait[0], Qt::Key_Backspace);
    EXPECT_EQ(editor.TextWait[0]->text(), "1");

    // Tab is not typed into a box: it moves on through the tab order, both ways.
    QApplication::setActiveWindow(&editor);
    const struct {
        QWidget* from;
        Qt::Key key;
        QWidget* to;
    } moves[] = {
        {editor.TextData[0], Qt::Key_Tab, editor.TextWait[0]},
        {editor.TextWait[0], Qt::Key_Tab, editor.CheckData[1]},
        {editor.TextData[4], Qt::Key_Backtab, editor.CheckData[4]},
        {editor.TextWait[5], Qt::Key_Tab, editor.CommandEntry},
    };
    for (const auto& m : moves) {
        m.from->setFocus();
        QTest::keyClick(m.from, m.key,
                        m.key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        const QWidget* focus = QApplication::focusWidget();
        EXPECT_EQ(focus ? focus->objectName() : QString(), m.to->objectName())
            << m.from->objectName().toStdString();
    }
    EXPECT_EQ(editor.TextData[0]->text(), "0,12 3#");

    // Text committed by an input method goes through the same filter.
    QInputMethodEvent commit;
    commit.setCommitString("12ab,3");
    QApplication::sendEvent(editor.TextData[3], &commit);
    EXPECT_EQ(editor.TextData[3]->text(), "123");
}

TEST_F(BellDialogs, KeyFilterTable) {
    const struct {
        QChar c;
        bool dataRow0;
        bool dataRow1;
        bool wait;
    } cases[] = {
        {'0', true, true, true},
        {'9', true, true, true},
        {' ', true, true, false},
        {'#', true, true, false},
        {'*', true, true, false},
        {',', true, false, false},
        {'-', false, false, false},
        {'.', false, false, false},
        {'a', false, false, false},
        {QChar(8), true, true, true},
        {QChar(127), true, true, true},
        {QChar(22), false, false, false},
        {QChar(0xFF10), false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BellKeyFilter::bAcceptDataChar(c.c, 0), c.dataRow0) << c.c.unicode();
        EXPECT_EQ(BellKeyFilter::bAcceptDataChar(c.c, 1), c.dataRow1) << c.c.unicode();
        EXPECT_EQ(BellKeyFilter::bAcceptDataChar(c.c, 5), c.dataRow1) << c.c.unicode();
        EXPECT_EQ(BellKeyFilter::bAcceptWaitChar(c.c), c.wait) << c.c.unicode();
    }
}

// The test call, against the modem emulator on a real pseudo-terminal.
class BellTestCall : public BellDialogs {
protected:
    QStringList controlsEnabled(const KmBell& dlg) {
        QStringList names;
        for (QWidget* w : dlg.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w->isEnabled())
                names << w->objectName();
        }
        names.sort();
        return names;
    }
};

TEST_F(BellTestCall, RunsWithEverythingElseDisabledAndCannotBeClosed) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    writeEntries(env, {"テンプレート|1|000", "携帯|1|0312345678|1|1|88|1"});
    KmBell dlg;
    dlg.show();
    dlg.ListBell->setCurrentRow(1);
    QStringList during;
    QString buttonText;
    QString status;
    bool stillOpen = false;
    QTimer probe;
    probe.setSingleShot(true);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        during = controlsEnabled(dlg);
        buttonText = dlg.CommandTest->text();
        status = dlg.lblBellStatus->text();
        EXPECT_TRUE(dlg.s_bTestBusy);
        dlg.close();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        stillOpen = dlg.isVisible();
    });
    probe.start(0);
    QTest::mouseClick(dlg.CommandTest, Qt::LeftButton);

    EXPECT_EQ(during, (QStringList{"CommandTest", "lblBellStatus"}));
    EXPECT_EQ(buttonText, "テスト中断");
    EXPECT_EQ(status, "発信テスト中、しばらくお待ちください．．．");
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(modem.transcript(),
              (QStringList{"ATZ", "ATE0Q0X0V1", "ATDT0312345678;", "ATDT88;", "ATH0"}));
    EXPECT_EQ(dlg.CommandTest->text(), "発信テスト");
    EXPECT_TRUE(dlg.lblBellStatus->text().isEmpty());
    EXPECT_EQ(enabledButtons(dlg),
              (QStringList{"New", "Edit", "Copy", "Del", "Up", "Test", "Close"}));
    EXPECT_TRUE(dlg.ListBell->isEnabled());
    EXPECT_FALSE(dlg.s_bTestBusy);
    EXPECT_FALSE(Bell::g_bBellAbort);
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(BellTestCall, SecondClickAbortsDuringAPause) {
    ModemEmulator modem(env.winePrefix());
    ASSERT_TRUE(modem.isReady());
    writeEntries(env, {"携帯|1|0312345678|600|1|88"});
    KmBell dlg;
    dlg.show();
    QString status;
    bool testEnabled = true;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!dlg.s_bTestBusy || Bell::g_bBellAbort ||
            !modem.transcript().contains("ATDT0312345678;"))
            return;
        QTest::mouseClick(dlg.CommandTest, Qt::LeftButton);
        status = dlg.lblBellStatus->text();
        testEnabled = dlg.CommandTest->isEnabled();
    });
    watcher.start(5);
    QTest::mouseClick(dlg.CommandTest, Qt::LeftButton);
    watcher.stop();

    EXPECT_EQ(status, "発信テスト中断処理中．．．");
    EXPECT_FALSE(testEnabled);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, "発信テストを中断しました。");
    EXPECT_EQ(boxes.shown()[0].title, "ポケベル登録");
    EXPECT_EQ(boxes.shown()[0].icon, MessageBox::Icon::Exclamation);
    EXPECT_EQ(modem.transcriptOnceItHas(4),
              (QStringList{"ATZ", "ATE0Q0X0V1", "ATDT0312345678;", "ATH0"}));
    EXPECT_FALSE(Bell::g_bBellAbort);
    EXPECT_FALSE(dlg.s_bTestBusy);
    EXPECT_TRUE(dlg.CommandTest->isEnabled());
}

TEST_F(BellTestCall, FailuresAreReportedWithTheStopIcon) {
    const struct {
        const char* name;
        QString entry;
        bool modem;
        bool abortWhileInitialising;
        QString message;
    } cases[] = {
        {"no modem", "携帯|1|123", false, false, "COMポートのオープンに失敗しました。"},
        {"no number", "携帯|1||0|1|88", true, false, "呼び出し情報がありません。"},
        {"abort during initialisation", "携帯|1|123", true, true,
         "COMポートのオープンに失敗しました。"},
    };
    for (const auto& c : cases) {
        std::optional<ModemEmulator> modem;
        // Without a modem, COM1 is a link whose device has gone.
        QFile::remove(env.winePrefix() + "/dosdevices/com1");
        QFile::link(env.root() + "/unplugged", env.winePrefix() + "/dosdevices/com1");
        if (c.modem)
            modem.emplace(env.winePrefix(), 1,
                          c.abortWhileInitialising ? QStringList{"--default", "silence"}
                                                   : QStringList{});
        writeEntries(env, {c.entry});
        boxes.clear();
        KmBell dlg;
        dlg.show();
        QTimer abort;
        abort.setSingleShot(true);
        QObject::connect(&abort, &QTimer::timeout,
                         [&] { QTest::mouseClick(dlg.CommandTest, Qt::LeftButton); });
        if (c.abortWhileInitialising)
            abort.start(0);
        QTest::mouseClick(dlg.CommandTest, Qt::LeftButton);
        ASSERT_EQ(boxes.shown().size(), 1) << c.name;
        EXPECT_EQ(boxes.shown()[0].text, c.message) << c.name;
        EXPECT_EQ(boxes.shown()[0].title, "ポケベル登録") << c.name;
        EXPECT_EQ(boxes.shown()[0].icon, MessageBox::Icon::Critical) << c.name;
        EXPECT_FALSE(dlg.s_bTestBusy) << c.name;
        EXPECT_FALSE(Bell::g_bBellAbort) << c.name;
    }
}
