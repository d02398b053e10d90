// aikhost grab: sets channels up through SetupCommonParams as the vision host does,
// streams images through WaitForIntegration/GetImage (grab_loop), writes each in the
// format the output names and reports what the camera produced, what arrived and what
// was lost (grab_report).
#include "host/commands/commands.h"

#include "host/cli/image_stats.h"
#include "host/cli/interrupt.h"
#include "host/cli/option_checks.h"
#include "host/cli/progress_bar.h"
#include "host/commands/grab_output.h"
#include "host/commands/grab_report.h"
#include "host/commands/grab_settings.h"
#include "host/session/feature_info.h"
#include "host/session/grab_loop.h"
#include "host/session/image_tally.h"
#include "host/session/stream_counts.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>
#include <set>
#include <vector>

namespace aikhost {

namespace {

struct GrabOptions {
    bool allChannels = false;
    GrabLimits limits;
    GrabSettings settings;
    std::string out = "grab";
    bool overwrite = false; // replace an earlier grab's files in the output folder
    bool raw = false;
    bool stats = false;
    double statsInterval = 0; // seconds between two lines of figures; 0: none
    bool json = false;        // the line's --json
};

using Clock = std::chrono::steady_clock;

// --stats-interval: one line of figures each interval, as the loop waits for images.
class IntervalFigures {
public:
    IntervalFigures(const GrabOptions& options, const ChannelGrab& grab)
        : m_interval(options.statsInterval), m_json(options.json), m_grab(grab) {}

    void update(const ImageTally& tally) {
        const auto now = Clock::now();
        if (m_interval <= 0 || now - m_last < std::chrono::duration<double>(m_interval))
            return;
        const double seconds = std::chrono::duration<double>(now - m_last).count();
        const double rate = static_cast<double>(tally.delivered() - m_delivered) / seconds;
        reportInterval(m_grab, tally, std::chrono::duration<double>(now - m_start).count(), rate, m_json);
        m_last = now;
        m_delivered = tally.delivered();
    }

private:
    double m_interval;
    bool m_json;
    const ChannelGrab& m_grab;
    Clock::time_point m_start = Clock::now(), m_last = m_start;
    uint64_t m_delivered = 0;
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

std::string deliveredAmong(const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& entry : entries) {
        if (isDelivered(entry))
            list += (list.empty() ? "" : ", ") + entry;
    }
    return list.empty() ? std::string("none") : list;
}

// Takes the images, each written as it arrives, the progress line kept meanwhile.
void streamImages(const Channel& channel, const GrabOptions& options, const GrabOutput& output,
                  const ImageAttributes& attributes, ChannelGrab& grab) {
    const std::optional<uint32_t> storedFormat = pixelFormatCode(grab.format);
    const bool rawBayer = options.raw && storedFormat && grab.format.rfind("Bayer", 0) == 0;
    ProgressBar progress(options.limits.count, "ch" + std::to_string(grab.id));
    IntervalFigures figures(options, grab);
    GrabHooks hooks;
    hooks.stopRequested = interrupted;
    hooks.waiting = [&progress, &figures](const ImageTally& tally) {
        progress.update(static_cast<int>(tally.delivered()), 0, "waiting");
        figures.update(tally);
    };
    hooks.take = [&](int i, const std::vector<uint8_t>& image, std::optional<uint32_t> frame) {
        ImageRecord record;
        record.frame = frame;
        if (options.stats)
            record.stats = imageStats(attributes, image.data());
        record.file = output.fileName(grab.id, i);
        const std::string failed = writeImage(
            output.writer(), record.file, attributes, image, rawBayer ? storedFormat : std::nullopt,
            [&progress, i](double done) { progress.update(i - 1, done, "writing"); });
        if (!failed.empty())
            return "cannot write " + record.file + ": " + failed;
        grab.images.push_back(std::move(record));
        progress.update(i);
        return std::string();
    };
    grab.loop = takeImages(channel, attributes, storedFormat, options.limits, hooks);
    noteLoopEnd(grab, channel, options.limits.timeoutMs);
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
    const CommonParamsRecord params = grabParams(channel, options.settings);
    grab.problem = settingsProblem(channel, options.settings);
    if (!grab.problem.empty()) {
        grab.kind = FailureKind::Refused;
        return grab;
    }
    const SlotResult setup = channel.setupCommonParams(params);
    if (!setup.ok()) {
        grab.problem = "the camera refused the settings " + settingsText(params) +
                       " (--exposure, --contrast, --brightness, --roi, --trigger)";
        grab.detail = "the module's text: SetupCommonParams failed: " + setup.errText;
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
    if (options.settings.roi.size() == 4 &&
        (geometry.roix != options.settings.roi[0] || geometry.roiy != options.settings.roi[1] ||
         geometry.width != options.settings.roi[2] || geometry.height != options.settings.roi[3]))
        std::cerr << "aikhost: warning: channel " << grab.id << ": --roi " << options.settings.roi[0] << ','
                  << options.settings.roi[1] << ',' << options.settings.roi[2] << ','
                  << options.settings.roi[3] << " became " << geometry.roix << ',' << geometry.roiy << ','
                  << geometry.width << ',' << geometry.height << " (the camera's grid)\n";
    if (channel.readValue("TriggerMode").text != "On") {
        const TextResult rate = channel.readValue("AcquisitionFrameRate");
        if (rate.ok() && isValueText(AIK_FEATURE_FLOAT, rate.text))
            grab.askedRate = std::strtod(rate.text.c_str(), nullptr);
    }
    keepEveryImage(channel);
    const SlotResult started = channel.startAcquisition();
    if (!started.ok()) {
        grab.problem = "acquisition not started: StartAcquisition: " + started.errText;
        return grab;
    }
    streamImages(channel, options, output, geometry, grab);
    const SlotResult stopped = channel.stopAcquisition();
    if (!stopped.ok() && grab.problem.empty())
        grab.problem = "StopAcquisition: " + stopped.errText;
    return grab;
}

// An earlier grab's files are the user's data: kept unless --overwrite says
// otherwise, and then none of them is left beside the new ones.
std::vector<std::string> earlierFiles(const GrabOutput& output, bool overwrite) {
    std::vector<std::string> earlier = output.existingFiles();
    if (!earlier.empty() && !overwrite)
        throw HostFailure(FailureKind::OutputNotWritable,
                          output.folder() + " holds " + std::to_string(earlier.size()) +
                              " files named as this grab names its own (" + earlier.front() +
                              (earlier.size() > 1 ? ", ..." : "") +
                              "): give --overwrite to replace them, or another --out");
    return earlier;
}

// Compared by file name: all of them lie in the output folder, however it was spelt.
std::size_t removeLeftOver(const std::vector<std::string>& earlier, const std::vector<ChannelGrab>& grabs) {
    std::set<std::string> written;
    for (const ChannelGrab& grab : grabs) {
        for (const ImageRecord& image : grab.images)
            written.insert(std::filesystem::path(image.file).filename().string());
    }
    std::size_t removed = 0;
    for (const std::string& file : earlier) {
        std::error_code error;
        if (written.count(std::filesystem::path(file).filename().string()) == 0 &&
            std::filesystem::remove(file, error))
            ++removed;
    }
    return removed;
}

int runGrab(CliContext& context, GrabOptions options) {
    options.json = context.line.json;
    const GrabOutput output(options.out, options.allChannels);
    const std::vector<std::string> earlier = earlierFiles(output, options.overwrite);
    const Channel& chosen = openChannel(context);
    output.prepare();
    std::vector<ChannelGrab> grabs;
    for (const Channel& channel : context.session->channels()) {
        if (options.allChannels ? !interrupted() : channel.id() == chosen.id())
            grabs.push_back(grabChannel(channel, options, output));
    }
    const std::size_t removed = removeLeftOver(earlier, grabs);
    if (removed > 0)
        std::cerr << "aikhost: removed " << removed << " files of an earlier grab from " << output.folder()
                  << " (--overwrite)\n";
    return reportGrabs(grabs, output, options.json, options.stats, removed);
}

} // namespace

void addGrabCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<GrabOptions>();
    CLI::App* grab = app.add_subcommand("grab", "Set channels up, stream images and write each as PNG");
    grab->add_flag("-a,--all", options->allChannels, "Grab from every channel in turn");
    grab->add_option("-n,--count", options->limits.count, "Images to deliver per channel")
        ->check(wholeNumberIn(1, std::numeric_limits<int>::max(), "a number of images"));
    grab->add_option("--roi", options->settings.roi,
                     "Region of interest x,y,width,height (default: the camera's)")
        ->expected(4)
        ->delimiter(',');
    grab->add_option_function<double>(
            "--exposure", [options](const double& seconds) { options->settings.exposure = seconds; },
            "Exposure time in seconds, 0 for the camera's minimum (default: the camera's ExposureTime)")
        ->check(numberIn(0, 3600, "an exposure time in seconds"));
    grab->add_option_function<double>(
            "--contrast", [options](const double& fraction) { options->settings.contrast = fraction; },
            "Contrast as a fraction 0..1 of the camera's range (default: the camera's)")
        ->check(numberIn(0, 1, "a fraction of the camera's contrast range"));
    grab->add_option_function<double>(
            "--brightness", [options](const double& fraction) { options->settings.brightness = fraction; },
            "Brightness as a fraction 0..1 of the camera's range (default: the camera's)")
        ->check(numberIn(0, 1, "a fraction of the camera's brightness range"));
    grab->add_option("--trigger", options->settings.trigger,
                     "Trigger: off, or rising/falling edge, each image fired by TriggerSoftware "
                     "(default: the camera's TriggerMode)")
        ->check(CLI::IsMember({"off", "rising", "falling"}));
    grab->add_option("--timeout", options->limits.timeoutMs, "Milliseconds to wait for each image")
        ->check(wholeNumberIn(1, 3600000, "a time-out in milliseconds"));
    grab->add_option("--max-timeouts", options->limits.maxTimeouts,
                     "Time-outs in a row before a channel gives up")
        ->check(wholeNumberIn(1, 1000000, "a number of time-outs in a row"));
    grab->add_option("--max-failures", options->limits.maxFailures,
                     "Failed images (GetImage) in all before a channel gives up; each one before is counted "
                     "and skipped")
        ->capture_default_str()
        ->check(wholeNumberIn(1, 1000000, "a number of failed images"));
    grab->add_option("-o,--out", options->out,
                     "Folder for PNG files, or a name pattern such as out/img_%04d.png whose extension "
                     "chooses the format (" +
                         knownExtensions() + ")");
    grab->add_flag("--overwrite", options->overwrite,
                   "Replace the files of an earlier grab in the output folder; those this grab does not "
                   "write again are removed");
    grab->add_flag("--raw", options->raw, "Write Bayer images as the camera's mosaic, undecoded");
    grab->add_flag("--stats", options->stats,
                   "Per image: min, max, mean and saturated samples of each plane");
    grab->add_option("--stats-interval", options->statsInterval,
                     "Every S seconds one line of figures (asked and achieved rate, delivered, lost, "
                     "time-outs, failures), also without a terminal; with --json one JSON line")
        ->type_name("S")
        ->check(numberIn(0.1, 86400, "an interval in seconds"));
    grab->callback([&context, options] {
        runCommand(context, "grab", [&context, options] { return runGrab(context, *options); });
    });
}

} // namespace aikhost
