#include "MonitorLog.h"

Q_LOGGING_CATEGORY(lcMonitor, "tovalde.monitor")
