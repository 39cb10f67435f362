#include "ForwardingRuleStore.h"

#include "IniFile.h"
#include "PrivateProfile.h"
#include "SettingsStore.h"
#include "VbValue.h"

#include <limits>

namespace RuleStore {

namespace {

using PortEncoding::PortTable;

const QString& kNone = PortEncoding::kPortNames[PortEncoding::PortNone];
const QString kRuleSeparator = QStringLiteral("⇒");
const QString kFolderSection = QStringLiteral("AGENT-Recv");
// A value no profile line can hold, so a missing key can be told from an empty one.
const QString kMissing = QStringLiteral("\n");

QString setting(const QString& key, const QString& defaultValue = QString()) {
    return SettingsStore::getSetting(kSettingsApplication, kSettingsSection, key, defaultValue);
}

void saveSetting(const QString& key, const QString& value) {
    SettingsStore::saveSetting(kSettingsApplication, kSettingsSection, key, value);
}

QString booleanText(bool on) {
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

// Check states outside 0..2 (and numbers that do not fit 16 bits) read as off.
short checkState(const QString& text) {
    const auto value = VbValue::toInteger16(VbValue::numericValue(text));
    if (!value || *value < 0 || *value > 2)
        return 0;
    return *value;
}

float single(const QString& text) {
    return static_cast<float>(VbValue::numericValue(text));
}

// A single-precision value with the seven significant digits it holds ("1441.701", "900").
QString singleText(float value) {
    return QString::number(static_cast<double>(value), 'g', 7);
}

} // namespace

bool isStorablePosition(float twips) {
    return twips >= 0 && twips < 10000;
}

ReceiveFolderRow parseEntry(const QString& entry, const PortTable& table) {
    ReceiveFolderRow row;
    const int c = entry.indexOf(QLatin1Char(','));
    if (c < 0) {
        row.origin = ReceiveFolderRow::Origin::UnusableEntry;
        row.unusableText = entry;
        return row;
    }
    const int a = entry.indexOf(kRuleSeparator, c);
    QString rest;
    if (a >= 0) {
        row.strFolder = entry.mid(c + 1, a - c - 1);
        rest = entry.mid(a + 1);
    } else {
        row.strFolder = entry.mid(c + 1);
    }
    row.rule.strPort = kNone;
    row.rule.strAdr = rest;
    if (rest.size() >= 2 && rest.at(1) == QLatin1Char('/')) {
        row.rule.strAdr = rest.mid(PortEncoding::kPortPrefixLen);
        const QString prefix = rest.left(PortEncoding::kPortPrefixLen);
        for (int j = 1; j <= 3; ++j) {
            if (prefix == table.g_astrPortPrefix[j]) {
                row.rule.strPort = table.g_astrPortName[j];
                break;
            }
        }
    }
    row.strFaxId = entry.left(c);
    return row;
}

QString composeEntry(const ReceiveFolderRow& row, const PortTable& table) {
    if (row.keepsEntryAsRead())
        return row.unusableText;
    QString s = row.strFaxId + QLatin1Char(',') + row.strFolder;
    const int index = PortEncoding::INS_varGetPortIndex(table, row.rule.strPort);
    if (index != PortEncoding::PortNone)
        s += kRuleSeparator + table.g_astrPortPrefix[index] + row.rule.strAdr;
    return s;
}

ForwardingRuleStore read(const PortTable& table) {
    ForwardingRuleStore store;
    store.autoWait = setting(QStringLiteral("AutoRun")) == QStringLiteral("True");
    store.allSwitch = checkState(setting(QStringLiteral("AllTrans")));
    store.folderSwitch = checkState(setting(QStringLiteral("FolderTRans")));
    store.allRule.strPort =
        PortEncoding::convertShortPortName(setting(QStringLiteral("AllTransPort"), kNone));
    store.allRule.strAdr = PortEncoding::INS_strConvOldAdr(setting(QStringLiteral("AllTransAdr")));
    store.formLeft = static_cast<float>(
        VbValue::roundHalfEven(VbValue::numericValue(setting(QStringLiteral("FormLeft")))));
    store.formTop = static_cast<float>(
        VbValue::roundHalfEven(VbValue::numericValue(setting(QStringLiteral("FormTop")))));
    store.form2Left = single(setting(QStringLiteral("Form2Left")));
    store.form2Top = single(setting(QStringLiteral("Form2Top")));
    store.closeManager = setting(QStringLiteral("FaxManClose")) == QStringLiteral("True");
    for (int i = 0; i < 4; ++i) {
        const float width = single(setting(QStringLiteral("COL%1Width").arg(i + 1)));
        store.columnWidths[i] = width < 1 ? ForwardingRuleStore::kDefaultColumnWidth : width;
    }

    const double count = VbValue::numericValue(
        QStringLiteral("0") + IniFile::strReadIni(kSuiteProfile, QStringLiteral("KMBLOG95-Recv"),
                                                  QStringLiteral("NumOfRecvFolder")));
    const int n = count < 1 ? 0
                            : static_cast<int>(std::min<double>(VbValue::roundHalfEven(count),
                                                                ForwardingRuleStore::kMaxFolders));
    store.rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        // Read whole: an entry cut at a read buffer's end would be written back cut, and a
        // destination cut short forwards to a wrong number or address.
        const QString entry =
            PrivateProfile::getString(kSuiteProfile, kFolderSection, QString::number(i + 1),
                                      kMissing, std::numeric_limits<int>::max());
        if (entry == kMissing) {
            ReceiveFolderRow row;
            row.origin = ReceiveFolderRow::Origin::MissingEntry;
            store.rows.append(row);
        } else {
            store.rows.append(parseEntry(entry, table));
        }
    }
    return store;
}

void write(const ForwardingRuleStore& store, const PortTable& table) {
    saveSetting(QStringLiteral("AutoRun"), booleanText(store.autoWait));
    saveSetting(QStringLiteral("AllTrans"), QString::number(store.allSwitch));
    saveSetting(QStringLiteral("FolderTRans"), QString::number(store.folderSwitch));
    saveSetting(QStringLiteral("AllTransPort"), store.allRule.strPort);
    saveSetting(QStringLiteral("AllTransAdr"), store.allRule.strAdr);
    if (isStorablePosition(store.formLeft))
        saveSetting(QStringLiteral("FormLeft"), singleText(store.formLeft));
    if (isStorablePosition(store.formTop))
        saveSetting(QStringLiteral("FormTop"), singleText(store.formTop));
    saveSetting(QStringLiteral("Form2Left"), singleText(store.form2Left));
    saveSetting(QStringLiteral("Form2Top"), singleText(store.form2Top));
    for (int i = 0; i < 4; ++i)
        saveSetting(QStringLiteral("COL%1Width").arg(i + 1), singleText(store.columnWidths[i]));
    saveSetting(QStringLiteral("FaxManClose"), booleanText(store.closeManager));

    for (int i = 0; i < store.rows.size(); ++i) {
        const ReceiveFolderRow& row = store.rows.at(i);
        if (row.origin == ReceiveFolderRow::Origin::MissingEntry && row.keepsEntryAsRead())
            continue; // a key the suite never wrote stays absent
        IniFile::bWriteIni(kSuiteProfile, kFolderSection, QString::number(i + 1),
                           composeEntry(row, table));
    }
}

bool INS_bCheckPortAvailable(const ForwardingRuleStore& store) {
    bool available = false;
    if (store.allRuleOn()) {
        available = !store.allRule.strAdr.isEmpty() && !store.allRule.strPort.isEmpty() &&
                    store.allRule.strPort != kNone;
    }
    if (store.folderRulesOn()) {
        for (const ReceiveFolderRow& row : store.rows) {
            if (!row.rule.strPort.isEmpty() && row.rule.strPort != kNone)
                available = true;
        }
    }
    return available;
}

} // namespace RuleStore
