// aikhost record: the chosen channels streamed at the same time into one recording
// file per channel (record_session), then grab's summary, causes and exit codes with
// the images the host dropped beside those the camera lost.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"
#include "host/cli/text_table.h"
#include "host/commands/grab_report.h"
#include "host/loader/host_os.h"
#include "host/session/record_session.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace aikhost {

namespace {

struct RecordOptions {
    bool allChannels = false;
    std::vector<int> channels;
    int count = 0; // 0: no count
    std::optional<double> seconds;
    double queueMiB = 256;
    std::string out = "record";
    RecordSettings settings;
};

bool namesFile(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".tif" || extension == ".tiff";
}

// out names a file (.tif, .tiff: with several channels each gets ch<N>_ in front) or a
// folder that gets ch<N>.tif.
std::string recordingFile(const std::string& out, int64_t channel, bool several) {
    const std::string prefix = "ch" + std::to_string(channel);
    if (!namesFile(out))
        return out + pathSeparator() + prefix + ".tif";
    if (!several)
        return out;
    const std::filesystem::path path(out);
    return (path.parent_path() / (prefix + "_" + path.filename().string())).string();
}

double imagesPerSecond(const ChannelRecord& record) {
    return record.loop.seconds > 0 ? static_cast<double>(record.counts.delivered) / record.loop.seconds : 0.0;
}

std::string geometry(const ChannelRecord& record) {
    return std::to_string(record.attributes.width) + "x" + std::to_string(record.attributes.height);
}

// grab's account of each channel, for its causes and exit codes.
std::vector<ChannelGrab> asGrabs(const std::vector<ChannelRecord>& records,
                                 const std::vector<const Channel*>& channels, int timeoutMs) {
    std::vector<ChannelGrab> grabs;
    for (std::size_t i = 0; i < records.size(); ++i) {
        ChannelGrab grab;
        grab.id = records[i].id;
        grab.loop = records[i].loop;
        grab.problem = records[i].problem;
        grab.kind = records[i].kind;
        if (grab.problem.empty())
            noteLoopEnd(grab, *channels[i], timeoutMs);
        grabs.push_back(std::move(grab));
    }
    return grabs;
}

void printSummary(const std::vector<ChannelRecord>& records) {
    TextTable table({"Ch", "Name", "Image", "Format", "Recorded", "Produced", "Lost", "Dropped", "Images/s",
                     "Time-outs", "File"});
    for (const ChannelRecord& record : records) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f", imagesPerSecond(record));
        table.addRow(
            {std::to_string(record.id), record.name, geometry(record), record.format,
             std::to_string(record.counts.delivered), countText(record.counts.produced),
             countText(record.counts.lost), std::to_string(record.counts.dropped), rate,
             std::to_string(record.loop.tally.timeouts()),
             record.counts.delivered > 0 ? std::filesystem::absolute(record.file).string() : "none"});
    }
    table.print(std::cout);
}

nlohmann::json recordDocument(const std::vector<ChannelRecord>& records, int exitCode) {
    nlohmann::json channels = nlohmann::json::array();
    for (const ChannelRecord& record : records)
        channels.push_back(
            {{"channel", record.id},
             {"name", record.name},
             {"image", geometry(record)},
             {"format", record.format},
             {"file", record.counts.delivered > 0 ? nlohmann::json(record.file) : nlohmann::json()},
             {"delivered", record.counts.delivered},
             {"produced", countJson(record.counts.produced)},
             {"lost", countJson(record.counts.lost)},
             {"dropped", record.counts.dropped},
             {"timeouts", record.loop.tally.timeouts()},
             {"seconds", record.loop.seconds},
             {"imagesPerSecond", imagesPerSecond(record)},
             {"problem", record.problem.empty() ? nlohmann::json() : nlohmann::json(record.problem)}});
    return {{"command", "record"},
            {"channels", channels},
            {"interrupted", interrupted()},
            {"exitCode", exitCode}};
}

int report(const std::vector<ChannelRecord>& records, const std::vector<ChannelGrab>& grabs, bool json) {
    int exitCode = grabExitCode(grabs);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const recording::StreamCounts& counts = records[i].counts;
        if (!grabs[i].problem.empty())
            std::cerr << "aikhost: channel " << grabs[i].id << ": " << grabs[i].problem << '\n';
        if (counts.lost.value_or(0) > 0)
            std::cerr << "aikhost: channel " << grabs[i].id << ": " << *counts.lost << " of "
                      << *counts.produced << " images lost by the camera (the host took them too slowly)\n";
        if (counts.dropped > 0) {
            std::cerr << "aikhost: channel " << grabs[i].id << ": " << counts.dropped << " of "
                      << counts.dropped + counts.delivered
                      << " images received were dropped by the host (its queue was full, or the file "
                         "took no more: a larger --queue or a faster disk)\n";
            if (exitCode == kExitOk)
                exitCode = kExitImagesLost;
        }
    }
    if (interrupted())
        std::cerr << "aikhost: interrupted; acquisition stopped, the recordings closed\n";
    if (json)
        printDocument(recordDocument(records, exitCode));
    else
        printSummary(records);
    return exitCode;
}

int runRecord(CliContext& context, const RecordOptions& options) {
    Session& session = openSession(context);
    std::vector<const Channel*> channels;
    if (options.allChannels) {
        for (const Channel& channel : session.channels())
            channels.push_back(&openChannel(context, static_cast<int>(channel.id())));
    } else if (!options.channels.empty()) {
        for (const int index : options.channels)
            channels.push_back(&openChannel(context, index));
    } else {
        channels.push_back(&openChannel(context)); // -d, else -c
    }
    std::vector<RecordTarget> targets;
    for (const Channel* channel : channels)
        targets.push_back({channel, recordingFile(options.out, channel->id(), channels.size() > 1)});
    const std::string folder =
        namesFile(options.out) ? std::filesystem::path(options.out).parent_path().string() : options.out;
    std::error_code error;
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
    if (error)
        throw HostFailure(FailureKind::OutputNotWritable,
                          "cannot create the folder " + folder + ": " + error.message());
    RecordSettings settings = options.settings;
    settings.limits.count = options.count > 0 ? options.count : INT_MAX;
    settings.seconds = options.seconds;
    settings.queueBytes = static_cast<std::size_t>(options.queueMiB * 1024 * 1024);
    settings.stopRequested = interrupted;
    const std::vector<ChannelRecord> records = recordChannels(targets, settings);
    return report(records, asGrabs(records, channels, settings.limits.timeoutMs), context.line.json);
}

} // namespace

void addRecordCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<RecordOptions>();
    CLI::App* record = app.add_subcommand(
        "record", "Stream channels at the same time into one recording (BigTIFF) file per channel");
    record->add_flag("-a,--all", options->allChannels, "Record every channel");
    record->add_option("--channels", options->channels, "Channels to record, e.g. 0,2 (default: -c)")
        ->delimiter(',')
        ->check(CLI::NonNegativeNumber);
    record->add_option("-n,--count", options->count, "Images per channel (default: no count)")
        ->check(CLI::PositiveNumber);
    record->add_option_function<double>(
        "-t,--duration", [options](const double& seconds) { options->seconds = seconds; },
        "Seconds per channel (default: no limit)");
    record
        ->add_option("--queue", options->queueMiB,
                     "MiB of images waiting to be written, all channels together (default 256)")
        ->check(CLI::PositiveNumber);
    record->add_option("--timeout", options->settings.limits.timeoutMs, "Milliseconds to wait for each image")
        ->check(CLI::PositiveNumber);
    record
        ->add_option("--max-timeouts", options->settings.limits.maxTimeouts,
                     "Time-outs in a row before a channel gives up")
        ->check(CLI::PositiveNumber);
    record->add_option("-o,--out", options->out,
                       "Folder for ch<N>.tif files, or a file name ending .tif (default: record)");
    record->add_flag("--raw", options->settings.rawBayer,
                     "Record Bayer images as the camera's mosaic, undecoded");
    record->callback([&context, options] {
        runCommand(context, "record", [&context, options] { return runRecord(context, *options); });
    });
}

} // namespace aikhost
