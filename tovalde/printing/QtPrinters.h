#pragma once

#include "Printers.h"

// The installed printers of the system's print service, through Qt Print Support.
class QtPrinters : public Printers {
public:
    QStringList deviceNames() const override;
    std::unique_ptr<Printer> select(const QString& deviceName, const QString& jobTitle) override;
};
