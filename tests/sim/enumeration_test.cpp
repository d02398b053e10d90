// Initialisation, enumeration, opening cameras, handles, identification, region and
// the exposure/contrast/brightness settings.
#include "tests/sim/sim_fixture.h"

#include "sim/defaults.h"

#include <cmath>
#include <cstring>
#include <iterator>

using nlohmann::json;

namespace simtest {
namespace {

// Catches a built-in set that drifts from the documented one (count, size, format).
TEST_F(SimTest, BuiltInCamerasAreTheDocumentedThree) {
    Init();
    ASSERT_EQ(Got(pvxGetCameraCount), static_cast<int32_t>(std::size(sim::kBuiltInCameras)));
    for (uint32_t i = 0; i < std::size(sim::kBuiltInCameras); ++i) {
        const sim::BuiltInCamera& expected = sim::kBuiltInCameras[i];
        const PvxHandle camera = Open(i);
        EXPECT_EQ(Got(pvxGetSensorWidth, camera), expected.sensorWidth);
        EXPECT_EQ(Got(pvxGetSensorHeight, camera), expected.sensorHeight);
        EXPECT_EQ(Got(pvxGetPixelFormat, camera), expected.pixelFormat);
        EXPECT_EQ(Got(pvxGetFrameByteSize, camera),
                  expected.sensorWidth * expected.sensorHeight * ((expected.pixelFormat >> 16 & 0xFF) / 8));
        PvxCameraInfo info{};
        ASSERT_EQ(pvxGetCameraInfo(camera, i, &info), PVX_OK);
        const auto* record = reinterpret_cast<const char*>(&info);
        EXPECT_STREQ(record + 4, std::string(sim::kDefaultVendor).c_str());
        EXPECT_STREQ(record + 68, std::string(expected.model).c_str());
        EXPECT_STREQ(record + 132, std::string(expected.description).c_str());
    }
}

// The library's state is process-wide: ctest runs every test in a process of its own.
bool FreshProcess() {
    int32_t count = 0;
    return pvxGetCameraCount(&count) == PVX_ERR_NOT_INITIALIZED;
}

// Catches operations that work (or crash) before the library is initialised, and an
// initStatus refusal that still initialises the library.
TEST_F(SimTest, BeforeInitEveryCallIsRefusedWithNotInitialised) {
    if (!FreshProcess())
        GTEST_SKIP() << "needs a process where the library was never initialised";
    PvxHandle camera = 0;
    uint32_t value = 0;
    EXPECT_EQ(pvxOpenCamera(0, &camera, 0, true, 0, 1), PVX_ERR_NOT_INITIALIZED);
    EXPECT_EQ(pvxGetSensorWidth(1, &value), PVX_ERR_NOT_INITIALIZED);
    EXPECT_EQ(pvxStartStream(1, 8), PVX_ERR_NOT_INITIALIZED);
    EXPECT_NE(LastErrorText().find("pvxInitLibrary"), std::string::npos);
    // An initStatus refusal leaves the library uninitialised.
    UseDescription({{"initStatus", PVX_ERR_DLL_LOAD}, {"cameras", json::array({json::object()})}});
    EXPECT_EQ(pvxInitLibrary(1), PVX_ERR_DLL_LOAD);
    EXPECT_TRUE(FreshProcess());
}

// Catches a camera opened twice, indices and handles that are not checked, and a
// last-error text that a too small buffer truncates or destroys.
TEST_F(SimTest, HandlesAndIndicesAreChecked) {
    Init();
    const PvxHandle camera = Open(0);
    PvxHandle again = 0;
    EXPECT_EQ(pvxOpenCamera(0, &again, 0, true, 0, 1), PVX_ERR_ALREADY_OPENED);
    EXPECT_EQ(pvxOpenCamera(3, &again, 0, true, 0, 1), PVX_ERR_INVALID_CAMERA_INDEX);
    // The last-error text needs room for all of it, and survives a refused read.
    char text[8] = "xxxxxxx";
    uint32_t size = sizeof text;
    EXPECT_EQ(pvxGetLastErrorText(text, &size), PVX_ERR_BUFFER_TOO_SMALL);
    EXPECT_STREQ(text, "xxxxxxx");
    const std::string full = LastErrorText();
    EXPECT_EQ(full.rfind("pvxOpenCamera: ", 0), 0u) << full;
    char exact[256];
    size = static_cast<uint32_t>(full.size() + 1);
    ASSERT_EQ(pvxGetLastErrorText(exact, &size), PVX_OK);
    EXPECT_EQ(size, full.size() + 1);
    PvxCameraInfo info{};
    EXPECT_EQ(pvxGetCameraInfo(camera, 1, &info), PVX_ERR_INVALID_CAMERA_INDEX);

    uint32_t value = 0;
    EXPECT_EQ(pvxGetWidth(0, &value), PVX_ERR_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(pvxGetWidth(camera + 1, &value), PVX_ERR_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(pvxStopStream(camera), PVX_ERR_INVALID_STREAM_HANDLE);
    EXPECT_EQ(pvxGetNodeType(camera, camera, &value), PVX_ERR_INVALID_NODE_HANDLE);
    EXPECT_EQ(pvxGetWidth(camera, nullptr), PVX_ERR_INVALID_PARAMETER);

    // A node handle is bound to its camera.
    const PvxHandle other = Open(1);
    EXPECT_EQ(pvxGetNodeType(other, Node(camera, "Width"), &value), PVX_ERR_INVALID_NODE_HANDLE);

    ASSERT_EQ(pvxCloseCamera(camera), PVX_OK);
    EXPECT_EQ(pvxGetWidth(camera, &value), PVX_ERR_INVALID_CAMERA_HANDLE);
    EXPECT_NE(Open(0), 0u); // closed cameras open again
}

// Catches region defaults that do not follow the sensor or do not fit the grid.
TEST_F(SimTest, RegionDefaultsFollowTheSensor) {
    const PvxHandle camera = OpenWith({{"sensorWidth", 800}, {"sensorHeight", 600}});
    using Range = std::vector<uint32_t>;
    const auto range = [camera](PvxStatus(PVX_CALL * get)(PvxHandle, uint32_t*, uint32_t*, uint32_t*)) {
        Range r(3);
        EXPECT_EQ(get(camera, &r[0], &r[1], &r[2]), PVX_OK) << LastErrorText();
        return r;
    };
    EXPECT_EQ(range(pvxGetWidthRange), (Range{sim::kDefaultWidthMin, 800, sim::kDefaultWidthInc}));
    EXPECT_EQ(range(pvxGetHeightRange), (Range{sim::kDefaultHeightMin, 600, sim::kDefaultHeightInc}));
    EXPECT_EQ(range(pvxGetOffsetXRange), (Range{0, 800 - sim::kDefaultWidthMin, sim::kDefaultOffsetXInc}));
    EXPECT_EQ(Got(pvxGetWidth, camera), 800u);
    EXPECT_EQ(Got(pvxGetOffsetY, camera), 0u);
}

// Catches a region that is accepted off its grid or beyond the sensor, and a
// read-back skew that leaks into the true region.
TEST_F(SimTest, SetRoiChecksTheGridAndReadBackAddsTheSkew) {
    const PvxHandle camera =
        OpenWith({{"sensorWidth", 640}, {"sensorHeight", 480}, {"roiReadback", {{"dx", 2}, {"dw", -8}}}});
    EXPECT_EQ(pvxSetRoi(camera, 100, 50, 8, 6), PVX_ERR_INVALID_PARAMETER); // width 100 is off the grid of 8
    EXPECT_EQ(pvxSetRoi(camera, 640, 50, 8, 6), PVX_ERR_INVALID_PARAMETER); // 8 + 640 > 640
    EXPECT_NE(LastErrorText().find("smaller"), std::string::npos);
    ASSERT_EQ(pvxSetRoi(camera, 112, 52, 8, 6), PVX_OK);

    std::vector<uint32_t> roi(4); // width, height, x, y
    ASSERT_EQ(pvxGetRoi(camera, &roi[0], &roi[1], &roi[2], &roi[3]), PVX_OK);
    EXPECT_EQ(roi, (std::vector<uint32_t>{104, 52, 10, 6}));
    EXPECT_EQ(Got(pvxGetWidth, camera), 112u);
    EXPECT_EQ(Got(pvxGetFrameByteSize, camera), 112u * 52u);
}

struct SettingCase {
    const char* name;
    PvxStatus (*get)(PvxHandle, double*);
    PvxStatus (*set)(PvxHandle, double);
};

// Catches a setting that does not start at its described value, is accepted outside
// its described range or as NaN, or is refused with a text that asks for the wrong
// direction. Ranges and values as the host reads them:
// CommonParamsTest.HostValuesBecomeCameraValues.
TEST_F(SimTest, ExposureContrastBrightnessFollowTheirRanges) {
    const SettingCase cases[] = {{"exposure", pvxGetExposureTime, pvxSetExposureTime},
                                 {"contrast", pvxGetContrast, pvxSetContrast},
                                 {"brightness", pvxGetBrightness, pvxSetBrightness}};
    json camera = json::object();
    for (const SettingCase& c : cases)
        camera[c.name] = {{"min", 10}, {"max", 90}, {"value", 30}};
    const PvxHandle handle = OpenWith(camera);
    for (const SettingCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Got(c.get, handle), 30.0);
        EXPECT_EQ(c.set(handle, 5.0), PVX_ERR_INVALID_PARAMETER);
        EXPECT_NE(LastErrorText().find("greater"), std::string::npos);
        EXPECT_EQ(c.set(handle, 95.0), PVX_ERR_INVALID_PARAMETER);
        EXPECT_NE(LastErrorText().find("smaller"), std::string::npos);
        EXPECT_EQ(c.set(handle, std::nan("")), PVX_ERR_INVALID_PARAMETER);
        EXPECT_EQ(c.set(handle, 90.0), PVX_OK);
    }
}

// Catches a polarity word that is masked, a TriggerActivation that ignores bit 0, and
// exposure control modes that are not checked or not shown by the node.
TEST_F(SimTest, TriggerPolarityAndExposureControlShowInTheirNodes) {
    const PvxHandle camera = OpenWith({{"triggerPolarity", 0x00010003}});
    EXPECT_EQ(Got(pvxGetTriggerPolarity, camera), 0x00010003u);
    EXPECT_EQ(EnumText(camera, "TriggerActivation"), "RisingEdge");
    ASSERT_EQ(pvxSetTriggerPolarity(camera, 0x00000002), PVX_OK);
    EXPECT_EQ(EnumText(camera, "TriggerActivation"), "FallingEdge");
    ASSERT_EQ(pvxSetEnumValueText(camera, Node(camera, "TriggerActivation"), "RisingEdge", true), PVX_OK);
    EXPECT_EQ(Got(pvxGetTriggerPolarity, camera), 0x00000003u);

    EXPECT_EQ(EnumText(camera, "ExposureTimeControl"), "Timed");
    ASSERT_EQ(pvxSetExposureControl(camera, 2), PVX_OK);
    EXPECT_EQ(EnumText(camera, "ExposureTimeControl"), "TriggerWidth");
    EXPECT_EQ(pvxSetExposureControl(camera, sim::kExposureControlModes), PVX_ERR_INVALID_PARAMETER);
}

} // namespace
} // namespace simtest
