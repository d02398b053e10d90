// aikhost features: the channel's feature table as the host sees it, with each
// feature's type, access, value and description and an enumeration's accepted values.
#include "host/commands/channel_session.h"
#include "host/commands/commands.h"

#include "host/cli/text_table.h"

#include <iostream>

namespace aikhost {

namespace {

const char* typeName(int32_t type) {
    switch (type) {
    case AIK_FEATURE_ENUM:
        return "Enumeration";
    case AIK_FEATURE_INT:
        return "Integer";
    case AIK_FEATURE_FLOAT:
        return "Float";
    case AIK_FEATURE_COMMAND:
        return "Command";
    case AIK_FEATURE_BOOL:
        return "Boolean";
    case AIK_FEATURE_STRING:
        return "String";
    default:
        return "unsupported";
    }
}

// GetValidEnum with index 0, 1, 2, ... until the first failure.
std::string acceptedValues(const Channel& channel, const std::string& feature) {
    std::string values;
    for (int32_t index = 0;; ++index) {
        TextResult value = channel.getValidEnum(feature, index);
        if (!value.ok())
            return values;
        values += (values.empty() ? "" : ", ") + value.text;
    }
}

// A failed query shows its message in the cell rather than ending the listing.
std::string answer(const TextResult& result) {
    return result.ok() ? result.text : "(" + result.errText + ")";
}

int printFeatures(const Channel& channel) {
    TextTable table(
        {"#", "Feature", "Type", "Readable", "Writable", "Value", "Description", "Accepted values"});
    for (int32_t index = 0;; ++index) {
        TextResult name = channel.getFeatureName(index);
        if (!name.ok())
            break;
        const std::string& feature = name.text;
        FeatureTypeResult type = channel.getFeatureType(feature);
        TextResult readable = channel.getFeatureAttr(feature, 2);
        const bool canRead = readable.ok() && readable.text == "True";
        table.addRow(
            {std::to_string(index), feature, type.ok() ? typeName(type.type) : "(" + type.errText + ")",
             answer(readable), answer(channel.getFeatureAttr(feature, 3)),
             canRead ? answer(channel.readValue(feature)) : "", answer(channel.getFeatureAttr(feature, 1)),
             type.ok() && type.type == AIK_FEATURE_ENUM ? acceptedValues(channel, feature) : ""});
    }
    std::cout << "Channel " << channel.id() << ": " << channel.name() << '\n';
    table.print(std::cout);
    return 0;
}

} // namespace

void addFeaturesCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FeatureCommandOptions>();
    addFeatureCommand(app, "features", "List the features of a channel with their values", options)
        ->callback([&context, options] {
            runCommand(context, [&context, options] {
                return runOnChannel(context, options->channel, printFeatures);
            });
        });
}

} // namespace aikhost
