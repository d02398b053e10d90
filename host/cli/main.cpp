// aikhost: drives the adapter module from the command line as the vision host would.
#include "host/cli/app.h"
#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"

#include <cerrno>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    aikhost::catchInterrupts();
    aikhost::CliContext context;
    int exitCode = 0;
    {
        auto app = aikhost::buildApp(context, aikhost::AppKind::Program);
        exitCode = aikhost::runApp(*app, context, argc, argv);
        if (context.session) {
            const aikhost::SlotResult released = context.session->release();
            if (!released.ok()) {
                std::cerr << "aikhost: ReleaseVideoChannel failed: " << released.errText << '\n';
                exitCode = exitCode == 0 ? aikhost::kExitOther : exitCode;
            }
        }
    }
    // What a command printed and could not be written is a failure too (a full disk,
    // a closed pipe).
    errno = 0;
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "aikhost: cannot write standard output: "
                  << (errno != 0 ? std::strerror(errno) : "write failed") << '\n';
        return aikhost::kExitNotWritable;
    }
    return exitCode;
}
