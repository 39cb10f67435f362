#pragma once

#include "ForwardingRuleStore.h"

#include <QString>

class ItemList;

// The text side of editing one rule in the destination dialog: what the dialog is given when it
// opens and what the rule becomes when the user registers.
namespace RuleEditing {

// The dialog's caption for the folder (or "すべて" for the all-folders rule).
QString dialogCaption(const QString& folder);

// Clears the list and appends the number part of every fax rule that has one: the all-folders
// rule first, whatever its switch, then the folder rules in profile order. Numbers used by
// several rules appear as often as they are used.
void INS_SetFaxList(ItemList& LstObj, const ForwardingRuleStore& rules);

// The number box's and the route box's texts for a stored fax destination. An old route name is
// given its current name first: the dialog would otherwise take it for a mail address and throw
// the number away. Below engine level 2 no route is shown and the number stays.
struct FaxBoxes {
    QString number;
    QString route;
};
FaxBoxes faxBoxesFor(const QString& adr, int engineLevel);

// The destination the dialog's boxes give for the type the user registered: the address box's
// text, and for a fax rule the route behind the separator where the engine takes routes.
QString registeredDestination(int type, const QString& address, const QString& route,
                              int engineLevel);

} // namespace RuleEditing
