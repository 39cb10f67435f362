// kmbsuite: the stand-in fax suite's command line for people and tests.
//
//   kmbsuite init [--folders N]
//   kmbsuite receive --fax-id ID [--time "YYYY/MM/DD hh:mm:ss"] [--flags F] [--result R] FILE
//   kmbsuite log | outbox | pokes | state
//   kmbsuite sample-fax FILE [--pages N] [--fine]
//
// Output is UTF-8, one item a line, fields separated by tabs. Bad arguments exit 2 with a usage
// line, failures exit 1 with a message; nothing is left half-written.

#include "Commands.h"
#include "FaxEngine.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

const std::map<QString, std::function<int(const QStringList&)>> commands = {
    {QStringLiteral("init"), Commands::init},
    {QStringLiteral("receive"), Commands::receive},
    {QStringLiteral("log"), Commands::log},
    {QStringLiteral("outbox"), Commands::outbox},
    {QStringLiteral("pokes"), Commands::pokes},
    {QStringLiteral("state"), Commands::state},
    {QStringLiteral("sample-fax"), Commands::sampleFax},
};

void printError(const QString& text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace

int main(int argc, char** argv) {
    const bool drawsPages = argc > 1 && QByteArrayView(argv[1]) == "sample-fax";
    std::unique_ptr<QCoreApplication> app;
    if (drawsPages) {
        // Pages are drawn off screen; fonts need a GUI application, not a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const QStringList arguments = app->arguments().mid(1);
    const auto command = arguments.isEmpty() ? commands.end() : commands.find(arguments.first());
    if (command == commands.end()) {
        printError(QStringLiteral("usage: kmbsuite init|receive|log|outbox|pokes|state|sample-fax "
                                  "..."));
        return Commands::usageStatus;
    }
    try {
        const int status = command->second(arguments.mid(1));
        std::fflush(stdout);
        return status;
    } catch (const Commands::CommandFailure& failure) {
        printError(failure.status == Commands::usageStatus
                       ? QString::fromStdString(failure.what())
                       : QStringLiteral("kmbsuite: ") + QString::fromStdString(failure.what()));
        return failure.status;
    } catch (const SuiteError& error) {
        printError(QStringLiteral("kmbsuite: ") + QString::fromStdString(error.what()));
        return Commands::failedStatus;
    }
}
