#include "KmEditBell.h"

#include "BellKeyFilter.h"
#include "Cp932.h"
#include "FormControls.h"
#include "KmBell.h"
#include "MessageBox.h"
#include "Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr int kRowStep = 405;

// Check-box states as the entry file keeps them: 0 off, 1 on, 2 grey.
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;
constexpr int kGrey = 2;

int fileState(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return kChecked;
    case Qt::PartiallyChecked:
        return kGrey;
    case Qt::Unchecked:
        break;
    }
    return kUnchecked;
}

// A row's check box: it can show the grey state a file holds, but a click only ever toggles
// between checked and unchecked, a grey box becoming checked.
class RowCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        setTristate(false);
    }
};

// A state the file should not hold shows unchecked.
void showFileState(QCheckBox* box, int state) {
    box->setCheckState(state == kChecked ? Qt::Checked
                       : state == kGrey  ? Qt::PartiallyChecked
                                         : Qt::Unchecked);
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

using FormControls::commandButton;

QString arrayName(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

KmEditBell::KmEditBell(KmBell& list) : QDialog(&list), list_(list) {
    buildControls();
    Form_Load();
}

void KmEditBell::buildControls() {
    setObjectName(QStringLiteral("KmEditBell"));
    setWindowTitle(QStringLiteral("ポケベル"));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    setFixedSize(Twips::toPixels(6795), Twips::toPixels(4080));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(180, 180, 6405, 3345));

    Label11 = new QLabel(QStringLiteral("タイトル："), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setGeometry(Twips::rect(675, 450, 795, 330));
    TextTitle = makeBox(this, QStringLiteral("TextTitle"), Twips::rect(1485, 405, 4635, 300));

    QWidget* previous = TextTitle;
    for (int r = 0; r < BellInf::kRows; ++r) {
        const int step = kRowStep * r;
        CheckData[r] =
            new RowCheckBox(r == 0 ? QStringLiteral("発信先：") : QStringLiteral("データ："), this);
        CheckData[r]->setObjectName(arrayName("CheckData", r));
        CheckData[r]->setGeometry(Twips::rect(450, 990 + step, 1000, 240));
        TextData[r] =
            makeBox(this, arrayName("TextData", r), Twips::rect(1485, 945 + step, 4100, 300));
        TextWait[r] =
            makeBox(this, arrayName("TextWait", r), Twips::rect(5715, 945 + step, 400, 300));
        LabelSec[r] = new QLabel(QStringLiteral("秒"), this);
        LabelSec[r]->setObjectName(arrayName("LabelSec", r));
        LabelSec[r]->setGeometry(Twips::rect(6165, 990 + step, 405, 300));
        TextData[r]->installEventFilter(this);
        TextWait[r]->installEventFilter(this);
        for (QWidget* next :
             {static_cast<QWidget*>(CheckData[r]), static_cast<QWidget*>(TextData[r]),
              static_cast<QWidget*>(TextWait[r])}) {
            setTabOrder(previous, next);
            previous = next;
        }
        connect(CheckData[r], &QCheckBox::clicked, this, [this, r] { CheckData_Click(r); });
    }

    CommandEntry = commandButton(this, "CommandEntry", QStringLiteral("登録"),
                                 Twips::rect(4140, 3660, 1140, 300));
    CommandCancel = commandButton(this, "CommandCancel", QStringLiteral("キャンセル"),
                                  Twips::rect(5430, 3660, 1140, 300));
    setTabOrder(previous, CommandEntry);
    setTabOrder(CommandEntry, CommandCancel);
    Image1->lower();

    connect(CommandEntry, &QPushButton::clicked, this, &KmEditBell::CommandEntry_Click);
    connect(CommandCancel, &QPushButton::clicked, this, &KmEditBell::CommandCancel_Click);
}

void KmEditBell::Form_Load() {
    showEntry(Main::LoadBellEdit(list_.g_iCurrentBellNum));
    INS_SetEnable();
}

void KmEditBell::showEntry(const BellInf& entry) {
    TextTitle->setText(entry.strTitle);
    for (int r = 0; r < BellInf::kRows; ++r) {
        showFileState(CheckData[r], entry.rows[r].iChecked);
        TextData[r]->setText(entry.rows[r].strData);
        TextWait[r]->setText(entry.rows[r].strWait);
    }
}

BellInf KmEditBell::enteredEntry() const {
    BellInf entry;
    entry.strTitle = TextTitle->text();
    for (int r = 0; r < BellInf::kRows; ++r)
        entry.rows[r] = {fileState(CheckData[r]), TextData[r]->text(), TextWait[r]->text()};
    return entry;
}

void KmEditBell::INS_SetEnable() {
    for (int r = 0; r < BellInf::kRows; ++r)
        INS_SetEnableSub(r);
}

void KmEditBell::INS_SetEnableSub(int varCtl) {
    const bool on = fileState(CheckData[varCtl]) == kChecked;
    INS_SetBackColor(TextData[varCtl], on);
    INS_SetBackColor(TextWait[varCtl], on);
    LabelSec[varCtl]->setEnabled(on);
}

void KmEditBell::INS_SetBackColor(QLineEdit* varCtl, bool varFlg) {
    varCtl->setEnabled(varFlg);
    const QPalette system = QApplication::palette();
    const QColor colour =
        system.color(QPalette::Active, varFlg ? QPalette::Base : QPalette::Button);
    QPalette palette = varCtl->palette();
    palette.setColor(QPalette::Base, colour);
    varCtl->setPalette(palette);
}

void KmEditBell::CheckData_Click(int index) {
    INS_SetEnableSub(index);
}

void KmEditBell::CommandEntry_Click() {
    const BellInf entry = enteredEntry();
    list_.g_strLastTitle = entry.strTitle;
    if (entry.strTitle.isEmpty()) {
        MessageBox::show(this, QStringLiteral("タイトルは省略できません。"), windowTitle(),
                         MessageBox::Icon::Exclamation);
        return;
    }
    // The file holds the system's ANSI text; an entry it cannot hold would silently not be
    // written, and the user would lose what was typed.
    bool encodable = true;
    Cp932::encode(entry.strTitle, &encodable);
    for (const BellRow& row : entry.rows) {
        bool ok = true;
        Cp932::encode(row.strData, &ok);
        encodable = encodable && ok;
    }
    if (!encodable) {
        MessageBox::show(this, QStringLiteral("登録できない文字が含まれています。"), windowTitle(),
                         MessageBox::Icon::Exclamation);
        return;
    }
    const int slot =
        list_.g_iCurrentBellNum != -1 ? list_.g_iCurrentBellNum : list_.ListBell->count();
    Main::SaveBellEdit(slot, entry);
    accept();
}

void KmEditBell::CommandCancel_Click() {
    reject();
}

int KmEditBell::rowOf(const QObject* box, bool* isWait) const {
    for (int r = 0; r < BellInf::kRows; ++r) {
        if (box == TextData[r] || box == TextWait[r]) {
            *isWait = box == TextWait[r];
            return r;
        }
    }
    return -1;
}

bool KmEditBell::acceptsChar(QChar c, int row, bool isWait) const {
    return isWait ? BellKeyFilter::bAcceptWaitChar(c) : BellKeyFilter::bAcceptDataChar(c, row);
}

// The key filters of the data and wait boxes. A character arrives either as a key press or,
// from an input method, as committed text; both are filtered the same way.
bool KmEditBell::eventFilter(QObject* watched, QEvent* event) {
    bool isWait = false;
    const int row = rowOf(watched, &isWait);
    if (row < 0)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab carries a character too, but it moves on to the next box and is never typed.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        const QString text = key->text();
        return !text.isEmpty() && !acceptsChar(text.front(), row, isWait);
    }
    if (event->type() == QEvent::InputMethod) {
        auto* input = static_cast<QInputMethodEvent*>(event);
        QString kept;
        for (const QChar c : input->commitString()) {
            if (acceptsChar(c, row, isWait))
                kept += c;
        }
        if (kept == input->commitString())
            return false;
        QInputMethodEvent filtered(input->preeditString(), input->attributes());
        filtered.setCommitString(kept, input->replacementStart(), input->replacementLength());
        QApplication::sendEvent(watched, &filtered);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
