// aikhost set: writes one feature's value with WriteValue and shows what the feature
// reads afterwards; a refusal is explained from the feature's type, limits or entries.
#include "host/commands/commands.h"

#include <iostream>
#include <memory>

namespace aikhost {

namespace {

int runSet(CliContext& context, const std::string& feature, const std::string& value) {
    const Channel& channel = openChannel(context);
    const WriteOutcome outcome = writeFeature(channel, feature, value);
    if (!reportWrite(outcome))
        throw HostFailure(outcome.failure, feature + " was not set");
    if (context.line.json) {
        printDocument({{"command", "set"},
                       {"channel", context.line.channel},
                       {"feature", feature},
                       {"value", value},
                       {"readBack", outcome.readBack ? nlohmann::json(*outcome.readBack) : nlohmann::json()},
                       {"adjusted", outcome.adjusted}});
    } else {
        // A write-only feature cannot be read back; the write succeeded all the same.
        std::cout << feature << " = " << outcome.readBack.value_or("(not readable)") << '\n';
    }
    return 0;
}

} // namespace

void addSetCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<std::pair<std::string, std::string>>();
    CLI::App* command = app.add_subcommand("set", "Write a feature's value (WriteValue)");
    command->add_option("feature", arguments->first, "Feature name")->required();
    command->add_option("value", arguments->second, "Value text")->required();
    command->callback([&context, arguments] {
        runCommand(context, "set",
                   [&context, arguments] { return runSet(context, arguments->first, arguments->second); });
    });
}

} // namespace aikhost
