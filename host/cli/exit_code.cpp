// The classes are the user's view: what to fix, not which slot failed.
#include "host/cli/exit_code.h"

namespace aikhost {

int exitCodeOf(FailureKind kind) {
    switch (kind) {
    case FailureKind::Usage:
        return kExitUsage;
    case FailureKind::NotLoadable:
        return kExitNotLoadable;
    case FailureKind::NotFound:
        return kExitNotFound;
    case FailureKind::Refused:
        return kExitRefused;
    case FailureKind::ImagesLost:
        return kExitImagesLost;
    case FailureKind::OutputNotWritable:
        return kExitNotWritable;
    case FailureKind::Interrupted:
        return kExitInterrupted;
    }
    return kExitOther;
}

const char* const kExitCodeHelp = "Exit codes:\n"
                                  "  0    success\n"
                                  "  1    a slot of the module failed otherwise\n"
                                  "  2    usage: a wrong option, value or feature-set file\n"
                                  "  3    the module or a camera library cannot be loaded\n"
                                  "  4    no such camera, channel or feature\n"
                                  "  5    a feature refused a value\n"
                                  "  6    images were lost, timed out or cannot be delivered\n"
                                  "  7    an output file or standard output cannot be written\n"
                                  "  8    view: the address cannot be had (port taken, not this machine's)\n"
                                  "  130  interrupted (Ctrl-C, SIGTERM)\n";

} // namespace aikhost
