// aikhost set: writes one feature's value with WriteValue and shows what the feature
// reads afterwards.
#include "host/commands/channel_session.h"
#include "host/commands/commands.h"

#include <iostream>

namespace aikhost {

void addSetCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FeatureCommandOptions>();
    CLI::App* command = addFeatureCommand(app, "set", "Write a feature's value (WriteValue)", options);
    command->add_option("feature", options->feature, "Feature name")->required();
    command->add_option("value", options->value, "Value text")->required();
    command->callback([&context, options] {
        runCommand(context, [&context, options] {
            return runOnChannel(context, options->channel, [&options](const Channel& channel) {
                SlotResult written = channel.writeValue(options->feature, options->value);
                if (!written.ok()) {
                    std::cerr << "aikhost: WriteValue(" << options->feature << ", " << options->value
                              << ") failed: " << written.errText << '\n';
                    return 1;
                }
                // A write-only feature cannot be read back; the write succeeded all the same.
                TextResult now = channel.readValue(options->feature);
                std::cout << options->feature << " = " << (now.ok() ? now.text : "(not readable)") << '\n';
                return 0;
            });
        });
    });
}

} // namespace aikhost
