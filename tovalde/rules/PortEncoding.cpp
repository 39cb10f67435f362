#include "PortEncoding.h"

#include "ItemList.h"
#include "VbValue.h"

namespace PortEncoding {

namespace {

const QString kShareServer = QStringLiteral("FAXモデム共有サーバー");
const QString kShareServerEngine = QStringLiteral("ＮＰサーバー");
const QString kInternetDefault = QStringLiteral("インターネットFAXの標準の宛先");
const QString kInternetEngine = QStringLiteral("インターネット");

// The separator is searched as text, so a half-width '>' splits a destination too.
int separatorPosition(const QString& adr) {
    return VbValue::findText(adr, kRouteSeparator);
}

} // namespace

void INS_InitPortList(PortTable& table, ItemList* comboPort) {
    const QString prefixes[] = {QString(), QStringLiteral("F/"), QStringLiteral("P/"),
                                QStringLiteral("B/")};
    for (int i = 0; i < 4; ++i) {
        table.g_astrPortName[i] = kPortNames[i];
        table.g_astrPortPrefix[i] = prefixes[i];
    }
    table.g_astrPortName[4].clear();
    table.g_astrPortPrefix[4].clear();
    if (comboPort) {
        comboPort->clear();
        for (int i = 0; i < 4; ++i)
            comboPort->addItem(table.g_astrPortName[i]);
    }
}

int INS_varGetPortIndex(const PortTable& table, const QString& strPort) {
    for (int i = 1; i <= 3; ++i) {
        if (strPort == table.g_astrPortName[i])
            return i;
    }
    return PortNone;
}

QString INS_strGetFaxNumber(const QString& adr) {
    const int p = separatorPosition(adr);
    if (p == 0)
        return adr;
    return adr.left(p - 1);
}

QString INS_strGetFaxRoute(const QString& adr) {
    const int p = separatorPosition(adr);
    if (p == 0)
        return QString();
    return adr.mid(p);
}

QString INS_strGetFaxRoute_Exec(const QString& adr) {
    const QString route = INS_strGetFaxRoute(adr);
    if (route == kShareServer)
        return kShareServerEngine;
    if (route == kInternetDefault)
        return kInternetEngine;
    return route;
}

QString INS_strConvOldAdr(const QString& adr) {
    const int p = separatorPosition(adr);
    if (p == 0)
        return adr;
    QString route = adr.mid(p);
    if (route == kShareServerEngine)
        route = kShareServer;
    else if (route == kInternetEngine)
        route = kInternetDefault;
    return adr.left(p - 1) + kRouteSeparator + route;
}

QString convertShortPortName(const QString& strPort) {
    if (strPort == QStringLiteral("FAX"))
        return QStringLiteral("FAXまたはメールに転送");
    if (strPort == QStringLiteral("プリンタ"))
        return QStringLiteral("プリンタで印刷");
    if (strPort == QStringLiteral("ポケベル"))
        return QStringLiteral("ポケベル呼出し");
    return strPort;
}

} // namespace PortEncoding
