#pragma once

#include <QString>

// Where the Windows places the programs rely on are found on this system. The layout is the one
// Wine keeps under $WINEPREFIX, so a suite installed there shares its files with us.
namespace WindowsPaths {

// $WINEPREFIX, or ~/.wine when it is not set. No trailing separator.
QString winePrefix();

// The Windows directory: <prefix>/drive_c/windows.
QString windowsDirectory();

// A profile file name as the private-profile functions take it: a bare name (no separator)
// lives in the Windows directory, anything else is a path. The last component is matched
// without regard to case against what is on disk; a file that does not exist yet keeps the
// spelling given.
QString resolveProfilePath(const QString& name);

// A Windows path stored in a profile ("C:\KORIMBA\", "Inifile\IFAXPROF.INI") as a native path.
// "X:" maps to <prefix>/dosdevices/x: (c: defaults to ../drive_c when the link is missing);
// each existing component is matched without regard to case. A relative Windows path stays
// relative, with '/' separators. A trailing separator is kept.
QString toNativePath(const QString& windowsPath);

// Looks up `path` component by component without regard to case, starting below `base`.
// Components that do not exist are appended as given.
QString matchCaseInsensitive(const QString& base, const QString& relative);

// The program's own directory: $TOVALDE_PROGRAM_DIR when set, else the executable's folder.
// Always ends in '/'.
QString programDirectory();

// The temporary directory: "TEMP", then "windir", then the system temporary directory, as a
// native path ending in '/'. Never the root directory because of an empty variable.
QString temporaryDirectory();

} // namespace WindowsPaths
