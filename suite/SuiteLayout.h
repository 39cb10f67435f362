#pragma once

#include <QString>

// Where the suite keeps its files. The suite directory is the one "KMB32.INI" [Path]
// "KMB Directory" names (a Windows path, mapped into the Wine prefix), C:\KORIMBA\ when the
// profile does not name one. Inside it:
//   Inifile/IFAXPROF.INI   internet-fax profiles
//   Log/recv.log           the reception log
//   Log/send.log           the send record (every SendDocument)
//   Log/pokes.log          every control-channel poke the monitor received
//   Recv/                  received documents
class SuiteLayout {
public:
    static constexpr const char* profileName = "KMB32.INI";
    static constexpr const char* defaultSuiteDirectory = "C:\\KORIMBA\\";

    // The layout the suite profile names.
    static SuiteLayout fromProfile();

    // A layout around a native directory.
    explicit SuiteLayout(const QString& directory);

    // Native path without a trailing separator.
    QString directory() const { return directory_; }
    QString receptionLog() const;
    QString sendRecord() const;
    QString pokeRecord() const;
    QString receivedDocuments() const;
    QString faxProfiles() const;

    // The control channel's local-socket path. It lives in the runtime directory
    // ($XDG_RUNTIME_DIR, else a private folder under /tmp) and is named by a hash of the suite
    // directory, so a suite directory of any length gets a socket path that fits.
    QString monitorServerName() const;

private:
    QString directory_;
};
