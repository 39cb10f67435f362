#pragma once

#include <QString>

#include <optional>

// The hint the destination dialog shows for a forwarding type.
namespace DestinationHints {

struct Hint {
    QString title;
    QString text;
};

// Types 1 to 3 have a hint; type 0 and anything else have none.
std::optional<Hint> hintFor(int portIndex);

} // namespace DestinationHints
