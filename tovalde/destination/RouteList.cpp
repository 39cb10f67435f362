#include "RouteList.h"

#include "IniFile.h"
#include "ItemList.h"
#include "VbValue.h"

#include <limits>

namespace RouteList {

namespace {
const QString kIfaxSection = QStringLiteral("IFAXPROF");

// Counters are 16-bit integers; a larger count can only come from a damaged file, and walking
// it would keep the dialog busy for minutes.
constexpr double kMaxProfileCount = std::numeric_limits<short>::max();

QString withBackslash(QString path) {
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('\\');
    return path;
}
} // namespace

const QStringList& fixedRoutes() {
    static const QStringList routes{kDirectMailRoute, kLocalModemRoute, kSharedModemRoute,
                                    kStandardIfaxRoute};
    return routes;
}

SuitePaths suitePaths(const QString& windir) {
    SuitePaths paths;
    paths.strSuiteIniPath = withBackslash(windir) + QStringLiteral("KMB32.INI");
    paths.strSuiteDir = withBackslash(IniFile::strReadIni(
        paths.strSuiteIniPath, QStringLiteral("Path"), QStringLiteral("KMB Directory")));
    paths.strIfaxProfPath = paths.strSuiteDir + QStringLiteral("Inifile\\IFAXPROF.INI");
    return paths;
}

bool isProfileTemplate(const QString& name) {
    return name.startsWith(QStringLiteral("テンプレート")) ||
           name.startsWith(QStringLiteral("(テンプレート")) ||
           name.startsWith(QStringLiteral("（テンプレート"));
}

void appendIfaxProfiles(ItemList& list, const QString& ifaxProfPath) {
    const double count = qMin(VbValue::numericValue(IniFile::strReadIni(
                                  ifaxProfPath, kIfaxSection, QStringLiteral("PROFILECNT"))),
                              kMaxProfileCount);
    const qint64 n = VbValue::roundHalfEven(count);
    for (qint64 i = 1; i <= n; ++i) {
        const QString name =
            IniFile::strReadIni(ifaxProfPath, kIfaxSection, QStringLiteral("PROFILENAME%1").arg(i));
        if (!name.isEmpty() && !isProfileTemplate(name))
            list.addItem(name);
    }
}

QString missingValueMessage(const QString& addressCaption) {
    QString caption = addressCaption;
    if (caption.endsWith(QStringLiteral("：")) || caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption + QStringLiteral("を設定してください.");
}

} // namespace RouteList
