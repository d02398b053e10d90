// The JSON description format, version 1: top level, cameras, nodes and faults.
#include "sim/core/description_reader.h"

#include "camlib/pixel_format.h"
#include "sim/core/json_field.h"
#include "sim/core/replay.h"
#include "sim/core/standard_nodes.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace sim {

namespace {

constexpr std::size_t kMaxErrorTextLength = 1023;
constexpr int64_t kMaxPrecision = 17;
constexpr std::size_t kMaxPathLength = 4095;

std::string QuotedList(std::initializer_list<std::string_view> names) {
    std::string text;
    for (std::string_view name : names)
        text += (text.empty() ? "" : ", ") + std::string("\"") + std::string(name) + "\"";
    return text;
}

uint32_t ReadPixelFormat(const JsonField& field) {
    if (field.IsNumber()) {
        const auto code = static_cast<uint32_t>(field.Integer(0, 0xFFFFFFFFll));
        if (camlib::IsDeliverableFormat(code))
            return code;
    } else if (field.IsString()) {
        if (const auto code = camlib::PixelFormatFromName(field.String(kMaxNodeTextLength)))
            return *code;
    }
    field.Fail(
        "a PFNC name such as \"Mono8\", \"BayerRG8\", \"RGB8\", \"Mono16\" or \"YUV422_8\", or a numeric "
        "code whose size field (bits 16 to 23) is a whole number of bytes");
}

FloatSetting ReadFloatSetting(const JsonField& field, FloatSetting setting, bool nonNegative) {
    field.RequireObject({"min", "max", "value"});
    if (auto min = field.Member("min"))
        setting.min = min->Number();
    if (auto max = field.Member("max"))
        setting.max = max->Number();
    const auto value = field.Member("value");
    setting.value =
        value ? value->Number() : std::clamp(setting.value, setting.min, std::max(setting.min, setting.max));
    if (nonNegative && setting.min < 0)
        field.Member("min")->Fail("a value of at least 0");
    if (setting.max < setting.min)
        throw DescriptionError(field.MemberPath("max"),
                               "expected a value not below min (" + std::to_string(setting.min) + ")");
    // A current value outside the range is allowed: cameras do report such readings,
    // and the adapter has rules for them.
    return setting;
}

// A region range: width and height take their value from max, offsets from min.
RangeSetting ReadRange(const JsonField& field, RangeSetting range, uint32_t sensor, bool isSize) {
    field.RequireObject({"min", "max", "inc", "value"});
    const auto read = [&](const char* key, uint32_t& target, int64_t lowest) {
        if (auto member = field.Member(key))
            target = static_cast<uint32_t>(member->Integer(lowest, sensor));
    };
    read("min", range.min, isSize ? 1 : 0);
    read("max", range.max, isSize ? 1 : 0);
    read("inc", range.inc, 1);
    if (range.max < range.min)
        throw DescriptionError(field.MemberPath("max"),
                               "expected a value not below min (" + std::to_string(range.min) + ")");
    range.value = isSize ? LargestOnGrid(range) : range.min;
    read("value", range.value, 0);
    if (!IsOnGrid(range, range.value))
        throw DescriptionError(field.MemberPath("value"), "expected min + a multiple of inc, from " +
                                                              std::to_string(range.min) + " to " +
                                                              std::to_string(range.max));
    return range;
}

std::vector<EntrySpec> ReadEntries(const JsonField& field) {
    std::vector<EntrySpec> entries;
    std::unordered_set<std::string> names;
    for (const JsonField& element : field.Elements()) {
        EntrySpec entry;
        if (element.IsString()) {
            entry.name = element.String(kMaxNodeTextLength);
        } else {
            element.RequireObject({"name", "access"});
            entry.name = element.RequiredMember("name", "the entry's name").String(kMaxNodeTextLength);
            if (auto access = element.Member("access")) {
                const auto mode = AccessFromName(access->String(kMaxNodeTextLength));
                if (!mode)
                    access->Fail("one of " + QuotedList({"NI", "NA", "WO", "RO", "RW"}));
                entry.access = *mode;
            }
        }
        if (entry.name.empty())
            element.Fail("an entry name that is not empty");
        if (!names.insert(entry.name).second)
            element.Fail("a name not used by an earlier entry");
        entries.push_back(std::move(entry));
    }
    return entries;
}

// A description is a few levels deep; deeper nesting is refused before it costs time
// or stack. A pass that builds nothing counts the levels as the parser meets them, so
// that the parse after it (without a callback, whose clean-up scans each array at
// every object's end) never goes deeper.
class NestingCheck final : public nlohmann::json_sax<nlohmann::json> {
public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return deeper(); }
    bool key(string_t&) override { return true; }
    bool end_object() override { return shallower(); }
    bool start_array(std::size_t) override { return deeper(); }
    bool end_array() override { return shallower(); }
    // The parse that follows names a syntax error.
    bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception&) override {
        return false;
    }

private:
    bool deeper() {
        if (++m_depth > kMaxDescriptionNesting)
            throw std::runtime_error("nested deeper than " + std::to_string(kMaxDescriptionNesting) +
                                     " levels of arrays and objects");
        return true;
    }
    bool shallower() {
        --m_depth;
        return true;
    }
    int m_depth = 0;
};

Access DefaultAccess(NodeType type) {
    if (type == NodeType::Command)
        return Access::WO;
    if (type == NodeType::Category)
        return Access::RO;
    return Access::RW;
}

void ReadNodeLimits(const JsonField& field, NodeSpec& node) {
    const bool numeric = node.type == NodeType::Integer || node.type == NodeType::Float;
    for (const char* key : {"min", "max"}) {
        const auto member = field.Member(key);
        if (!member)
            continue;
        if (!numeric)
            member->Fail(std::string("no ") + key + " (it applies to Integer and Float nodes)");
        if (node.type == NodeType::Integer)
            (key[1] == 'i' ? node.intMin : node.intMax) = member->Integer(kDefaultIntMin, kDefaultIntMax);
        else
            (key[1] == 'i' ? node.floatMin : node.floatMax) = member->Number();
    }
    const bool inverted =
        node.type == NodeType::Integer ? node.intMax < node.intMin : node.floatMax < node.floatMin;
    if (numeric && inverted)
        throw DescriptionError(field.MemberPath("max"), "expected a value not below min");
}

NodeValue ReadNodeValue(const JsonField& field, const NodeSpec& node) {
    NodeValue value;
    switch (node.type) {
    case NodeType::Integer:
        value.i = field.Integer(node.intMin, node.intMax);
        break;
    case NodeType::Float:
        value.f = field.Number();
        if (value.f < node.floatMin || value.f > node.floatMax)
            field.Fail("a number from min to max (" + std::to_string(node.floatMin) + " to " +
                       std::to_string(node.floatMax) + ")");
        break;
    case NodeType::Boolean:
        value.b = field.Bool();
        break;
    case NodeType::String:
        value.s = field.String(kMaxNodeTextLength);
        break;
    case NodeType::Enumeration: {
        value.s = field.String(kMaxNodeTextLength);
        const bool listed = std::any_of(node.entries.begin(), node.entries.end(),
                                        [&](const EntrySpec& entry) { return entry.name == value.s; });
        if (!listed)
            field.Fail("the name of one of the node's entries");
        break;
    }
    default:
        field.Fail(std::string("no value (a ") + NodeTypeName(node.type) + " node has none)");
    }
    return value;
}

NodeSpec ReadNode(const JsonField& field) {
    field.RequireObject({"name", "remove", "type", "access", "description", "value", "min", "max",
                         "precision", "entries", "doneAfterPolls", "selector"});
    NodeSpec node;
    node.path = field.Path();
    const JsonField name = field.RequiredMember("name", "the node's name");
    node.name = name.String(kMaxNodeTextLength);
    if (node.name.empty())
        name.Fail("a name that is not empty");
    if (auto remove = field.Member("remove"))
        node.remove = remove->Bool();
    if (node.remove)
        return node;

    const char* typeNames =
        "one of \"Integer\", \"Boolean\", \"Command\", \"Float\", \"String\", \"Register\", "
        "\"Category\", \"Enumeration\"";
    if (auto type = field.Member("type")) {
        const auto parsed = NodeTypeFromName(type->String(kMaxNodeTextLength));
        if (!parsed)
            type->Fail(typeNames);
        node.type = *parsed;
    } else if (auto standard = StandardNodeType(node.name)) {
        node.type = *standard;
    } else {
        throw DescriptionError(field.MemberPath("type"), std::string("missing; expected ") + typeNames +
                                                             " (\"" + node.name +
                                                             "\" is not a standard node)");
    }
    node.access = DefaultAccess(node.type);
    if (auto access = field.Member("access")) {
        const auto parsed = AccessFromName(access->String(kMaxNodeTextLength));
        if (!parsed)
            access->Fail("one of " + QuotedList({"NI", "NA", "WO", "RO", "RW"}));
        node.access = *parsed;
    }
    if (auto description = field.Member("description"))
        node.description = description->String(kMaxNodeTextLength);
    ReadNodeLimits(field, node);
    if (auto precision = field.Member("precision")) {
        if (node.type != NodeType::Float)
            precision->Fail("no precision (it applies to Float nodes)");
        node.precision = precision->Integer(0, kMaxPrecision);
    }
    if (auto entries = field.Member("entries")) {
        if (node.type != NodeType::Enumeration)
            entries->Fail("no entries (they apply to Enumeration nodes)");
        node.entries = ReadEntries(*entries);
    }
    if (auto polls = field.Member("doneAfterPolls")) {
        if (node.type != NodeType::Command)
            polls->Fail("no doneAfterPolls (it applies to Command nodes)");
        node.doneAfterPolls = static_cast<uint32_t>(polls->Integer(0, std::numeric_limits<uint32_t>::max()));
    }
    if (auto selector = field.Member("selector"))
        node.selector = selector->String(kMaxNodeTextLength);
    if (auto value = field.Member("value"))
        node.value = ReadNodeValue(*value, node);
    return node;
}

FaultSpec ReadFault(const JsonField& field) {
    field.RequireObject({"call", "status", "delayMs", "node", "after", "times", "errorText"});
    FaultSpec fault;
    const JsonField call = field.RequiredMember("call", "an operation's name such as \"pvxSetRoi\"");
    const auto operation = camlib::OperationFromName(call.String(kMaxNodeTextLength));
    if (!operation)
        call.Fail("an operation's name such as \"pvxSetRoi\"");
    if (*operation == camlib::Operation::InitLibrary)
        call.Fail("an operation other than pvxInitLibrary (its status is the top-level initStatus)");
    fault.call = *operation;
    if (auto delay = field.Member("delayMs"))
        fault.delayMs = static_cast<uint32_t>(delay->Integer(0, kMaxFaultDelayMs));
    if (auto status = fault.delayMs != 0 ? field.Member("status")
                                         : field.RequiredMember("status", "the status the call returns"))
        fault.status = status->Code();
    if (auto node = field.Member("node"))
        fault.node = node->String(kMaxNodeTextLength);
    if (auto after = field.Member("after"))
        fault.after = static_cast<uint64_t>(after->Integer(0, std::numeric_limits<int64_t>::max()));
    if (auto times = field.Member("times"))
        fault.times = times->Integer(-1, std::numeric_limits<int64_t>::max());
    if (auto text = field.Member("errorText"))
        fault.errorText = text->String(kMaxErrorTextLength);
    return fault;
}

std::vector<FaultSpec> ReadFaults(const JsonField& field) {
    std::vector<FaultSpec> faults;
    for (const JsonField& element : field.Elements())
        faults.push_back(ReadFault(element));
    return faults;
}

void ReadFormats(const JsonField& field, CameraSpec& camera) {
    const auto single = field.Member("pixelFormat");
    if (single)
        camera.pixelFormat = ReadPixelFormat(*single);
    const auto list = field.Member("pixelFormats");
    if (!list) {
        camera.pixelFormats = {camera.pixelFormat};
        return;
    }
    camera.pixelFormats.clear();
    for (const JsonField& element : list->Elements()) {
        const uint32_t format = ReadPixelFormat(element);
        if (std::find(camera.pixelFormats.begin(), camera.pixelFormats.end(), format) !=
            camera.pixelFormats.end())
            element.Fail("a format not listed before");
        camera.pixelFormats.push_back(format);
    }
    if (camera.pixelFormats.empty())
        list->Fail("at least one pixel format");
    if (!single)
        camera.pixelFormat = camera.pixelFormats.front();
    else if (std::find(camera.pixelFormats.begin(), camera.pixelFormats.end(), camera.pixelFormat) ==
             camera.pixelFormats.end())
        single->Fail("one of the formats in pixelFormats");
}

void ReadRegion(const JsonField& field, CameraSpec& camera) {
    DeriveRegionDefaults(camera);
    if (auto width = field.Member("width"))
        camera.width = ReadRange(*width, camera.width, camera.sensorWidth, true);
    if (auto height = field.Member("height"))
        camera.height = ReadRange(*height, camera.height, camera.sensorHeight, true);
    if (auto offsetX = field.Member("offsetX"))
        camera.offsetX = ReadRange(*offsetX, camera.offsetX, camera.sensorWidth - 1, false);
    if (auto offsetY = field.Member("offsetY"))
        camera.offsetY = ReadRange(*offsetY, camera.offsetY, camera.sensorHeight - 1, false);
    if (camera.offsetX.value + camera.width.value > camera.sensorWidth)
        throw DescriptionError(field.MemberPath("width.value"),
                               "expected offsetX.value + width.value not above sensorWidth (" +
                                   std::to_string(camera.sensorWidth) + ")");
    if (camera.offsetY.value + camera.height.value > camera.sensorHeight)
        throw DescriptionError(field.MemberPath("height.value"),
                               "expected offsetY.value + height.value not above sensorHeight (" +
                                   std::to_string(camera.sensorHeight) + ")");
    if (auto readback = field.Member("roiReadback")) {
        readback->RequireObject({"dx", "dy", "dw", "dh"});
        const auto read = [&](const char* key, int32_t& target) {
            if (auto member = readback->Member(key))
                target = static_cast<int32_t>(member->Integer(std::numeric_limits<int32_t>::min(),
                                                              std::numeric_limits<int32_t>::max()));
        };
        read("dx", camera.roiReadback.dx);
        read("dy", camera.roiReadback.dy);
        read("dw", camera.roiReadback.dw);
        read("dh", camera.roiReadback.dh);
    }
}

// Names looked up by hash: a description of many nodes is read in linear time.
void ReadNodes(const JsonField& field, CameraSpec& camera) {
    std::unordered_map<std::string, std::size_t> positions;
    for (const JsonField& element : field.Elements()) {
        NodeSpec node = ReadNode(element);
        const auto [earlier, added] = positions.emplace(node.name, camera.nodes.size());
        if (!added)
            throw DescriptionError(element.MemberPath("name"),
                                   "expected a name not used by an earlier node (" +
                                       camera.nodes[earlier->second].path + ")");
        camera.nodes.push_back(std::move(node));
    }
}

// A described value of a standard node that shows an identification text or the
// sensor size sets that camera field, so that the node, the camera-information record
// and the limits agree. A camera field given as well must say the same.
void FoldDescribedState(const JsonField& field, CameraSpec& camera) {
    if (!camera.standardNodes)
        return;
    struct StateField {
        std::string_view node;
        const char* key;
        std::string* text;  // an identification text, or
        uint32_t* sideSize; // a sensor side
    };
    const StateField fields[] = {
        {"DeviceVendorName", "vendor", &camera.vendor, nullptr},
        {"DeviceModelName", "model", &camera.model, nullptr},
        {"DeviceManufacturerInfo", "description", &camera.description, nullptr},
        {"DeviceID", "serial", &camera.serial, nullptr},
        {"SensorWidth", "sensorWidth", nullptr, &camera.sensorWidth},
        {"SensorHeight", "sensorHeight", nullptr, &camera.sensorHeight},
    };
    for (const NodeSpec& node : camera.nodes) {
        const auto state = std::find_if(std::begin(fields), std::end(fields),
                                        [&](const StateField& f) { return f.node == node.name; });
        if (state == std::end(fields) || !node.value ||
            node.type != (state->text ? NodeType::String : NodeType::Integer))
            continue;
        const std::string path = node.path + ".value";
        std::string described, current;
        if (state->text) {
            if (node.value->s.size() > kMaxIdentificationLength)
                throw DescriptionError(path, "expected a text of at most " +
                                                 std::to_string(kMaxIdentificationLength) + " characters");
            described = "\"" + node.value->s + "\"";
            current = "\"" + *state->text + "\"";
        } else {
            if (node.value->i < 1 || node.value->i > kMaxSensorSide)
                throw DescriptionError(path,
                                       "expected a sensor size from 1 to " + std::to_string(kMaxSensorSide));
            described = std::to_string(node.value->i);
            current = std::to_string(*state->sideSize);
        }
        if (field.Member(state->key) && described != current)
            throw DescriptionError(path, "expected the value " + field.MemberPath(state->key) + " gives (" +
                                             current + "), got " + described + ": give it in one place");
        if (state->text)
            *state->text = node.value->s;
        else
            *state->sideSize = static_cast<uint32_t>(node.value->i);
    }
}

// A recording gives the sensor, the format and the images; the region is the whole
// sensor, as every page holds a whole image. folder: where a relative path starts.
void ReadRecording(const JsonField& field, const JsonField& recording, const std::string& folder,
                   CameraSpec& camera) {
    for (const char* key : {"sensorWidth", "sensorHeight", "pixelFormat", "pixelFormats", "width", "height",
                            "offsetX", "offsetY"})
        if (field.Member(key))
            throw DescriptionError(
                field.MemberPath(key),
                "expected nothing beside recording, which gives the sensor, format and region");
    camera.recording = recording.String(kMaxPathLength);
    const std::filesystem::path path(camera.recording);
    const std::string file =
        path.is_relative() && !folder.empty() ? (folder / path).string() : camera.recording;
    try {
        camera.replay = std::make_shared<Replay>(file, camera.recordingLoop);
    } catch (const std::runtime_error& error) {
        throw DescriptionError(recording.Path(),
                               std::string("expected a recording aikhost record wrote: ") + error.what());
    }
    camera.sensorWidth = camera.replay->Width();
    camera.sensorHeight = camera.replay->Height();
    camera.pixelFormat = camera.replay->PixelFormat();
    if (auto pace = field.Member("recordingPace")) {
        const std::string name = pace->String(kMaxNodeTextLength);
        if (name != "recorded" && name != "frameRate")
            pace->Fail(QuotedList({"recorded", "frameRate"}));
        camera.recordingPaced = name == "recorded";
    }
}

// The region of a recording's camera cannot change: its images are the pages.
void PinRegion(CameraSpec& camera) {
    camera.width.min = camera.width.max = camera.width.value = camera.sensorWidth;
    camera.height.min = camera.height.max = camera.height.value = camera.sensorHeight;
    camera.offsetX.min = camera.offsetX.max = camera.offsetX.value = 0;
    camera.offsetY.min = camera.offsetY.max = camera.offsetY.value = 0;
}

CameraSpec ReadCamera(const JsonField& field, uint32_t index, const std::string& folder) {
    field.RequireObject(
        {"vendor",        "model",       "description",   "serial",       "openStatus",  "sensorWidth",
         "sensorHeight",  "pixelFormat", "pixelFormats",  "exposure",     "contrast",    "brightness",
         "offsetX",       "offsetY",     "width",         "height",       "roiReadback", "triggerPolarity",
         "frameRate",     "testPattern", "standardNodes", "nodes",        "faults",      "takeBackSignals",
         "streamBuffers", "recording",   "recordingLoop", "recordingPace"});
    CameraSpec camera = DefaultCameraSpec(index);
    const auto text = [&](const char* key, std::string& target) {
        if (auto member = field.Member(key))
            target = member->String(kMaxIdentificationLength);
    };
    text("vendor", camera.vendor);
    text("model", camera.model);
    text("description", camera.description);
    text("serial", camera.serial);
    if (auto status = field.Member("openStatus"))
        camera.openStatus = status->Code();
    if (auto width = field.Member("sensorWidth"))
        camera.sensorWidth = static_cast<uint32_t>(width->Integer(1, kMaxSensorSide));
    if (auto height = field.Member("sensorHeight"))
        camera.sensorHeight = static_cast<uint32_t>(height->Integer(1, kMaxSensorSide));
    if (auto loop = field.Member("recordingLoop"))
        camera.recordingLoop = loop->Bool();
    if (auto recording = field.Member("recording"))
        ReadRecording(field, *recording, folder, camera);
    if (auto standard = field.Member("standardNodes"))
        camera.standardNodes = standard->Bool();
    if (auto nodes = field.Member("nodes"))
        ReadNodes(*nodes, camera);
    FoldDescribedState(field, camera);
    ReadFormats(field, camera);
    if (auto exposure = field.Member("exposure"))
        camera.exposure = ReadFloatSetting(*exposure, camera.exposure, true);
    if (auto contrast = field.Member("contrast"))
        camera.contrast = ReadFloatSetting(*contrast, camera.contrast, false);
    if (auto brightness = field.Member("brightness"))
        camera.brightness = ReadFloatSetting(*brightness, camera.brightness, false);
    ReadRegion(field, camera);
    if (camera.replay)
        PinRegion(camera);
    if (auto polarity = field.Member("triggerPolarity"))
        camera.triggerPolarity = polarity->Code();
    if (auto rate = field.Member("frameRate")) {
        camera.frameRate = rate->Number();
        if (camera.frameRate < kMinFrameRate || camera.frameRate > kMaxFrameRate)
            rate->Fail("a rate from " + std::to_string(kMinFrameRate) + " to " +
                       std::to_string(kMaxFrameRate) + " images per second");
    }
    if (auto pattern = field.Member("testPattern")) {
        const auto parsed = TestPatternFromName(pattern->String(kMaxNodeTextLength));
        if (!parsed)
            pattern->Fail("one of " +
                          QuotedList({kTestPatternNames[0], kTestPatternNames[1], kTestPatternNames[2],
                                      kTestPatternNames[3], kTestPatternNames[4], kTestPatternNames[5]}));
        camera.testPattern = *parsed;
    }
    if (auto takeBack = field.Member("takeBackSignals"))
        camera.takeBackSignals = takeBack->Bool();
    if (auto buffers = field.Member("streamBuffers"))
        camera.streamBuffers = static_cast<uint32_t>(buffers->Integer(1, kMaxStreamBuffers));
    if (auto faults = field.Member("faults"))
        camera.faults = ReadFaults(*faults);
    return camera;
}

Description ReadDescription(const JsonField& root, const std::string& folder) {
    root.RequireObject({"initStatus", "countStatus", "cameras", "faults"});
    Description description;
    if (auto status = root.Member("initStatus"))
        description.initStatus = status->Code();
    if (auto status = root.Member("countStatus"))
        description.countStatus = status->Code();
    if (auto cameras = root.Member("cameras")) {
        for (const JsonField& element : cameras->Elements())
            description.cameras.push_back(
                ReadCamera(element, static_cast<uint32_t>(description.cameras.size()), folder));
    }
    if (auto faults = root.Member("faults"))
        description.faults = ReadFaults(*faults);
    return description;
}

} // namespace

Description ReadDescriptionFile(const std::string& file, std::vector<std::string>& warnings) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        throw std::runtime_error(std::string("cannot read the file (") + std::strerror(errno) + ")");
    // Read no further than the limit, so that an endless file (/dev/zero) ends too.
    std::string text;
    char chunk[65536];
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(stream.gcount()));
        if (text.size() > kMaxDescriptionBytes)
            throw std::runtime_error("larger than " + std::to_string(kMaxDescriptionBytes >> 20) +
                                     " MiB, the most a description may hold");
    }
    if (stream.bad())
        throw std::runtime_error(std::string("cannot read the file (") + std::strerror(errno) + ")");
    return ReadDescriptionText(text, warnings, std::filesystem::path(file).parent_path().string());
}

Description ReadDescriptionText(const std::string& text, std::vector<std::string>& warnings,
                                const std::string& folder) {
    nlohmann::json document;
    try {
        NestingCheck check;
        nlohmann::json::sax_parse(text, &check, nlohmann::json::input_format_t::json, true, true);
        document = nlohmann::json::parse(text, nullptr, true, true);
    } catch (const nlohmann::json::exception& error) {
        // Syntax errors and numbers beyond a double alike; the library's message
        // begins with its own bracketed identifier.
        std::string message = error.what();
        const std::size_t bracket = message.find("] ");
        throw std::runtime_error("not valid JSON: " +
                                 (bracket == std::string::npos ? message : message.substr(bracket + 2)));
    }
    return ReadDescription(JsonField(document, "", warnings), folder);
}

} // namespace sim
