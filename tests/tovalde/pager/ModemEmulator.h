#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The modem emulator from the build tree, on a pseudo-terminal linked at
// $WINEPREFIX/dosdevices/com<port>. Stopped (and its link removed) on destruction.
class ModemEmulator {
public:
    explicit ModemEmulator(const QString& winePrefix, int port = 1, const QStringList& script = {});
    ~ModemEmulator();
    ModemEmulator(const ModemEmulator&) = delete;
    ModemEmulator& operator=(const ModemEmulator&) = delete;

    bool isReady() const { return ready_; }
    QString linkPath() const { return link_; }

    // Every line the modem received so far, oldest first.
    QStringList transcript() const;

    // The transcript once it holds at least `lines` lines (or after a few seconds): for lines
    // sent without waiting for the reply, which the emulator may not have read yet.
    QStringList transcriptOnceItHas(int lines) const;

private:
    QProcess process_;
    QString link_;
    QString transcriptPath_;
    bool ready_ = false;
};
