#pragma once
// Command numbers of Marrowby: the framework's standard ones (common/command.h) and the
// program's own, shared by menus, toolbar buttons and accelerators.

#include "common/command.h"

namespace marrowby {

using enum tessera::StandardCommand;
using tessera::CommandTarget;

enum DepthCommand : int {
    ID_DATA_TRANSFER = 32771,
    ID_PORT_SETTINGS = 32774,
    ID_EXPORT_TEXT = 32778,
    ID_USB_DRIVER_INSTALL = 32779,
    ID_EXPORT_PDF = 32780, // "PDF文件(pdf)" under "导出(E)..."
};

} // namespace marrowby
