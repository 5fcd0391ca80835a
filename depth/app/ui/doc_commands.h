#pragma once
// The document's link in the command chain: the transfer, port-settings and driver-install
// commands, which exist only while a depth window is active.

#include "depth/app/command_ids.h"

#include <memory>

class QWidget;

namespace marrowby {

class CMarrowbyDoc;

class DocCommands : public CommandTarget {
public:
    DocCommands(std::shared_ptr<CMarrowbyDoc> document, QWidget* parent);

private:
    // Asks about the unsaved rows of each window on the document before a download replaces
    // them (again before the groups kept by a transfer that ended early replace them); false
    // when the user cancelled.
    bool saveChangedRows();

    std::shared_ptr<CMarrowbyDoc> document_;
    QWidget* parent_;
};

} // namespace marrowby
