#pragma once

#include <QIcon>
#include <QSize>

// The program icon (resource 128 of the Windows program), in the sizes the window system asks for.
namespace ProgramIcon {

QIcon icon();

// The system's standard icon size, in which the about box shows it.
QSize standardSize();

} // namespace ProgramIcon
