#include "depth/app/ui/doc_commands.h"

#include "depth/app/ui/marrowby_view.h"
#include "depth/document/depth_doc.h"
#include "depth/download/ui/data_transfer.h"
#include "depth/ports/ui/port_commands.h"

namespace marrowby {

DocCommands::DocCommands(std::shared_ptr<CMarrowbyDoc> document, QWidget* parent)
    : document_(std::move(document)), parent_(parent) {
    commandTable()
        .on(ID_DATA_TRANSFER,
            [this](int) {
                if (saveChangedRows())
                    OnDataTransfer(*document_, parent_, [this] { return saveChangedRows(); });
            })
        .on(ID_PORT_SETTINGS,
            [this](int) { document_->setPort(OnPortSettings(document_->port(), parent_)); })
        .on(ID_USB_DRIVER_INSTALL, [this](int) { OnUsbDriverInstall(parent_); });
}

bool DocCommands::saveChangedRows() {
    // A download replaces the rows of every window on the document.
    const std::vector<DocumentView*> views = document_->views();
    for (DocumentView* v : views)
        if (auto* view = dynamic_cast<CMarrowbyView*>(v); view && !view->askToSaveChanges())
            return false;
    return true;
}

} // namespace marrowby
