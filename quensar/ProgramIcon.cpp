#include "ProgramIcon.h"

// The resources live in a static library: make sure they are registered before first use.
static void registerResources() {
    Q_INIT_RESOURCE(quensar);
}

namespace ProgramIcon {

QIcon icon() {
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/quensar/quensar-%1.png").arg(size), QSize(size, size));
    return icon;
}

QSize standardSize() {
    return QSize(32, 32);
}

} // namespace ProgramIcon
