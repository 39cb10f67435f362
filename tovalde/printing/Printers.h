#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

// The printer chosen for one document. Nothing reaches the printer system before the first
// drawing; endDocument() sends the job, abortDocument() throws it away. Failures are PrintError.
class Printer {
public:
    virtual ~Printer() = default;

    // The default paper of the printer, width and height in twips (1/1440 inch).
    virtual QSize paperSize() const = 0;

    // From now on the printable area measures `unitsAcross` by `unitsDown` user units.
    virtual void setUserScale(double unitsAcross, double unitsDown) = 0;

    // Draws `picture` stretched into `target`, given in user units.
    virtual void drawPicture(const QImage& picture, const QRectF& target) = 0;

    // Later drawings go on a fresh sheet. A new page that nothing is drawn on never prints.
    virtual void newPage() = 0;

    // Sends what was drawn as one job; without any drawing no job is made.
    virtual void endDocument() = 0;

    // Discards what was drawn so far; the printer system never sees the job.
    virtual void abortDocument() = 0;
};

// The installed printers, by device name.
class Printers {
public:
    virtual ~Printers() = default;

    // Device names in the order the printer system lists them.
    virtual QStringList deviceNames() const = 0;

    // Makes the printer with exactly this device name the one to print on. `jobTitle` names the
    // job in the queue.
    virtual std::unique_ptr<Printer> select(const QString& deviceName, const QString& jobTitle) = 0;
};
