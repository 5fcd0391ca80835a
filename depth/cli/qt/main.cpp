// marrowby-cli: the commands register themselves in their own source files (cli_*.cpp).

#include "common/cli.h"
#include "common/temporary_files.h"

int main(int argc, char** argv) {
    // A stopped command leaves no temporary file behind.
    tessera::removeTemporaryFilesOnSignals();
    return tessera::cli::run("marrowby-cli", argc, argv);
}
