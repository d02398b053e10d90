// aikhost grab: sets channels up through SetupCommonParams as the vision host does,
// streams images through WaitForIntegration/GetImage (grab_loop), writes each in the
// format the output names and reports what the camera produced, what arrived and what
// was lost (grab_report).
#include "host/commands/commands.h"

#include "host/cli/image_stats.h"
#include "host/cli/interrupt.h"
#include "host/cli/progress_bar.h"
#include "host/commands/grab_output.h"
#include "host/commands/grab_report.h"
#include "host/session/common_settings.h"
#include "host/session/feature_info.h"
#include "host/session/grab_loop.h"
#include "host/session/image_tally.h"

#include <iostream>
#include <optional>
#include <vector>

namespace aikhost {

namespace {

struct GrabOptions {
    bool allChannels = false;
    GrabLimits limits;
    std::vector<int32_t> roi;         // x, y, width, height; empty: the window the camera has
    std::optional<double> exposure;   // seconds; unset: the camera's ExposureTime
    std::optional<double> contrast;   // fraction; unset: the camera's
    std::optional<double> brightness; // fraction; unset: the camera's
    std::string trigger;              // off, rising, falling; empty: the camera's TriggerMode
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

std::string deliveredAmong(const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& entry : entries) {
        if (isDelivered(entry))
            list += (list.empty() ? "" : ", ") + entry;
    }
    return list.empty() ? std::string("none") : list;
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

// Takes the images, each written as it arrives, the progress line kept meanwhile.
void streamImages(const Channel& channel, const GrabOptions& options, const GrabOutput& output,
                  const ImageAttributes& attributes, ChannelGrab& grab) {
    const std::optional<uint32_t> storedFormat = pixelFormatCode(grab.format);
    const bool rawBayer = options.raw && storedFormat && grab.format.rfind("Bayer", 0) == 0;
    ProgressBar progress(options.limits.count, "ch" + std::to_string(grab.id));
    GrabHooks hooks;
    hooks.stopRequested = interrupted;
    hooks.waiting = [&progress](int taken) { progress.update(taken, 0, "waiting"); };
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
    streamImages(channel, options, output, geometry, grab);
    const SlotResult stopped = channel.stopAcquisition();
    if (!stopped.ok() && grab.problem.empty())
        grab.problem = "StopAcquisition: " + stopped.errText;
    return grab;
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
    return reportGrabs(grabs, output, context.line.json, options.stats);
}

} // namespace

void addGrabCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<GrabOptions>();
    CLI::App* grab = app.add_subcommand("grab", "Set channels up, stream images and write each as PNG");
    grab->add_flag("-a,--all", options->allChannels, "Grab from every channel in turn");
    grab->add_option("-n,--count", options->limits.count, "Images per channel")->check(CLI::PositiveNumber);
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
    grab->add_option("--timeout", options->limits.timeoutMs, "Milliseconds to wait for each image")
        ->check(CLI::PositiveNumber);
    grab->add_option("--max-timeouts", options->limits.maxTimeouts,
                     "Time-outs in a row before a channel gives up")
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
