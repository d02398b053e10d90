// What every aikhost command shares: the global options, loading the module
// they name, and the exit code the command leaves.
#ifndef AIKHOST_CLI_CONTEXT_H
#define AIKHOST_CLI_CONTEXT_H

#include "host/loader/video_module.h"

#include <functional>
#include <memory>
#include <string>

namespace aikhost {

struct CliContext {
    std::string modulePath; // empty: the module beside aikhost
    std::string simConfig;  // empty: leave QUORVEX_SIM_CONFIG as the environment has it
    int exitCode = 0;
};

// Applies --sim-config to the environment, then loads the module; throws ModuleLoadError.
std::unique_ptr<VideoModule> loadModule(const CliContext& context);

// Runs a command's body and stores its exit code; anything it throws is reported
// on stderr and gives exit code 1.
void runCommand(CliContext& context, const std::function<int()>& body);

} // namespace aikhost

#endif
