// The descriptive values GetVideoChannel writes beyond the record layout's own checks:
// the contrast and brightness fractions, and failed camera queries.
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

namespace aiktest {
namespace {

// Every GetVideoChannel(0) enumerates afresh from the description, so one test can
// try camera after camera.
using ChannelValuesTest = ModuleFixture;

struct FractionCase {
    const char* name;
    const char* setting; // "contrast" or "brightness"
    double min;
    double max;
    double reading;
    double fraction;
};

const FractionCase kFractions[] = {
    {"ContrastInside", "contrast", 0, 20, 5, 0.25},
    {"ContrastOffsetRange", "contrast", 10, 30, 25, 0.75},
    {"ContrastAboveClampsToOne", "contrast", 0, 20, 25, 1.0},
    {"ContrastBelowClampsToZero", "contrast", 10, 20, 5, 0.0},
    {"BrightnessInside", "brightness", -10, 30, 20, 0.75},
    {"BrightnessAboveReadsAsZero", "brightness", -10, 30, 40, 0.25},
    {"BrightnessBelowReadsAsZero", "brightness", -10, 30, -20, 0.25},
    {"BrightnessOutsideThenClamped", "brightness", 10, 30, 40, 0.0},
    {"BrightnessAtUpperLimit", "brightness", -10, 30, 30, 1.0},
};

// Catches a fraction not taken relative to the range's lower end, a missing clamp,
// brightness outside its range not read as 0 before scaling, or contrast wrongly
// given that replacement too.
TEST_F(ChannelValuesTest, ReadingBecomesAClampedFractionOfTheRange) {
    for (const FractionCase& c : kFractions) {
        SCOPED_TRACE(c.name);
        nlohmann::json camera = cameraJson("Quorvex", "QX-F", "fractions");
        camera[c.setting] = rangeJson(c.min, c.max, c.reading);
        useCameras({camera});
        aikhost::VideoChannelResult result = getVideoChannel(0);
        ASSERT_EQ(result.rc, 0) << result.errText;
        EXPECT_DOUBLE_EQ(std::string(c.setting) == "contrast" ? result.record.contrast
                                                              : result.record.brightness,
                         c.fraction);
    }
}

// Catches a failed camera query that overwrites the host's value (with 0 or garbage),
// fails the whole call, or stops the record from being filled further.
TEST_F(ChannelValuesTest, FailedQueryKeepsTheHostsValueAndFillsTheRest) {
    const char* const calls[] = {"pvxGetExposureTime", "pvxGetContrast", "pvxGetBrightness"};
    double VideoChannelRecord::*const fields[] = {
        &VideoChannelRecord::exposure, &VideoChannelRecord::contrast, &VideoChannelRecord::brightness};
    for (std::size_t failed = 0; failed < std::size(calls); ++failed) {
        SCOPED_TRACE(calls[failed]);
        nlohmann::json camera = cameraJson("Quorvex", "QX-Q", "queries", 800, 600);
        camera["exposure"] = rangeJson(40, 1000000, 8000);
        camera["contrast"] = rangeJson(0, 100, 50);
        camera["brightness"] = rangeJson(0, 100, 50);
        camera["faults"] = {faultJson(calls[failed], PVX_ERR_CAMERA_NOT_RESPONDING)};
        useCameras({camera});
        VideoChannelRecord record{};
        record.recordLevel = AIK_EXTENDED_RECORD_BYTES;
        record.exposure = record.contrast = record.brightness = -7.5;
        char errText[256] = {};
        ASSERT_EQ(callGetVideoChannel(errText, 0, &record), 0) << errText;
        for (std::size_t field = 0; field < std::size(fields); ++field)
            EXPECT_EQ(record.*fields[field] == -7.5, field == failed) << calls[field];
        EXPECT_DOUBLE_EQ(record.minExposure, 0.00004);
        EXPECT_EQ(record.sensorWidth, 800u);
        EXPECT_STREQ(record.name, "Quorvex QX-Q(AIK)");
        EXPECT_NE(record.ReleaseVideoChannel, nullptr);
    }
}

} // namespace
} // namespace aiktest
