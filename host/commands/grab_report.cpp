// Counts that cannot be known (no frame numbers) show as "not counted" or null, never
// as a guess.
#include "host/commands/grab_report.h"

#include "host/cli/cli_context.h"
#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"
#include "host/cli/text_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace aikhost {

namespace {

// Why a channel delivered no image in time, from the settings that decide it.
std::string noImageCause(const Channel& channel, int timeoutMs) {
    const std::string mode = channel.readValue("TriggerMode").text;
    const std::string source = channel.readValue("TriggerSource").text;
    const TextResult exposure = channel.readValue("ExposureTime");
    const TextResult rate = channel.readValue("AcquisitionFrameRate");
    const std::string waited = "no image within " + std::to_string(timeoutMs) + " ms: ";
    if (mode == "On" && !source.empty() && source != "Software")
        return waited + "TriggerMode is On with TriggerSource " + source +
               ", so TriggerSoftware fires nothing (aikhost set TriggerSource Software)";
    if (exposure.ok() && std::strtod(exposure.text.c_str(), nullptr) / 1000 > timeoutMs)
        return waited + "ExposureTime " + exposure.text + " µs is longer than the time-out (--timeout)";
    if (mode != "On" && rate.ok() && 1000 / std::strtod(rate.text.c_str(), nullptr) > timeoutMs)
        return waited + "AcquisitionFrameRate " + rate.text + " gives fewer images than the time-out allows";
    return waited + "the camera sent none (TriggerMode " + (mode.empty() ? "unknown" : mode) +
           (source.empty() ? "" : ", TriggerSource " + source) + ")";
}

std::string formatRate(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f/s", rate);
    return text;
}

} // namespace

std::string countText(const std::optional<uint64_t>& count) {
    return count ? std::to_string(*count) : "not counted";
}

nlohmann::json countJson(const std::optional<uint64_t>& count) {
    return count ? nlohmann::json(*count) : nlohmann::json();
}

namespace {

nlohmann::json rateJson(const std::optional<double>& rate) {
    return rate ? nlohmann::json(*rate) : nlohmann::json();
}

double imagesPerSecond(const ChannelGrab& grab) {
    return grab.loop.seconds > 0 ? static_cast<double>(grab.loop.tally.delivered()) / grab.loop.seconds : 0.0;
}

nlohmann::json grabDocument(const std::vector<ChannelGrab>& grabs, int exitCode, std::size_t removed) {
    nlohmann::json channels = nlohmann::json::array();
    for (const ChannelGrab& grab : grabs) {
        nlohmann::json images = nlohmann::json::array();
        for (const ImageRecord& image : grab.images) {
            nlohmann::json planes = nlohmann::json::array();
            for (const PlaneStats& stats : image.stats)
                planes.push_back({{"plane", stats.plane},
                                  {"min", stats.minimum},
                                  {"max", stats.maximum},
                                  {"mean", stats.mean},
                                  {"saturated", stats.saturated}});
            images.push_back({{"file", image.file},
                              {"frame", image.frame ? nlohmann::json(*image.frame) : nlohmann::json()},
                              {"stats", planes}});
        }
        const ImageTally& tally = grab.loop.tally;
        channels.push_back(
            {{"channel", grab.id},
             {"name", grab.name},
             {"image", grab.geometry},
             {"format", grab.format},
             {"delivered", tally.delivered()},
             {"produced", countJson(tally.produced())},
             {"lost", countJson(tally.lost())},
             {"timeouts", tally.timeouts()},
             {"failures", tally.failures()},
             {"askedRate", rateJson(grab.askedRate)},
             {"imagesPerSecond", imagesPerSecond(grab)},
             {"problem", grab.problem.empty() ? nlohmann::json() : nlohmann::json(grab.problem)},
             {"notes", grab.notes},
             {"images", images}});
    }
    return {{"command", "grab"},
            {"channels", channels},
            {"interrupted", interrupted()},
            {"exitCode", exitCode},
            {"removedFiles", removed}};
}

void printStats(const ChannelGrab& grab) {
    for (const ImageRecord& image : grab.images) {
        std::cout << image.file << (image.frame ? " frame " + std::to_string(*image.frame) : "") << ':';
        for (const PlaneStats& stats : image.stats) {
            char text[160];
            std::snprintf(text, sizeof text, " %s min %u max %u mean %.1f saturated %llu;",
                          stats.plane.c_str(), stats.minimum, stats.maximum, stats.mean,
                          static_cast<unsigned long long>(stats.saturated));
            std::cout << text;
        }
        std::cout << '\n';
    }
}

void printSummary(const std::vector<ChannelGrab>& grabs, const GrabOutput& output, bool stats) {
    TextTable table({"Ch", "Name", "Image", "Format", "Delivered", "Produced", "Lost", "Images/s",
                     "Time-outs", "Failures"});
    std::size_t files = 0;
    for (const ChannelGrab& grab : grabs) {
        const ImageTally& tally = grab.loop.tally;
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f", imagesPerSecond(grab));
        table.addRow({std::to_string(grab.id), grab.name, grab.geometry, grab.format,
                      std::to_string(tally.delivered()), countText(tally.produced()), countText(tally.lost()),
                      rate, std::to_string(tally.timeouts()), std::to_string(tally.failures())});
        files += grab.images.size();
        if (stats)
            printStats(grab);
    }
    table.print(std::cout);
    if (files > 0)
        std::cout << files << ' ' << output.writer().format() << " files in "
                  << std::filesystem::absolute(output.folder()).string() << '\n';
}

} // namespace

int grabExitCode(const std::vector<ChannelGrab>& grabs) {
    if (interrupted())
        return kExitInterrupted;
    int exitCode = kExitOk;
    for (const ChannelGrab& grab : grabs) {
        const ImageTally& tally = grab.loop.tally;
        if (!grab.problem.empty() && grab.kind != FailureKind::ImagesLost)
            exitCode = std::max(exitCode, exitCodeOf(grab.kind));
        else if (!grab.problem.empty() || tally.timeouts() > 0 || tally.failures() > 0 ||
                 tally.lost().value_or(0) > 0)
            exitCode = std::max(exitCode, static_cast<int>(kExitImagesLost));
    }
    return exitCode;
}

void noteLoopEnd(ChannelGrab& grab, const Channel& channel, int timeoutMs) {
    const LoopResult& loop = grab.loop;
    const std::string inRow = std::to_string(loop.inRow);
    switch (loop.end) {
    case LoopEnd::Done:
        break;
    case LoopEnd::TriggerRefused:
        grab.problem = "TriggerSoftware was refused";
        break;
    case LoopEnd::TimedOut:
        grab.problem = noImageCause(channel, timeoutMs) + "; stopped after " + inRow + " time-outs in a row";
        break;
    case LoopEnd::NoNewImage:
        grab.problem = "woken " + inRow + " times in a row without a new image";
        break;
    case LoopEnd::TooManyFailures:
        grab.problem = "stopped after " + std::to_string(loop.tally.failures()) +
                       " images failed (--max-failures), the last one: GetImage: " + loop.detail;
        break;
    case LoopEnd::CameraSilent:
        grab.problem = loop.detail;
        break;
    case LoopEnd::NotTaken:
        grab.problem = loop.detail;
        grab.kind = FailureKind::OutputNotWritable;
        break;
    }
    // What it went on after: whatever ended the grab, each shortfall has its cause.
    const ImageTally& tally = loop.tally;
    if (tally.timeouts() > 0 && loop.end != LoopEnd::TimedOut)
        grab.notes.push_back(std::to_string(tally.timeouts()) +
                             " time-outs, waited past: " + noImageCause(channel, timeoutMs));
    if (tally.failures() > 0 && loop.end != LoopEnd::TooManyFailures)
        grab.notes.push_back(std::to_string(tally.failures()) +
                             " images failed and were skipped, the last one: GetImage: " + loop.lastFailure);
}

void reportInterval(const ChannelGrab& grab, const ImageTally& tally, double seconds, double intervalRate,
                    bool json) {
    if (json) {
        printDocument({{"command", "grabInterval"},
                       {"channel", grab.id},
                       {"seconds", seconds},
                       {"askedRate", rateJson(grab.askedRate)},
                       {"imagesPerSecond", intervalRate},
                       {"delivered", tally.delivered()},
                       {"lost", countJson(tally.lost())},
                       {"timeouts", tally.timeouts()},
                       {"failures", tally.failures()}});
        std::cout << std::flush;
        return;
    }
    char line[256];
    const std::string asked = grab.askedRate ? formatRate(*grab.askedRate) : "triggered";
    std::snprintf(
        line, sizeof line,
        "aikhost: ch%lld %.1f s: %.1f images/s (asked %s), %llu delivered, %s lost, %llu time-outs, "
        "%llu failures\n",
        static_cast<long long>(grab.id), seconds, intervalRate, asked.c_str(),
        static_cast<unsigned long long>(tally.delivered()), countText(tally.lost()).c_str(),
        static_cast<unsigned long long>(tally.timeouts()), static_cast<unsigned long long>(tally.failures()));
    std::cerr << line << std::flush;
}

int reportGrabs(const std::vector<ChannelGrab>& grabs, const GrabOutput& output, bool json, bool stats,
                std::size_t removed) {
    for (const ChannelGrab& grab : grabs) {
        const ImageTally& tally = grab.loop.tally;
        if (!grab.problem.empty())
            std::cerr << "aikhost: channel " << grab.id << ": " << grab.problem << '\n';
        if (!grab.detail.empty())
            std::cerr << "aikhost:   " << grab.detail << '\n';
        for (const std::string& note : grab.notes)
            std::cerr << "aikhost: channel " << grab.id << ": " << note << '\n';
        if (tally.lost().value_or(0) > 0)
            std::cerr << "aikhost: channel " << grab.id << ": " << *tally.lost() << " of "
                      << *tally.produced() << " images lost (the host took them too slowly)\n";
    }
    if (interrupted())
        std::cerr << "aikhost: interrupted; acquisition stopped and the channel released\n";
    const int exitCode = grabExitCode(grabs);
    if (json)
        printDocument(grabDocument(grabs, exitCode, removed));
    else
        printSummary(grabs, output, stats);
    return exitCode;
}

} // namespace aikhost
