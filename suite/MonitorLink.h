#pragma once

#include <QString>

// The control channel of the communication monitor (topic "KMBMON|CONTROL"): a poke carries an
// item ("Goidle", "GoActive") and data. False when no monitor answers or the poke is refused;
// never blocks longer than a few seconds.
class MonitorLink {
public:
    virtual ~MonitorLink() = default;
    virtual bool poke(const QString& topic, const QString& item, const QString& data) = 0;
};
