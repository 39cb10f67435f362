#pragma once

#include "PortEncoding.h"

#include <QString>
#include <QVector>

#include <array>

// One forwarding rule: the type's display name and the destination.
struct ForwardingRule {
    QString strPort;
    QString strAdr;
};

// One receive folder of the suite with its rule.
struct ReceiveFolderRow {
    // Where the row came from. A missing, empty or comma-less entry yields an empty row; until
    // it is given a rule it is written back exactly as it was read, so nothing the suite wrote
    // is lost and no "," is invented.
    enum class Origin { Entry, MissingEntry, UnusableEntry };

    QString strFolder;
    ForwardingRule rule;
    QString strFaxId;
    Origin origin = Origin::Entry;
    QString unusableText; // the entry as read, for Origin::UnusableEntry

    // True while the row is still the untouched empty row of a missing or unusable entry.
    bool keepsEntryAsRead() const {
        return origin != Origin::Entry &&
               (rule.strPort.isEmpty() || rule.strPort == QStringLiteral("(なし)"));
    }
};

// The whole rule set with its switches and the window geometry stored beside it.
struct ForwardingRuleStore {
    static constexpr int kMaxFolders = 129;
    static constexpr float kDefaultColumnWidth = 1441.701f;

    ForwardingRule allRule{QStringLiteral("(なし)"), QString()};
    short allSwitch = 0;            // check state: 0 off, 1 on, 2 grey
    short folderSwitch = 0;         // same
    QVector<ReceiveFolderRow> rows; // profile order: row i is "AGENT-Recv" key i+1
    bool autoWait = false;
    bool closeManager = false;
    float formLeft = 0; // twips; applied and stored only inside the storable range
    float formTop = 0;
    float form2Left = 0;
    float form2Top = 0;
    std::array<float, 4> columnWidths{kDefaultColumnWidth, kDefaultColumnWidth, kDefaultColumnWidth,
                                      kDefaultColumnWidth};

    // Only "on" (1) counts; grey does not.
    bool allRuleOn() const { return allSwitch == 1; }
    bool folderRulesOn() const { return folderSwitch == 1; }
};

namespace RuleStore {

// The main window's position is kept only while it lies in this range (twips).
bool isStorablePosition(float twips);

// Reads the per-user settings and the suite's "AGENT-Recv" entries (at most kMaxFolders of
// them; further keys are never touched).
ForwardingRuleStore read(const PortEncoding::PortTable& table);

// Writes the settings and rewrites "AGENT-Recv" keys 1 to N in profile order.
void write(const ForwardingRuleStore& store, const PortEncoding::PortTable& table);

// True when at least one switched-on rule can forward anything.
bool INS_bCheckPortAvailable(const ForwardingRuleStore& store);

// One "AGENT-Recv" entry split into the row it describes, and composed back.
ReceiveFolderRow parseEntry(const QString& entry, const PortEncoding::PortTable& table);
QString composeEntry(const ReceiveFolderRow& row, const PortEncoding::PortTable& table);

// Names of the stores.
inline const QString kSettingsApplication = QStringLiteral("KmbRxTrans");
inline const QString kSettingsSection = QStringLiteral("Setting");
inline const QString kSuiteProfile = QStringLiteral("KMB32.ini");

} // namespace RuleStore
