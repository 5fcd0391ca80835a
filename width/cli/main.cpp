// fallowmere-cli: the commands register themselves in their own source files (cli_*.cpp).

#include "common/cli.h"

#include <csignal>

int main(int argc, char** argv) {
    // A closed output pipe is a write error that the commands report (exit status 2), not a
    // silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    return tessera::cli::run("fallowmere-cli", argc, argv);
}
