// aikhost's exit codes, one per class of failure, as --help lists them.
#ifndef AIKHOST_EXIT_CODE_H
#define AIKHOST_EXIT_CODE_H

#include "host/session/host_failure.h"

namespace aikhost {

enum ExitCode : int {
    kExitOk = 0,
    kExitOther = 1, // a slot failed in a way no class below covers
    kExitUsage = 2,
    kExitNotLoadable = 3,
    kExitNotFound = 4,
    kExitRefused = 5,
    kExitImagesLost = 6,
    kExitNotWritable = 7,
    kExitAddressUnavailable = 8, // the live view's address cannot be had (port taken, not this machine's)
    kExitInterrupted = 130,
};

int exitCodeOf(FailureKind kind);

// The exit-code table for --help.
extern const char* const kExitCodeHelp;

} // namespace aikhost

#endif
