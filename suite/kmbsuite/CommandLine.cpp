#include "CommandLine.h"

std::optional<CommandLine> CommandLine::parse(const QStringList& arguments,
                                              const QStringList& valueOptions,
                                              const QStringList& switches) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--")) {
            line.plain_ += arguments.mid(i + 1);
            break;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            line.plain_.append(argument);
        } else if (valueOptions.contains(argument) && i + 1 < arguments.size() &&
                   !line.values_.contains(argument)) {
            line.values_.insert(argument, arguments.at(++i));
        } else if (switches.contains(argument)) {
            line.switches_.append(argument);
        } else {
            return std::nullopt;
        }
    }
    return line;
}

std::optional<int> CommandLine::number(const QString& name, int fallback, int low, int high) const {
    if (!values_.contains(name))
        return fallback;
    bool ok = false;
    const int value = values_.value(name).trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}
