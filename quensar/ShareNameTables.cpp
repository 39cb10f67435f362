#include "ShareNameTables.h"

void ShareNameTables::readNullShares(const QByteArray& value) {
    // Two zero bytes after the data end the list even when the value itself was not ended.
    const QByteArray data = value + QByteArray(2, '\0');
    g_aszNullShare.clear();
    for (qsizetype pos = 0;;) {
        const qsizetype end = data.indexOf('\0', pos);
        if (end == pos)
            break;
        g_aszNullShare.append(data.mid(pos, end - pos));
        pos = end + 1;
    }
    g_nNullShare = int(g_aszNullShare.size());
}

void ShareNameTables::addShareSlots() {
    g_aszNullShare.resize(g_nNullShare);
    g_aszNullShare.resize(g_nNullShare + g_nShareName);
}

std::optional<QByteArray> ShareNameTables::newValue() const {
    QByteArray value;
    for (int i = 0; i < g_nNullShare + g_nShareName; ++i) {
        if (!g_aszNullShare[i].isEmpty())
            value += g_aszNullShare[i] + '\0';
    }
    value += '\0';
    if (value.size() > kNewValue)
        return std::nullopt;
    return value;
}
