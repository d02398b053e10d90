// aikhost channels: enumerates every channel of the module and shows what its record says.
#include "host/commands/commands.h"

#include "host/cli/text_table.h"

#include <cstdio>
#include <iostream>

namespace aikhost {

namespace {

std::string formatNumber(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void printChannels(const std::vector<Channel>& channels) {
    TextTable table({"Ch", "Name", "Description", "Sensor", "Exposure [s]", "Exposure [µs]",
                     "Min exposure [s]", "Contrast", "Brightness"});
    for (const Channel& channel : channels) {
        const VideoChannelRecord& record = channel.record();
        table.addRow({std::to_string(channel.id()), channel.name(), channel.description(),
                      std::to_string(record.sensorWidth) + "x" + std::to_string(record.sensorHeight),
                      formatNumber("%.6f", record.exposure), formatNumber("%.1f", record.exposure * 1e6),
                      formatNumber("%.6f", record.minExposure), formatNumber("%.3f", record.contrast),
                      formatNumber("%.3f", record.brightness)});
    }
    table.print(std::cout);
}

nlohmann::json channelsDocument(const Session& session) {
    nlohmann::json channels = nlohmann::json::array();
    for (const Channel& channel : session.channels()) {
        const VideoChannelRecord& record = channel.record();
        channels.push_back({{"channel", channel.id()},
                            {"name", channel.name()},
                            {"description", channel.description()},
                            {"sensorWidth", record.sensorWidth},
                            {"sensorHeight", record.sensorHeight},
                            {"exposure", record.exposure},
                            {"minExposure", record.minExposure},
                            {"contrast", record.contrast},
                            {"brightness", record.brightness}});
    }
    return {{"command", "channels"}, {"module", session.module().path()}, {"channels", channels}};
}

int runChannels(CliContext& context) {
    Session& session = openSession(context);
    if (context.line.json) {
        printDocument(channelsDocument(session));
        return 0;
    }
    std::cout << "Module: " << session.module().path() << '\n';
    if (session.channels().empty())
        std::cout << "No camera found.\n";
    else
        printChannels(session.channels());
    return 0;
}

} // namespace

void addChannelsCommand(CLI::App& app, CliContext& context) {
    app.add_subcommand("channels",
                       "List every channel with its name, sensor size, exposure, contrast, brightness")
        ->callback(
            [&context] { runCommand(context, "channels", [&context] { return runChannels(context); }); });
}

} // namespace aikhost
