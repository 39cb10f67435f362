#pragma once

#include <QDialog>
#include <QIcon>

class QMenu;
struct ShareNameTables;

// The share-name selection dialog (dialog 102): every share name of the machine in one list, those
// open without a logon marked. OK records the marks in the tables; the caller writes them.
//
// The window system has no system menu to extend, so the dialog carries its own window menu with
// the system menu's role: it opens on a right click anywhere on the dialog or with Alt+Space, and
// holds "閉じる" and the about-box item.
class CShareNameDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 102 };
    static constexpr unsigned IDM_ABOUTBOX = 0x0010;
    static constexpr unsigned SC_CLOSE = 0xF060;

    explicit CShareNameDlg(ShareNameTables& tables, QWidget* parent = nullptr);
    ~CShareNameDlg() override;

    QMenu* systemMenu() const { return m_systemMenu; }

    // A command of the window menu.
    void OnSysCommand(unsigned nID);

    // OK, Enter and the OK button come here.
    void accept() override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool OnInitDialog();
    void appendSystemMenuItem(const QString& text, unsigned nID);
    int findStringExact(const QByteArray& name) const;

    ShareNameTables& m_tables;
    QIcon m_hIcon;
    QMenu* m_systemMenu = nullptr;
};
