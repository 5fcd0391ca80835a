#pragma once
// The program's icon and the toolbar's pictures, drawn in code.

#include <QIcon>

namespace fallowmere {

QIcon appIcon();
// The toolbar picture of a command; a null icon for commands without one.
QIcon commandIcon(int id);

} // namespace fallowmere
