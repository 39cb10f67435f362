#include "KMB95_DDE.h"

#include "FaxEngine.h"
#include "MonitorLink.h"
#include "MonitorLog.h"

#include <QCoreApplication>
#include <QThread>

namespace KMB95_DDE {

namespace {

const QString kTopic = QStringLiteral("KMBMON|CONTROL");
constexpr int kTries = 100;
constexpr int kTryInterval = 100;

bool isBusy(int state) {
    return state == 501 || state == 508 || state == 509 || state == 518 || state == 519;
}

// Pokes `item` when `shouldPoke` holds for the monitor's state, then waits until `reached`
// holds, letting window events run between the tries.
template <typename ShouldPoke, typename Reached>
bool moveMonitor(FaxEngine& engine, MonitorLink& link, const QString& linkText, const QString& item,
                 ShouldPoke shouldPoke, Reached reached, const Sleep& sleep) {
    try {
        if (shouldPoke(engine.MonitorState()) && !link.poke(kTopic, item, linkText)) {
            qCWarning(lcMonitor) << "the monitor refused" << item;
            return false;
        }
        for (int i = 0; i < kTries; ++i) {
            if (reached(engine.MonitorState()))
                break;
            sleep(kTryInterval);
            QCoreApplication::processEvents();
        }
        return true;
    } catch (const std::exception& e) {
        qCWarning(lcMonitor) << "monitor link" << item << "failed:" << e.what();
        return false;
    }
}

} // namespace

void realSleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

bool bMonitorGoIdle(FaxEngine& engine, MonitorLink& link, const QString& linkText,
                    const Sleep& sleep) {
    return moveMonitor(
        engine, link, linkText, QStringLiteral("Goidle"), [](int state) { return isBusy(state); },
        [](int state) { return state == 0; }, sleep);
}

bool bMonitorGoActive(FaxEngine& engine, MonitorLink& link, const QString& linkText,
                      const Sleep& sleep) {
    return moveMonitor(
        engine, link, linkText, QStringLiteral("GoActive"),
        [](int state) { return state == 0 || isBusy(state); }, [](int state) { return state != 0; },
        sleep);
}

} // namespace KMB95_DDE
