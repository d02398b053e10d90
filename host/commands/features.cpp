// aikhost features: the channel's features with type, access, value, limits or
// entries and unit, the common standard nodes with them; --all adds the other
// standard nodes outside the module's list, --tree groups them by category.
#include "host/commands/commands.h"

#include "host/cli/glob.h"
#include "host/cli/text_table.h"
#include "host/session/feature_info.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>

namespace aikhost {

namespace {

struct FeaturesOptions {
    bool all = false;
    std::string filter;
    std::string category;
    bool tree = false;
    bool writable = false;
    bool changed = false;
};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Names and categories are matched without regard to case: people type "exposure".
bool selected(const FeaturesOptions& options, const FeatureInfo& info, bool changed) {
    return (options.filter.empty() || globMatches(lowerCase(options.filter), lowerCase(info.name))) &&
           (options.category.empty() || globMatches(lowerCase(options.category), lowerCase(info.category))) &&
           (!options.writable || info.writable) && (!options.changed || changed);
}

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
            {"category", info.category},
            {"changed", changed}};
}

std::vector<std::string> tableRow(const FeatureInfo& info, const std::string& indent) {
    return {indent + info.name,
            featureTypeName(info.type),
            accessText(info),
            info.value.value_or(""),
            rangeText(info),
            info.unit,
            info.listed ? "" : "standard node"};
}

int runFeatures(CliContext& context, const FeaturesOptions& options) {
    const Channel& channel = openChannel(context);
    const std::map<std::string, std::string>& atOpen = context.session->valuesAtOpen(context.line.channel);
    std::vector<const FeatureInfo*> shown;
    const std::vector<FeatureInfo> listed =
        listFeatures(channel, options.all ? StandardNodes::All : StandardNodes::Common);
    nlohmann::json features = nlohmann::json::array();
    for (const FeatureInfo& info : listed) {
        const auto before = atOpen.find(info.name);
        const bool changed = info.value && (before == atOpen.end() || before->second != *info.value);
        if (!selected(options, info, changed))
            continue;
        features.push_back(featureDocument(info, changed));
        shown.push_back(&info);
    }
    if (context.line.json) {
        printDocument({{"command", "features"}, {"channel", context.line.channel}, {"features", features}});
        return 0;
    }
    TextTable table({"Feature", "Type", "Access", "Value", "Range / entries", "Unit", "Kind"});
    if (options.tree) {
        // Categories in the order their first feature comes in the listing.
        std::vector<std::string> categories;
        for (const FeatureInfo* info : shown) {
            if (std::find(categories.begin(), categories.end(), info->category) == categories.end())
                categories.push_back(info->category);
        }
        for (const std::string& category : categories) {
            table.addRow({category});
            for (const FeatureInfo* info : shown) {
                if (info->category == category)
                    table.addRow(tableRow(*info, "  "));
            }
        }
    } else {
        for (const FeatureInfo* info : shown)
            table.addRow(tableRow(*info, ""));
    }
    std::cout << "Channel " << channel.id() << ": " << channel.name() << '\n';
    table.print(std::cout);
    return 0;
}

} // namespace

void addFeaturesCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FeaturesOptions>();
    CLI::App* command = app.add_subcommand("features", "List the features of a channel with their values");
    command->add_flag("--all", options->all,
                      "Also the less common standard nodes outside the module's list (PayloadSize, "
                      "BlackLevel, TriggerSelector, ...); Width, Height, the offsets, ExposureTime, Gain and "
                      "the trigger show without it");
    command
        ->add_option("--filter", options->filter,
                     "Only names matching GLOB ('*' and '?'), in any case: 'exposure*'")
        ->type_name("GLOB");
    command
        ->add_option("--category", options->category,
                     "Only features of the categories matching GLOB, in any case (AcquisitionControl, "
                     "ImageFormatControl, AnalogControl, DigitalIOControl, CounterAndTimerControl, "
                     "DeviceControl, ...)")
        ->type_name("GLOB");
    command->add_flag("--tree", options->tree, "Group the features under their categories");
    command->add_flag("--writable", options->writable, "Only features that are writable now");
    command->add_flag("--changed", options->changed, "Only features whose value differs from that at open");
    command->callback([&context, options] {
        runCommand(context, "features", [&context, options] { return runFeatures(context, *options); });
    });
}

} // namespace aikhost
