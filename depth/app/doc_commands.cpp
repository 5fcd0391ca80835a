#include "depth/app/doc_commands.h"

#include "depth/document/depth_doc.h"

namespace marrowby {

bool DocCommands::handlesCommand(int id) const {
    switch (id) {
    default:
        return false;
    }
}

void DocCommands::onCommand(int id) {
    switch (id) {
    default:
        break;
    }
}

} // namespace marrowby
