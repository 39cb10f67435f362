#pragma once

#include <QString>

#include <array>

class ItemList;

// One pager call entry as the dialer and the entry editor handle it.
struct BellRow {
    int iChecked = 0; // check-box state; the row is dialled only when it is 1
    QString strData;  // row 0: the number to dial; rows 1-5: data sent after it
    QString strWait;  // seconds to pause after the row, as text
};

struct BellInf {
    static constexpr int kRows = 6;
    QString strTitle;
    std::array<BellRow, kRows> rows;
};

// The pager call entries: slots 0..99 of "KmBell.inf" in the program's own directory, section
// "Bell" + slot. A slot is occupied when its title is not empty.
namespace Main {

constexpr int kBellSlots = 100;

// The full path of "KmBell.inf".
QString strBellInfPath();

// The section name of a slot: "Bell" + slot in plain decimal.
QString strBellSection(int slot);

// The value of the key; empty when the key or the file is missing.
QString strReadBellInf(const QString& section, const QString& key);

// Writes the value, or deletes the key when the value is empty, so the file never keeps a key
// with nothing after the equals sign.
bool bWriteBellInf(const QString& section, const QString& key, const QString& value);

bool bDeleteBellKey(const QString& section, const QString& key);

// The first slot holding exactly this title, or -1.
int iFindBellTitle(const QString& title);

// Titles beginning with "テンプレート", "(テンプレート" or "（テンプレート" are templates: listed
// and edited, but never offered as destinations or test-called.
bool bIsBellTemplate(const QString& title);

// Every occupied slot's title, in slot order.
void SetBellTitleList(ItemList& list);

// The same without templates: the titles a forwarding rule may name.
void SetBellTitleListNoTemplate(ItemList& list);

// The entry of a slot as the editor shows it (a missing wait reads "0"); an empty entry for a
// slot outside 0..99, which is how the editor opens for a new entry.
BellInf LoadBellEdit(int slot);

// Writes the entry into the slot, title first, then each row; empty values and zero states or
// waits delete their keys. Nothing happens for a slot outside 0..99.
void SaveBellEdit(int slot, const BellInf& entry);

// Deletes the title and the eighteen row keys of the slot, which is then free.
void DeleteBellInf(int slot);

// Moves the entries down into slots 0..n-1, keeping their order.
void PackBellInf();

// The names of the keys a slot's entry consists of, title first, then row by row
// "BellChecked" + r, "BellData" + r, "BellWait" + r.
const std::array<QString, 1 + 3 * BellInf::kRows>& bellKeys();

} // namespace Main
