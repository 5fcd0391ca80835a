#include "common/qt/framework_messages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstring>

namespace tessera {
namespace {

QtMessageHandler g_previous = nullptr;

void dropUnlessFatal(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg)
        return;
    if (g_previous)
        g_previous(type, context, text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

void quietFrameworkMessages(int& argc, char** argv) {
    bool verbose = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0)
            verbose = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    for (const char* name :
         {"QT_LOGGING_RULES", "QT_LOGGING_CONF", "QT_DEBUG_PLUGINS", "QT_FATAL_WARNINGS"})
        verbose = verbose || !qEnvironmentVariableIsEmpty(name);
    if (!verbose)
        g_previous = qInstallMessageHandler(dropUnlessFatal);
}

} // namespace tessera
