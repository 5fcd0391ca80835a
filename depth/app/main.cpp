#include "common/qt/qt_prompt.h"
#include "depth/app/marrowby_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marrowby"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessaly"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.0"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    tessera::QtPrompt prompt;
    tessera::setPrompt(&prompt);

    marrowby::CMarrowbyApp app;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!app.InitInstance(args))
        return 1;
    return qapp.exec();
}
