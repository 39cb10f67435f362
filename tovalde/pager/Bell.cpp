#include "Bell.h"

#include "IniFile.h"
#include "MSCommBell.h"
#include "Main.h"
#include "VbValue.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QThread>

Q_LOGGING_CATEGORY(lcBell, "tovalde.pager.bell")

namespace Bell {

bool g_bBellAbort = false;

const std::array<QString, 5> g_astrModemResult = {
    QStringLiteral("OK"), QStringLiteral("BUSY"), QStringLiteral("ERROR"),
    QStringLiteral("NO DIALTONE"), QStringLiteral("NO CARRIER")};

namespace {

constexpr int kTickMilliseconds = 200;
constexpr int kPollsPerRead = 100;
constexpr int kReadsPerCommand = 100;
// A pause typed with many digits would otherwise overflow the tick count; this is longer than
// any pause a person waits out (about 6,000 years).
constexpr double kMostTicks = 1e12;

const QString kPortSettings = QStringLiteral("19200,N,8,1");

Sleep g_sleep;
bool s_bCalling = false;

void sleepTick() {
    if (g_sleep)
        g_sleep(kTickMilliseconds);
    else
        QThread::msleep(kTickMilliseconds);
}

// The call is one conversation on one port; a second one started from a window event in the
// middle of it must not touch the port or the entry being dialled.
class CallInProgress {
public:
    CallInProgress() { s_bCalling = true; }
    ~CallInProgress() { s_bCalling = false; }
    CallInProgress(const CallInProgress&) = delete;
    CallInProgress& operator=(const CallInProgress&) = delete;
};

} // namespace

QString strReadSuiteIni(const QString& section, const QString& key) {
    return IniFile::strReadIni(QStringLiteral("KMB32.INI"), section, key);
}

MSCommBell& bellPort() {
    static MSCommBell port;
    return port;
}

void setSleep(Sleep sleep) {
    g_sleep = std::move(sleep);
}

QString strGetBellResultMsg(int code) {
    switch (code) {
    case 0:
        return QStringLiteral("正常に終了しました。");
    case -1:
        return QStringLiteral("呼び出し情報がありません。");
    case -2:
        return QStringLiteral("COMポートのオープンに失敗しました。");
    case -3:
        return QStringLiteral("ダイヤルトーンの送出に失敗しました。");
    default:
        return QString();
    }
}

int iBellPortNumber(const QString& portSetting) {
    QString port = portSetting;
    if (port.size() < 4)
        port = QStringLiteral("COM1:");
    if (port.endsWith(QLatin1Char(':')))
        port.chop(1);
    return VbValue::toInteger16(VbValue::numericValue(port.mid(3))).value_or(0);
}

int iCallBell(int slot) {
    if (s_bCalling)
        return -2;
    const CallInProgress call;
    if (slot <= -1)
        return -1;
    const BellInf entry = Main::LoadBellEdit(slot);
    if (entry.rows[0].strData.isEmpty())
        return -1;

    const QString dialMode = strReadSuiteIni(QStringLiteral("Modem"), QStringLiteral("DialMode"));
    QString dialLetter = (dialMode == QLatin1String("1") || dialMode == QLatin1String("2"))
                             ? QStringLiteral("P")
                             : QStringLiteral("T");
    QString prefix = strReadSuiteIni(QStringLiteral("Modem"), QStringLiteral("DialPrefix"));
    const int port =
        iBellPortNumber(strReadSuiteIni(QStringLiteral("System"), QStringLiteral("Port")));
    if (!bOpenBellPort(port))
        return -2;

    for (const BellRow& row : entry.rows) {
        if (g_bBellAbort)
            break;
        if (row.iChecked == 1) {
            strSendModemCommand(QStringLiteral("ATD") + dialLetter + prefix + row.strData +
                                QLatin1Char(';'));
            WaitBellSeconds(VbValue::numericValue(row.strWait));
        }
        // Only the number is dialled the configured way; the data after it is always tones.
        dialLetter = QStringLiteral("T");
        prefix.clear();
    }
    strSendModemCommand(QStringLiteral("ATH0"));
    bCloseBellPort();
    return 0;
}

bool bOpenBellPort(int port) {
    MSCommBell& comm = bellPort();
    try {
        comm.setCommPort(port);
        comm.setSettings(kPortSettings);
        comm.setInputLen(0);
        comm.setPortOpen(true);
    } catch (const MSCommError& error) {
        qCInfo(lcBell) << "cannot open COM" << port << error.what();
        return false;
    }
    ClearModemInput();
    strSendModemCommand(QStringLiteral("ATZ"));
    if (strSendModemCommand(QStringLiteral("ATE0Q0X0V1")) == QLatin1String("OK"))
        return true;
    bCloseBellPort();
    return false;
}

bool bCloseBellPort() {
    try {
        bellPort().setPortOpen(false);
        return true;
    } catch (const MSCommError&) {
        return false;
    }
}

QString strSendModemCommand(const QString& command) {
    if (!bWriteModemPort(command + QLatin1Char('\r')))
        return QString();
    for (int attempt = 0; attempt < kReadsPerCommand; ++attempt) {
        const QString result = strMatchModemResult(strReadModemPort());
        if (!result.isEmpty())
            return result;
        WaitBellTick();
    }
    return QString();
}

QString strReadModemPort() {
    try {
        for (int poll = 0; poll < kPollsPerRead; ++poll) {
            if (g_bBellAbort)
                return QString();
            const int count = bellPort().InBufferCount();
            WaitBellTick();
            if (count > 0)
                return bellPort().Input();
        }
    } catch (const MSCommError& error) {
        qCInfo(lcBell) << "read failed:" << error.what();
    }
    return QString();
}

QString strMatchModemResult(const QString& text) {
    for (const QString& code : g_astrModemResult) {
        if (text.contains(code + QLatin1Char('\r')))
            return code;
    }
    return QString();
}

bool bWriteModemPort(const QString& text) {
    try {
        bellPort().setOutput(text);
        return true;
    } catch (const MSCommError& error) {
        qCInfo(lcBell) << "write failed:" << error.what();
        return false;
    }
}

void ClearModemInput() {
    try {
        bellPort().Input();
    } catch (const MSCommError&) {
    }
}

void WaitBellSeconds(double seconds) {
    const double ticks = std::min(seconds * 1000 / kTickMilliseconds, kMostTicks);
    // Once the call is being aborted the ticks no longer sleep; leaving the loop as well keeps a
    // pause typed with many digits from holding the aborted call for hours.
    for (qint64 tick = VbValue::roundHalfEven(ticks); tick > 0 && !g_bBellAbort; --tick)
        WaitBellTick();
}

void WaitBellTick() {
    QCoreApplication::processEvents();
    if (!g_bBellAbort)
        sleepTick();
}

} // namespace Bell
