#include "Clock.h"
#include "JapaneseFonts.h"
#include "KmbRxTrans.h"
#include "KorimbaEngine.h"
#include "LocalMonitorLink.h"
#include "MonitorLog.h"
#include "QtMessageBoxPresenter.h"
#include "SignalCloser.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    JapaneseFonts::installSubstitutions();
    QtMessageBoxPresenter presenter;
    MessageBox::setPresenter(&presenter);

    KorimbaEngine engine;
    LocalMonitorLink link(engine.layout().monitorServerName());
    SystemClock clock;
    KmbRxTrans window(engine, link, clock);
    SignalCloser closer(&window);
    try {
        window.Form_Load();
    } catch (const std::exception& e) {
        // Without the engine there is nothing to forward with; the settings stay as they are.
        qCCritical(lcMonitor) << "start-up failed:" << e.what();
        return 1;
    }
    window.show();
    return app.exec();
}
