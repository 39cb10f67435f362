#pragma once

#include <QLoggingCategory>

// Diagnostics of forwarding: what the forwarding log itself cannot record.
Q_DECLARE_LOGGING_CATEGORY(lcForwarding)
