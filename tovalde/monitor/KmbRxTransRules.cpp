// The main window's rule editing: the all-folders row, the receive-folder list with its mouse
// handlers and sorting, and the destination dialog run for one rule.
#include "KmbRxTrans.h"
#include "Main.h"
#include "PortEncoding.h"
#include "RuleEditing.h"
#include "SetForm.h"
#include "Twips.h"
#include "WidgetItemList.h"
#include "WinAPI_Define.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

#include <cmath>
#include <optional>

namespace {

const QString& kNone = PortEncoding::kPortNames[PortEncoding::PortNone];
const QString kAllFolders = QStringLiteral("すべて");
const QString kEntry = QStringLiteral("Entry");

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

// A stored dialog position as pixels; none for a value no screen could have given.
std::optional<QPoint> pixelPosition(float left, float top) {
    constexpr float kFarOut = 1e7f;
    if (!(std::fabs(left) < kFarOut && std::fabs(top) < kFarOut))
        return std::nullopt;
    return QPoint(Twips::toPixels(qRound(left)), Twips::toPixels(qRound(top)));
}

} // namespace

void KmbRxTrans::connectRuleEditing() {
    for (QLabel* label : {LabelPort, LabelAddress})
        label->installEventFilter(this);
    ListViewFolder->viewport()->installEventFilter(this);
    ListViewFolder->header()->setSectionsClickable(true);
    connect(ListViewFolder->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListViewFolder_ColumnClick(column + 1); });
    connect(CommandSet, &QPushButton::clicked, this, &KmbRxTrans::CommandSet_Click);
    connect(MenuEditEdit, &QAction::triggered, this, &KmbRxTrans::CommandSet_Click);
    connect(MenuEditCan, &QAction::triggered, this, &KmbRxTrans::MenuEditCan_Click);
    connect(MenuEditEdit2, &QAction::triggered, this, &KmbRxTrans::INS_FolderEdit);
    connect(MenuEditCan2, &QAction::triggered, this, &KmbRxTrans::MenuEditCan2_Click);
}

// ---- the all-folders row ------------------------------------------------------------------

// A disabled control takes no mouse input, so a switched-off rule cannot be edited from here.
void KmbRxTrans::ruleLabelEvent(const QWidget& label, QEvent* event) {
    if (!label.isEnabled())
        return;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        ruleLabel_MouseDown(buttonCode(static_cast<QMouseEvent*>(event)->button()));
        break;
    case QEvent::MouseButtonDblClick:
        ruleLabel_DblClick();
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (label.rect().contains(mouse->position().toPoint()))
            ruleLabel_MouseUp(buttonCode(mouse->button()), mouse->globalPosition().toPoint());
        break;
    }
    default:
        break;
    }
}

void KmbRxTrans::ruleLabel_MouseDown(int Button) {
    iMouseButton = static_cast<short>(Button);
}

void KmbRxTrans::ruleLabel_DblClick() {
    if (iMouseButton == 1)
        CommandSet_Click();
}

void KmbRxTrans::ruleLabel_MouseUp(int Button, const QPoint& globalPos) {
    if (Button == 2)
        MenuEdit->popup(globalPos);
}

void KmbRxTrans::CommandSet_Click() {
    QString port = LabelPort->text();
    QString adr = LabelAddress->text();
    if (!INS_bEntryProcess(kAllFolders, port, adr))
        return;
    LabelPort->setText(port);
    LabelAddress->setText(adr);
    if (port == kNone)
        CheckTransAll->setCheckState(Qt::Unchecked);
}

void KmbRxTrans::MenuEditCan_Click() {
    LabelPort->setText(kNone);
    LabelAddress->clear();
    CheckTransAll->setCheckState(Qt::Unchecked);
}

// ---- the receive-folder list --------------------------------------------------------------

void KmbRxTrans::folderListEvent(QEvent* event) {
    if (!ListViewFolder->isEnabled())
        return;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        ListViewFolder_MouseDown(buttonCode(mouse->button()));
        if (QTreeWidgetItem* item = ListViewFolder->itemAt(mouse->position().toPoint()))
            ListViewFolder_ItemClick(item);
        break;
    }
    case QEvent::MouseButtonDblClick:
        ListViewFolder_DblClick();
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        ListViewFolder_MouseUp(buttonCode(mouse->button()), mouse->globalPosition().toPoint());
        break;
    }
    default:
        break;
    }
}

void KmbRxTrans::ListViewFolder_MouseDown(int Button) {
    bItemClicked = false;
    iMouseButton = static_cast<short>(Button);
}

// The row pressed on is the one the commands that follow act on, whichever button pressed it.
void KmbRxTrans::ListViewFolder_ItemClick(QTreeWidgetItem* Item) {
    bItemClicked = true;
    ListViewFolder->setCurrentItem(Item);
}

void KmbRxTrans::ListViewFolder_MouseUp(int Button, const QPoint& globalPos) {
    if (bItemClicked && Button == 2)
        MenuEdit2->popup(globalPos);
}

void KmbRxTrans::ListViewFolder_DblClick() {
    if (iMouseButton == 1 && bItemClicked)
        INS_FolderEdit();
}

// The screen order is the user's; the rows keep their profile order in folderRows_.
void KmbRxTrans::ListViewFolder_ColumnClick(int k) {
    ListViewFolder->sortItems(k - 1, sortOrder_);
    ListViewFolder->header()->setSortIndicatorShown(true);
    sortOrder_ = sortOrder_ == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
}

void KmbRxTrans::INS_FolderEdit() {
    const QList<QTreeWidgetItem*> selected = ListViewFolder->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* row = selected.first();
    QString port = row->text(ColumnPort);
    QString adr = row->text(ColumnAdr);
    if (!INS_bEntryProcess(row->text(ColumnFolder), port, adr))
        return;
    row->setText(ColumnPort, port);
    row->setText(ColumnAdr, adr);
}

void KmbRxTrans::MenuEditCan2_Click() {
    const QList<QTreeWidgetItem*> selected = ListViewFolder->selectedItems();
    if (selected.isEmpty())
        return;
    selected.first()->setText(ColumnPort, kNone);
    selected.first()->setText(ColumnAdr, QString());
}

// ---- the destination dialog ---------------------------------------------------------------

void KmbRxTrans::INS_SetFaxList(ItemList& LstObj) const {
    RuleEditing::INS_SetFaxList(LstObj, ruleStore());
}

bool KmbRxTrans::INS_bEntryProcess(const QString& Folder, QString& Port, QString& Adr) {
    using namespace PortEncoding;
    const int t = INS_varGetPortIndex(portTable_, Port);
    SetForm dialog(engineLevel_, this);
    placeDestinationDialog(dialog);
    dialog.setWindowTitle(RuleEditing::dialogCaption(Folder));
    dialog.ComboPort->setCurrentIndex(t);
    dialog.CommandHint->setVisible(t != PortNone);

    ComboBoxItems numbers(dialog.ComboAddress[PortFax]);
    INS_SetFaxList(numbers);
    ComboBoxItems printers(dialog.ComboAddress[PortPrinter]);
    printers.clear();
    WinAPI_Define::SetPrinterList(printers, printers_);
    ComboBoxItems titles(dialog.ComboAddress[PortPager]);
    Main::SetBellTitleListNoTemplate(titles);
    for (QComboBox* box : dialog.ComboAddress) {
        if (box->isEditable())
            box->setEditText(QString());
    }

    if (t == PortFax) {
        // The number goes in first: a route that is no list entry then takes it away again.
        const RuleEditing::FaxBoxes boxes = RuleEditing::faxBoxesFor(Adr, engineLevel_);
        dialog.ComboAddress[PortFax]->setEditText(boxes.number);
        if (engineLevel_ >= 2)
            dialog.ComboRoute->setEditText(boxes.route);
    } else if (t != PortNone) {
        QComboBox* box = dialog.ComboAddress[t];
        for (int i = 0; i < box->count(); ++i) {
            if (box->itemText(i) == Adr) {
                box->setCurrentIndex(i);
                break;
            }
        }
    }

    dialog.exec();
    keepDestinationDialogPosition(dialog);
    if (dialog.tag() != kEntry)
        return false;
    const int s = dialog.ComboPort->currentIndex();
    Port = dialog.ComboPort->itemText(s);
    Adr = RuleEditing::registeredDestination(s, dialog.ComboAddress[s]->currentText(),
                                             dialog.ComboRoute->currentText(), engineLevel_);
    return true;
}

// The dialog opens where the last one was left (at first where the stored settings put it).
// A position no screen shows would hide a modal dialog the user cannot get past; the dialog
// then opens where the system puts dialogs.
void KmbRxTrans::placeDestinationDialog(QWidget& dialog) const {
    const std::optional<QPoint> stored = pixelPosition(form2Left_, form2Top_);
    if (stored && QGuiApplication::screenAt(*stored + QPoint(dialog.width() / 2, 1)))
        dialog.move(*stored);
}

// A stored position stays as it is while the dialog still stands where it put it, so opening
// and closing the dialog does not wear the value down by rounding to pixels.
void KmbRxTrans::keepDestinationDialogPosition(const QWidget& dialog) {
    if (pixelPosition(form2Left_, form2Top_) == dialog.pos())
        return;
    form2Left_ = static_cast<float>(Twips::fromPixels(dialog.x()));
    form2Top_ = static_cast<float>(Twips::fromPixels(dialog.y()));
}
