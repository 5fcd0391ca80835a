#include "common/qt/caption.h"
#include "common/ui/qt_prompt.h"
#include "width/app/ui/quenby_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fallowmere"));
    QApplication::setApplicationVersion(QStringLiteral("1.30"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    // TODO(lead): load Qt's zh_CN translations here through the shared start-up function in
    // common/ once it is on main, as Marrowby's main does.
    tessera::showCaptionsExactly();
    tessera::QtPrompt prompt;
    tessera::setPrompt(&prompt);

    fallowmere::CQuenbyApp app;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!app.InitInstance(args))
        return 1;
    return qapp.exec();
}
