#pragma once

#include "Printers.h"

#include <QStringList>

// Installed printers that draw nothing and write every call to `calls`, one line a call:
// "select NAME TITLE", "scale ACROSS x DOWN", "draw WxH-picture at X,Y WxH", "newpage", "end",
// "abort". A call named in `failing` throws PrintError instead of happening.
class RecordingPrinters : public Printers {
public:
    QStringList installed;
    QSize paper{11906, 16838}; // A4 in twips
    QStringList failing;
    QStringList calls;

    QStringList deviceNames() const override { return installed; }
    std::unique_ptr<Printer> select(const QString& deviceName, const QString& jobTitle) override;
};
