// The descriptive values GetVideoChannel writes: name, description, exposure and
// the contrast and brightness fractions, including failed camera queries.
#include "tests/support/case_name.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

namespace aiktest {
namespace {

using ChannelValuesTest = ModuleFixture;

// Catches a wrong name format (missing blank, blank before "(AIK)", swapped texts), a
// description taken from the wrong identification text, exposure or minExposure left
// in microseconds, or sensor sizes swapped.
TEST_F(ChannelValuesTest, NameDescriptionExposureAndSensorSize) {
    nlohmann::json camera = cameraJson("Quorvex", "QX-2000M", "GigE mono, 2 MP; rev. B", 1920, 1200);
    camera["exposure"] = rangeJson(15, 2000000, 12500);
    useCameras({camera, cameraJson("A", "B", "")});
    aikhost::Enumeration enumeration = enumerate();
    ASSERT_EQ(enumeration.channels.size(), 2u);
    EXPECT_EQ(enumeration.channels[0].name(), "Quorvex QX-2000M(AIK)");
    EXPECT_EQ(enumeration.channels[0].description(), "GigE mono, 2 MP; rev. B");
    EXPECT_EQ(enumeration.channels[1].name(), "A B(AIK)");
    EXPECT_EQ(enumeration.channels[1].description(), "");
    const VideoChannelRecord& record = enumeration.channels[0].record();
    EXPECT_DOUBLE_EQ(record.exposure, 0.0125);
    EXPECT_DOUBLE_EQ(record.minExposure, 0.000015);
    EXPECT_EQ(record.sensorWidth, 1920u);
    EXPECT_EQ(record.sensorHeight, 1200u);
}

struct FractionCase {
    const char* name;
    const char* setting; // "contrast" or "brightness"
    double min;
    double max;
    double reading;
    double fraction;
};

class FractionTest : public ModuleFixture, public ::testing::WithParamInterface<FractionCase> {};

// Catches a fraction not taken relative to the range's lower end, a missing clamp,
// brightness outside its range not read as 0 before scaling, or contrast wrongly
// given that replacement too.
TEST_P(FractionTest, ReadingBecomesAClampedFractionOfTheRange) {
    const FractionCase& c = GetParam();
    nlohmann::json camera = cameraJson("Quorvex", "QX-F", "fractions");
    camera[c.setting] = rangeJson(c.min, c.max, c.reading);
    useCameras({camera});
    aikhost::VideoChannelResult result = getVideoChannel(0);
    ASSERT_EQ(result.rc, 0) << result.errText;
    const double written =
        std::string(c.setting) == "contrast" ? result.record.contrast : result.record.brightness;
    EXPECT_DOUBLE_EQ(written, c.fraction);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, FractionTest,
    ::testing::Values(FractionCase{"ContrastInside", "contrast", 0, 20, 5, 0.25},
                      FractionCase{"ContrastOffsetRange", "contrast", 10, 30, 25, 0.75},
                      FractionCase{"ContrastAboveClampsToOne", "contrast", 0, 20, 25, 1.0},
                      FractionCase{"ContrastBelowClampsToZero", "contrast", 10, 20, 5, 0.0},
                      FractionCase{"BrightnessInside", "brightness", -10, 30, 20, 0.75},
                      FractionCase{"BrightnessAboveReadsAsZero", "brightness", -10, 30, 40, 0.25},
                      FractionCase{"BrightnessBelowReadsAsZero", "brightness", -10, 30, -20, 0.25},
                      FractionCase{"BrightnessOutsideThenClamped", "brightness", 10, 30, 40, 0.0},
                      FractionCase{"BrightnessAtUpperLimit", "brightness", -10, 30, 30, 1.0}),
    CaseName());

struct FailedQueryCase {
    const char* call;
    double VideoChannelRecord::*kept;
};

class FailedQueryTest : public ModuleFixture, public ::testing::WithParamInterface<FailedQueryCase> {};

// Catches a failed camera query that overwrites the host's value (with 0 or garbage),
// fails the whole call, or stops the record from being filled further.
TEST_P(FailedQueryTest, KeepsTheHostsValueAndFillsTheRest) {
    nlohmann::json camera = cameraJson("Quorvex", "QX-Q", "queries", 800, 600);
    camera["exposure"] = rangeJson(40, 1000000, 8000);
    camera["contrast"] = rangeJson(0, 100, 50);
    camera["brightness"] = rangeJson(0, 100, 50);
    camera["faults"] = {faultJson(GetParam().call, 19)};
    useCameras({camera});

    VideoChannelRecord record{};
    record.recordLevel = AIK_EXTENDED_RECORD_BYTES;
    record.exposure = record.contrast = record.brightness = -7.5;
    char errText[256] = {};
    ASSERT_EQ(callGetVideoChannel(errText, 0, &record), 0) << errText;

    EXPECT_EQ(record.*GetParam().kept, -7.5);
    EXPECT_DOUBLE_EQ(record.minExposure, 0.00004);
    EXPECT_EQ(record.sensorWidth, 800u);
    EXPECT_STREQ(record.name, "Quorvex QX-Q(AIK)");
    EXPECT_NE(record.ReleaseVideoChannel, nullptr);
    for (double VideoChannelRecord::*field :
         {&VideoChannelRecord::exposure, &VideoChannelRecord::contrast, &VideoChannelRecord::brightness}) {
        if (field != GetParam().kept) {
            EXPECT_NE(record.*field, -7.5);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Queries, FailedQueryTest,
    ::testing::Values(FailedQueryCase{"pvxGetExposureTime", &VideoChannelRecord::exposure},
                      FailedQueryCase{"pvxGetContrast", &VideoChannelRecord::contrast},
                      FailedQueryCase{"pvxGetBrightness", &VideoChannelRecord::brightness}),
    [](const ::testing::TestParamInfo<FailedQueryCase>& tested) { return std::string(tested.param.call); });

} // namespace
} // namespace aiktest
