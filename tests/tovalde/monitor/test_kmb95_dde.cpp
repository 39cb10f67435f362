#include "FakeFaxEngine.h"
#include "KMB95_DDE.h"

#include <gtest/gtest.h>

namespace {

struct LinkCase {
    const char* what;
    bool goIdle; // else GoActive
    QVector<int> states;
    bool linkAnswers;
    QStringList pokes;
    int sleeps;
    bool result;
};

} // namespace

TEST(Kmb95Dde, PokesWhenTheStateAsksForItAndWaitsForTheNextState) {
    const LinkCase cases[] = {
        {"idle needs no poke", true, {0}, true, {}, 0, true},
        {"waiting for calls is released", true, {501, 501, 0}, true, {"Goidle"}, 1, true},
        {"every busy state is released", true, {519, 0}, true, {"Goidle"}, 0, true},
        {"other states are not poked but awaited", true, {3, 3, 3, 0}, true, {}, 2, true},
        {"a monitor that stays busy still answers true", true, {508}, true, {"Goidle"}, 100, true},
        {"refused poke", true, {509}, false, {"Goidle"}, 0, false},
        {"idle is made active", false, {0, 0, 501}, true, {"GoActive"}, 1, true},
        {"busy is poked too", false, {518, 518}, true, {"GoActive"}, 0, true},
        {"another state is awaited without poke", false, {7}, true, {}, 0, true},
        {"active never reached", false, {0}, true, {"GoActive"}, 100, true},
        {"refused activation", false, {0}, false, {"GoActive"}, 0, false},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFaxEngine engine;
        engine.monitorStates = c.states;
        FakeMonitorLink link;
        link.answer = c.linkAnswers;
        int sleeps = 0;
        const KMB95_DDE::Sleep sleep = [&](int ms) {
            EXPECT_EQ(ms, 100);
            ++sleeps;
        };
        const QString text = QStringLiteral("03-1234-5678");
        const bool result = c.goIdle ? KMB95_DDE::bMonitorGoIdle(engine, link, text, sleep)
                                     : KMB95_DDE::bMonitorGoActive(engine, link, text, sleep);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(sleeps, c.sleeps);
        QStringList items;
        for (const auto& poke : link.pokes) {
            items.append(poke.item);
            EXPECT_EQ(poke.topic, QStringLiteral("KMBMON|CONTROL"));
            EXPECT_EQ(poke.data, text);
        }
        EXPECT_EQ(items, c.pokes);
    }
}

TEST(Kmb95Dde, EngineFailureEndsTheRoutineWithFalse) {
    for (bool goIdle : {true, false}) {
        FakeFaxEngine engine;
        engine.monitorStates = {501, 501, 501};
        int calls = 0;
        engine.onCall = [&](const QString& call) {
            if (call == QLatin1String("MonitorState") && ++calls == 2)
                throw SuiteError("engine gone");
        };
        FakeMonitorLink link;
        const auto noSleep = [](int) {};
        const bool result = goIdle ? KMB95_DDE::bMonitorGoIdle(engine, link, QString(), noSleep)
                                   : KMB95_DDE::bMonitorGoActive(engine, link, QString(), noSleep);
        EXPECT_FALSE(result) << goIdle;
    }
}
