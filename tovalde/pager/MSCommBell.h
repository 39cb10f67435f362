#pragma once

#include <QSerialPort>
#include <QString>

#include <stdexcept>

// What the serial-port control raises; the dialer catches it and never lets it reach a caller.
class MSCommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The modem's serial port with the members the dialer uses. Port n is the device behind
// $WINEPREFIX/dosdevices/comN when that link exists, else /dev/ttyS<n-1>. The port is opened
// exclusively through its canonical path, so two names of one device still collide.
class MSCommBell {
public:
    MSCommBell() = default;
    ~MSCommBell();
    MSCommBell(const MSCommBell&) = delete;
    MSCommBell& operator=(const MSCommBell&) = delete;

    // 1 to 255; throws for any other number, or while the port is open.
    void setCommPort(int port);
    int CommPort() const { return commPort_; }

    // "baud,parity,data bits,stop bits", for example "19200,N,8,1"; throws for a malformed text.
    void setSettings(const QString& settings);

    // The most characters one Input() takes; 0 takes everything waiting.
    void setInputLen(int length);

    // Opening throws when the device is missing, cannot be opened, or the port is already open.
    void setPortOpen(bool open);
    bool PortOpen() const { return port_.isOpen(); }

    // Sends the text as the system's ANSI bytes; throws when the port is closed or the write fails.
    void setOutput(const QString& text);

    // Characters received and not yet taken; throws when the port is closed.
    int InBufferCount();

    // Takes the waiting characters (at most InputLen of them); throws when the port is closed.
    QString Input();

    // The device port n opens: the canonical path behind the Wine link, or the serial device.
    static QString devicePath(int port);

private:
    void requireOpen(const char* member) const;
    void applySettings();
    void pullWaitingBytes();

    QSerialPort port_;
    int commPort_ = 1;
    QString settings_ = QStringLiteral("9600,N,8,1");
    int inputLen_ = 0;
};
