#pragma once
// The document's data-transfer command: empties the document, picks the port (the bridge's
// port when one is registered, else the document's own), runs the progress dialog and, when it
// ends with OK, reports completion and tells the document's views to update.

#include "depth/serial/qt/serial_port.h"

#include <functional>
#include <memory>

class QWidget;

namespace marrowby {

class CMarrowbyDoc;

// Makes the engine one download uses; the default makes a SerialPort.
using PortEngineFactory = std::function<std::unique_ptr<PortEngine>()>;

void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent);
void OnDataTransfer(CMarrowbyDoc& doc, QWidget* parent, const PortEngineFactory& makeEngine);

} // namespace marrowby
