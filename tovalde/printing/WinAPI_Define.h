#pragma once

#include "ItemList.h"

class Printers;

// Routines over the platform's printer list.
namespace WinAPI_Define {

// Appends the device name of every installed printer, in the printer system's order, except the
// suite's own fax printers. Does not clear the list first.
void SetPrinterList(ItemList& list, const Printers& printers);

} // namespace WinAPI_Define
