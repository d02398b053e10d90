// The simulated cameras are chosen before the module is loaded, since the camera
// library reads QUORVEX_SIM_CONFIG at every initialisation.
#include "host/cli/cli_context.h"

#include "host/loader/host_os.h"

#include <exception>
#include <iostream>

namespace aikhost {

std::unique_ptr<VideoModule> loadModule(const CliContext& context) {
    if (!context.simConfig.empty()) {
        setEnvironment("QUORVEX_SIM_CONFIG", context.simConfig);
    }
    return std::make_unique<VideoModule>(context.modulePath.empty() ? VideoModule::defaultPath()
                                                                    : context.modulePath);
}

void runCommand(CliContext& context, const std::function<int()>& body) {
    try {
        context.exitCode = body();
    } catch (const std::exception& error) {
        std::cerr << "aikhost: " << error.what() << '\n';
        context.exitCode = 1;
    }
}

} // namespace aikhost
