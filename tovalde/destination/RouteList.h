#pragma once

#include <QString>
#include <QStringList>

class ItemList;

// The communication routes the destination dialog offers: four fixed routes, then the
// internet-fax profiles the suite keeps in its "Inifile\IFAXPROF.INI".
namespace RouteList {

inline const QString kDirectMailRoute = QStringLiteral("メールアドレスを直接入力");
inline const QString kLocalModemRoute = QStringLiteral("ローカルモデム");
inline const QString kSharedModemRoute = QStringLiteral("FAXモデム共有サーバー");
inline const QString kStandardIfaxRoute = QStringLiteral("インターネットFAXの標準の宛先");

// Put in the route box when the user picks the direct-mail route; never stored.
inline const QString kMailPrompt = QStringLiteral("ここにメールアドレスを入力");

// The fixed routes in the order the list shows them.
const QStringList& fixedRoutes();

// Where the suite's files are, as Windows paths the profile routines take.
struct SuitePaths {
    QString strSuiteIniPath; // "KMB32.INI" in the Windows directory
    QString strSuiteDir;     // the suite's directory, ending in "\" unless empty
    QString strIfaxProfPath; // strSuiteDir + "Inifile\IFAXPROF.INI"
};

// `windir` is the value of the variable of that name; empty leaves the bare profile name, which
// the profile routines look for in the Windows directory.
SuitePaths suitePaths(const QString& windir);

// Profile names the suite keeps as templates for new profiles; they are not routes.
bool isProfileTemplate(const QString& name);

// Appends the profile names of the file in profile-number order, templates and empty names left
// out. The count is the leading number of "PROFILECNT", rounded half to even.
void appendIfaxProfiles(ItemList& list, const QString& ifaxProfPath);

// The refusal shown when "登録" finds no printer or title: the row caption without one trailing
// colon, then "を設定してください.".
QString missingValueMessage(const QString& addressCaption);

} // namespace RouteList
