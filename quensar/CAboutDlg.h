#pragma once

#include <QDialog>

// The about box (dialog 100): the program icon, its name and version, and the maker's notice.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 100 };

    explicit CAboutDlg(QWidget* parent = nullptr);
};
