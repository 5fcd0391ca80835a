#pragma once
// The document's data-transfer command: empties the document, picks the port (the bridge's
// port when one is registered, else the document's own), runs the progress dialog and, when it
// ends with OK, reports completion and tells the document's views to update. A transfer that
// ends early (cancelled, or closed after the link was lost) with complete groups says how many
// groups and rows it kept and shows them too, once the windows' edited rows may be replaced.

#include "depth/serial/qt/serial_port.h"

#include <functional>
#include <memory>

class QWidget;

namespace marrowby {

class CMarrowbyDoc;

// Makes the engine one download uses; the default makes a SerialPort.
using PortEngineFactory = std::function<std::unique_ptr<PortEngine>()>;
// Asked before the groups kept by a transfer that ended early replace the rows of the
// document's windows (the question about their unsaved rows); false leaves the windows as they
// are, with the groups in the document. None: the rows are replaced.
using ReplaceRowsCheck = std::function<bool()>;

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent,
                    const ReplaceRowsCheck& mayReplaceRows = {});
void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent, const PortEngineFactory& makeEngine,
                    const ReplaceRowsCheck& mayReplaceRows = {});

} // namespace marrowby
