#pragma once

#include <QString>

#include <array>
#include <functional>

class MSCommBell;

// The modem pager dialer: dials a pager call entry through the fax modem with AT commands.
namespace Bell {

// Set by the list dialog to stop a running test call, cleared by it when the test has ended.
// The dialer only reads it.
extern bool g_bBellAbort;

// The result codes a modem answers with, in the order they are matched.
extern const std::array<QString, 5> g_astrModemResult;

// The value of a key in the suite's own profile.
QString strReadSuiteIni(const QString& section, const QString& key);

// Dials the entry of a slot. 0 when the call ran to its end or was aborted once the modem was
// ready, -1 when there is nothing to dial (slot below 0, no number in the first row), -2 when
// the port or the modem failed, or when another call is still running (that call goes on
// untouched). Lets window events run every 200 ms while it waits.
int iCallBell(int slot);

// The message for a call result; empty for a code without one.
QString strGetBellResultMsg(int code);

// The modem's port: one for the whole program, shared by forwarding and the test call.
MSCommBell& bellPort();

// How a tick sleeps. Tests put in a shorter sleep so no test waits real seconds; an empty
// function restores the real one.
using Sleep = std::function<void(int milliseconds)>;
void setSleep(Sleep sleep);

// The steps of a call.

// The port number of a "Port" value such as "COM3:"; values shorter than four characters mean
// COM1. 0 when no port number can be read from it.
int iBellPortNumber(const QString& portSetting);

// Opens port n at 19200,N,8,1 and initialises the modem; false, with the port closed, unless the
// modem acknowledged the initialisation.
bool bOpenBellPort(int port);
bool bCloseBellPort();

// Sends a command and returns the first result code of a reply, or empty text when none came.
QString strSendModemCommand(const QString& command);

// What the modem has sent, once something arrived and one more tick has passed; empty when
// nothing came within 100 polls, on a read error, or at once when the call is being aborted.
QString strReadModemPort();

// The first code of the result table found in the text followed by a carriage return.
QString strMatchModemResult(const QString& text);

bool bWriteModemPort(const QString& text);
void ClearModemInput();
void WaitBellSeconds(double seconds);
void WaitBellTick();

} // namespace Bell
