#pragma once

#include "ShareNameTables.h"

#include <QString>

class QWidget;

// The program: reads the share names and the shares open without a logon from the registry,
// lets the user mark them in the selection dialog and, on OK, writes the marked ones back.
// Every failure is one stop-icon message titled with the program's name, after which the run
// ends with nothing written.
class CShareNameApp {
public:
    CShareNameApp();

    // The whole run. Returns false: there is nothing to do after it but end the program.
    bool InitInstance();

    const QString m_pszAppName;    // the program's name, also the title of its messages
    QWidget* m_pMainWnd = nullptr; // the selection dialog while it is open

private:
    bool readShareNames();
    void writeNullSessionShares();
    void stop(const QString& message) const;

    ShareNameTables m_tables;
};
