#include "common/qt/program_setup.h"
#include "common/ui/qt_prompt.h"
#include "width/app/ui/quenby_app.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
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
