// aikhost load: writes a feature set back, formats and sizes before offsets, the
// trigger source before the trigger mode and each selected value after its selector,
// reporting what each feature took.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/session/feature_set.h"

#include <iostream>

namespace aikhost {

namespace {

std::string loadedName(const LoadOutcome& outcome) {
    return outcome.write.feature + (outcome.selector.empty() ? "" : " [" + outcome.selector + "]");
}

int runLoad(CliContext& context, const std::string& path) {
    const FeatureSet set = readFeatureSetFile(path);
    const Channel& channel = openChannel(context);
    checkSetModel(set, channel, context.line.force, path);
    const std::vector<LoadOutcome> outcomes = applyFeatureSet(channel, set);
    nlohmann::json refusals = nlohmann::json::array(), features = nlohmann::json::array();
    for (const LoadOutcome& outcome : outcomes) {
        const WriteOutcome& write = outcome.write;
        const bool ok = reportWrite(write, outcome.selector);
        const std::string status = !ok ? "refused" : write.adjusted ? "adjusted" : "loaded";
        features.push_back(
            {{"feature", write.feature},
             {"selector", outcome.selector.empty() ? nlohmann::json() : nlohmann::json(outcome.selector)},
             {"value", write.value},
             {"readBack", write.readBack ? nlohmann::json(*write.readBack) : nlohmann::json()},
             {"status", status}});
        if (!ok)
            refusals.push_back({{"feature", write.feature},
                                {"value", write.value},
                                {"reason", write.reason},
                                {"moduleText", write.moduleText}});
        else if (!context.line.json)
            std::cout << status << "  " << loadedName(outcome) << " = "
                      << write.readBack.value_or(write.value) << '\n';
    }
    const std::size_t written = outcomes.size() - refusals.size();
    if (context.line.json)
        printDocument({{"command", "load"},
                       {"channel", context.line.channel},
                       {"file", path},
                       {"camera", set.camera},
                       {"written", written},
                       {"refused", refusals},
                       {"features", features}});
    else
        std::cout << written << " of " << outcomes.size() << " features loaded from " << path << '\n';
    return refusals.empty() ? kExitOk : kExitRefused;
}

} // namespace

void addLoadCommand(CLI::App& app, CliContext& context) {
    addOneArgumentCommand(app, context,
                          {"load",
                           "Write a feature set (JSON) back to the channel (--force: from another model)",
                           "file", "Feature-set file to read", runLoad});
}

} // namespace aikhost
