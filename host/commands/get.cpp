// aikhost get: reads one feature's value with ReadValue and prints it.
#include "host/commands/commands.h"

#include "host/session/feature_info.h"

#include <iostream>

namespace aikhost {

namespace {

int runGet(CliContext& context, const std::string& feature) {
    const Channel& channel = openChannel(context);
    TextResult value = channel.readValue(feature);
    if (!value.ok()) {
        const std::string moduleText =
            "the module's text: ReadValue(" + feature + ") failed: " + value.errText;
        const std::optional<FeatureInfo> info = inspectFeature(channel, feature);
        if (!info)
            throw HostFailure(FailureKind::NotFound,
                              "the camera has no feature " + feature + " (aikhost features --all lists them)",
                              moduleText);
        throw HostFailure(FailureKind::Refused,
                          feature + " cannot be read now (" + featureTypeName(info->type) +
                              (info->writable ? ", write-only)" : ", not available)"),
                          moduleText);
    }
    if (context.line.json)
        printDocument({{"command", "get"},
                       {"channel", context.line.channel},
                       {"feature", feature},
                       {"value", value.text}});
    else
        std::cout << value.text << '\n';
    return 0;
}

} // namespace

void addGetCommand(CLI::App& app, CliContext& context) {
    addOneArgumentCommand(app, context,
                          {"get", "Print a feature's value (ReadValue)", "feature",
                           "Feature name, or FeatureName_<index>", runGet});
}

} // namespace aikhost
