// Times the route list the destination dialog builds each time forwarding by fax or mail is
// chosen: the suite paths, then every profile name of the internet-fax profile file. A usual file
// holds a handful of profiles; a damaged count makes the dialog walk up to the 16-bit limit.
#include "IniFile.h"
#include "ItemList.h"
#include "RouteList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void writeProfiles(const QString& path, int count, int named) {
    const QString section = QStringLiteral("IFAXPROF");
    IniFile::bWriteIni(path, section, QStringLiteral("PROFILECNT"), QString::number(count));
    for (int i = 1; i <= named; ++i)
        IniFile::bWriteIni(path, section, QStringLiteral("PROFILENAME%1").arg(i),
                           QStringLiteral("支店プロファイル%1").arg(i));
}

void measure(const char* what, int count, int named, int rounds) {
    QTemporaryDir dir;
    qputenv("WINEPREFIX", QFile::encodeName(dir.path()));
    const QString suiteIni = QStringLiteral("KMB32.INI");
    IniFile::bWriteIni(suiteIni, QStringLiteral("Path"), QStringLiteral("KMB Directory"),
                       QStringLiteral("C:\\KORIMBA\\"));
    const RouteList::SuitePaths paths = RouteList::suitePaths(QString());
    writeProfiles(paths.strIfaxProfPath, count, named);

    QElapsedTimer timer;
    timer.start();
    qsizetype routes = 0;
    for (int r = 0; r < rounds; ++r) {
        StringItemList list;
        list.items = RouteList::fixedRoutes();
        RouteList::appendIfaxProfiles(list, RouteList::suitePaths(QString()).strIfaxProfPath);
        routes = list.items.size();
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6 / rounds;
    std::printf("%-40s count %6d, %3d named: %4lld routes, %9.3f ms per build\n", what, count,
                named, static_cast<long long>(routes), ms);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    measure("usual file", 5, 5, 200);
    measure("many profiles", 100, 100, 20);
    measure("damaged count, few profiles", 99999, 3, 1);
    return 0;
}
