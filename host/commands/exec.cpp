// aikhost exec: runs a command feature with ExecuteCommand.
#include "host/commands/commands.h"

#include "host/session/feature_info.h"

#include <iostream>
#include <memory>

namespace aikhost {

namespace {

int runExec(CliContext& context, const std::string& feature) {
    const Channel& channel = openChannel(context);
    SlotResult run = channel.executeCommand(feature);
    if (!run.ok()) {
        std::cerr << "aikhost: ExecuteCommand(" << feature << ") failed: " << run.errText << '\n';
        const std::optional<FeatureInfo> info = inspectFeature(channel, feature);
        if (!info)
            throw HostFailure(FailureKind::NotFound, "the camera has no feature " + feature);
        throw HostFailure(
            FailureKind::Refused,
            feature + " is " + featureTypeName(info->type) +
                (info->type == AIK_FEATURE_COMMAND ? ", not executable now" : ", not a command"));
    }
    if (context.line.json)
        printDocument({{"command", "exec"},
                       {"channel", context.line.channel},
                       {"feature", feature},
                       {"executed", true}});
    else
        std::cout << feature << " executed\n";
    return 0;
}

} // namespace

void addExecCommand(CLI::App& app, CliContext& context) {
    auto feature = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("exec", "Execute a command feature (ExecuteCommand)");
    command->add_option("feature", *feature, "Command feature name")->required();
    command->callback([&context, feature] {
        runCommand(context, "exec", [&context, feature] { return runExec(context, *feature); });
    });
}

} // namespace aikhost
