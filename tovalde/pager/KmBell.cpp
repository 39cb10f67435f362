#include "KmBell.h"

#include "Bell.h"
#include "FormControls.h"
#include "KmEditBell.h"
#include "Main.h"
#include "MessageBox.h"
#include "Twips.h"
#include "WidgetItemList.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

// The list dialog stops offering "新規登録" one entry before the store is full.
constexpr int kMostNewEntries = 99;

using FormControls::commandButton;

} // namespace

KmBell::KmBell(QWidget* parent) : QDialog(parent) {
    buildControls();
    Form_Load();
}

void KmBell::buildControls() {
    setObjectName(QStringLiteral("KmBell"));
    setWindowTitle(QStringLiteral("ポケベル登録"));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    setFixedSize(Twips::toPixels(6795), Twips::toPixels(3600));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(Twips::rect(135, 90, 6540, 2940));

    ListBell = new QListWidget(this);
    ListBell->setObjectName(QStringLiteral("ListBell"));
    ListBell->setGeometry(Twips::rect(405, 360, 4695, 2040));
    ListBell->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBell->setSortingEnabled(false);

    CommandNew = commandButton(this, "CommandNew", QStringLiteral("新規登録"),
                               Twips::rect(400, 2500, 1140, 300));
    CommandEdit = commandButton(this, "CommandEdit", QStringLiteral("編集"),
                                Twips::rect(1590, 2500, 1140, 300));
    CommandCopy = commandButton(this, "CommandCopy", QStringLiteral("複製"),
                                Twips::rect(2780, 2500, 1140, 300));
    CommandDel = commandButton(this, "CommandDel", QStringLiteral("削除"),
                               Twips::rect(3960, 2500, 1140, 300));
    CommandUp = commandButton(this, "CommandUp", QStringLiteral("上へ移動"),
                              Twips::rect(5200, 1020, 1140, 300));
    CommandDown = commandButton(this, "CommandDown", QStringLiteral("下へ移動"),
                                Twips::rect(5200, 1410, 1140, 300));
    CommandTest = commandButton(this, "CommandTest", QStringLiteral("発信テスト"),
                                Twips::rect(5200, 2500, 1140, 300));
    CommandClose = commandButton(this, "CommandClose", QStringLiteral("閉じる"),
                                 Twips::rect(5200, 3150, 1140, 300));

    lblBellStatus = new QLabel(this);
    lblBellStatus->setObjectName(QStringLiteral("lblBellStatus"));
    lblBellStatus->setGeometry(Twips::rect(150, 3150, 4905, 315));

    // The frame is drawn around the list and the buttons, beneath them.
    Frame1->lower();
    QWidget* const order[] = {ListBell,  CommandNew,  CommandEdit, CommandCopy, CommandDel,
                              CommandUp, CommandDown, CommandTest, CommandClose};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // A control-click takes the selection away without moving the current row, so the buttons
    // follow the selection itself.
    connect(ListBell, &QListWidget::itemSelectionChanged, this, &KmBell::ListBell_Click);
    connect(ListBell, &QListWidget::itemDoubleClicked, this, &KmBell::ListBell_DblClick);
    connect(CommandNew, &QPushButton::clicked, this, &KmBell::CommandNew_Click);
    connect(CommandEdit, &QPushButton::clicked, this, &KmBell::CommandEdit_Click);
    connect(CommandCopy, &QPushButton::clicked, this, &KmBell::CommandCopy_Click);
    connect(CommandDel, &QPushButton::clicked, this, &KmBell::CommandDel_Click);
    connect(CommandUp, &QPushButton::clicked, this, &KmBell::CommandUp_Click);
    connect(CommandDown, &QPushButton::clicked, this, &KmBell::CommandDown_Click);
    connect(CommandTest, &QPushButton::clicked, this, &KmBell::CommandTest_Click);
    connect(CommandClose, &QPushButton::clicked, this, &KmBell::CommandClose_Click);
}

// Entries written by hand may leave gaps; packing first makes every row's position its slot,
// which every command here relies on.
void KmBell::Form_Load() {
    Main::PackBellInf();
    refillList();
    if (ListBell->count() > 0)
        selectRow(0);
    INS_ButtonEnabled();
}

void KmBell::refillList() {
    ListWidgetItems items(ListBell);
    Main::SetBellTitleList(items);
    ListBell->setCurrentRow(-1);
}

void KmBell::selectRow(int row) {
    ListBell->setCurrentRow(row);
}

int KmBell::selectedRow() const {
    const QListWidgetItem* item = ListBell->currentItem();
    return item && item->isSelected() ? ListBell->row(item) : -1;
}

void KmBell::INS_ButtonEnabled() {
    const int sel = selectedRow();
    const int count = ListBell->count();
    const QString title = sel >= 0 ? ListBell->item(sel)->text() : QString();
    CommandEdit->setEnabled(sel >= 0);
    CommandDel->setEnabled(sel >= 0);
    // A copy goes after the last entry; with every slot taken there is nowhere to put it.
    CommandCopy->setEnabled(sel >= 0 && count < Main::kBellSlots);
    CommandNew->setEnabled(count < kMostNewEntries);
    CommandUp->setEnabled(sel > 0);
    CommandDown->setEnabled(sel >= 0 && sel < count - 1 && count > 1);
    CommandTest->setEnabled(sel >= 0 && !title.isEmpty() && !Main::bIsBellTemplate(title));
}

void KmBell::INS_SelectLastTitle() {
    if (g_strLastTitle.isEmpty() || ListBell->count() == 0)
        return;
    for (int row = 0; row < ListBell->count(); ++row) {
        if (ListBell->item(row)->text() == g_strLastTitle) {
            selectRow(row);
            return;
        }
    }
}

void KmBell::INS_SwapBellInf(int varSrc, int varDest) {
    const QString source = Main::strBellSection(varSrc);
    const QString dest = Main::strBellSection(varDest);
    for (const QString& key : Main::bellKeys()) {
        const QString kept = Main::strReadBellInf(dest, key);
        Main::bWriteBellInf(dest, key, Main::strReadBellInf(source, key));
        Main::bWriteBellInf(source, key, kept);
    }
}

void KmBell::showEditor(const QString& caption) {
    KmEditBell editor(*this);
    editor.setWindowTitle(caption);
    editor.exec();
}

void KmBell::ListBell_Click() {
    INS_ButtonEnabled();
}

void KmBell::ListBell_DblClick() {
    CommandEdit_Click();
}

void KmBell::CommandNew_Click() {
    Main::PackBellInf();
    refillList();
    g_iCurrentBellNum = -1;
    showEditor(QStringLiteral("ポケベル新規登録"));
    refillList();
    INS_SelectLastTitle();
    INS_ButtonEnabled();
}

void KmBell::CommandEdit_Click() {
    const int sel = selectedRow();
    g_strLastTitle = sel >= 0 ? ListBell->item(sel)->text() : QString();
    if (sel < 0)
        return;
    g_iCurrentBellNum = sel;
    showEditor(QStringLiteral("ポケベル設定編集"));
    Main::PackBellInf();
    refillList();
    INS_SelectLastTitle();
    INS_ButtonEnabled();
}

void KmBell::CommandCopy_Click() {
    const int count = ListBell->count();
    const int sel = selectedRow();
    if (sel < 0 || count >= Main::kBellSlots)
        return;
    const QString source = Main::strBellSection(sel);
    const QString copy = Main::strBellSection(count);
    for (const QString& key : Main::bellKeys())
        Main::bWriteBellInf(copy, key, Main::strReadBellInf(source, key));
    Main::PackBellInf();
    refillList();
    selectRow(count);
    INS_ButtonEnabled();
}

void KmBell::CommandDel_Click() {
    const int sel = selectedRow();
    if (sel < 0)
        return;
    Main::DeleteBellInf(sel);
    Main::PackBellInf();
    refillList();
    if (ListBell->count() > sel)
        selectRow(sel);
    else if (ListBell->count() > 0)
        selectRow(ListBell->count() - 1);
    INS_ButtonEnabled();
}

void KmBell::CommandUp_Click() {
    const int sel = selectedRow();
    if (sel <= 0)
        return;
    INS_SwapBellInf(sel, sel - 1);
    refillList();
    selectRow(sel - 1);
    INS_ButtonEnabled();
}

void KmBell::CommandDown_Click() {
    const int sel = selectedRow();
    const int count = ListBell->count();
    if (count <= 1 || sel < 0 || sel >= count - 1)
        return;
    INS_SwapBellInf(sel, sel + 1);
    refillList();
    selectRow(sel + 1);
    INS_ButtonEnabled();
}

// One button starts a test call and, clicked again while the call lets window events run,
// asks it to stop.
void KmBell::CommandTest_Click() {
    if (s_bTestBusy) {
        lblBellStatus->setText(QStringLiteral("発信テスト中断処理中．．．"));
        CommandTest->setEnabled(false);
        Bell::g_bBellAbort = true;
        return;
    }
    s_bTestBusy = true;
    setControlsEnabled(false);
    CommandTest->setEnabled(true);
    lblBellStatus->setEnabled(true);
    CommandTest->setText(QStringLiteral("テスト中断"));
    lblBellStatus->setText(QStringLiteral("発信テスト中、しばらくお待ちください．．．"));

    const int rc = Bell::iCallBell(selectedRow());

    lblBellStatus->clear();
    if (rc != 0) {
        MessageBox::show(this, Bell::strGetBellResultMsg(rc), windowTitle(),
                         MessageBox::Icon::Critical);
    } else if (Bell::g_bBellAbort) {
        MessageBox::show(this, QStringLiteral("発信テストを中断しました。"), windowTitle(),
                         MessageBox::Icon::Exclamation);
    }
    CommandTest->setText(QStringLiteral("発信テスト"));
    setControlsEnabled(true);
    INS_ButtonEnabled();
    Bell::g_bBellAbort = false;
    s_bTestBusy = false;
}

void KmBell::CommandClose_Click() {
    close();
}

void KmBell::setControlsEnabled(bool enabled) {
    for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        control->setEnabled(enabled);
}

void KmBell::closeEvent(QCloseEvent* event) {
    if (s_bTestBusy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void KmBell::reject() {
    if (s_bTestBusy)
        return;
    QDialog::reject();
}
