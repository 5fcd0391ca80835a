#include "common/qt/caption.h"
#include "common/temporary_files.h"
#include "common/ui/qt_prompt.h"
#include "depth/app/ui/marrowby_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Stopped by SIGINT or SIGTERM in the middle of a save, the program leaves no temporary file.
    tessera::removeTemporaryFilesOnSignals();
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
