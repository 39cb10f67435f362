#pragma once

#include "FaxEngine.h"
#include "MonitorLink.h"

#include <QStringList>
#include <QVector>

#include <functional>

// The fax engine for unit tests: a reception log held in memory, scripted monitor results, and
// a record of the calls that change something.
class FakeFaxEngine : public FaxEngine {
    Q_OBJECT
public:
    struct Entry {
        QString time;
        int flags = 1;
        int result = 0;
        QString faxId;
        QString document;
    };

    QVector<Entry> log;
    int level = 2;
    int startMonitorResult = 0;
    QVector<int> monitorStates{0}; // MonitorState answers in turn; the last one repeats
    // Called at the start of every engine call with its name; may throw to fail the call.
    std::function<void(const QString& call)> onCall;

    QVector<int> autoReceiveRings;
    QVector<int> startMonitorTimeouts;
    int closeManagerCalls = 0;
    int entryCountCalls = 0;
    QVector<int> selected;

    int EngineLevel() override {
        called(QStringLiteral("EngineLevel"));
        return level;
    }
    int EntryCount() override {
        called(QStringLiteral("EntryCount"));
        ++entryCountCalls;
        return log.size();
    }
    int SelectEntry(int index) override {
        called(QStringLiteral("SelectEntry"));
        selected.append(index);
        if (index < 0 || index >= log.size())
            return -1;
        current_ = index;
        return 0;
    }
    int EntryFlags() override { return entry(QStringLiteral("EntryFlags")).flags; }
    int EntryResult() override { return entry(QStringLiteral("EntryResult")).result; }
    QString EntryTime() override { return entry(QStringLiteral("EntryTime")).time; }
    QString EntryFaxId() override { return entry(QStringLiteral("EntryFaxId")).faxId; }
    QString EntryDocument() override { return entry(QStringLiteral("EntryDocument")).document; }
    void SetRoute(const QString&) override { called(QStringLiteral("SetRoute")); }
    int SendDocument(const QString&, const QString&, const QString&, const QString&) override {
        called(QStringLiteral("SendDocument"));
        return 0;
    }
    int SetAutoReceive(int rings) override {
        called(QStringLiteral("SetAutoReceive"));
        autoReceiveRings.append(rings);
        if (onSetAutoReceive)
            onSetAutoReceive(rings);
        return 0;
    }
    int StartMonitor(int timeoutSeconds) override {
        called(QStringLiteral("StartMonitor"));
        startMonitorTimeouts.append(timeoutSeconds);
        return startMonitorResult;
    }
    void CloseManager() override {
        called(QStringLiteral("CloseManager"));
        ++closeManagerCalls;
    }
    int MonitorState() override {
        called(QStringLiteral("MonitorState"));
        const int state = monitorStates.at(std::min<int>(stateIndex_, monitorStates.size() - 1));
        ++stateIndex_;
        return state;
    }

    // What the suite's engine does to the profile when automatic reception is set.
    std::function<void(int rings)> onSetAutoReceive;

    void notify() { Q_EMIT EngineNotify(); }

private:
    void called(const QString& name) {
        if (onCall)
            onCall(name);
    }
    const Entry& entry(const QString& name) {
        called(name);
        return log.at(current_);
    }

    int current_ = 0;
    int stateIndex_ = 0;
};

// The monitor's control channel for unit tests: records pokes, answers as told.
class FakeMonitorLink : public MonitorLink {
public:
    struct Poke {
        QString topic;
        QString item;
        QString data;
    };
    bool answer = true;
    QVector<Poke> pokes;
    std::function<void(const QString& item)> onPoke;

    bool poke(const QString& topic, const QString& item, const QString& data) override {
        pokes.append({topic, item, data});
        if (onPoke)
            onPoke(item);
        return answer;
    }
};
