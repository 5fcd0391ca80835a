#include "common/program_options.h"
#include "common/qt/caption.h"
#include "common/ui/qt_prompt.h"
#include "depth/app/ui/marrowby_app.h"

#include <QApplication>

#include <iostream>

namespace {

constexpr const char* kUsage =
    "usage: marrowby [FILE.DM]\n"
    "Marrowby, crack depth meter data: opens FILE.DM in a depth window, or an empty window.\n"
    "  --help     this text\n"
    "  --version  the program's version\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so that it works without a display.
    if (const auto status =
            tessera::answerInfoRequest(argc, argv, kUsage, "Marrowby 1.2", std::cout))
        return *status;
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marrowby"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.0"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    // Window captions are shown exactly as set (no application name appended).
    tessera::showCaptionsExactly();
    tessera::QtPrompt prompt;
    tessera::setPrompt(&prompt);

    marrowby::CMarrowbyApp app;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!app.InitInstance(args))
        return 1;
    return qapp.exec();
}
