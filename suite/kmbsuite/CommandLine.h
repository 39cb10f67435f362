#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A subcommand's arguments: "--name value" options, "--name" switches and plain arguments, in
// any order. Anything the subcommand does not know makes the whole line a usage error.
class CommandLine {
public:
    // nullopt when an option is unknown or lacks its value.
    static std::optional<CommandLine> parse(const QStringList& arguments,
                                            const QStringList& valueOptions,
                                            const QStringList& switches);

    bool has(const QString& name) const {
        return values_.contains(name) || switches_.contains(name);
    }
    QString value(const QString& name) const { return values_.value(name); }
    const QStringList& plain() const { return plain_; }

    // An option's value as a whole number within [low, high]; `fallback` when it is absent,
    // nullopt when it is not such a number.
    std::optional<int> number(const QString& name, int fallback, int low, int high) const;

private:
    QMap<QString, QString> values_;
    QStringList switches_;
    QStringList plain_;
};
