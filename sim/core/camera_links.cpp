// The camera state behind the linked nodes: what such a node reads and what a write
// to it changes.
#include "sim/core/camera.h"

#include "camlib/last_error.h"
#include "camlib/pixel_format.h"
#include "sim/core/standard_nodes.h"

#include <algorithm>
#include <iterator>

namespace sim {

namespace {

// Index of name in a fixed entry list, or the list's size.
template <typename Names> std::size_t IndexIn(const Names& names, const std::string& name) {
    return static_cast<std::size_t>(std::find(std::begin(names), std::end(names), name) - std::begin(names));
}

} // namespace

int64_t Camera::StoredInteger(std::string_view name) const {
    const Node* node = m_nodes.Find(name);
    if (!node || node->type != NodeType::Integer || node->link != Link::None)
        return 0;
    return m_nodes.Selected(*node).i;
}

NodeValue Camera::ReadLinked(const Node& node) const {
    NodeValue value;
    switch (node.link) {
    case Link::DeviceVendorName:
        value.s = m_spec.vendor;
        break;
    case Link::DeviceModelName:
        value.s = m_spec.model;
        break;
    case Link::DeviceManufacturerInfo:
        value.s = m_spec.description;
        break;
    case Link::DeviceID:
        value.s = m_spec.serial;
        break;
    case Link::SensorWidth:
        value.i = m_spec.sensorWidth;
        break;
    case Link::SensorHeight:
        value.i = m_spec.sensorHeight;
        break;
    case Link::Width:
    case Link::Height:
    case Link::OffsetX:
    case Link::OffsetY:
        value.i = m_roi[static_cast<std::size_t>(node.link) - static_cast<std::size_t>(Link::Width)];
        break;
    case Link::PixelFormat:
        value.s = camlib::PixelFormatName(m_pixelFormat);
        break;
    case Link::PixelCoding:
        value.s = camlib::PixelFormatOf(m_pixelFormat).coding;
        break;
    case Link::PixelSize:
        value.s = "Bpp" + std::to_string(camlib::BitsPerPixel(m_pixelFormat));
        break;
    case Link::PayloadSize:
        value.i = FrameBytesLocked();
        break;
    case Link::TestPattern:
        value.s = TestPatternName(m_pattern);
        break;
    case Link::AcquisitionFrameRate:
        value.f = m_frameRate;
        break;
    case Link::AcquisitionFrameInterval:
        value.f = 1.0e6 / m_frameRate;
        break;
    case Link::ExposureTimeControl:
        value.s = kExposureControlEntries[m_exposureControl];
        break;
    case Link::ExposureTime:
        value.f = m_exposure;
        break;
    case Link::Contrast:
        value.f = m_contrast;
        break;
    case Link::Brightness:
        value.f = m_brightness;
        break;
    case Link::TriggerMode:
        value.s = kTriggerModeEntries[m_triggered ? 1 : 0];
        break;
    case Link::TriggerActivation:
        value.s = kTriggerActivationEntries[m_triggerPolarity & 1];
        break;
    case Link::LineStatusAll: {
        // Output lines carry the user outputs, input lines read low; then the inverters.
        const int64_t outputs = StoredInteger("LineModeAll");
        value.i = ((StoredInteger("UserOutputValueAll") & outputs) ^ StoredInteger("LineInverterAll")) &
                  ((int64_t{1} << kLineCount) - 1);
        break;
    }
    case Link::StreamBufferHandlingMode:
        value.s = camlib::BufferHandlingName(m_bufferHandling);
        break;
    case Link::StreamDeliveredFrameCount:
    case Link::StreamLostFrameCount:
    case Link::StreamIncompleteFrameCount:
    case Link::StreamDroppedFrameCount:
    case Link::ChunkFrameID:
    case Link::ChunkTimestamp:
        value.i = static_cast<int64_t>(m_tally->Value(TallyFieldOf(node.link)));
        break;
    case Link::TriggerSoftware:
    case Link::None:
        break;
    }
    return value;
}

PvxStatus Camera::WriteLinked(const Node& node, const NodeValue& value) {
    const auto refuse = [&](const std::string& reason) { return camlib::Fail(PVX_ERR_GENICAM, reason); };
    switch (node.link) {
    case Link::Width:
    case Link::Height:
    case Link::OffsetX:
    case Link::OffsetY: {
        if (value.i < 0 || value.i > UINT32_MAX)
            return refuse(node.name + " cannot be " + std::to_string(value.i));
        uint32_t region[4] = {m_roi[0], m_roi[1], m_roi[2], m_roi[3]};
        const std::size_t axis = static_cast<std::size_t>(node.link) - static_cast<std::size_t>(Link::Width);
        region[axis] = static_cast<uint32_t>(value.i);
        const PvxStatus status = CheckRegion(region[0], region[1], region[2], region[3], PVX_ERR_GENICAM);
        if (status == PVX_OK)
            m_roi[axis] = region[axis];
        return status;
    }
    case Link::PixelFormat: {
        const auto format = camlib::PixelFormatFromName(value.s);
        if (!format)
            return refuse("\"" + value.s + "\" is no pixel format the camera can deliver");
        const uint64_t bytes = uint64_t{m_roi[0]} * m_roi[1] * camlib::BytesPerPixel(*format);
        if (bytes > UINT32_MAX)
            return refuse("an image in " + value.s + " would exceed 4 GiB");
        if (StreamOpen() && *format != m_pixelFormat)
            return camlib::Fail(PVX_ERR_NOT_WRITABLE,
                                "the pixel format cannot change while a stream is open");
        m_pixelFormat = *format;
        return PVX_OK;
    }
    case Link::TestPattern: {
        const auto pattern = TestPatternFromName(value.s);
        if (!pattern)
            return refuse("the simulator has no test pattern \"" + value.s + "\"");
        m_pattern = *pattern;
        return PVX_OK;
    }
    case Link::AcquisitionFrameRate:
    case Link::AcquisitionFrameInterval:
        if (!(value.f > 0.0))
            return refuse(node.name + " must be above 0");
        m_frameRate = node.link == Link::AcquisitionFrameRate ? value.f : 1.0e6 / value.f;
        NotifyStream();
        return PVX_OK;
    case Link::ExposureTimeControl: {
        const std::size_t mode = IndexIn(kExposureControlEntries, value.s);
        if (mode == std::size(kExposureControlEntries))
            return refuse("the camera has no exposure mode \"" + value.s + "\"");
        m_exposureControl = static_cast<uint32_t>(mode);
        return PVX_OK;
    }
    case Link::ExposureTime:
        m_exposure = value.f;
        return PVX_OK;
    case Link::Contrast:
        m_contrast = value.f;
        return PVX_OK;
    case Link::Brightness:
        m_brightness = value.f;
        return PVX_OK;
    case Link::TriggerMode: {
        const std::size_t mode = IndexIn(kTriggerModeEntries, value.s);
        if (mode == std::size(kTriggerModeEntries))
            return refuse("the camera has no trigger mode \"" + value.s + "\"");
        m_triggered = mode == 1;
        NotifyStream();
        return PVX_OK;
    }
    case Link::TriggerActivation: {
        const std::size_t edge = IndexIn(kTriggerActivationEntries, value.s);
        if (edge == std::size(kTriggerActivationEntries))
            return refuse("the camera has no trigger activation \"" + value.s + "\"");
        m_triggerPolarity = (m_triggerPolarity & ~1u) | static_cast<uint32_t>(edge);
        return PVX_OK;
    }
    case Link::StreamBufferHandlingMode: {
        const auto mode = camlib::BufferHandlingNamed(value.s);
        if (!mode)
            return refuse(node.name + " has no entry \"" + value.s + "\"");
        m_bufferHandling = *mode;
        return PVX_OK;
    }
    default:
        return camlib::Fail(PVX_ERR_NOT_WRITABLE,
                            node.name + " shows the camera's state and cannot be written");
    }
}

void Camera::ApplyDescribedValues() {
    for (Node& node : m_nodes.Nodes()) {
        if (!node.describedValue || WriteLinked(node, *node.describedValue) == PVX_OK)
            continue;
        if (node.type == NodeType::Enumeration) {
            // Entries of the description's own (a test pattern or mode the camera has
            // no state for) make the node a plain one that keeps its value.
            node.link = Link::None;
            std::fill(node.values.begin(), node.values.end(), *node.describedValue);
            continue;
        }
        // The reason follows the operation's name in the last-error text.
        const std::string text = camlib::LastErrorText();
        const std::size_t colon = text.find(": ");
        throw DescriptionError(node.path + ".value",
                               "expected a value the camera accepts (" +
                                   (colon == std::string::npos ? text : text.substr(colon + 2)) + ")");
    }
}

} // namespace sim
