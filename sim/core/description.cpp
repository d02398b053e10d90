// Defaults of a camera description and the names of node types and access modes.
#include "sim/core/description.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace sim {

namespace {

struct TypeName {
    NodeType type;
    const char* name;
};
constexpr TypeName kTypeNames[] = {
    {NodeType::Integer, "Integer"},   {NodeType::Boolean, "Boolean"},
    {NodeType::Command, "Command"},   {NodeType::Float, "Float"},
    {NodeType::String, "String"},     {NodeType::Register, "Register"},
    {NodeType::Category, "Category"}, {NodeType::Enumeration, "Enumeration"},
};
constexpr const char* kAccessNames[] = {"NI", "NA", "WO", "RO", "RW"};

std::string DefaultSerial(uint32_t index) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*s%05u", static_cast<int>(kDefaultSerialPrefix.size()),
                  kDefaultSerialPrefix.data(), index + 1);
    return text;
}

} // namespace

const char* NodeTypeName(NodeType type) {
    for (const TypeName& entry : kTypeNames) {
        if (entry.type == type)
            return entry.name;
    }
    return "?";
}

const char* AccessName(Access access) {
    return kAccessNames[static_cast<uint32_t>(access)];
}

std::optional<NodeType> NodeTypeFromName(std::string_view name) {
    for (const TypeName& entry : kTypeNames) {
        if (name == entry.name)
            return entry.type;
    }
    return std::nullopt;
}

std::optional<Access> AccessFromName(std::string_view name) {
    for (uint32_t i = 0; i < std::size(kAccessNames); ++i) {
        if (name == kAccessNames[i])
            return static_cast<Access>(i);
    }
    return std::nullopt;
}

uint32_t LargestOnGrid(const RangeSetting& range) {
    if (range.max < range.min)
        return range.min;
    return range.min + (range.max - range.min) / range.inc * range.inc;
}

bool IsOnGrid(const RangeSetting& range, uint32_t value) {
    return value >= range.min && value <= range.max && (value - range.min) % range.inc == 0;
}

void DeriveRegionDefaults(CameraSpec& camera) {
    const auto axis = [](uint32_t sensor, uint32_t min, uint32_t inc) {
        RangeSetting size{std::min(min, sensor), sensor, sensor >= min ? inc : 1, 0};
        size.max = LargestOnGrid(size);
        size.value = size.max;
        return size;
    };
    camera.width = axis(camera.sensorWidth, kDefaultWidthMin, kDefaultWidthInc);
    camera.height = axis(camera.sensorHeight, kDefaultHeightMin, kDefaultHeightInc);
    camera.offsetX = {0, camera.sensorWidth - camera.width.min, kDefaultOffsetXInc, 0};
    camera.offsetX.max = LargestOnGrid(camera.offsetX);
    camera.offsetY = {0, camera.sensorHeight - camera.height.min, kDefaultOffsetYInc, 0};
    camera.offsetY.max = LargestOnGrid(camera.offsetY);
}

CameraSpec DefaultCameraSpec(uint32_t index) {
    CameraSpec camera;
    camera.vendor = kDefaultVendor;
    camera.model = kDefaultModel;
    camera.description = kDefaultDescription;
    camera.serial = DefaultSerial(index);
    camera.pixelFormats = {camera.pixelFormat};
    camera.exposure = {kDefaultExposure.min, kDefaultExposure.max, kDefaultExposure.value};
    camera.contrast = {kDefaultContrast.min, kDefaultContrast.max, kDefaultContrast.value};
    camera.brightness = {kDefaultBrightness.min, kDefaultBrightness.max, kDefaultBrightness.value};
    camera.testPattern = *TestPatternFromName(kDefaultTestPattern);
    camera.path = "cameras[" + std::to_string(index) + "]";
    DeriveRegionDefaults(camera);
    return camera;
}

} // namespace sim
