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
    DocCommands(std::shared_ptr<CMarrowbyDoc> document, QWidget* parent)
        : m_document(std::move(document)), m_parent(parent) {}

    bool handlesCommand(int id) const override;
    void onCommand(int id) override;

private:
    std::shared_ptr<CMarrowbyDoc> m_document;
    QWidget* m_parent;
};

} // namespace marrowby
