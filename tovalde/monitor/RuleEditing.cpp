#include "RuleEditing.h"

#include "ItemList.h"
#include "PortEncoding.h"

namespace RuleEditing {

namespace {

const QString& kPortFax = PortEncoding::kPortNames[PortEncoding::PortFax];

void appendFaxNumber(ItemList& list, const ForwardingRule& rule) {
    if (rule.strPort != kPortFax)
        return;
    const QString number = PortEncoding::INS_strGetFaxNumber(rule.strAdr);
    if (!number.isEmpty())
        list.addItem(number);
}

} // namespace

QString dialogCaption(const QString& folder) {
    return QStringLiteral("｢") + folder + QStringLiteral("｣の転送先の設定");
}

void INS_SetFaxList(ItemList& LstObj, const ForwardingRuleStore& rules) {
    LstObj.clear();
    appendFaxNumber(LstObj, rules.allRule);
    for (const ReceiveFolderRow& row : rules.rows)
        appendFaxNumber(LstObj, row.rule);
}

FaxBoxes faxBoxesFor(const QString& adr, int engineLevel) {
    const QString current = PortEncoding::INS_strConvOldAdr(adr);
    FaxBoxes boxes;
    boxes.number = PortEncoding::INS_strGetFaxNumber(current);
    if (engineLevel >= 2)
        boxes.route = PortEncoding::INS_strGetFaxRoute(current);
    return boxes;
}

QString registeredDestination(int type, const QString& address, const QString& route,
                              int engineLevel) {
    if (type == PortEncoding::PortFax && !route.isEmpty() && engineLevel >= 2)
        return address + PortEncoding::kRouteSeparator + route;
    return address;
}

} // namespace RuleEditing
