// One open simulated camera: its state (region, format, exposure, trigger, ...), its
// node map tied to that state, and its stream while one is open. Every public
// operation takes the camera's lock; failures return a status and leave the reason
// as the last-error text.
#pragma once

#include "camlib/stream_tally.h"
#include "sim/core/description.h"
#include "sim/core/node_map.h"
#include "sim/core/stream.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace sim {

enum class RoiAxis { Width, Height, OffsetX, OffsetY };
enum class Setting { Exposure, Contrast, Brightness };

struct RegisterWrite {
    uint64_t address;
    uint32_t value; // the first word written
};

class Camera {
public:
    // Throws DescriptionError when a described node value cannot be applied.
    Camera(const CameraSpec& desc, uint32_t index);
    ~Camera();
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    // ---- identification, region, format (camera.cpp) ----
    PvxStatus GetInfo(uint32_t index, PvxCameraInfo& info) const;
    uint32_t SensorWidth() const { return m_spec.sensorWidth; }
    uint32_t SensorHeight() const { return m_spec.sensorHeight; }
    const RangeSetting& Range(RoiAxis axis) const;
    uint32_t RoiValue(RoiAxis axis);
    // The region as pvxGetRoi reports it: with the description's read-back offsets added.
    void RoiReadBack(uint32_t& width, uint32_t& height, uint32_t& offsetX, uint32_t& offsetY);
    PvxStatus SetRoi(uint32_t width, uint32_t height, uint32_t offsetX, uint32_t offsetY);
    uint32_t FrameBytes();
    uint32_t PixelFormat();

    // ---- exposure, contrast, brightness, trigger, registers ----
    const FloatSetting& Limits(Setting setting) const;
    double Value(Setting setting);
    PvxStatus SetValue(Setting setting, double value);
    PvxStatus SetExposureControl(uint32_t mode);
    void SetTriggerMode(bool triggered);
    uint32_t TriggerPolarity();
    void SetTriggerPolarity(uint32_t word);
    PvxStatus WriteRegister(uint64_t address, uint32_t count, const uint32_t* values);
    std::optional<RegisterWrite> LastRegisterWrite();

    // ---- stream ----
    // PVX_ERR_ALREADY_OPENED when a stream is open already; PVX_ERR_NO_MEMORY when its
    // buffers cannot be allocated.
    PvxStatus OpenStream(PvxEvent event, uint32_t buffers, std::shared_ptr<Stream>& stream,
                         uint32_t& frameBytes);
    std::shared_ptr<Stream> CurrentStream();
    // After the stream has been closed: frees it and unlocks size and format.
    void DetachStream();

    // ---- nodes (camera_nodes.cpp) ----
    PvxStatus FindNode(const char* name, PvxHandle& handle);
    // The node a handle names (an entry: its enumeration), for node-bound faults; "" if none.
    std::string NodeNameOf(PvxHandle handle);
    PvxStatus GetNodeType(PvxHandle handle, uint32_t& type);
    PvxStatus GetNodeAccess(PvxHandle handle, uint32_t& access);
    PvxStatus GetNodeDescription(PvxHandle handle, char* text, uint32_t& size);
    PvxStatus GetInt(PvxHandle handle, int64_t& value);
    PvxStatus SetInt(PvxHandle handle, int64_t value);
    PvxStatus GetIntLimit(PvxHandle handle, bool maximum, int64_t& value);
    PvxStatus GetFloat(PvxHandle handle, double& value);
    PvxStatus SetFloat(PvxHandle handle, double value);
    PvxStatus GetFloatLimit(PvxHandle handle, bool maximum, double& value);
    PvxStatus GetFloatPrecision(PvxHandle handle, int64_t& precision);
    PvxStatus GetBool(PvxHandle handle, bool& value);
    PvxStatus SetBool(PvxHandle handle, bool value);
    PvxStatus GetString(PvxHandle handle, char* text, uint32_t capacity);
    PvxStatus SetString(PvxHandle handle, const char* text);
    PvxStatus GetEnumText(PvxHandle handle, char* text, uint32_t capacity);
    PvxStatus SetEnumText(PvxHandle handle, const char* text);
    PvxStatus GetEnumEntryCount(PvxHandle handle, uint32_t& count);
    PvxStatus GetEnumEntry(PvxHandle handle, uint32_t index, PvxHandle& entry);
    PvxStatus GetEnumEntryName(PvxHandle handle, char* text, uint32_t& size);
    PvxStatus ExecuteCommand(PvxHandle handle);
    PvxStatus IsCommandDone(PvxHandle handle, bool& done);

private:
    enum class Use { Read, Write, Inspect };

    // Everything below runs with m_mutex held.
    FrameSettings Snapshot();
    bool StreamOpen() const { return m_stream != nullptr; }
    uint32_t FrameBytesLocked() const;
    PvxStatus CheckRegion(uint32_t width, uint32_t height, uint32_t offsetX, uint32_t offsetY,
                          PvxStatus refusal) const;
    double& ValueOf(Setting setting);
    void NotifyStream();
    void TriggerSoftware();
    Access EffectiveAccess(const Node& node) const;
    PvxStatus Resolve(PvxHandle handle, NodeType type, Use use, Node*& node);
    // camera_links.cpp: the camera state behind linked nodes.
    NodeValue ReadLinked(const Node& node) const;
    PvxStatus WriteLinked(const Node& node, const NodeValue& value);
    int64_t StoredInteger(std::string_view name) const;
    void ApplyDescribedValues();

    const CameraSpec m_spec;
    const uint32_t m_index;
    mutable std::mutex m_mutex;
    NodeMap m_nodes;
    uint32_t m_roi[4]; // indexed by RoiAxis
    uint32_t m_pixelFormat;
    double m_exposure, m_contrast, m_brightness;
    uint32_t m_exposureControl = kDefaultExposureControl;
    bool m_triggered = false;
    uint32_t m_triggerPolarity;
    double m_frameRate;
    TestPattern m_pattern;
    camlib::BufferHandling m_bufferHandling = camlib::BufferHandling::NewestOnly;
    std::map<uint64_t, uint32_t> m_registers;
    std::optional<RegisterWrite> m_lastRegisterWrite;
    std::shared_ptr<Stream> m_stream;
    // Counted by the stream, kept after it closes until the next one opens.
    std::shared_ptr<camlib::StreamTally> m_tally = std::make_shared<camlib::StreamTally>();
};

} // namespace sim
