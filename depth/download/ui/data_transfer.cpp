#include "depth/download/ui/data_transfer.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/prompt.h"
#include "depth/document/depth_doc.h"
#include "depth/document/program_title.h"
#include "depth/download/ui/transfer_dlg.h"
#include "depth/ports/port_map.h"
#include "depth/ports/qt/port_enumeration.h"

namespace marrowby {

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent) {
    OnDataTransfer(doc, parent, [] { return std::make_unique<SerialPort>(); });
}

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent, const PortEngineFactory& makeEngine) {
    // The views keep showing the old rows until the transfer ends with OK.
    doc.clearRecords();
    const PortMap map = currentPortMap();
    const int port = transferPortNumber(doc.port(), map);
    std::unique_ptr<PortEngine> engine = makeEngine();
    int result;
    {
        CTransferDlg dlg(doc.records, port, devicePathFor(map, port).value_or(std::string()),
                         *engine, parent);
        result = dlg.exec();
    }
    if (result != QDialog::Accepted)
        return;
    tessera::prompt().message(parent, tessera::fromUtf8(kProgramTitle),
                              tessera::fromUtf8(kTransferCompleteMessage),
                              tessera::PromptIcon::Exclamation);
    doc.updateAllViews(0);
}

} // namespace marrowby
