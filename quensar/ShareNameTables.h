#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

class QListWidget;

// The program's tables of share names, CP932 bytes as the registry calls hand them out.
// One instance lives in the application for the run; the names are those the program's
// algorithms use for them.
struct ShareNameTables {
    static constexpr int kSlots = 257;         // names each table holds, and slots in all
    static constexpr int kNameBuffer = 256;    // one name, its terminating zero included
    static constexpr int kExistingValue = 256; // bytes read of the existing value
    static constexpr int kNewValue = 1028;     // bytes the new value may take

    QList<QByteArray> g_aszShareName; // the share names in enumeration order
    int g_nShareName = 0;
    // Slots 0 .. g_nNullShare-1: the existing entries; slot g_nNullShare+i: share name i when
    // it is marked. An empty slot is not written.
    QList<QByteArray> g_aszNullShare;
    int g_nNullShare = 0;
    QListWidget* g_pShareList = nullptr; // the dialog's list while the dialog is open

    // Takes the zero-terminated entries of the existing value up to the first empty one.
    void readNullShares(const QByteArray& value);

    // Gives every share name its own (empty) slot behind the existing entries.
    void addShareSlots();

    // The value to write: every non-empty slot followed by a zero byte, then one more zero byte.
    // Nullopt when it would be longer than kNewValue bytes.
    std::optional<QByteArray> newValue() const;
};
