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

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent, const ReplaceRowsCheck& mayReplaceRows) {
    OnDataTransfer(
        doc, parent, [] { return std::make_unique<SerialPort>(); }, mayReplaceRows);
}

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent, const PortEngineFactory& makeEngine,
                    const ReplaceRowsCheck& mayReplaceRows) {
    // The views keep showing the old rows until the transfer has ended.
    doc.clearRecords();
    const PortMap map = currentPortMap();
    const int port = transferPortNumber(doc.port(), map);
    std::unique_ptr<PortEngine> engine = makeEngine();
    int result;
    int groupsKept;
    {
        CTransferDlg dlg(doc.records, port, devicePathFor(map, port).value_or(std::string()),
                         *engine, parent);
        result = dlg.exec();
        groupsKept = dlg.groupsDone();
    }
    if (result == QDialog::Accepted) {
        tessera::prompt().message(parent, tessera::fromUtf8(kProgramTitle),
                                  tessera::fromUtf8(kTransferCompleteMessage),
                                  tessera::PromptIcon::Exclamation);
        doc.updateAllViews(0);
        return;
    }
    // Cancelled (Esc, Enter, the close box; after a lost link too): the complete groups stay in
    // the document. The user hears what was kept and sees it, unless keeping the windows' own
    // edited rows matters more.
    if (groupsKept == 0 || doc.records.empty())
        return;
    tessera::prompt().message(
        parent, tessera::fromUtf8(kProgramTitle),
        QString::fromStdString(keptGroupsMessage(groupsKept, doc.records.size())),
        tessera::PromptIcon::Exclamation);
    if (mayReplaceRows && !mayReplaceRows())
        return;
    doc.updateAllViews(0);
}

} // namespace marrowby
