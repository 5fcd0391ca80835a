#pragma once
// The program's pictures: drawn at run time, so no image files need shipping.

#include <QIcon>

namespace marrowby {

QIcon appIcon();
QIcon commandIcon(int commandId);

} // namespace marrowby
