// GetFeatureType, GetFeatureAttr and GetValidEnum on simulated node maps: host type
// codes, the attribute table, and enumeration entries counted by availability.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

// One node of every type and access the tests below inspect.
nlohmann::json inspectedCamera() {
    nlohmann::json described = nodeJson("DeviceModelName", "String", "RO");
    described["description"] = "Model of the device";
    nlohmann::json pixelFormat = enumJson("PixelFormat", "Mono8", {{"Mono8", "RW"}, {"Mono12", "RW"}});
    return bareCamera(
        {nodeJson("Gamma", "Float"), nodeJson("SensorWidth", "Integer", "RO"),
         nodeJson("TriggerSoftware", "Command", "WO"), nodeJson("LineInverterAll", "Boolean"), described,
         pixelFormat, nodeJson("TimerDuration", "Float", "WO"), nodeJson("TimerDelay", "Float", "NA"),
         nodeJson("TriggerDelay", "Integer", "NI"), nodeJson("LineStatusAll", "Register", "RO"),
         nodeJson("ImageFormatSelector", "Category", "RO"), nodeJson("AcquisitionFrameRate", "String", "RO"),
         nodeJson("AdapterVersion", "Integer", "RW"),
         enumJson("TestPattern", "Off", {{"Off", "RW"}, {"Ramp", "NA"}, {"Noise", "RO"}})});
}

class InspectionTest : public FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        m_channels = openCameras({inspectedCamera()});
        ASSERT_EQ(m_channels.size(), 1u);
    }
    const aikhost::Channel& channel() const { return m_channels.front(); }

    std::vector<aikhost::Channel> m_channels;
};

struct TypeCase {
    const char* name;
    const char* feature;
    int32_t rc;
    int32_t type;
};

class FeatureTypeTest : public InspectionTest, public ::testing::WithParamInterface<TypeCase> {};

// Catches a wrong host code for a node type (the host's codes are not GenApi's), a
// companion typed by anything but its base node, a limit of a write-only node given
// a type, or an unsupported type reported as a failure instead of -1.
TEST_P(FeatureTypeTest, TypeCodeOfFeature) {
    const TypeCase& c = GetParam();
    aikhost::FeatureTypeResult result = channel().getFeatureType(c.feature);
    EXPECT_EQ(result.rc, c.rc);
    EXPECT_EQ(result.type, c.type);
    EXPECT_EQ(result.errText,
              c.rc == 0 ? "" : std::string("Injected failure in GetFeatureType.(") + c.feature + ")");
}

INSTANTIATE_TEST_SUITE_P(Features, FeatureTypeTest,
                         ::testing::Values(TypeCase{"Enumeration", "PixelFormat", 0, 1},
                                           TypeCase{"Integer", "SensorWidth", 0, 2},
                                           TypeCase{"Float", "Gamma", 0, 3},
                                           TypeCase{"Command", "TriggerSoftware", 0, 4},
                                           TypeCase{"Boolean", "LineInverterAll", 0, 5},
                                           TypeCase{"String", "DeviceModelName", 0, 6},
                                           TypeCase{"Register", "LineStatusAll", 0, -1},
                                           TypeCase{"Category", "ImageFormatSelector", 0, -1},
                                           TypeCase{"FloatLimit", "Gamma_Min", 0, 3},
                                           TypeCase{"IntegerLimit", "SensorWidth_Max", 0, 2},
                                           TypeCase{"LimitOfUnavailableNode", "TimerDelay_Max", 0, 3},
                                           TypeCase{"LimitOfNotImplementedNode", "TriggerDelay_Min", 0, 2},
                                           TypeCase{"LimitOfWriteOnlyNode", "TimerDuration_Min", 1, -1},
                                           TypeCase{"LimitOfStringNode", "AcquisitionFrameRate_Max", 1, -1},
                                           TypeCase{"LimitOfEnumeration", "PixelFormat_Min", 1, -1},
                                           TypeCase{"MissingNode", "ExposureTimeControl", 1, -1},
                                           TypeCase{"ShortNameIsNoCompanion", "G_Min", 1, -1},
                                           TypeCase{"LowerCaseSuffixIsNoCompanion", "Gamma_min", 1, -1},
                                           TypeCase{"AdapterVersionDespiteNode", "AdapterVersion", 0, 6},
                                           TypeCase{"AdapterVersionPrefix", "AdapterVersion_Max", 0, 6}),
                         CaseName());

struct AttrCase {
    const char* name;
    const char* feature;
    int32_t attr;
    int32_t rc;
    const char* text;
};

class FeatureAttrTest : public InspectionTest, public ::testing::WithParamInterface<AttrCase> {};

// Catches any cell of the attribute table answered wrongly: descriptions, readable
// and writable by access mode, companions never writable, attribute 4 for the named
// nodes and for unavailable ones, the adapter's own answers, and attribute numbers
// outside 1 to 4 or a missing node not failing.
TEST_P(FeatureAttrTest, AttributeOfFeature) {
    const AttrCase& c = GetParam();
    aikhost::TextResult result = channel().getFeatureAttr(c.feature, c.attr);
    EXPECT_EQ(result.rc, c.rc);
    EXPECT_EQ(result.text, c.text);
    EXPECT_EQ(result.errText,
              c.rc == 0 ? "" : std::string("Injected failure in GetFeatureAttr.(") + c.feature + ")");
}

INSTANTIATE_TEST_SUITE_P(
    Features, FeatureAttrTest,
    ::testing::Values(AttrCase{"Description", "DeviceModelName", 1, 0, "Model of the device"},
                      AttrCase{"ReadOnlyReadable", "DeviceModelName", 2, 0, "True"},
                      AttrCase{"ReadOnlyNotWritable", "DeviceModelName", 3, 0, "False"},
                      AttrCase{"WriteOnlyNotReadable", "TriggerSoftware", 2, 0, "False"},
                      AttrCase{"WriteOnlyWritable", "TriggerSoftware", 3, 0, "True"},
                      AttrCase{"ReadWriteBoth", "Gamma", 3, 0, "True"},
                      AttrCase{"NotAvailableNeither", "TimerDelay", 2, 0, "False"},
                      AttrCase{"PixelFormatFlagged", "PixelFormat", 4, 0, "True"},
                      AttrCase{"LineInverterAllFlagged", "LineInverterAll", 4, 0, "True"},
                      AttrCase{"GammaNotFlagged", "Gamma", 4, 0, "False"},
                      AttrCase{"WriteOnlyNotFlagged", "TriggerSoftware", 4, 0, "False"},
                      AttrCase{"NotAvailableFlagged", "TimerDelay", 4, 0, "True"},
                      AttrCase{"NotImplementedFlagged", "TriggerDelay", 4, 0, "True"},
                      AttrCase{"CompanionNoDescription", "Gamma_Min", 1, 0, ""},
                      AttrCase{"CompanionReadableAsBase", "Gamma_Max", 2, 0, "True"},
                      AttrCase{"CompanionOfWriteOnlyUnreadable", "TimerDuration_Max", 2, 0, "False"},
                      AttrCase{"CompanionNeverWritable", "Gamma_Min", 3, 0, "False"},
                      AttrCase{"CompanionNeverFlagged", "TimerDelay_Min", 4, 0, "False"},
                      AttrCase{"CompanionAttrZero", "Gamma_Min", 0, 1, ""},
                      AttrCase{"AttrZero", "Gamma", 0, 1, ""}, AttrCase{"AttrFive", "Gamma", 5, 1, ""},
                      AttrCase{"MissingNode", "ExposureTimeControl", 2, 1, ""},
                      AttrCase{"AdapterDescription", "AdapterVersion", 1, 0, "Version of this adapter .DLL"},
                      AttrCase{"AdapterReadable", "AdapterVersion", 2, 0, "True"},
                      AttrCase{"AdapterNotWritable", "AdapterVersion", 3, 0, "False"},
                      AttrCase{"AdapterNotFlagged", "AdapterVersion", 4, 0, "False"},
                      AttrCase{"AdapterPrefix", "AdapterVersionX", 1, 0, "Version of this adapter .DLL"},
                      AttrCase{"AdapterAttrZero", "AdapterVersion", 0, 1, ""},
                      AttrCase{"AdapterAttrFive", "AdapterVersion", 5, 1, ""}),
    CaseName());

struct EnumCase {
    const char* name;
    const char* feature;
    int32_t enumIndex;
    int32_t rc;
    const char* value;
};

class ValidEnumTest : public InspectionTest, public ::testing::WithParamInterface<EnumCase> {};

// Catches entries counted by position instead of availability (index 1 would give
// the unavailable "Ramp"), a walk that runs past the readable entries, a negative
// index accepted, or companion handling applied to enumeration names.
TEST_P(ValidEnumTest, ReadableEntryAtIndex) {
    const EnumCase& c = GetParam();
    aikhost::TextResult result = channel().getValidEnum(c.feature, c.enumIndex);
    EXPECT_EQ(result.rc, c.rc);
    EXPECT_EQ(result.text, c.value);
    EXPECT_EQ(result.errText,
              c.rc == 0 ? "" : std::string("Injected failure in GetValidEnum.(") + c.feature + ")");
}

INSTANTIATE_TEST_SUITE_P(Entries, ValidEnumTest,
                         ::testing::Values(EnumCase{"FirstReadWrite", "TestPattern", 0, 0, "Off"},
                                           EnumCase{"SkipsNotAvailable", "TestPattern", 1, 0, "Noise"},
                                           EnumCase{"BeyondReadable", "TestPattern", 2, 1, ""},
                                           EnumCase{"Negative", "TestPattern", -1, 1, ""},
                                           EnumCase{"CompanionNameIsNotSplit", "TestPattern_Min", 0, 1, ""},
                                           EnumCase{"NotAnEnumeration", "Gamma", 0, 1, ""},
                                           EnumCase{"MissingNode", "ExposureTimeControl", 0, 1, ""}),
                         CaseName());

} // namespace
} // namespace aiktest
