// aikhost grab: sets channels up through SetupCommonParams as the vision host does,
// streams images through WaitForIntegration/GetImage, writes each in the format the
// output names and counts what the camera produced, what arrived and what was lost.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/cli/image_stats.h"
#include "host/cli/interrupt.h"
#include "host/cli/progress_bar.h"
#include "host/cli/text_table.h"
#include "host/commands/grab_output.h"
#include "host/session/common_settings.h"
#include "host/session/feature_info.h"
#include "host/session/image_tally.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

struct GrabOptions {
    bool allChannels = false;
    int count = 10;
    std::vector<int32_t> roi;         // x, y, width, height; empty: the window the camera has
    std::optional<double> exposure;   // seconds; unset: the camera's ExposureTime
    std::optional<double> contrast;   // fraction; unset: the camera's
    std::optional<double> brightness; // fraction; unset: the camera's
    std::string trigger;              // off, rising, falling; empty: the camera's TriggerMode
    int timeoutMs = 2000;             // per image
    int maxTimeouts = 3;              // in a row, before the channel gives up
    std::string out = "grab";
    bool raw = false;
    bool stats = false;
};

// The camera formats the module turns into host images.
const char* const kDeliveredFormats[] = {"Mono8",    "Mono10",   "Mono12", "BayerGR8", "BayerRG8",
                                         "BayerGB8", "BayerBG8", "RGB8",   "BGR8"};

bool isDelivered(const std::string& format) {
    for (const char* name : kDeliveredFormats) {
        if (format == name)
            return true;
    }
    return false;
}

struct ImageRecord {
    std::string file;
    std::optional<uint32_t> frame;
    std::vector<PlaneStats> stats;
};

struct ChannelGrab {
    int64_t id = 0;
    std::string name, geometry, format;
    ImageTally tally;
    std::vector<ImageRecord> images;
    double seconds = 0;
    std::string problem;                        // why it stopped or never streamed
    FailureKind kind = FailureKind::ImagesLost; // of the problem
};

std::string deliveredAmong(const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& entry : entries) {
        if (isDelivered(entry))
            list += (list.empty() ? "" : ", ") + entry;
    }
    return list.empty() ? std::string("none") : list;
}

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

CommonParamsRecord grabParams(const Channel& channel, const GrabOptions& options) {
    CommonParamsRecord params = currentCommonParams(channel);
    params.exposure = options.exposure.value_or(params.exposure);
    params.contrast = options.contrast.value_or(params.contrast);
    params.brightness = options.brightness.value_or(params.brightness);
    if (!options.trigger.empty()) {
        params.acqTriggered = options.trigger != "off";
        params.acqTriggerLowToHigh = options.trigger == "rising";
    }
    if (options.roi.size() == 4) {
        params.roix = options.roi[0];
        params.roiy = options.roi[1];
        params.roiwidth = options.roi[2];
        params.roiheight = options.roi[3];
    }
    return params;
}

// Polls as the host does: WaitForIntegration waits at most 10 ms per call.
bool waitForImage(const Channel& channel, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (channel.waitForIntegration().acqResult == AIK_ACQ_DONE)
            return true;
    } while (Clock::now() < deadline && !interrupted());
    return false;
}

std::size_t bufferBytes(const ImageAttributes& attributes) {
    const std::size_t pixels =
        static_cast<std::size_t>(attributes.width) * static_cast<std::size_t>(attributes.height);
    return attributes.pixelFormat == AIK_PIXEL_MONO8        ? pixels
           : attributes.pixelFormat == AIK_PIXEL_PLANES_RGB ? 3 * pixels
                                                            : 2 * pixels;
}

void streamImages(const Channel& channel, const GrabOptions& options, const GrabOutput& output,
                  const ImageAttributes& attributes, std::optional<uint32_t> storedFormat,
                  ChannelGrab& grab) {
    std::vector<uint8_t> image(bufferBytes(attributes));
    const bool bayer = storedFormat && grab.format.rfind("Bayer", 0) == 0;
    ProgressBar progress(options.count, "ch" + std::to_string(grab.id));
    const auto start = Clock::now();
    int timeoutsInRow = 0;
    for (int i = 1; i <= options.count && !interrupted(); ++i) {
        progress.update(i - 1, 0, "waiting");
        if (channel.readValue("TriggerMode").text == "On" &&
            !channel.executeCommand("TriggerSoftware").ok()) {
            grab.problem = "TriggerSoftware was refused";
            break;
        }
        if (!waitForImage(channel, options.timeoutMs)) {
            if (interrupted())
                break;
            grab.tally.addTimeout();
            if (++timeoutsInRow >= options.maxTimeouts) {
                grab.problem = noImageCause(channel, options.timeoutMs) + "; stopped after " +
                               std::to_string(timeoutsInRow) + " time-outs in a row";
                break;
            }
            continue;
        }
        const AcquisitionResult delivered = channel.getImage(image.data());
        if (delivered.foundNoNewImage()) {
            // Counts toward giving up, so that a library that never delivers ends too.
            if (++timeoutsInRow >= options.maxTimeouts) {
                grab.problem =
                    "woken " + std::to_string(timeoutsInRow) + " times in a row without a new image";
                break;
            }
            --i;
            continue;
        }
        timeoutsInRow = 0;
        if (!delivered.ok() || delivered.acqResult != AIK_ACQ_DONE) {
            grab.problem = "GetImage: " + (delivered.errText.empty() ? "no image" : delivered.errText);
            break;
        }
        ImageRecord record;
        record.frame =
            storedFormat ? deliveredFrameNumber(attributes, image.data(), *storedFormat) : std::nullopt;
        grab.tally.addDelivered(record.frame);
        if (options.stats)
            record.stats = imageStats(attributes, image.data());
        record.file = output.fileName(grab.id, i);
        const std::string failed =
            writeImage(output.writer(), record.file, attributes, image,
                       options.raw && bayer ? storedFormat : std::nullopt,
                       [&progress, i](double done) { progress.update(i - 1, done, "writing"); });
        if (!failed.empty()) {
            grab.problem = "cannot write " + record.file + ": " + failed;
            grab.kind = FailureKind::OutputNotWritable;
            break;
        }
        grab.images.push_back(std::move(record));
        progress.update(i);
    }
    grab.seconds = std::chrono::duration<double>(Clock::now() - start).count();
}

ChannelGrab grabChannel(const Channel& channel, const GrabOptions& options, const GrabOutput& output) {
    ChannelGrab grab;
    grab.id = channel.id();
    grab.name = channel.name();
    const std::optional<FeatureInfo> pixelFormat = inspectFeature(channel, "PixelFormat");
    grab.format = pixelFormat && pixelFormat->value ? *pixelFormat->value : "";
    if (!grab.format.empty() && !isDelivered(grab.format)) {
        grab.problem = "the camera streams " + grab.format +
                       ", which the module does not deliver; of its "
                       "formats it delivers " +
                       deliveredAmong(pixelFormat->entries) + " (aikhost set PixelFormat ...)";
        return grab;
    }
    const SlotResult setup = channel.setupCommonParams(grabParams(channel, options));
    if (!setup.ok()) {
        grab.problem = "SetupCommonParams: " + setup.errText;
        grab.kind = FailureKind::Refused;
        return grab;
    }
    const ImageAttributesResult attributes = channel.getImageAttributes();
    if (!attributes.ok()) {
        grab.problem = "GetImageAttributes: " + attributes.errText;
        return grab;
    }
    const ImageAttributes& geometry = attributes.attributes;
    grab.geometry = std::to_string(geometry.width) + "x" + std::to_string(geometry.height);
    if (options.roi.size() == 4 && (geometry.roix != options.roi[0] || geometry.roiy != options.roi[1] ||
                                    geometry.width != options.roi[2] || geometry.height != options.roi[3]))
        std::cerr << "aikhost: warning: channel " << grab.id << ": --roi " << options.roi[0] << ','
                  << options.roi[1] << ',' << options.roi[2] << ',' << options.roi[3] << " became "
                  << geometry.roix << ',' << geometry.roiy << ',' << geometry.width << ',' << geometry.height
                  << " (the camera's grid)\n";
    const SlotResult started = channel.startAcquisition();
    if (!started.ok()) {
        grab.problem = "acquisition not started: StartAcquisition: " + started.errText;
        return grab;
    }
    streamImages(channel, options, output, geometry, pixelFormatCode(grab.format), grab);
    const SlotResult stopped = channel.stopAcquisition();
    if (!stopped.ok() && grab.problem.empty())
        grab.problem = "StopAcquisition: " + stopped.errText;
    return grab;
}

std::string countText(const std::optional<uint64_t>& count) {
    return count ? std::to_string(*count) : "not counted";
}

nlohmann::json countJson(const std::optional<uint64_t>& count) {
    return count ? nlohmann::json(*count) : nlohmann::json();
}

double imagesPerSecond(const ChannelGrab& grab) {
    return grab.seconds > 0 ? static_cast<double>(grab.tally.delivered()) / grab.seconds : 0.0;
}

nlohmann::json grabDocument(const std::vector<ChannelGrab>& grabs, int exitCode) {
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
        channels.push_back(
            {{"channel", grab.id},
             {"name", grab.name},
             {"image", grab.geometry},
             {"format", grab.format},
             {"delivered", grab.tally.delivered()},
             {"produced", countJson(grab.tally.produced())},
             {"lost", countJson(grab.tally.lost())},
             {"timeouts", grab.tally.timeouts()},
             {"imagesPerSecond", imagesPerSecond(grab)},
             {"problem", grab.problem.empty() ? nlohmann::json() : nlohmann::json(grab.problem)},
             {"images", images}});
    }
    return {
        {"command", "grab"}, {"channels", channels}, {"interrupted", interrupted()}, {"exitCode", exitCode}};
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
    TextTable table(
        {"Ch", "Name", "Image", "Format", "Delivered", "Produced", "Lost", "Images/s", "Time-outs"});
    std::size_t files = 0;
    for (const ChannelGrab& grab : grabs) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f", imagesPerSecond(grab));
        table.addRow({std::to_string(grab.id), grab.name, grab.geometry, grab.format,
                      std::to_string(grab.tally.delivered()), countText(grab.tally.produced()),
                      countText(grab.tally.lost()), rate, std::to_string(grab.tally.timeouts())});
        files += grab.images.size();
        if (stats)
            printStats(grab);
    }
    table.print(std::cout);
    if (files > 0)
        std::cout << files << ' ' << output.writer().format() << " files in "
                  << std::filesystem::absolute(output.folder()).string() << '\n';
}

// The worst class among the channels: interrupted, unwritable output, lost images.
int grabExitCode(const std::vector<ChannelGrab>& grabs) {
    if (interrupted())
        return kExitInterrupted;
    int exitCode = kExitOk;
    for (const ChannelGrab& grab : grabs) {
        if (!grab.problem.empty() && grab.kind != FailureKind::ImagesLost)
            exitCode = std::max(exitCode, exitCodeOf(grab.kind));
        else if (!grab.problem.empty() || grab.tally.timeouts() > 0 || grab.tally.lost().value_or(0) > 0)
            exitCode = std::max(exitCode, static_cast<int>(kExitImagesLost));
    }
    return exitCode;
}

int runGrab(CliContext& context, const GrabOptions& options) {
    const GrabOutput output(options.out, options.allChannels);
    const Channel& chosen = openChannel(context);
    output.prepare();
    std::vector<ChannelGrab> grabs;
    for (const Channel& channel : context.session->channels()) {
        if (options.allChannels ? !interrupted() : channel.id() == chosen.id())
            grabs.push_back(grabChannel(channel, options, output));
    }
    for (const ChannelGrab& grab : grabs) {
        if (!grab.problem.empty())
            std::cerr << "aikhost: channel " << grab.id << ": " << grab.problem << '\n';
        if (grab.tally.lost().value_or(0) > 0)
            std::cerr << "aikhost: channel " << grab.id << ": " << *grab.tally.lost() << " of "
                      << *grab.tally.produced() << " images lost (the host took them too slowly)\n";
    }
    if (interrupted())
        std::cerr << "aikhost: interrupted; acquisition stopped and the channel released\n";
    const int exitCode = grabExitCode(grabs);
    if (context.line.json)
        printDocument(grabDocument(grabs, exitCode));
    else
        printSummary(grabs, output, options.stats);
    return exitCode;
}

} // namespace

void addGrabCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<GrabOptions>();
    CLI::App* grab = app.add_subcommand("grab", "Set channels up, stream images and write each as PNG");
    grab->add_flag("-a,--all", options->allChannels, "Grab from every channel in turn");
    grab->add_option("-n,--count", options->count, "Images per channel")->check(CLI::PositiveNumber);
    grab->add_option("--roi", options->roi, "Region of interest x,y,width,height (default: the camera's)")
        ->expected(4)
        ->delimiter(',');
    grab->add_option_function<double>(
        "--exposure", [options](const double& seconds) { options->exposure = seconds; },
        "Exposure time in seconds, 0 for the camera's minimum (default: the camera's ExposureTime)");
    grab->add_option_function<double>(
        "--contrast", [options](const double& fraction) { options->contrast = fraction; },
        "Contrast as a fraction 0..1 of the camera's range (default: the camera's)");
    grab->add_option_function<double>(
        "--brightness", [options](const double& fraction) { options->brightness = fraction; },
        "Brightness as a fraction 0..1 of the camera's range (default: the camera's)");
    grab->add_option("--trigger", options->trigger,
                     "Trigger: off, or rising/falling edge, each image fired by TriggerSoftware "
                     "(default: the camera's TriggerMode)")
        ->check(CLI::IsMember({"off", "rising", "falling"}));
    grab->add_option("--timeout", options->timeoutMs, "Milliseconds to wait for each image")
        ->check(CLI::PositiveNumber);
    grab->add_option("--max-timeouts", options->maxTimeouts, "Time-outs in a row before a channel gives up")
        ->check(CLI::PositiveNumber);
    grab->add_option("-o,--out", options->out,
                     "Folder for PNG files, or a name pattern such as out/img_%04d.png whose extension "
                     "chooses the format (" +
                         knownExtensions() + ")");
    grab->add_flag("--raw", options->raw, "Write Bayer images as the camera's mosaic, undecoded");
    grab->add_flag("--stats", options->stats,
                   "Per image: min, max, mean and saturated samples of each plane");
    grab->callback([&context, options] {
        runCommand(context, "grab", [&context, options] { return runGrab(context, *options); });
    });
}

} // namespace aikhost
