// The camera's own state: identification, region, format, exposure, trigger,
// registers and the stream it feeds.
#include "sim/core/camera.h"

#include "camlib/pixel_format.h"
#include "sim/core/limit_check.h"

#include <cmath>
#include <cstring>

namespace sim {

namespace {

constexpr const char* kAxisNames[] = {"Width", "Height", "OffsetX", "OffsetY"};

std::size_t AxisIndex(RoiAxis axis) {
    return static_cast<std::size_t>(axis);
}

void CopyIdentification(const std::string& text, char (&field)[64]) {
    std::strncpy(field, text.c_str(), sizeof field - 1);
    field[sizeof field - 1] = '\0';
}

} // namespace

Camera::Camera(const CameraSpec& desc, uint32_t index)
    : m_spec(desc), m_index(index),
      m_nodes(desc), m_roi{desc.width.value, desc.height.value, desc.offsetX.value, desc.offsetY.value},
      m_pixelFormat(desc.pixelFormat), m_exposure(desc.exposure.value), m_contrast(desc.contrast.value),
      m_brightness(desc.brightness.value), m_triggerPolarity(desc.triggerPolarity),
      m_frameRate(desc.frameRate), m_pattern(desc.testPattern) {
    ApplyDescribedValues();
}

Camera::~Camera() {
    // A stream still attached here was never closed through the registry.
    if (m_stream)
        m_stream->Close();
}

PvxStatus Camera::GetInfo(uint32_t index, PvxCameraInfo& info) const {
    if (index != m_index)
        return camlib::Fail(PVX_ERR_INVALID_CAMERA_INDEX, "the camera was opened as index " +
                                                              std::to_string(m_index) + ", not " +
                                                              std::to_string(index));
    std::memset(&info, 0, sizeof info);
    info.uiIndex = m_index;
    CopyIdentification(m_spec.vendor, info.szVendor);
    CopyIdentification(m_spec.model, info.szModel);
    CopyIdentification(m_spec.description, info.szDescription);
    CopyIdentification(m_spec.serial, info.szSerial);
    return PVX_OK;
}

const RangeSetting& Camera::Range(RoiAxis axis) const {
    switch (axis) {
    case RoiAxis::Width:
        return m_spec.width;
    case RoiAxis::Height:
        return m_spec.height;
    case RoiAxis::OffsetX:
        return m_spec.offsetX;
    default:
        return m_spec.offsetY;
    }
}

uint32_t Camera::RoiValue(RoiAxis axis) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_roi[AxisIndex(axis)];
}

void Camera::RoiReadBack(uint32_t& width, uint32_t& height, uint32_t& offsetX, uint32_t& offsetY) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const RoiReadback& skew = m_spec.roiReadback;
    width = m_roi[AxisIndex(RoiAxis::Width)] + static_cast<uint32_t>(skew.dw);
    height = m_roi[AxisIndex(RoiAxis::Height)] + static_cast<uint32_t>(skew.dh);
    offsetX = m_roi[AxisIndex(RoiAxis::OffsetX)] + static_cast<uint32_t>(skew.dx);
    offsetY = m_roi[AxisIndex(RoiAxis::OffsetY)] + static_cast<uint32_t>(skew.dy);
}

PvxStatus Camera::CheckRegion(uint32_t width, uint32_t height, uint32_t offsetX, uint32_t offsetY,
                              PvxStatus refusal) const {
    const uint32_t values[] = {width, height, offsetX, offsetY};
    for (std::size_t axis = 0; axis < 4; ++axis) {
        const RangeSetting& range = Range(static_cast<RoiAxis>(axis));
        const PvxStatus status =
            CheckLimits<int64_t>(kAxisNames[axis], values[axis], range.min, range.max, refusal);
        if (status != PVX_OK)
            return status;
        if (!IsOnGrid(range, values[axis]))
            return camlib::Fail(refusal, std::string(kAxisNames[axis]) + " " + std::to_string(values[axis]) +
                                             " is not " + std::to_string(range.min) + " plus a multiple of " +
                                             std::to_string(range.inc));
    }
    if (uint64_t{offsetX} + width > m_spec.sensorWidth)
        return camlib::Fail(refusal, "OffsetX " + std::to_string(offsetX) + " + Width " +
                                         std::to_string(width) + " exceed the sensor width " +
                                         std::to_string(m_spec.sensorWidth) + ": a smaller value is needed");
    if (uint64_t{offsetY} + height > m_spec.sensorHeight)
        return camlib::Fail(refusal, "OffsetY " + std::to_string(offsetY) + " + Height " +
                                         std::to_string(height) + " exceed the sensor height " +
                                         std::to_string(m_spec.sensorHeight) + ": a smaller value is needed");
    if (StreamOpen() &&
        (width != m_roi[AxisIndex(RoiAxis::Width)] || height != m_roi[AxisIndex(RoiAxis::Height)]))
        return camlib::Fail(PVX_ERR_NOT_WRITABLE, "the image size cannot change while a stream is open");
    return PVX_OK;
}

PvxStatus Camera::SetRoi(uint32_t width, uint32_t height, uint32_t offsetX, uint32_t offsetY) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const PvxStatus status = CheckRegion(width, height, offsetX, offsetY, PVX_ERR_INVALID_PARAMETER);
    if (status != PVX_OK)
        return status;
    m_roi[AxisIndex(RoiAxis::Width)] = width;
    m_roi[AxisIndex(RoiAxis::Height)] = height;
    m_roi[AxisIndex(RoiAxis::OffsetX)] = offsetX;
    m_roi[AxisIndex(RoiAxis::OffsetY)] = offsetY;
    return PVX_OK;
}

uint32_t Camera::FrameBytesLocked() const {
    return m_roi[AxisIndex(RoiAxis::Width)] * m_roi[AxisIndex(RoiAxis::Height)] *
           camlib::BytesPerPixel(m_pixelFormat);
}

uint32_t Camera::FrameBytes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return FrameBytesLocked();
}

uint32_t Camera::PixelFormat() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pixelFormat;
}

const FloatSetting& Camera::Limits(Setting setting) const {
    switch (setting) {
    case Setting::Exposure:
        return m_spec.exposure;
    case Setting::Contrast:
        return m_spec.contrast;
    default:
        return m_spec.brightness;
    }
}

double& Camera::ValueOf(Setting setting) {
    switch (setting) {
    case Setting::Exposure:
        return m_exposure;
    case Setting::Contrast:
        return m_contrast;
    default:
        return m_brightness;
    }
}

double Camera::Value(Setting setting) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return ValueOf(setting);
}

PvxStatus Camera::SetValue(Setting setting, double value) {
    static constexpr const char* kNames[] = {"ExposureTime", "Contrast", "Brightness"};
    const char* name = kNames[static_cast<std::size_t>(setting)];
    const FloatSetting& limits = Limits(setting);
    PvxStatus status = CheckNumber(name, value, PVX_ERR_INVALID_PARAMETER);
    if (status == PVX_OK)
        status = CheckLimits(name, value, limits.min, limits.max, PVX_ERR_INVALID_PARAMETER);
    if (status != PVX_OK)
        return status;
    std::lock_guard<std::mutex> lock(m_mutex);
    ValueOf(setting) = value;
    return PVX_OK;
}

PvxStatus Camera::SetExposureControl(uint32_t mode) {
    if (mode >= kExposureControlModes)
        return camlib::Fail(PVX_ERR_INVALID_PARAMETER,
                            "exposure control mode " + std::to_string(mode) +
                                " does not exist (0 Off, 1 Timed, 2 TriggerWidth)");
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exposureControl = mode;
    return PVX_OK;
}

void Camera::SetTriggerMode(bool triggered) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_triggered = triggered;
    NotifyStream();
}

uint32_t Camera::TriggerPolarity() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_triggerPolarity;
}

void Camera::SetTriggerPolarity(uint32_t word) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_triggerPolarity = word;
}

PvxStatus Camera::WriteRegister(uint64_t address, uint32_t count, const uint32_t* values) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (uint32_t i = 0; i < count; ++i)
        m_registers[address + 4ull * i] = values[i];
    m_lastRegisterWrite = RegisterWrite{address, values[0]};
    if (address == PVX_REG_ACQUISITION_STOP && values[0] == 0 && m_stream)
        m_stream->StopOutput();
    return PVX_OK;
}

std::optional<RegisterWrite> Camera::LastRegisterWrite() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastRegisterWrite;
}

FrameSettings Camera::Snapshot() {
    FrameSettings settings;
    settings.geometry = {m_pixelFormat, m_roi[AxisIndex(RoiAxis::Width)], m_roi[AxisIndex(RoiAxis::Height)],
                         m_roi[AxisIndex(RoiAxis::OffsetX)], m_roi[AxisIndex(RoiAxis::OffsetY)]};
    settings.pattern = m_pattern;
    settings.triggered = m_triggered;
    settings.frameRate = m_frameRate;
    return settings;
}

void Camera::NotifyStream() {
    if (m_stream)
        m_stream->SettingsChanged();
}

PvxStatus Camera::OpenStream(PvxEvent event, uint32_t buffers, std::shared_ptr<Stream>& stream,
                             uint32_t& frameBytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stream)
        return camlib::Fail(PVX_ERR_ALREADY_OPENED, "a stream is open on this camera already");
    if (buffers == 0 || buffers > kMaxStreamBuffers)
        return camlib::Fail(PVX_ERR_INVALID_PARAMETER, "a stream has 1 to " +
                                                           std::to_string(kMaxStreamBuffers) +
                                                           " buffers, not " + std::to_string(buffers));
    const uint32_t bytes = FrameBytesLocked();
    try {
        // The generator reads the camera before every image; the camera outlives the
        // stream's thread, which is joined before the stream is detached.
        m_stream = std::make_shared<Stream>(
            [this] {
                std::lock_guard<std::mutex> settingsLock(m_mutex);
                return Snapshot();
            },
            event, buffers, bytes,
            Stream::Options{m_spec.takeBackSignals, m_spec.streamBuffers, m_spec.replay,
                            m_spec.recordingPaced, m_bufferHandling},
            m_tally);
    } catch (const std::bad_alloc&) {
        return camlib::Fail(PVX_ERR_NO_MEMORY, "cannot allocate " + std::to_string(buffers) + " buffers of " +
                                                   std::to_string(bytes) + " bytes");
    }
    stream = m_stream;
    frameBytes = bytes;
    return PVX_OK;
}

std::shared_ptr<Stream> Camera::CurrentStream() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stream;
}

void Camera::DetachStream() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stream.reset();
}

} // namespace sim
