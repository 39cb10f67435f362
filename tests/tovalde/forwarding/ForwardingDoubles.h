#pragma once

#include "FaxDocument.h"
#include "FaxEngine.h"
#include "ReceptionForwarder.h"

#include <QMap>
#include <QStringList>
#include <QVector>

#include <functional>

// What the doubles were asked to do, in order, one text a call ("SendDocument(転送:ABC|...)").
// Reads are not recorded, only calls that act.
using Journal = QStringList;

// The fax engine with its reception log in memory. `failOn` may throw to fail any call by name.
class JournalEngine : public FaxEngine {
public:
    struct Reception {
        QString time;
        QString faxId;
        QString document;
        int flags = 1;
        int result = 0;
    };

    explicit JournalEngine(Journal& journal) : journal_(journal) {}

    QVector<Reception> log;
    std::function<void(const QString& call, const QStringList& arguments)> failOn;

    int EngineLevel() override { return 2; }
    int EntryCount() override { return int(log.size()); }
    int SelectEntry(int index) override {
        check(QStringLiteral("SelectEntry"), {QString::number(index)});
        if (index < 0 || index >= log.size())
            return -1;
        selected_ = index;
        return 0;
    }
    int EntryFlags() override { return selected(QStringLiteral("EntryFlags")).flags; }
    int EntryResult() override { return selected(QStringLiteral("EntryResult")).result; }
    QString EntryTime() override { return selected(QStringLiteral("EntryTime")).time; }
    QString EntryFaxId() override { return selected(QStringLiteral("EntryFaxId")).faxId; }
    QString EntryDocument() override { return selected(QStringLiteral("EntryDocument")).document; }
    void SetRoute(const QString& route) override { act(QStringLiteral("SetRoute"), {route}); }
    int SendDocument(const QString& subject, const QString& document,
                     const QString& numberOrAddress, const QString& extra) override {
        act(QStringLiteral("SendDocument"), {subject, document, numberOrAddress, extra});
        return 0;
    }
    int SetAutoReceive(int) override { return 0; }
    int StartMonitor(int) override { return 0; }
    void CloseManager() override {}
    int MonitorState() override { return 0; }

private:
    void check(const QString& call, const QStringList& arguments) {
        if (failOn)
            failOn(call, arguments);
    }
    void act(const QString& call, const QStringList& arguments) {
        check(call, arguments);
        journal_.append(call + '(' + arguments.join('|') + ')');
    }
    // A read's arguments are the index of the selected entry.
    const Reception& selected(const QString& call) {
        check(call, {QString::number(selected_)});
        return log.at(selected_);
    }

    Journal& journal_;
    int selected_ = -1;
};

// Page counts by document; a document not listed has one page.
class PagesDocument : public FaxDocument {
public:
    QMap<QString, int> pages;
    std::function<void(const QString& document)> failOn;

    int PageCount(const QString& document) override {
        if (failOn)
            failOn(document);
        return pages.value(document, 1);
    }
    long SavePageImage(const QString&, const QString&, int) override { return 1; }
    PageGeometry PageInfo(const QString&, int) override { return {}; }
};

// The main window's side: the rule set, the mark, the title (every change journalled as
// "title(...)") and the event pump, which runs `onEvents` when set.
class JournalWindow : public ForwardingWindow {
public:
    explicit JournalWindow(Journal& journal) : journal_(journal) {}

    ForwardingRuleStore rules;
    int level = 2;
    QString linkText = QStringLiteral("link label");
    QString lastRxTime = QStringLiteral("mark as found");
    QString title = QStringLiteral("KORIMBA 自動転送 [待機中]");
    std::function<void()> onEvents;

    ForwardingRuleStore ruleStore() const override { return rules; }
    int g_varEngineLevel() const override { return level; }
    QString monitorLinkText() const override { return linkText; }
    void setLastRxTime(const QString& time) override { lastRxTime = time; }
    QString currentTitle() const override { return title; }
    void showTitle(const QString& newTitle) override {
        title = newTitle;
        journal_.append(QStringLiteral("title(%1)").arg(newTitle));
    }
    void letEventsRun() override {
        if (onEvents)
            onEvents();
    }

private:
    Journal& journal_;
};

// The routines of printing, the pager and the monitor link, journalled. Their results and
// failures are set per test.
struct JournalRoutines {
    explicit JournalRoutines(Journal& journal) : journal(journal) {}

    Journal& journal;
    QStringList missingPrinters;  // every other printer is installed
    QMap<QString, int> bellSlots; // title -> slot; others -1
    int callResult = 0;
    bool goIdleResult = true;
    bool goActiveResult = true;
    std::function<void(const QString& printer)> printFailure;
    std::function<void()> callFailure;

    ForwardingRoutines routines() {
        ForwardingRoutines r;
        r.printerInstalled = [this](const QString& printer) {
            return !missingPrinters.contains(printer);
        };
        r.INS_PrnOut = [this](const QString& document, const QString& printer) {
            journal.append(QStringLiteral("INS_PrnOut(%1|%2)").arg(document, printer));
            if (printFailure)
                printFailure(printer);
        };
        r.iFindBellTitle = [this](const QString& title) {
            journal.append(QStringLiteral("iFindBellTitle(%1)").arg(title));
            return bellSlots.value(title, -1);
        };
        r.iCallBell = [this](int slot) {
            journal.append(QStringLiteral("iCallBell(%1)").arg(slot));
            if (callFailure)
                callFailure();
            return callResult;
        };
        r.bMonitorGoIdle = [this](const QString& link) {
            journal.append(QStringLiteral("bMonitorGoIdle(%1)").arg(link));
            return goIdleResult;
        };
        r.bMonitorGoActive = [this](const QString& link) {
            journal.append(QStringLiteral("bMonitorGoActive(%1)").arg(link));
            return goActiveResult;
        };
        return r;
    }
};
