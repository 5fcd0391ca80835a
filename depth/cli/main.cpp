// marrowby-cli: the commands register themselves in their own source files (cli_*.cpp).

#include "common/cli.h"

int main(int argc, char** argv) {
    return tessera::cli::run("marrowby-cli", argc, argv);
}
