#pragma once

#include <QString>

#include <functional>

class FaxEngine;
class MonitorLink;

// Taking the communication monitor off the line before a pager call and handing it back after.
namespace KMB95_DDE {

// Waits the given number of milliseconds; tests pass one that returns at once.
using Sleep = std::function<void(int milliseconds)>;
void realSleep(int milliseconds);

// `linkText` is the text of the link control, sent as the poke's data. Both answer true also
// when the monitor does not reach the awaited state within 100 tries; false when the link or
// the engine fails.
bool bMonitorGoIdle(FaxEngine& engine, MonitorLink& link, const QString& linkText,
                    const Sleep& sleep = realSleep);
bool bMonitorGoActive(FaxEngine& engine, MonitorLink& link, const QString& linkText,
                      const Sleep& sleep = realSleep);

} // namespace KMB95_DDE
