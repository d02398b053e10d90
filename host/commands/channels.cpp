// aikhost channels: enumerates every channel of the module and shows what its record says.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/cli/text_table.h"
#include "host/session/unopened_cameras.h"

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

nlohmann::json channelsDocument(const Session& session, const std::vector<UnopenedCamera>& unopened) {
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
    nlohmann::json notOpened = nlohmann::json::array();
    for (const UnopenedCamera& camera : unopened)
        notOpened.push_back({{"camera", camera.index}, {"reason", camera.reason}});
    return {{"command", "channels"},
            {"module", session.module().path()},
            {"channels", channels},
            {"unopened", notOpened}};
}

// A camera the library knows but the module could not open is no channel: exit 4,
// naming it and why.
int runChannels(CliContext& context) {
    Session& session = openSession(context);
    const std::vector<UnopenedCamera> unopened = unopenedCameras();
    const int exitCode = unopened.empty() ? kExitOk : kExitNotFound;
    if (context.line.json) {
        printDocument(channelsDocument(session, unopened));
        return exitCode;
    }
    std::cout << "Module: " << session.module().path() << '\n';
    if (session.channels().empty() && unopened.empty())
        std::cout << "No camera found.\n";
    else if (!session.channels().empty())
        printChannels(session.channels());
    for (const UnopenedCamera& camera : unopened)
        std::cout << "Not opened: camera " << camera.index << " of the camera library: " << camera.reason
                  << '\n';
    return exitCode;
}

} // namespace

void addChannelsCommand(CLI::App& app, CliContext& context) {
    app.add_subcommand("channels",
                       "List every channel with its name, sensor size, exposure, contrast, brightness")
        ->callback(
            [&context] { runCommand(context, "channels", [&context] { return runChannels(context); }); });
}

} // namespace aikhost
