#pragma once

#include "CommandLine.h"

#include <stdexcept>

// The kmbsuite subcommands. Each returns the exit status; a CommandFailure carries the status
// and the message for stderr.
namespace Commands {

struct CommandFailure : std::runtime_error {
    CommandFailure(int status, const QString& message)
        : std::runtime_error(message.toStdString()), status(status) {}
    int status;
};

constexpr int failedStatus = 1;
constexpr int usageStatus = 2;

int init(const QStringList& arguments);
int receive(const QStringList& arguments);
int log(const QStringList& arguments);
int outbox(const QStringList& arguments);
int pokes(const QStringList& arguments);
int state(const QStringList& arguments);
int sampleFax(const QStringList& arguments);

} // namespace Commands
