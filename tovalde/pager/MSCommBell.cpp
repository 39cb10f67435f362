#include "MSCommBell.h"

#include "Cp932.h"
#include "WindowsPaths.h"

#include <QFileInfo>
#include <QStringList>

#include <optional>
#include <sys/ioctl.h>

namespace {

struct LineSettings {
    qint32 baudRate;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
};

std::optional<QSerialPort::Parity> parityOf(const QString& letter) {
    const QString upper = letter.trimmed().toUpper();
    if (upper == QLatin1String("N"))
        return QSerialPort::NoParity;
    if (upper == QLatin1String("E"))
        return QSerialPort::EvenParity;
    if (upper == QLatin1String("O"))
        return QSerialPort::OddParity;
    if (upper == QLatin1String("M"))
        return QSerialPort::MarkParity;
    if (upper == QLatin1String("S"))
        return QSerialPort::SpaceParity;
    return std::nullopt;
}

std::optional<QSerialPort::StopBits> stopBitsOf(const QString& text) {
    const QString bits = text.trimmed();
    if (bits == QLatin1String("1"))
        return QSerialPort::OneStop;
    if (bits == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    if (bits == QLatin1String("2"))
        return QSerialPort::TwoStop;
    return std::nullopt;
}

std::optional<LineSettings> parseSettings(const QString& settings) {
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    bool baudOk = false;
    bool bitsOk = false;
    const int baud = parts[0].trimmed().toInt(&baudOk);
    const int dataBits = parts[2].trimmed().toInt(&bitsOk);
    const auto parity = parityOf(parts[1]);
    const auto stopBits = stopBitsOf(parts[3]);
    if (!baudOk || baud <= 0 || !bitsOk || dataBits < 5 || dataBits > 8 || !parity || !stopBits)
        return std::nullopt;
    return LineSettings{baud, *parity, static_cast<QSerialPort::DataBits>(dataBits), *stopBits};
}

} // namespace

MSCommBell::~MSCommBell() {
    if (port_.isOpen())
        port_.close();
}

void MSCommBell::setCommPort(int port) {
    if (port_.isOpen())
        throw MSCommError("Port already open");
    if (port < 1 || port > 255)
        throw MSCommError("Invalid port number");
    commPort_ = port;
}

void MSCommBell::setSettings(const QString& settings) {
    if (!parseSettings(settings))
        throw MSCommError("Invalid settings");
    settings_ = settings;
    if (port_.isOpen())
        applySettings();
}

void MSCommBell::setInputLen(int length) {
    if (length < 0)
        throw MSCommError("Invalid input length");
    inputLen_ = length;
}

void MSCommBell::setPortOpen(bool open) {
    if (!open) {
        if (port_.isOpen())
            port_.close();
        return;
    }
    if (port_.isOpen())
        throw MSCommError("Port already open");
    const QString path = devicePath(commPort_);
    if (!QFileInfo::exists(path))
        throw MSCommError("Invalid port number");
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        const std::string reason = port_.errorString().toStdString();
        port_.clearError();
        throw MSCommError("Port open failed: " + reason);
    }
    try {
        applySettings();
    } catch (const MSCommError&) {
        port_.close();
        throw;
    }
}

void MSCommBell::setOutput(const QString& text) {
    requireOpen("Output");
    const QByteArray bytes = Cp932::encode(text);
    if (port_.write(bytes) != bytes.size() || !port_.flush()) {
        port_.clearError();
        throw MSCommError("Write failed");
    }
}

int MSCommBell::InBufferCount() {
    requireOpen("InBufferCount");
    pullWaitingBytes();
    return static_cast<int>(port_.bytesAvailable());
}

QString MSCommBell::Input() {
    requireOpen("Input");
    pullWaitingBytes();
    const QByteArray bytes = inputLen_ > 0 ? port_.read(inputLen_) : port_.readAll();
    return Cp932::decode(bytes);
}

QString MSCommBell::devicePath(int port) {
    const QFileInfo link(WindowsPaths::winePrefix() +
                         QStringLiteral("/dosdevices/com%1").arg(port));
    if (link.isSymLink() || link.exists())
        return link.exists() ? link.canonicalFilePath() : link.absoluteFilePath();
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

void MSCommBell::requireOpen(const char* member) const {
    if (!port_.isOpen())
        throw MSCommError(std::string("Port not open: ") + member);
}

void MSCommBell::applySettings() {
    const std::optional<LineSettings> line = parseSettings(settings_);
    if (!line || !port_.setBaudRate(line->baudRate) || !port_.setParity(line->parity) ||
        !port_.setDataBits(line->dataBits) || !port_.setStopBits(line->stopBits)) {
        port_.clearError();
        throw MSCommError("Invalid settings");
    }
}

// The receive count is the driver's, as on the original control: what has reached the device
// counts even before the event loop has run.
void MSCommBell::pullWaitingBytes() {
    int waiting = 0;
    if (::ioctl(static_cast<int>(port_.handle()), FIONREAD, &waiting) == 0 && waiting > 0)
        port_.waitForReadyRead(0);
    if (port_.error() != QSerialPort::NoError) {
        const std::string reason = port_.errorString().toStdString();
        const bool fatal = port_.error() == QSerialPort::ResourceError;
        port_.clearError();
        if (fatal)
            throw MSCommError("Read failed: " + reason);
    }
}
