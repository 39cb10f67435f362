#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// The pager list dialog "ポケベル登録": the pager call entries in slot order, with new, edit, copy,
// delete, reorder and a test call. Every change goes to "KmBell.inf" at once; there is no cancel.
// Open it with `KmBell dlg(parent); dlg.exec();`.
class KmBell : public QDialog {
    Q_OBJECT

public:
    explicit KmBell(QWidget* parent = nullptr);

    QListWidget* ListBell;
    QPushButton* CommandNew;
    QPushButton* CommandEdit;
    QPushButton* CommandCopy;
    QPushButton* CommandDel;
    QPushButton* CommandUp;
    QPushButton* CommandDown;
    QPushButton* CommandTest;
    QPushButton* CommandClose;
    QGroupBox* Frame1;
    QLabel* lblBellStatus;

    // Shared with the entry editor: the slot it edits (-1: a new entry) and the title to select
    // once it has closed.
    int g_iCurrentBellNum = -1;
    QString g_strLastTitle;
    // A test call is running.
    bool s_bTestBusy = false;

    void INS_ButtonEnabled();
    void INS_SelectLastTitle();
    void INS_SwapBellInf(int varSrc, int varDest);

public Q_SLOTS:
    void reject() override;

    void ListBell_Click();
    void ListBell_DblClick();
    void CommandNew_Click();
    void CommandEdit_Click();
    void CommandCopy_Click();
    void CommandDel_Click();
    void CommandUp_Click();
    void CommandDown_Click();
    void CommandTest_Click();
    void CommandClose_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void buildControls();
    void refillList();
    void selectRow(int row);
    int selectedRow() const;
    void showEditor(const QString& caption);
    void setControlsEnabled(bool enabled);
};
