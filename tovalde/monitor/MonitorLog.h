#pragma once

#include <QLoggingCategory>

// Diagnostics of the forwarding monitor: failures it survives are reported here.
Q_DECLARE_LOGGING_CATEGORY(lcMonitor)
