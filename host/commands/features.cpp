// aikhost features: the channel's features with type, access, value, limits or
// entries and unit; --all adds the standard nodes outside the module's list.
#include "host/commands/commands.h"

#include "host/cli/glob.h"
#include "host/cli/text_table.h"
#include "host/session/feature_info.h"

#include <iostream>
#include <memory>

namespace aikhost {

namespace {

struct FeaturesOptions {
    bool all = false;
    std::string filter;
    bool writable = false;
    bool changed = false;
};

std::string accessText(const FeatureInfo& info) {
    return info.readable && info.writable ? "RW" : info.readable ? "RO" : info.writable ? "WO" : "NA";
}

std::string rangeText(const FeatureInfo& info) {
    if (info.type == AIK_FEATURE_ENUM) {
        std::string entries;
        for (const std::string& entry : info.entries)
            entries += (entries.empty() ? "" : ", ") + entry;
        return entries;
    }
    if (info.minimum && info.maximum)
        return *info.minimum + " .. " + *info.maximum;
    return "";
}

nlohmann::json featureDocument(const FeatureInfo& info, bool changed) {
    const auto optional = [](const std::optional<std::string>& text) {
        return text ? nlohmann::json(*text) : nlohmann::json();
    };
    return {{"name", info.name},
            {"type", featureTypeName(info.type)},
            {"access", accessText(info)},
            {"value", optional(info.value)},
            {"min", optional(info.minimum)},
            {"max", optional(info.maximum)},
            {"entries", info.entries},
            {"unit", info.unit},
            {"description", info.description},
            {"standardNode", !info.listed},
            {"changed", changed}};
}

int runFeatures(CliContext& context, const FeaturesOptions& options) {
    const Channel& channel = openChannel(context);
    const std::map<std::string, std::string>& atOpen = context.session->valuesAtOpen(context.line.channel);
    TextTable table({"Feature", "Type", "Access", "Value", "Range / entries", "Unit", "Kind"});
    nlohmann::json features = nlohmann::json::array();
    for (const FeatureInfo& info : listFeatures(channel, options.all)) {
        const auto before = atOpen.find(info.name);
        const bool changed = info.value && (before == atOpen.end() || before->second != *info.value);
        if ((!options.filter.empty() && !globMatches(options.filter, info.name)) ||
            (options.writable && !info.writable) || (options.changed && !changed))
            continue;
        features.push_back(featureDocument(info, changed));
        table.addRow({info.name, featureTypeName(info.type), accessText(info), info.value.value_or(""),
                      rangeText(info), info.unit, info.listed ? "" : "standard node"});
    }
    if (context.line.json) {
        printDocument({{"command", "features"}, {"channel", context.line.channel}, {"features", features}});
    } else {
        std::cout << "Channel " << channel.id() << ": " << channel.name() << '\n';
        table.print(std::cout);
    }
    return 0;
}

} // namespace

void addFeaturesCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FeaturesOptions>();
    CLI::App* command = app.add_subcommand("features", "List the features of a channel with their values");
    command->add_flag("--all", options->all,
                      "Also the standard nodes outside the module's list (Width, Height, OffsetX, ...)");
    command->add_option("--filter", options->filter, "Only names matching GLOB ('*' and '?')")
        ->type_name("GLOB");
    command->add_flag("--writable", options->writable, "Only features that are writable now");
    command->add_flag("--changed", options->changed, "Only features whose value differs from that at open");
    command->callback([&context, options] {
        runCommand(context, "features", [&context, options] { return runFeatures(context, *options); });
    });
}

} // namespace aikhost
