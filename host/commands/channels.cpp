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

void printChannels(const Enumeration& enumeration) {
    TextTable table({"Ch", "Name", "Description", "Sensor", "Exposure [s]", "Exposure [µs]",
                     "Min exposure [s]", "Contrast", "Brightness"});
    for (const Channel& channel : enumeration.channels) {
        const VideoChannelRecord& record = channel.record();
        table.addRow({std::to_string(channel.id()), channel.name(), channel.description(),
                      std::to_string(record.sensorWidth) + "x" + std::to_string(record.sensorHeight),
                      formatNumber("%.6f", record.exposure), formatNumber("%.1f", record.exposure * 1e6),
                      formatNumber("%.6f", record.minExposure), formatNumber("%.3f", record.contrast),
                      formatNumber("%.3f", record.brightness)});
    }
    table.print(std::cout);
}

int runChannels(const CliContext& context) {
    auto module = loadModule(context);
    std::cout << "Module: " << module->path() << '\n';
    Enumeration enumeration = module->enumerate();
    if (enumeration.channels.empty()) {
        if (!enumeration.errText.empty()) {
            std::cerr << "aikhost: GetVideoChannel(0) failed: " << enumeration.errText << '\n';
            return 1;
        }
        std::cout << "No camera found.\n";
        return 0;
    }
    printChannels(enumeration);
    SlotResult release = enumeration.channels.front().releaseVideoChannel();
    if (!release.ok()) {
        std::cerr << "aikhost: ReleaseVideoChannel failed: " << release.errText << '\n';
        return 1;
    }
    return 0;
}

} // namespace

void addChannelsCommand(CLI::App& app, CliContext& context) {
    app.add_subcommand("channels",
                       "List every channel with its name, sensor size, exposure, contrast, brightness")
        ->callback([&context] { runCommand(context, [&context] { return runChannels(context); }); });
}

} // namespace aikhost
