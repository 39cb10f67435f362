#pragma once

#include <QTextBrowser>

// The help window: shows the help file (HTML) at its start.
class HelpViewer : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Loads `helpFile` and shows the window at the top of its contents.
    void showContents(const QString& helpFile);
};
