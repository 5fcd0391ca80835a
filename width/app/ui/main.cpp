#include "common/program_options.h"
#include "common/qt/program_setup.h"
#include "common/temporary_files.h"
#include "common/ui/qt_prompt.h"
#include "width/app/ui/quenby_app.h"

#include <QApplication>

#include <cstdio>
#include <iostream>

namespace {

constexpr const char* kUsage =
    "usage: fallowmere [PROJECT.cm]\n"
    "Fallowmere, crack width records and photographs: opens PROJECT.cm, or starts empty.\n"
    "  --help     this text\n"
    "  --version  the program's version\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so that it works without a display.
    if (const auto status =
            tessera::answerInfoRequest(argc, argv, kUsage, "Fallowmere V1.30", std::cout))
        return *status;
    // Stopped by SIGINT or SIGTERM in the middle of a save, the program leaves no temporary file.
    tessera::removeTemporaryFilesOnSignals();
    QApplication qapp(argc, argv);
    QString problem;
    if (!tessera::setUpDesktopProgram(QStringLiteral("Fallowmere"), QStringLiteral("1.30"),
                                      &problem))
        std::fprintf(stderr, "fallowmere: %s\n", problem.toLocal8Bit().constData());
    tessera::QtPrompt prompt;
    tessera::setPrompt(&prompt);

    fallowmere::CQuenbyApp app;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!app.InitInstance(args))
        return 1;
    return qapp.exec();
}
