// Definitions of the standard nodes: types, access, limits and descriptions.
#include "sim/core/standard_nodes.h"

#include "camlib/buffer_handling.h"
#include "camlib/pixel_format.h"
#include "camlib/stream_tally.h"

#include <algorithm>

namespace sim {

namespace {

NodeSpec Node(const char* name, NodeType type, Access access, const char* description) {
    NodeSpec node;
    node.name = name;
    node.type = type;
    node.access = access;
    node.description = description;
    return node;
}

NodeSpec Category(const char* name, const char* description) {
    return Node(name, NodeType::Category, Access::RO, description);
}

NodeSpec Text(const char* name, Access access, std::string_view value, const char* description) {
    NodeSpec node = Node(name, NodeType::String, access, description);
    node.value = NodeValue{};
    node.value->s = value;
    return node;
}

// An integer whose value is camera state.
NodeSpec LinkedInteger(const char* name, Access access, int64_t min, int64_t max, const char* description) {
    NodeSpec node = Node(name, NodeType::Integer, access, description);
    node.intMin = min;
    node.intMax = max;
    return node;
}

NodeSpec Integer(const char* name, int64_t min, int64_t max, int64_t value, const char* description) {
    NodeSpec node = LinkedInteger(name, Access::RW, min, max, description);
    node.value = NodeValue{};
    node.value->i = value;
    return node;
}

NodeSpec LinkedFloat(const char* name, double min, double max, int64_t precision, const char* description) {
    NodeSpec node = Node(name, NodeType::Float, Access::RW, description);
    node.floatMin = min;
    node.floatMax = max;
    node.precision = precision;
    return node;
}

NodeSpec Float(const char* name, double min, double max, double value, int64_t precision,
               const char* description) {
    NodeSpec node = LinkedFloat(name, min, max, precision, description);
    node.value = NodeValue{};
    node.value->f = value;
    return node;
}

template <typename Names>
NodeSpec Enumeration(const char* name, Access access, const Names& entries, const char* description) {
    NodeSpec node = Node(name, NodeType::Enumeration, access, description);
    for (const auto& entry : entries)
        node.entries.push_back({std::string(entry), Access::RO});
    return node;
}

// An enumeration that holds its own value, the first entry unless value is given.
template <typename Names>
NodeSpec Choice(const char* name, const Names& entries, const char* description,
                std::string_view value = {}) {
    NodeSpec node = Enumeration(name, Access::RW, entries, description);
    node.value = NodeValue{};
    node.value->s = value.empty() ? node.entries.front().name : std::string(value);
    return node;
}

template <typename Project>
std::vector<std::string> Distinct(const std::vector<uint32_t>& formats, Project project) {
    std::vector<std::string> names;
    for (uint32_t format : formats) {
        std::string name = project(format);
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return names;
}

void AddDeviceControl(std::vector<NodeSpec>& nodes) {
    nodes.push_back(Category("DeviceControl", "Information about the device and its general settings."));
    nodes.push_back(
        Node("DeviceVendorName", NodeType::String, Access::RO, "Name of the manufacturer of the device."));
    nodes.push_back(Node("DeviceModelName", NodeType::String, Access::RO, "Model name of the device."));
    nodes.push_back(Node("DeviceManufacturerInfo", NodeType::String, Access::RO,
                         "Further information about the device from its manufacturer."));
    nodes.push_back(Text("DeviceVersion", Access::RO, kDeviceVersion, "Version of the device."));
    nodes.push_back(
        Node("DeviceID", NodeType::String, Access::RO, "Identifier (serial number) of the device."));
    nodes.push_back(Text("DeviceUserID", Access::RW, "", "User-programmable name of the device."));
}

void AddImageFormatControl(const CameraSpec& camera, std::vector<NodeSpec>& nodes) {
    static constexpr std::string_view kFormatSelectorEntries[] = {"Format0"};
    const uint64_t largestFrame =
        static_cast<uint64_t>(camera.sensorWidth) * camera.sensorHeight *
        camlib::BytesPerPixel(*std::max_element(
            camera.pixelFormats.begin(), camera.pixelFormats.end(),
            [](uint32_t a, uint32_t b) { return camlib::BytesPerPixel(a) < camlib::BytesPerPixel(b); }));
    nodes.push_back(Category("ImageFormatControl", "Size, position and format of the images."));
    nodes.push_back(LinkedInteger("SensorWidth", Access::RO, camera.sensorWidth, camera.sensorWidth,
                                  "Effective width of the sensor in pixels."));
    nodes.push_back(LinkedInteger("SensorHeight", Access::RO, camera.sensorHeight, camera.sensorHeight,
                                  "Effective height of the sensor in pixels."));
    nodes.push_back(LinkedInteger("Width", Access::RW, camera.width.min, camera.width.max,
                                  "Width of the image delivered by the device, in pixels."));
    nodes.push_back(LinkedInteger("Height", Access::RW, camera.height.min, camera.height.max,
                                  "Height of the image delivered by the device, in pixels."));
    nodes.push_back(
        LinkedInteger("OffsetX", Access::RW, camera.offsetX.min, camera.offsetX.max,
                      "Horizontal offset from the origin of the sensor to the region of interest."));
    nodes.push_back(
        LinkedInteger("OffsetY", Access::RW, camera.offsetY.min, camera.offsetY.max,
                      "Vertical offset from the origin of the sensor to the region of interest."));
    nodes.push_back(Choice("ImageFormatSelector", kFormatSelectorEntries,
                           "Selects the image format the format features apply to."));
    nodes.push_back(Enumeration("PixelFormat", Access::RW,
                                Distinct(camera.pixelFormats, camlib::PixelFormatName),
                                "Format of the pixels delivered by the device."));
    nodes.push_back(Enumeration(
        "PixelCoding", Access::RO,
        Distinct(camera.pixelFormats,
                 [](uint32_t format) { return std::string(camlib::PixelFormatOf(format).coding); }),
        "Coding of the pixels: the colour layout of the pixel format."));
    nodes.push_back(Enumeration(
        "PixelSize", Access::RO,
        Distinct(camera.pixelFormats,
                 [](uint32_t format) { return "Bpp" + std::to_string(camlib::BitsPerPixel(format)); }),
        "Total size of one pixel in bits."));
    static constexpr std::string_view kEndianEntries[] = {"Little"};
    nodes.push_back(
        Enumeration("PixelEndian", Access::RO, kEndianEntries, "Byte order of pixels wider than one byte."));
    nodes.back().value = NodeValue{};
    nodes.back().value->s = "Little";
    nodes.push_back(LinkedInteger("PayloadSize", Access::RO, 0, static_cast<int64_t>(largestFrame),
                                  "Number of bytes transferred for each image."));
    nodes.push_back(Enumeration("TestPattern", Access::RW, kTestPatternNames,
                                "Selects the test pattern the device delivers instead of the sensor image."));
}

void AddAcquisitionControl(const CameraSpec& camera, std::vector<NodeSpec>& nodes) {
    static constexpr std::string_view kOffOn[] = {"Off", "On"};
    static constexpr std::string_view kTriggerSources[] = {"Line0", "Line1", "Software"};
    static constexpr std::string_view kSequences[] = {"TriggerSequence0", "TriggerSequence1",
                                                      "TriggerSequence2"};
    nodes.push_back(Category("AcquisitionControl", "Acquisition and trigger settings."));
    nodes.push_back(
        Choice("AcquisitionFrameRateControl", kOffOn,
               "Whether the frame rate is set by AcquisitionFrameRate (the simulated camera always "
               "runs at AcquisitionFrameRate).",
               "On"));
    nodes.push_back(
        LinkedFloat("AcquisitionFrameRate", kMinFrameRate, kMaxFrameRate, 2,
                    "Rate, in images per second, at which the free-running device acquires images."));
    nodes.push_back(Choice("AcquisitionFrameIntervalControl", kOffOn,
                           "Whether the frame interval is set by AcquisitionFrameInterval (it always follows "
                           "AcquisitionFrameRate on the simulated camera).",
                           "On"));
    nodes.push_back(LinkedFloat("AcquisitionFrameInterval", 1.0e6 / kMaxFrameRate, 1.0e6 / kMinFrameRate, 1,
                                "Interval, in microseconds, between two images of the free-running device "
                                "(1000000 / AcquisitionFrameRate)."));
    nodes.push_back(
        Enumeration("ExposureTimeControl", Access::RW, kExposureControlEntries,
                    "Exposure mode: Timed uses ExposureTime, TriggerWidth the width of the trigger "
                    "pulse, Off lets the device choose."));
    nodes.push_back(LinkedFloat("ExposureTime", camera.exposure.min, camera.exposure.max, 1,
                                "Exposure time in microseconds."));
    nodes.push_back(Enumeration("TriggerMode", Access::RW, kTriggerModeEntries,
                                "Off: the device acquires continuously; On: one image per trigger."));
    nodes.push_back(
        Choice("TriggerSequence", kSequences,
               "Trigger sequence: 0 exposes for ExposureTime after each edge, 1 for the width of the "
               "trigger pulse, 2 acquires a burst per trigger."));
    nodes.push_back(Choice("TriggerSource", kTriggerSources,
                           "Source of the trigger; TriggerSoftware acquires an image only with Software.",
                           "Software"));
    nodes.push_back(Enumeration("TriggerActivation", Access::RW, kTriggerActivationEntries,
                                "Edge of the trigger signal that starts an image."));
    nodes.push_back(Float("TriggerDelay", 0.0, 1.0e6, 0.0, 1,
                          "Delay, in microseconds, between the trigger and the start of the exposure."));
    nodes.push_back(Node("TriggerSoftware", NodeType::Command, Access::WO,
                         "Generates a trigger; with TriggerMode On and TriggerSource Software the device "
                         "acquires one image."));
}

void AddAnalogControl(const CameraSpec& camera, std::vector<NodeSpec>& nodes) {
    nodes.push_back(Category("AnalogControl", "Gamma, contrast and brightness of the image."));
    nodes.push_back(Float("Gamma", 0.25, 4.0, 1.0, 2, "Gamma correction of the pixel intensity."));
    nodes.push_back(
        LinkedFloat("Contrast", camera.contrast.min, camera.contrast.max, 2, "Contrast of the image."));
    nodes.push_back(LinkedFloat("Brightness", camera.brightness.min, camera.brightness.max, 2,
                                "Brightness of the image."));
}

void AddDigitalIoControl(std::vector<NodeSpec>& nodes) {
    static constexpr std::string_view kLines[] = {"Line0", "Line1", "Line2", "Line3"};
    static_assert(std::size(kLines) == kLineCount, "one entry per line");
    static constexpr std::string_view kLineSources[] = {"Off",         "ExposureActive", "FrameTriggerWait",
                                                        "UserOutput0", "UserOutput1",    "Timer0Active",
                                                        "Timer1Active"};
    constexpr int64_t kAllLines = (1 << kLineCount) - 1;
    nodes.push_back(Category("DigitalIOControl", "The device's digital input and output lines."));
    nodes.push_back(Choice("LineSelector", kLines, "Selects the line that LineSource applies to."));
    nodes.push_back(
        Choice("LineSource", kLineSources, "Source of the signal the selected output line carries."));
    nodes.back().selector = "LineSelector";
    nodes.push_back(Integer("LineModeAll", 0, kAllLines, 0b1100,
                            "Direction of every line, one bit per line (bit n: Line n; 1 = output)."));
    nodes.push_back(Integer("LineInverterAll", 0, kAllLines, 0,
                            "Inversion of every line, one bit per line (1 = inverted)."));
    nodes.push_back(LinkedInteger("LineStatusAll", Access::RO, 0, kAllLines,
                                  "Current level of every line, one bit per line."));
    nodes.push_back(Integer("UserOutputValueAll", 0, kAllLines, 0,
                            "Value of every user output, one bit per line; output lines carry it."));
}

void AddCounterAndTimerControl(std::vector<NodeSpec>& nodes) {
    static constexpr std::string_view kTimers[] = {"Timer0", "Timer1"};
    nodes.push_back(Category("CounterAndTimerControl", "The device's timers."));
    nodes.push_back(
        Choice("TimerSelector", kTimers, "Selects the timer that TimerDuration and TimerDelay apply to."));
    nodes.push_back(Float("TimerDuration", 0.0, 1.0e7, 1000.0, 1,
                          "Duration, in microseconds, of the pulse of the selected timer."));
    nodes.back().selector = "TimerSelector";
    nodes.push_back(Float("TimerDelay", 0.0, 1.0e7, 0.0, 1,
                          "Delay, in microseconds, from the timer's trigger to its pulse."));
    nodes.back().selector = "TimerSelector";
}

// The library's stream nodes, as every library of the family offers them: what the
// stream did, and which completed images it keeps.
void AddStreamNodes(std::vector<NodeSpec>& nodes) {
    for (const camlib::TallyNode& tally : camlib::kTallyNodes)
        nodes.push_back(LinkedInteger(tally.name, Access::RO, 0, INT64_MAX, tally.description));
    nodes.push_back(Enumeration(camlib::kBufferHandlingNode, Access::RW, camlib::kBufferHandlingEntries,
                                camlib::kBufferHandlingDescription));
}

} // namespace

std::vector<NodeSpec> StandardNodes(const CameraSpec& camera) {
    std::vector<NodeSpec> nodes;
    nodes.push_back(Category("Root", "All features of the device."));
    AddDeviceControl(nodes);
    AddImageFormatControl(camera, nodes);
    AddAcquisitionControl(camera, nodes);
    AddAnalogControl(camera, nodes);
    AddDigitalIoControl(nodes);
    AddCounterAndTimerControl(nodes);
    AddStreamNodes(nodes);
    return nodes;
}

std::optional<NodeType> StandardNodeType(std::string_view name) {
    static const std::vector<NodeSpec> nodes = StandardNodes(DefaultCameraSpec(0));
    for (const NodeSpec& node : nodes) {
        if (node.name == name)
            return node.type;
    }
    return std::nullopt;
}

} // namespace sim
