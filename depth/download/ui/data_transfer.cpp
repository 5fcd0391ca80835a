#include "depth/download/ui/data_transfer.h"

#include "common/qt/prompt.h"
#include "depth/document/depth_doc.h"
#include "depth/download/ui/transfer_dlg.h"
#include "depth/ports/ui/port_enumeration.h"

namespace marrowby {

int transferPortNumber(int docPort, const PortMap& map) {
    if (auto bridge = findBridgePort(map))
        return *bridge;
    return docPort;
}

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent) {
    OnDataTransfer(doc, parent, [] { return std::make_unique<SerialPort>(); });
}

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent, const PortEngineFactory& makeEngine) {
    // The views keep showing the old rows until the transfer ends with OK.
    doc.clearRecords();
    const int port = transferPortNumber(doc.m_nPort, currentPortMap());
    std::unique_ptr<PortEngine> engine = makeEngine();
    int result;
    {
        CTransferDlg dlg(doc.records, port, *engine, parent);
        result = dlg.exec();
    }
    if (result != QDialog::Accepted)
        return;
    tessera::prompt().message(
        parent, QStringLiteral("Tessaly"),
        QString::fromUtf8(kTransferCompleteMessage.data(),
                          static_cast<qsizetype>(kTransferCompleteMessage.size())),
        tessera::PromptIcon::Exclamation);
    doc.updateAllViews(0);
}

} // namespace marrowby
