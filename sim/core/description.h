// What a description of simulated cameras says, as read from JSON or built in: the
// library-wide statuses and faults, and per camera its identity, sensor, settings,
// node edits and faults.
#pragma once

#include "camera/quorvex_api.h"
#include "camlib/operations.h"
#include "sim/defaults.h"
#include "sim/pattern.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

class Replay;

// A description that cannot be used: the JSON path of the field, and a message that
// says what was expected there.
class DescriptionError : public std::runtime_error {
public:
    DescriptionError(std::string path, const std::string& message)
        : std::runtime_error((path.empty() ? std::string("(top level)") : path) + ": " + message),
          m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// GenApi interface types and access modes, numbered as the header reports them.
enum class NodeType : uint32_t {
    Integer = PVX_NODE_INTEGER,
    Boolean = PVX_NODE_BOOLEAN,
    Command = PVX_NODE_COMMAND,
    Float = PVX_NODE_FLOAT,
    String = PVX_NODE_STRING,
    Register = PVX_NODE_REGISTER,
    Category = PVX_NODE_CATEGORY,
    Enumeration = PVX_NODE_ENUMERATION
};
enum class Access : uint32_t {
    NI = PVX_ACCESS_NI,
    NA = PVX_ACCESS_NA,
    WO = PVX_ACCESS_WO,
    RO = PVX_ACCESS_RO,
    RW = PVX_ACCESS_RW
};

const char* NodeTypeName(NodeType type);
const char* AccessName(Access access);
std::optional<NodeType> NodeTypeFromName(std::string_view name);
std::optional<Access> AccessFromName(std::string_view name);
constexpr bool IsReadable(Access access) {
    return access == Access::RO || access == Access::RW;
}
constexpr bool IsWritable(Access access) {
    return access == Access::WO || access == Access::RW;
}
// NI and NA: the node is there but cannot be used at all.
constexpr bool IsAvailable(Access access) {
    return access != Access::NI && access != Access::NA;
}

// One value of a node: i for Integer, f for Float, b for Boolean, s for String and
// for Enumeration (the current entry's name).
struct NodeValue {
    int64_t i = 0;
    double f = 0.0;
    bool b = false;
    std::string s;
};

struct EntrySpec {
    std::string name;
    Access access = Access::RO;
};

struct NodeSpec {
    std::string name;
    bool remove = false; // drop the standard node of this name
    NodeType type = NodeType::Integer;
    Access access = Access::RW;
    std::string description;
    std::optional<NodeValue> value;
    int64_t intMin = kDefaultIntMin, intMax = kDefaultIntMax;
    double floatMin = kDefaultFloatMin, floatMax = kDefaultFloatMax;
    int64_t precision = kDefaultFloatPrecision;
    std::vector<EntrySpec> entries;
    uint32_t doneAfterPolls = kDefaultCommandPolls;
    std::string selector; // an Enumeration whose current entry picks one of several values
    std::string path;     // where the description gave it; empty for standard nodes
};

struct FaultSpec {
    camlib::Operation call = camlib::Operation::Count;
    std::optional<PvxStatus> status; // none: the call runs after its delay
    uint32_t delayMs = 0;            // waited before the call fails or runs
    std::optional<std::string> node;
    uint64_t after = 0;
    int64_t times = -1; // -1: every later matching call
    std::optional<std::string> errorText;
};

struct FloatSetting {
    double min, max, value;
};
// Valid values are min + k * inc up to max.
struct RangeSetting {
    uint32_t min, max, inc, value;
};
struct RoiReadback {
    int32_t dx = 0, dy = 0, dw = 0, dh = 0;
};

struct CameraSpec {
    std::string vendor, model, description, serial;
    PvxStatus openStatus = PVX_OK;
    uint32_t sensorWidth = kDefaultSensorWidth, sensorHeight = kDefaultSensorHeight;
    uint32_t pixelFormat = kDefaultPixelFormat;
    std::vector<uint32_t> pixelFormats;
    FloatSetting exposure{}, contrast{}, brightness{};
    RangeSetting offsetX{}, offsetY{}, width{}, height{};
    RoiReadback roiReadback;
    uint32_t triggerPolarity = kDefaultTriggerPolarity;
    double frameRate = kDefaultFrameRate;
    TestPattern testPattern = TestPattern::Off;
    bool standardNodes = true;
    bool takeBackSignals = false;   // locking the newest image consumes pending event signals
    uint32_t streamBuffers = 0;     // buffers a stream uses at most; 0: as many as queued
    std::string recording;          // a recording played back as the images; empty: the test pattern
    bool recordingLoop = false;     // after the last image the first again; else the images stop
    bool recordingPaced = true;     // at the recorded times; false: at frameRate
    std::shared_ptr<Replay> replay; // the recording, opened when the description is read
    std::vector<NodeSpec> nodes;    // edits of the standard node map, in order
    std::vector<FaultSpec> faults;
    std::string path; // "cameras[i]"
};

struct Description {
    PvxStatus initStatus = PVX_OK;
    PvxStatus countStatus = PVX_OK;
    std::vector<CameraSpec> cameras;
    std::vector<FaultSpec> faults; // on every call of the operation, whatever the camera
};

// A camera with every default, for enumeration index index and the default sensor.
CameraSpec DefaultCameraSpec(uint32_t index);
// Sets the region ranges and values that follow from the sensor size.
void DeriveRegionDefaults(CameraSpec& camera);
// The largest value of the range's grid not above max.
uint32_t LargestOnGrid(const RangeSetting& range);
bool IsOnGrid(const RangeSetting& range, uint32_t value);

} // namespace sim
