// aikhost exec: runs a command feature with ExecuteCommand.
#include "host/commands/commands.h"

#include "host/session/feature_info.h"

#include <iostream>

namespace aikhost {

namespace {

int runExec(CliContext& context, const std::string& feature) {
    const Channel& channel = openChannel(context);
    SlotResult run = channel.executeCommand(feature);
    if (!run.ok()) {
        const std::string moduleText =
            "the module's text: ExecuteCommand(" + feature + ") failed: " + run.errText;
        const std::optional<FeatureInfo> info = inspectFeature(channel, feature);
        if (!info)
            throw HostFailure(FailureKind::NotFound, "the camera has no feature " + feature, moduleText);
        throw HostFailure(
            FailureKind::Refused,
            feature + " is " + featureTypeName(info->type) +
                (info->type == AIK_FEATURE_COMMAND ? ", not executable now" : ", not a command"),
            moduleText);
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
    addOneArgumentCommand(
        app, context,
        {"exec", "Execute a command feature (ExecuteCommand)", "feature", "Command feature name", runExec});
}

} // namespace aikhost
