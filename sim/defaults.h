// Named defaults and limits of the simulated camera family, so that tests and the
// documentation assert against names rather than repeated numbers.
#pragma once

#include "camera/quorvex_api.h"

#include <cstdint>
#include <limits>
#include <string_view>

namespace sim {

// Environment variable naming the JSON description read by every pvxInitLibrary.
inline constexpr const char* kConfigVariable = "QUORVEX_SIM_CONFIG";
// Prefix of every line the library prints on stderr.
inline constexpr std::string_view kMessagePrefix = "QuorvexApi64: ";

// Identification.
inline constexpr std::string_view kDefaultVendor = "Quorvex";
inline constexpr std::string_view kDefaultModel = "SIM-CAMERA";
inline constexpr std::string_view kDefaultDescription = "Simulated camera";
// Serial numbers are this prefix and the 1-based enumeration index in five digits.
inline constexpr std::string_view kDefaultSerialPrefix = "SIM";
inline constexpr std::string_view kDeviceVersion = "1.0.0";
// Longest identification text: the camera-information record holds 64 bytes each.
inline constexpr std::size_t kMaxIdentificationLength = 63;
inline constexpr int kMaxDescriptionNesting = 64; // levels of arrays and objects in a description
inline constexpr std::size_t kMaxDescriptionBytes = std::size_t{64} << 20; // a description file's size
// Longest node text (descriptions, string values, entry names).
inline constexpr std::size_t kMaxNodeTextLength = 255;

// Sensor and format.
inline constexpr uint32_t kDefaultSensorWidth = 1280;
inline constexpr uint32_t kDefaultSensorHeight = 1024;
inline constexpr uint32_t kDefaultPixelFormat = PVX_PIXEL_MONO8;
inline constexpr uint32_t kMaxSensorSide = 16384;

// Region of interest: grid of min + k * inc, in pixels.
inline constexpr uint32_t kDefaultWidthMin = 16;
inline constexpr uint32_t kDefaultWidthInc = 8;
inline constexpr uint32_t kDefaultHeightMin = 2;
inline constexpr uint32_t kDefaultHeightInc = 2;
inline constexpr uint32_t kDefaultOffsetXInc = 8;
inline constexpr uint32_t kDefaultOffsetYInc = 2;

// Exposure (microseconds), contrast and brightness.
struct FloatDefault {
    double min, max, value;
};
inline constexpr FloatDefault kDefaultExposure = {10.0, 1000000.0, 10000.0};
inline constexpr FloatDefault kDefaultContrast = {0.0, 100.0, 50.0};
inline constexpr FloatDefault kDefaultBrightness = {0.0, 100.0, 50.0};
// pvxSetExposureControl modes, in the order of the ExposureTimeControl entries.
inline constexpr uint32_t kExposureControlModes = 3;
inline constexpr uint32_t kDefaultExposureControl = 1; // "Timed"

// Trigger and acquisition.
inline constexpr uint32_t kDefaultTriggerPolarity = 1;
inline constexpr double kDefaultFrameRate = 30.0;
inline constexpr double kMinFrameRate = 0.1;
inline constexpr double kMaxFrameRate = 1000.0;
inline constexpr std::string_view kDefaultTestPattern = "Off";

// Nodes described without limits, precision or completion.
inline constexpr int64_t kDefaultIntMin = std::numeric_limits<int64_t>::min();
inline constexpr int64_t kDefaultIntMax = std::numeric_limits<int64_t>::max();
inline constexpr double kDefaultFloatMin = -1.0e12;
inline constexpr double kDefaultFloatMax = 1.0e12;
inline constexpr int64_t kDefaultFloatPrecision = 6;
inline constexpr uint32_t kDefaultCommandPolls = 1;
// Digital lines of the standard node map (LineSelector Line0 .. Line3).
inline constexpr uint32_t kLineCount = 4;

// Streams.
inline constexpr uint32_t kMaxStreamBuffers = 20;
// A fault's delay: long enough for a blocking call, short of a test's time-out.
inline constexpr int64_t kMaxFaultDelayMs = 10000;
// pvxGetCompletedImage's status and index when no image is waiting.
inline constexpr uint32_t kNoCompletedImage = PVX_ERR_EMPTY_COMPLETE_QUEUE;
static_assert(kNoCompletedImage >= kMaxStreamBuffers, "never a buffer index");
inline constexpr uint32_t kImageRecordSize = sizeof(PvxImageRecord);

// The built-in set, used when QUORVEX_SIM_CONFIG is not set.
struct BuiltInCamera {
    std::string_view model;
    std::string_view description;
    uint32_t sensorWidth, sensorHeight;
    uint32_t pixelFormat;
    double frameRate;
};
inline constexpr BuiltInCamera kBuiltInCameras[] = {
    {"SIM-M1280", "Simulated monochrome camera 1280 x 1024", 1280, 1024, PVX_PIXEL_MONO8, 30.0},
    {"SIM-C1920", "Simulated colour camera 1920 x 1200", 1920, 1200, PVX_PIXEL_BAYER_RG8, 30.0},
    {"SIM-M640", "Simulated 12-bit monochrome camera 640 x 480", 640, 480, PVX_PIXEL_MONO12, 60.0},
};

} // namespace sim
