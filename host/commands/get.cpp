// aikhost get: reads one feature's value with ReadValue and prints it.
#include "host/commands/channel_session.h"
#include "host/commands/commands.h"

#include <iostream>

namespace aikhost {

void addGetCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FeatureCommandOptions>();
    CLI::App* command = addFeatureCommand(app, "get", "Print a feature's value (ReadValue)", options);
    command->add_option("feature", options->feature, "Feature name, or FeatureName_<index>")->required();
    command->callback([&context, options] {
        runCommand(context, [&context, options] {
            return runOnChannel(context, options->channel, [&options](const Channel& channel) {
                TextResult value = channel.readValue(options->feature);
                if (!value.ok()) {
                    std::cerr << "aikhost: ReadValue(" << options->feature << ") failed: " << value.errText
                              << '\n';
                    return 1;
                }
                std::cout << value.text << '\n';
                return 0;
            });
        });
    });
}

} // namespace aikhost
