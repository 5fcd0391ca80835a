#include "depth/app/doc_commands.h"

#include "depth/document/depth_doc.h"
#include "depth/download/ui/data_transfer.h"
#include "depth/ports/ui/port_commands.h"

namespace marrowby {

bool DocCommands::handlesCommand(int id) const {
    switch (id) {
    case ID_DATA_TRANSFER:
    case ID_PORT_SETTINGS:
    case ID_USB_DRIVER_INSTALL:
        return true;
    default:
        return false;
    }
}

void DocCommands::onCommand(int id) {
    switch (id) {
    case ID_DATA_TRANSFER:
        OnDataTransfer(*m_document, m_parent);
        break;
    case ID_PORT_SETTINGS:
        OnPortSettings(*m_document, m_parent);
        break;
    case ID_USB_DRIVER_INSTALL:
        OnUsbDriverInstall(m_parent);
        break;
    default:
        break;
    }
}

} // namespace marrowby
