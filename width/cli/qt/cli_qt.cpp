// The Qt pieces the fallowmere-cli commands share: the list's collator and the headless
// application object.

#include "width/cli/qt/cli_qt.h"

#include "width/cli/cli.h"
#include "width/list/qt/zh_collator.h"

namespace fallowmere::cli {

const TextCollator& listCollator() {
    static const ZhCollator collator;
    return collator;
}

std::unique_ptr<QGuiApplication> startHeadlessGui() {
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fallowmere-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace fallowmere::cli
