// aikhost channels: enumerates every channel of the module and shows what its record says.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/cli/text_table.h"
#include "host/session/device_choice.h"
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

void printChannels(const std::vector<const Channel*>& channels) {
    TextTable table({"Ch", "Name", "Description", "Serial", "Address", "Sensor", "Exposure [s]",
                     "Exposure [µs]", "Min exposure [s]", "Contrast", "Brightness"});
    for (const Channel* channel : channels) {
        const VideoChannelRecord& record = channel->record();
        const ChannelIdentity identity = identifyChannel(*channel);
        table.addRow({std::to_string(channel->id()), channel->name(), channel->description(), identity.serial,
                      identity.address,
                      std::to_string(record.sensorWidth) + "x" + std::to_string(record.sensorHeight),
                      formatNumber("%.6f", record.exposure), formatNumber("%.1f", record.exposure * 1e6),
                      formatNumber("%.6f", record.minExposure), formatNumber("%.3f", record.contrast),
                      formatNumber("%.3f", record.brightness)});
    }
    table.print(std::cout);
}

nlohmann::json channelsDocument(const Session& session, const std::vector<const Channel*>& listed,
                                const std::vector<UnopenedCamera>& unopened) {
    nlohmann::json channels = nlohmann::json::array();
    for (const Channel* channel : listed) {
        const VideoChannelRecord& record = channel->record();
        const ChannelIdentity identity = identifyChannel(*channel);
        channels.push_back({{"channel", channel->id()},
                            {"name", channel->name()},
                            {"description", channel->description()},
                            {"serial", identity.serial},
                            {"userId", identity.userId},
                            {"address", identity.address},
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

// Every channel, or with -d the one it names. No camera at all is "no such camera"; a
// camera the library knows but the module could not open is named with the library's
// reason, exit 4.
int runChannels(CliContext& context) {
    Session& session = openSession(context);
    std::vector<const Channel*> listed;
    std::vector<UnopenedCamera> unopened;
    if (!context.line.device.empty()) {
        listed.push_back(&session.channel(findChannel(session, context.line.device, context.line.deviceKey)));
    } else {
        for (const Channel& channel : session.channels())
            listed.push_back(&channel);
        unopened = unopenedCameras();
    }
    if (listed.empty())
        throw HostFailure(FailureKind::NotFound,
                          "no camera found: the module " + session.module().path() + " enumerated none" +
                              (unopened.empty() ? " (cameras on the network: docs/real-cameras.md)"
                                                : "; not opened: " + describeUnopened(unopened)));
    if (context.line.json) {
        printDocument(channelsDocument(session, listed, unopened));
    } else {
        std::cout << "Module: " << session.module().path() << '\n';
        printChannels(listed);
        for (const UnopenedCamera& camera : unopened)
            std::cout << "Not opened: camera " << camera.index << " of the camera library: " << camera.reason
                      << '\n';
    }
    return unopened.empty() ? kExitOk : kExitNotFound;
}

} // namespace

void addChannelsCommand(CLI::App& app, CliContext& context) {
    app.add_subcommand("channels", "List every channel (or with -d the one it names) with its name, serial "
                                   "number, address, sensor size, exposure, contrast, brightness")
        ->callback(
            [&context] { runCommand(context, "channels", [&context] { return runChannels(context); }); });
}

} // namespace aikhost
