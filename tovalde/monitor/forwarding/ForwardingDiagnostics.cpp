#include "ForwardingDiagnostics.h"

Q_LOGGING_CATEGORY(lcForwarding, "tovalde.forwarding")
