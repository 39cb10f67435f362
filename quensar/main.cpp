#include "CShareNameApp.h"
#include "JapaneseFonts.h"
#include "MessageBox.h"
#include "ProgramIcon.h"
#include "QtMessageBoxPresenter.h"
#include "VersionInfo.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(VersionInfo::internalName());
    QApplication::setApplicationVersion(VersionInfo::fileVersion());
    QApplication::setWindowIcon(ProgramIcon::icon());
    JapaneseFonts::installSubstitutions();
    QtMessageBoxPresenter presenter;
    MessageBox::setPresenter(&presenter);

    CShareNameApp theApp;
    theApp.InitInstance();
    return 0;
}
