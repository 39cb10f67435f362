#pragma once

#include "Main.h"

#include <QDialog>

#include <array>

class KmBell;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The pager entry editor: one entry's title and its six rows (the number to dial, then the data
// sent after it), each with a check box and a pause in seconds. Opened modally by the list
// dialog, whose g_iCurrentBellNum says which slot to edit and whose g_strLastTitle it reports the
// confirmed title in. Nothing is written before "登録".
class KmEditBell : public QDialog {
    Q_OBJECT

public:
    explicit KmEditBell(KmBell& list);

    QLabel* Label11;
    QLineEdit* TextTitle;
    std::array<QCheckBox*, BellInf::kRows> CheckData;
    std::array<QLineEdit*, BellInf::kRows> TextData;
    std::array<QLineEdit*, BellInf::kRows> TextWait;
    std::array<QLabel*, BellInf::kRows> LabelSec;
    QPushButton* CommandEntry;
    QPushButton* CommandCancel;
    QLabel* Image1;

    void INS_SetEnable();
    void INS_SetEnableSub(int varCtl);
    static void INS_SetBackColor(QLineEdit* varCtl, bool varFlg);

public Q_SLOTS:
    void CheckData_Click(int index);
    void CommandEntry_Click();
    void CommandCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void buildControls();
    void showEntry(const BellInf& entry);
    BellInf enteredEntry() const;
    // The row of a data or wait box, and whether it is a wait box; -1 for any other object.
    int rowOf(const QObject* box, bool* isWait) const;
    bool acceptsChar(QChar c, int row, bool isWait) const;

    KmBell& list_;
};
