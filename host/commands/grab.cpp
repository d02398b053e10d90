// aikhost grab: sets a channel up through SetupCommonParams, streams a number of images
// through WaitForIntegration/GetImage as the vision host would, and writes each as PNG.
#include "host/commands/commands.h"

#include "host/cli/png_file.h"
#include "host/cli/text_table.h"

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

struct GrabOptions {
    int channel = 0;
    bool allChannels = false;
    int count = 10;
    std::vector<int32_t> roi;         // x, y, width, height; empty: the whole sensor
    std::optional<double> exposure;   // seconds; unset: the channel's current exposure
    std::optional<double> contrast;   // fraction; unset: the channel's current contrast
    std::optional<double> brightness; // fraction; unset: the channel's current brightness
    std::string trigger = "off";      // off, rising, falling
    int timeoutMs = 2000;             // per image
    std::string outputFolder = "grab";
};

struct GrabTally {
    std::string name;
    std::string geometry;
    std::string format;
    int images = 0;
    int timeouts = 0;
    int failures = 0;
    double seconds = 0;
    std::string problem; // why the channel could not stream at all
};

// Grabs of at least this many images show a progress bar (when stderr is a terminal).
constexpr int kProgressMinImages = 20;

const char* formatName(int32_t hostFormat) {
    switch (hostFormat) {
    case AIK_PIXEL_MONO8:
        return "Mono8";
    case AIK_PIXEL_MONO10:
        return "Mono10";
    case AIK_PIXEL_MONO12:
        return "Mono12";
    case AIK_PIXEL_PLANES_RGB:
        return "3 planes";
    default:
        return "?";
    }
}

int significantBits(int32_t hostFormat) {
    return hostFormat == AIK_PIXEL_MONO10 ? 10 : hostFormat == AIK_PIXEL_MONO12 ? 12 : 8;
}

std::size_t bufferBytes(const ImageAttributes& attributes) {
    const std::size_t pixels =
        static_cast<std::size_t>(attributes.width) * static_cast<std::size_t>(attributes.height);
    switch (attributes.pixelFormat) {
    case AIK_PIXEL_MONO8:
        return pixels;
    case AIK_PIXEL_PLANES_RGB:
        return 3 * pixels;
    default:
        return 2 * pixels; // Mono10 and Mono12 arrive in 16-bit little-endian words
    }
}

// Turns the delivered buffer into PNG samples: grey as it is, 10/12-bit grey scaled to
// 16 bits (big-endian, with sBIT keeping the true depth), and the planes (0 blue,
// 1 green, 2 red) interleaved as RGB.
bool writePng(const std::string& path, const ImageAttributes& attributes, const std::vector<uint8_t>& image) {
    const auto width = static_cast<std::size_t>(attributes.width);
    const auto height = static_cast<std::size_t>(attributes.height);
    PngImage png;
    png.width = static_cast<uint32_t>(width);
    png.height = static_cast<uint32_t>(height);
    png.significantBits = significantBits(attributes.pixelFormat);
    std::vector<uint8_t> pixels;
    if (attributes.pixelFormat == AIK_PIXEL_MONO8) {
        png.pixels = image.data();
    } else if (attributes.pixelFormat == AIK_PIXEL_PLANES_RGB) {
        png.rgb = true;
        pixels.resize(3 * width * height);
        const std::size_t plane = width * height;
        for (std::size_t i = 0; i < plane; ++i) {
            pixels[3 * i] = image[2 * plane + i];
            pixels[3 * i + 1] = image[plane + i];
            pixels[3 * i + 2] = image[i];
        }
        png.pixels = pixels.data();
    } else {
        const int sigBits = png.significantBits;
        png.bitDepth = 16;
        pixels.resize(2 * width * height);
        for (std::size_t i = 0; i < width * height; ++i) {
            const unsigned value = (image[2 * i] | (image[2 * i + 1] << 8u)) & ((1u << sigBits) - 1);
            const unsigned scaled = (value << (16 - sigBits)) | (value >> (2 * sigBits - 16));
            pixels[2 * i] = static_cast<uint8_t>(scaled >> 8);
            pixels[2 * i + 1] = static_cast<uint8_t>(scaled);
        }
        png.pixels = pixels.data();
    }
    return writePngFile(path, png);
}

class ProgressBar {
public:
    ProgressBar(int total, const std::string& label)
        : m_total(total), m_label(label), m_shown(total >= kProgressMinImages && isatty(STDERR_FILENO)) {}
    ~ProgressBar() {
        if (m_shown) {
            std::cerr << '\n';
        }
    }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(int done) {
        const auto now = Clock::now();
        if (!m_shown || (done < m_total && now - m_drawn < std::chrono::milliseconds(100))) {
            return;
        }
        m_drawn = now;
        constexpr int kWidth = 40;
        const int filled = m_total > 0 ? done * kWidth / m_total : kWidth;
        std::cerr << '\r' << m_label << " [" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << done << '/'
                  << m_total << std::flush;
    }

private:
    int m_total;
    std::string m_label;
    bool m_shown;
    Clock::time_point m_drawn{};
};

CommonParamsRecord commonParams(const GrabOptions& options, const VideoChannelRecord& record) {
    CommonParamsRecord params{};
    params.exposure = options.exposure.value_or(record.exposure);
    params.contrast = options.contrast.value_or(record.contrast);
    params.brightness = options.brightness.value_or(record.brightness);
    params.acqContinuous = 1;
    params.acqTriggered = options.trigger != "off";
    params.acqTriggerLowToHigh = options.trigger == "rising";
    const bool wholeSensor = options.roi.size() != 4;
    params.roix = wholeSensor ? 0 : options.roi[0];
    params.roiy = wholeSensor ? 0 : options.roi[1];
    params.roiwidth = wholeSensor ? static_cast<int32_t>(record.sensorWidth) : options.roi[2];
    params.roiheight = wholeSensor ? static_cast<int32_t>(record.sensorHeight) : options.roi[3];
    return params;
}

// Polls as the host does: WaitForIntegration waits at most 10 ms per call.
bool waitForImage(const Channel& channel, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (channel.waitForIntegration().acqResult == AIK_ACQ_DONE) {
            return true;
        }
    } while (Clock::now() < deadline);
    return false;
}

void streamImages(const Channel& channel, const GrabOptions& options, const ImageAttributes& attributes,
                  GrabTally& tally) {
    std::vector<uint8_t> image(bufferBytes(attributes));
    const std::filesystem::path folder(options.outputFolder);
    ProgressBar progress(options.count, "ch" + std::to_string(channel.id()));
    const auto start = Clock::now();
    for (int i = 1; i <= options.count; ++i) {
        if (options.trigger != "off" && !channel.executeCommand("TriggerSoftware").ok()) {
            ++tally.failures;
        } else if (!waitForImage(channel, options.timeoutMs)) {
            ++tally.timeouts;
        } else {
            const AcquisitionResult delivered = channel.getImage(image.data());
            char fileName[64];
            std::snprintf(fileName, sizeof fileName, "ch%lld_%04d.png", static_cast<long long>(channel.id()),
                          i);
            if (delivered.ok() && delivered.acqResult == AIK_ACQ_DONE &&
                writePng((folder / fileName).string(), attributes, image)) {
                ++tally.images;
            } else {
                ++tally.failures;
            }
        }
        progress.update(i);
    }
    tally.seconds = std::chrono::duration<double>(Clock::now() - start).count();
}

GrabTally grabChannel(const Channel& channel, const GrabOptions& options) {
    GrabTally tally;
    tally.name = channel.name();
    const SlotResult setup = channel.setupCommonParams(commonParams(options, channel.record()));
    if (!setup.ok()) {
        tally.problem = "SetupCommonParams: " + setup.errText;
        return tally;
    }
    const ImageAttributesResult attributes = channel.getImageAttributes();
    if (!attributes.ok()) {
        tally.problem = "GetImageAttributes: " + attributes.errText;
        return tally;
    }
    const ImageAttributes& geometry = attributes.attributes;
    tally.geometry = std::to_string(geometry.width) + "x" + std::to_string(geometry.height);
    tally.format = formatName(geometry.pixelFormat);
    const SlotResult started = channel.startAcquisition();
    if (!started.ok()) {
        tally.problem = "StartAcquisition: " + started.errText;
        return tally;
    }
    streamImages(channel, options, geometry, tally);
    const SlotResult stopped = channel.stopAcquisition();
    if (!stopped.ok()) {
        tally.problem = "StopAcquisition: " + stopped.errText;
    }
    return tally;
}

std::string formatRate(const GrabTally& tally) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", tally.seconds > 0 ? tally.images / tally.seconds : 0.0);
    return text;
}

// Exit code 1 when any channel could not stream or any image is missing.
int printSummary(const std::vector<std::pair<int64_t, GrabTally>>& tallies, const GrabOptions& options) {
    TextTable table({"Ch", "Name", "Image", "Format", "Images", "Images/s", "Time-outs", "Failures"});
    int exitCode = 0;
    for (const auto& [id, tally] : tallies) {
        table.addRow({std::to_string(id), tally.name, tally.geometry, tally.format,
                      std::to_string(tally.images), formatRate(tally), std::to_string(tally.timeouts),
                      std::to_string(tally.failures)});
        if (!tally.problem.empty()) {
            std::cerr << "aikhost: channel " << id << ": " << tally.problem << '\n';
        }
        if (!tally.problem.empty() || tally.images != options.count) {
            exitCode = 1;
        }
    }
    table.print(std::cout);
    std::cout << "PNG files in " << std::filesystem::absolute(options.outputFolder).string() << '\n';
    return exitCode;
}

int runGrab(const CliContext& context, const GrabOptions& options) {
    auto module = loadModule(context);
    Enumeration enumeration = module->enumerate();
    if (enumeration.channels.empty()) {
        std::cerr << "aikhost: no channel"
                  << (enumeration.errText.empty() ? std::string() : ": " + enumeration.errText) << '\n';
        return 1;
    }
    if (!options.allChannels && static_cast<std::size_t>(options.channel) >= enumeration.channels.size()) {
        std::cerr << "aikhost: no channel " << options.channel << " (" << enumeration.channels.size()
                  << " found)\n";
        enumeration.channels.front().releaseVideoChannel();
        return 1;
    }
    std::filesystem::create_directories(options.outputFolder);
    std::vector<std::pair<int64_t, GrabTally>> tallies;
    for (const Channel& channel : enumeration.channels) {
        if (options.allChannels || channel.id() == options.channel) {
            tallies.emplace_back(channel.id(), grabChannel(channel, options));
        }
    }
    enumeration.channels.front().releaseVideoChannel();
    return printSummary(tallies, options);
}

} // namespace

void addGrabCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<GrabOptions>();
    CLI::App* grab = app.add_subcommand("grab", "Set channels up, stream images and write each as PNG");
    CLI::Option* channel = grab->add_option("-c,--channel", options->channel, "Channel to grab from")
                               ->check(CLI::NonNegativeNumber);
    grab->add_flag("-a,--all", options->allChannels, "Grab from every channel in turn")->excludes(channel);
    grab->add_option("-n,--count", options->count, "Images per channel")->check(CLI::PositiveNumber);
    grab->add_option("--roi", options->roi, "Region of interest x,y,width,height (default: whole sensor)")
        ->expected(4)
        ->delimiter(',');
    grab->add_option_function<double>(
        "--exposure", [options](const double& seconds) { options->exposure = seconds; },
        "Exposure time in seconds, 0 for the camera's minimum (default: as the channel reports)");
    grab->add_option_function<double>(
        "--contrast", [options](const double& fraction) { options->contrast = fraction; },
        "Contrast as a fraction 0..1 of the camera's range (default: as the channel reports)");
    grab->add_option_function<double>(
        "--brightness", [options](const double& fraction) { options->brightness = fraction; },
        "Brightness as a fraction 0..1 of the camera's range (default: as the channel reports)");
    grab->add_option("--trigger", options->trigger,
                     "Trigger mode: off, or rising/falling edge (each image then fired by TriggerSoftware)")
        ->check(CLI::IsMember({"off", "rising", "falling"}));
    grab->add_option("--timeout", options->timeoutMs, "Milliseconds to wait for each image")
        ->check(CLI::PositiveNumber);
    grab->add_option("-o,--out", options->outputFolder, "Folder for the PNG files");
    grab->callback([&context, options] {
        runCommand(context, [&context, options] { return runGrab(context, *options); });
    });
}

} // namespace aikhost
