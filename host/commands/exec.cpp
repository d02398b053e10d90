// aikhost exec: runs a command feature with ExecuteCommand.
#include "host/commands/channel_session.h"
#include "host/commands/commands.h"

#include <iostream>

namespace aikhost {

void addExecCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FeatureCommandOptions>();
    CLI::App* command = addFeatureCommand(app, "exec", "Execute a command feature (ExecuteCommand)", options);
    command->add_option("feature", options->feature, "Command feature name")->required();
    command->callback([&context, options] {
        runCommand(context, [&context, options] {
            return runOnChannel(context, options->channel, [&options](const Channel& channel) {
                SlotResult run = channel.executeCommand(options->feature);
                if (!run.ok()) {
                    std::cerr << "aikhost: ExecuteCommand(" << options->feature << ") failed: " << run.errText
                              << '\n';
                    return 1;
                }
                std::cout << options->feature << " executed\n";
                return 0;
            });
        });
    });
}

} // namespace aikhost
