// aikhost load: writes a feature set back, formats and sizes before offsets and the
// trigger source before the trigger mode, reporting every refusal.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/session/feature_set.h"

#include <iostream>

namespace aikhost {

namespace {

int runLoad(CliContext& context, const std::string& path) {
    const FeatureValues values = readFeatureSetFile(path);
    const std::vector<WriteOutcome> outcomes = applyFeatureSet(openChannel(context), values);
    nlohmann::json refusals = nlohmann::json::array();
    for (const WriteOutcome& outcome : outcomes) {
        if (!reportWrite(outcome))
            refusals.push_back({{"feature", outcome.feature},
                                {"value", outcome.value},
                                {"reason", outcome.reason},
                                {"moduleText", outcome.moduleText}});
    }
    const std::size_t written = outcomes.size() - refusals.size();
    if (context.line.json)
        printDocument({{"command", "load"},
                       {"channel", context.line.channel},
                       {"file", path},
                       {"written", written},
                       {"refused", refusals}});
    else
        std::cout << written << " of " << outcomes.size() << " features loaded from " << path << '\n';
    return refusals.empty() ? kExitOk : kExitRefused;
}

} // namespace

void addLoadCommand(CLI::App& app, CliContext& context) {
    addOneArgumentCommand(app, context,
                          {"load", "Write a feature set (JSON) back to the channel", "file",
                           "Feature-set file to read", runLoad});
}

} // namespace aikhost
