#include "Main.h"

#include "IniFile.h"
#include "ItemList.h"
#include "VbValue.h"
#include "WindowsPaths.h"

namespace Main {
namespace {

const QString kTitle = QStringLiteral("BellTitle");

QString checkedKey(int row) {
    return QStringLiteral("BellChecked%1").arg(row);
}
QString dataKey(int row) {
    return QStringLiteral("BellData%1").arg(row);
}
QString waitKey(int row) {
    return QStringLiteral("BellWait%1").arg(row);
}

bool isSlot(int slot) {
    return slot >= 0 && slot < kBellSlots;
}

QString titleOf(int slot) {
    return strReadBellInf(strBellSection(slot), kTitle);
}

// A check state stored by hand may be anything; one that no integer holds reads as unchecked.
int checkStateOf(const QString& text) {
    return VbValue::toInteger16(VbValue::numericValue(text)).value_or(0);
}

bool copySlot(int from, int to) {
    const QString source = strBellSection(from);
    const QString target = strBellSection(to);
    bool written = true;
    for (const QString& key : bellKeys())
        written = bWriteBellInf(target, key, strReadBellInf(source, key)) && written;
    return written;
}

void fillTitles(ItemList& list, bool withTemplates) {
    list.clear();
    for (int slot = 0; slot < kBellSlots; ++slot) {
        const QString title = titleOf(slot);
        if (title.isEmpty() || (!withTemplates && bIsBellTemplate(title)))
            continue;
        list.addItem(title);
    }
}

} // namespace

const std::array<QString, 1 + 3 * BellInf::kRows>& bellKeys() {
    static const std::array<QString, 1 + 3 * BellInf::kRows> keys = [] {
        std::array<QString, 1 + 3 * BellInf::kRows> names;
        names[0] = kTitle;
        for (int row = 0; row < BellInf::kRows; ++row) {
            names[1 + 3 * row] = checkedKey(row);
            names[2 + 3 * row] = dataKey(row);
            names[3 + 3 * row] = waitKey(row);
        }
        return names;
    }();
    return keys;
}

QString strBellInfPath() {
    return WindowsPaths::programDirectory() + QStringLiteral("KmBell.inf");
}

QString strBellSection(int slot) {
    return QStringLiteral("Bell%1").arg(slot);
}

QString strReadBellInf(const QString& section, const QString& key) {
    return IniFile::strReadIni(strBellInfPath(), section, key);
}

bool bWriteBellInf(const QString& section, const QString& key, const QString& value) {
    if (value.isEmpty())
        return bDeleteBellKey(section, key);
    return IniFile::bWriteIni(strBellInfPath(), section, key, value);
}

bool bDeleteBellKey(const QString& section, const QString& key) {
    return IniFile::bDeleteIniKey(strBellInfPath(), section, key);
}

int iFindBellTitle(const QString& title) {
    for (int slot = 0; slot < kBellSlots; ++slot) {
        if (titleOf(slot) == title)
            return slot;
    }
    return -1;
}

bool bIsBellTemplate(const QString& title) {
    static const QString word = QStringLiteral("テンプレート");
    return title.left(6) == word || title.left(7) == QLatin1Char('(') + word ||
           title.left(7) == QStringLiteral("（") + word;
}

void SetBellTitleList(ItemList& list) {
    fillTitles(list, true);
}

void SetBellTitleListNoTemplate(ItemList& list) {
    fillTitles(list, false);
}

BellInf LoadBellEdit(int slot) {
    BellInf entry;
    if (!isSlot(slot))
        return entry;
    const QString section = strBellSection(slot);
    entry.strTitle = strReadBellInf(section, kTitle);
    for (int row = 0; row < BellInf::kRows; ++row) {
        BellRow& line = entry.rows[row];
        line.iChecked = checkStateOf(strReadBellInf(section, checkedKey(row)));
        line.strData = strReadBellInf(section, dataKey(row));
        line.strWait =
            VbValue::decimalText(VbValue::numericValue(strReadBellInf(section, waitKey(row))));
    }
    return entry;
}

void SaveBellEdit(int slot, const BellInf& entry) {
    // Slots past 99 are outside the store: nothing may ever be written there.
    if (!isSlot(slot))
        return;
    const QString section = strBellSection(slot);
    bWriteBellInf(section, kTitle, entry.strTitle);
    for (int row = 0; row < BellInf::kRows; ++row) {
        const BellRow& line = entry.rows[row];
        bWriteBellInf(section, checkedKey(row),
                      line.iChecked != 0 ? QString::number(line.iChecked) : QString());
        bWriteBellInf(section, dataKey(row), line.strData);
        const double wait = VbValue::numericValue(line.strWait);
        bWriteBellInf(section, waitKey(row), wait != 0 ? VbValue::decimalText(wait) : QString());
    }
}

void DeleteBellInf(int slot) {
    const QString section = strBellSection(slot);
    for (const QString& key : bellKeys())
        bDeleteBellKey(section, key);
}

void PackBellInf() {
    int dest = 0;
    for (int src = 0; src < kBellSlots; ++src) {
        if (titleOf(src).isEmpty())
            continue;
        if (src != dest) {
            // An entry whose copy did not reach the file stays where it is: a duplicate can be
            // deleted by hand, a lost entry cannot be brought back.
            if (!copySlot(src, dest))
                return;
            DeleteBellInf(src);
        }
        ++dest;
    }
}

} // namespace Main
