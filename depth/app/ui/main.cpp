#include "common/ui/qt_prompt.h"
#include "depth/app/ui/marrowby_app.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
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
