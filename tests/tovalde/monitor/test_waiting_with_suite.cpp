#include "FixedClock.h"
#include "KmbRxTrans.h"
#include "KorimbaEngine.h"
#include "LocalMonitorLink.h"
#include "RecordingMessageBoxes.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "VbValue.h"

#include <QProcess>
#include <QtTest>

// The window over the suite's real engine: entering waiting starts kmbmon, a reception logged by
// `kmbsuite receive` reaches the poll through the engine's event.
class TestWaitingWithSuite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void receptionIsFoundWithinASecond();

private:
    static QString kmbsuite(const QStringList& arguments) {
        QProcess process;
        process.start(builtProgram(QStringLiteral("suite/kmbsuite")), arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            qWarning() << "kmbsuite" << arguments << process.readAllStandardError();
            return QStringLiteral("<failed>");
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
};

void TestWaitingWithSuite::receptionIsFoundWithinASecond() {
    TestEnvironment env;
    env.setVariable("KMBSUITE_BIN_DIR", builtProgram(QStringLiteral("suite")).toUtf8());
    QVERIFY(kmbsuite({QStringLiteral("init")}) != QLatin1String("<failed>"));
    const QString fax = env.root() + QStringLiteral("/sample.tif");
    QVERIFY(kmbsuite({QStringLiteral("sample-fax"), fax}) != QLatin1String("<failed>"));
    for (const auto& [key, value] : {std::pair{"AllTrans", "1"},
                                     {"AllTransPort", "FAX"},
                                     {"AllTransAdr", "0311112222"},
                                     {"FaxManClose", "True"}})
        SettingsStore::saveSetting(QStringLiteral("KmbRxTrans"), QStringLiteral("Setting"),
                                   QString::fromLatin1(key), QString::fromUtf8(value));

    RecordingMessageBoxes boxes;
    KorimbaEngine engine;
    LocalMonitorLink link(engine.layout().monitorServerName());
    // The mark lies a minute back, so a reception logged now is newer by whole seconds.
    FixedClock clock(QDateTime::currentDateTime().addSecs(-60));
    KmbRxTrans window(engine, link, clock);
    window.Form_Load();
    window.INS_StartWaiting();
    QVERIFY2(boxes.shown().isEmpty(), qPrintable(boxes.shown().value(0).text));
    QCOMPARE(window.windowTitle(), QStringLiteral("KORIMBA 自動転送 [待機中]"));
    QCOMPARE(kmbsuite({QStringLiteral("state")}), QStringLiteral("501"));

    const QString time = VbValue::formatDateTime(QDateTime::currentDateTime());
    QVERIFY(kmbsuite({QStringLiteral("receive"), QStringLiteral("--fax-id"), QStringLiteral("ABC"),
                      QStringLiteral("--time"), time, fax}) != QLatin1String("<failed>"));
    // Well inside the 30-second timed poll: only the engine's event can have found it.
    QTRY_COMPARE_WITH_TIMEOUT(window.waiting().strLastRxTime, time, 1000);

    window.close();
    QCOMPARE(kmbsuite({QStringLiteral("state")}), QStringLiteral("0"));
}

QTEST_MAIN(TestWaitingWithSuite)
#include "test_waiting_with_suite.moc"
