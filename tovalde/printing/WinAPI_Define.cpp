#include "WinAPI_Define.h"

#include "Printers.h"

namespace WinAPI_Define {

namespace {
// The suite's fax printers would send a received fax straight back out as a fax; only these
// exact names are left out, so a printer whose name merely begins the same way stays on offer.
bool isSuiteFaxPrinter(const QString& deviceName) {
    return deviceName == QStringLiteral("DORVATEK KORIMBA") ||
           deviceName == QStringLiteral("DORVATEK ORVELLA");
}
} // namespace

void SetPrinterList(ItemList& list, const Printers& printers) {
    const QStringList names = printers.deviceNames();
    for (const QString& name : names) {
        if (!isSuiteFaxPrinter(name))
            list.addItem(name);
    }
}

} // namespace WinAPI_Define
