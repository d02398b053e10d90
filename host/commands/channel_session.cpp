// Loading the module and choosing the channel a feature command works on.
#include "host/commands/channel_session.h"

#include <iostream>

namespace aikhost {

CLI::App* addFeatureCommand(CLI::App& app, const char* name, const char* description,
                            const std::shared_ptr<FeatureCommandOptions>& options) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("-c,--channel", options->channel, "Channel (device number) to use")
        ->check(CLI::NonNegativeNumber);
    return command;
}

int runOnChannel(const CliContext& context, int channel, const std::function<int(const Channel&)>& body) {
    auto module = loadModule(context);
    Enumeration enumeration = module->enumerate();
    if (static_cast<size_t>(channel) >= enumeration.channels.size()) {
        if (!enumeration.errText.empty())
            std::cerr << "aikhost: GetVideoChannel(0) failed: " << enumeration.errText << '\n';
        else
            std::cerr << "aikhost: no channel " << channel << " (" << enumeration.channels.size()
                      << " found)\n";
        return 1;
    }
    const int exitCode = body(enumeration.channels[static_cast<size_t>(channel)]);
    SlotResult release = enumeration.channels.front().releaseVideoChannel();
    if (!release.ok()) {
        std::cerr << "aikhost: ReleaseVideoChannel failed: " << release.errText << '\n';
        return 1;
    }
    return exitCode;
}

} // namespace aikhost
