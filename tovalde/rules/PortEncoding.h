#pragma once

#include <QString>

class ItemList;

// The vocabulary of a forwarding rule: the forwarding-type table with the prefixes a folder rule
// stores, and the fax or mail destination "number＞route" with its route names.
namespace PortEncoding {

// Indices of the forwarding-type table.
enum PortIndex { PortNone = 0, PortFax = 1, PortPrinter = 2, PortPager = 3 };

// The type names as rules store and show them, by index.
inline const QString kPortNames[4] = {
    QStringLiteral("(なし)"), QStringLiteral("FAXまたはメールに転送"),
    QStringLiteral("プリンタで印刷"), QStringLiteral("ポケベル呼出し")};

// The two parallel tables; index 4 stays empty.
struct PortTable {
    QString g_astrPortName[5];
    QString g_astrPortPrefix[5];
};

// Length of a stored prefix, taken from "P/".
constexpr int kPortPrefixLen = 2;

// The route separator between number part and route part.
inline const QString kRouteSeparator = QStringLiteral("＞");

// Fills the tables, and the type box (when given) with the names of indices 0 to 3 in order, so
// that a box position equals a type index.
void INS_InitPortList(PortTable& table, ItemList* comboPort = nullptr);

// 1 to 3 for a current type name; 0 for "(なし)", empty text and anything else.
int INS_varGetPortIndex(const PortTable& table, const QString& strPort);

// The number part of a fax or mail destination.
QString INS_strGetFaxNumber(const QString& adr);
// The route part as stored in the rule.
QString INS_strGetFaxRoute(const QString& adr);
// The route part under the name the fax engine expects.
QString INS_strGetFaxRoute_Exec(const QString& adr);
// The destination with old route names replaced, always rebuilt with the full-width separator.
QString INS_strConvOldAdr(const QString& adr);

// A stored all-folders type name with the three short names replaced by their current names.
QString convertShortPortName(const QString& strPort);

} // namespace PortEncoding
