// marrowby-cli: the commands register themselves in their own source files (cli_*.cpp).

#include "common/cli.h"
#include "common/qt/framework_messages.h"
#include "common/temporary_files.h"

int main(int argc, char** argv) {
    // A stopped command leaves no temporary file behind.
    tessera::removeTemporaryFilesOnSignals();
    // Standard error carries the tool's own messages, not the framework's (unless --verbose).
    tessera::quietFrameworkMessages(argc, argv);
    return tessera::cli::run("marrowby-cli", "marrowby-cli 1.2", argc, argv);
}
