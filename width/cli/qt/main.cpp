// fallowmere-cli: the commands register themselves in their own source files (cli_*.cpp).

#include "common/cli.h"
#include "common/qt/framework_messages.h"
#include "common/temporary_files.h"

#include <csignal>

int main(int argc, char** argv) {
    // A closed output pipe is a write error that the commands report (exit status 2), not a
    // silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    // Stopped by SIGINT or SIGTERM in the middle of a write, the tool leaves no temporary file.
    tessera::removeTemporaryFilesOnSignals();
    // Standard error carries the tool's own messages, not the framework's (unless --verbose).
    tessera::quietFrameworkMessages(argc, argv);
    return tessera::cli::run("fallowmere-cli", "fallowmere-cli 1.30", argc, argv);
}
