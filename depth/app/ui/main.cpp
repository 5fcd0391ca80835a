#include "common/program_options.h"
#include "common/temporary_files.h"
#include "common/ui/qt_prompt.h"
#include "depth/app/ui/marrowby_app.h"

#include <QApplication>

#include <cstdio>
#include <iostream>

namespace {

constexpr const char* kUsage =
    "用法：marrowby [FILE.DM]\n"
    "Marrowby，裂缝测深仪数据：在测深窗口中打开 FILE.DM，或打开一个空窗口。\n"
    "  --help     显示本说明\n"
    "  --version  显示程序的版本\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so that it works without a display.
    if (const auto status =
            tessera::answerInfoRequest(argc, argv, kUsage, "Marrowby 1.2", std::cout))
        return *status;
    // Stopped by SIGINT or SIGTERM in the middle of a save, the program leaves no temporary file.
    tessera::removeTemporaryFilesOnSignals();
    QApplication qapp(argc, argv);
    QString problem;
    if (!marrowby::CMarrowbyApp::setUpProcess(&problem))
        std::fprintf(stderr, "marrowby: %s\n", problem.toLocal8Bit().constData());
    tessera::QtPrompt prompt;
    tessera::setPrompt(&prompt);

    marrowby::CMarrowbyApp app;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!app.InitInstance(args))
        return 1;
    return qapp.exec();
}
