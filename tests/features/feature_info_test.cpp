// GetFeatureType, GetFeatureAttr and GetValidEnum on simulated node maps: host type
// codes, the attribute table, and enumeration entries counted by availability.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

// One node of every type and access the tests below inspect.
nlohmann::json inspectedCamera() {
    return bareCamera({nodeJson("Gamma", "Float"), nodeJson("SensorWidth", "Integer", "RO"),
                       nodeJson("TriggerSoftware", "Command", "WO"), nodeJson("LineInverterAll", "Boolean"),
                       nodeJson("DeviceModelName", "String", "RO", {{"description", "Model of the device"}}),
                       enumJson("PixelFormat", "Mono8", {{"Mono8", "RW"}, {"Mono12", "RW"}}),
                       nodeJson("TimerDuration", "Float", "WO"), nodeJson("TimerDelay", "Float", "NA"),
                       nodeJson("TriggerDelay", "Integer", "NI"), nodeJson("LineStatusAll", "Register", "RO"),
                       nodeJson("ImageFormatSelector", "Category", "RO"),
                       nodeJson("AcquisitionFrameRate", "String", "RO"),
                       nodeJson("AdapterVersion", "Integer", "RW"),
                       enumJson("TestPattern", "Off", {{"Off", "RW"}, {"Ramp", "NA"}, {"Noise", "RO"}})});
}

enum Slot { kType, kAttr, kEnum };
const char* const kSlotNames[] = {"GetFeatureType", "GetFeatureAttr", "GetValidEnum"};

struct InspectCase {
    const char* name;
    Slot slot;
    const char* feature;
    int32_t arg; // attr or enumIndex
    int32_t rc;
    const char* answer; // the text, or the type code as text
};

class InspectionTest : public FeatureTest, public ::testing::WithParamInterface<InspectCase> {};

// Each slot answers a failure with rc 1 and the injected text naming the slot and the feature.
TEST_P(InspectionTest, AnswerOfSlot) {
    const InspectCase& c = GetParam();
    useCamera(inspectedCamera());
    aikhost::TextResult answer;
    if (c.slot == kType) {
        const aikhost::FeatureTypeResult type = channel().getFeatureType(c.feature);
        answer = {{type.rc, type.errText}, std::to_string(type.type)};
    } else {
        answer = c.slot == kAttr ? channel().getFeatureAttr(c.feature, c.arg)
                                 : channel().getValidEnum(c.feature, c.arg);
    }
    EXPECT_EQ(answer.text, c.answer);
    EXPECT_EQ(rcText(answer), RcText(c.rc, c.rc == 0 ? ""
                                                     : std::string("Injected failure in ") +
                                                           kSlotNames[c.slot] + ".(" + c.feature + ")"));
}

// Catches a wrong host code for a node type (the host's codes are not GenApi's), a
// companion typed by anything but its base node, a limit of a write-only node given
// a type, or an unsupported type reported as a failure instead of -1.
const InspectCase kTypeCases[] = {
    {"Enumeration", kType, "PixelFormat", 0, 0, "1"},
    {"Integer", kType, "SensorWidth", 0, 0, "2"},
    {"Float", kType, "Gamma", 0, 0, "3"},
    {"Command", kType, "TriggerSoftware", 0, 0, "4"},
    {"Boolean", kType, "LineInverterAll", 0, 0, "5"},
    {"String", kType, "DeviceModelName", 0, 0, "6"},
    {"Register", kType, "LineStatusAll", 0, 0, "-1"},
    {"Category", kType, "ImageFormatSelector", 0, 0, "-1"},
    {"IntegerLimit", kType, "SensorWidth_Max", 0, 0, "2"},
    {"LimitOfUnavailableNode", kType, "TimerDelay_Max", 0, 0, "3"},
    {"LimitOfNotImplementedNode", kType, "TriggerDelay_Min", 0, 0, "2"},
    {"LimitOfWriteOnlyNode", kType, "TimerDuration_Min", 0, 1, "-1"},
    {"LimitOfStringNode", kType, "AcquisitionFrameRate_Max", 0, 1, "-1"},
    {"LimitOfEnumeration", kType, "PixelFormat_Min", 0, 1, "-1"},
    {"MissingNode", kType, "ExposureTimeControl", 0, 1, "-1"},
    {"ShortNameIsNoCompanion", kType, "G_Min", 0, 1, "-1"},
    {"LowerCaseSuffixIsNoCompanion", kType, "Gamma_min", 0, 1, "-1"},
    {"AdapterVersionDespiteNode", kType, "AdapterVersion", 0, 0, "6"},
    {"AdapterVersionPrefix", kType, "AdapterVersion_Max", 0, 0, "6"},
};
INSTANTIATE_TEST_SUITE_P(Types, InspectionTest, ::testing::ValuesIn(kTypeCases), CaseName());

// Catches any cell of the attribute table answered wrongly: descriptions, readable
// and writable by access mode, companions never writable, attribute 4 for the named
// nodes and for unavailable ones, the adapter's own answers, and attribute numbers
// outside 1 to 4 or a missing node not failing.
const InspectCase kAttrCases[] = {
    {"Description", kAttr, "DeviceModelName", 1, 0, "Model of the device"},
    {"ReadOnlyReadable", kAttr, "DeviceModelName", 2, 0, "True"},
    {"ReadOnlyNotWritable", kAttr, "DeviceModelName", 3, 0, "False"},
    {"WriteOnlyNotReadable", kAttr, "TriggerSoftware", 2, 0, "False"},
    {"WriteOnlyWritable", kAttr, "TriggerSoftware", 3, 0, "True"},
    {"ReadWriteBoth", kAttr, "Gamma", 3, 0, "True"},
    {"NotAvailableNeither", kAttr, "TimerDelay", 2, 0, "False"},
    {"PixelFormatFlagged", kAttr, "PixelFormat", 4, 0, "True"},
    {"LineInverterAllFlagged", kAttr, "LineInverterAll", 4, 0, "True"},
    {"GammaNotFlagged", kAttr, "Gamma", 4, 0, "False"},
    {"WriteOnlyNotFlagged", kAttr, "TriggerSoftware", 4, 0, "False"},
    {"NotAvailableFlagged", kAttr, "TimerDelay", 4, 0, "True"},
    {"NotImplementedFlagged", kAttr, "TriggerDelay", 4, 0, "True"},
    {"CompanionNoDescription", kAttr, "Gamma_Min", 1, 0, ""},
    {"CompanionReadableAsBase", kAttr, "Gamma_Max", 2, 0, "True"},
    {"CompanionOfWriteOnlyUnreadable", kAttr, "TimerDuration_Max", 2, 0, "False"},
    {"CompanionNeverWritable", kAttr, "Gamma_Min", 3, 0, "False"},
    {"CompanionNeverFlagged", kAttr, "TimerDelay_Min", 4, 0, "False"},
    {"CompanionAttrZero", kAttr, "Gamma_Min", 0, 1, ""},
    {"AttrZero", kAttr, "Gamma", 0, 1, ""},
    {"AttrFive", kAttr, "Gamma", 5, 1, ""},
    {"MissingNode", kAttr, "ExposureTimeControl", 2, 1, ""},
    {"AdapterDescription", kAttr, "AdapterVersion", 1, 0, "Version of this adapter .DLL"},
    {"AdapterReadable", kAttr, "AdapterVersion", 2, 0, "True"},
    {"AdapterNotWritable", kAttr, "AdapterVersion", 3, 0, "False"},
    {"AdapterNotFlagged", kAttr, "AdapterVersion", 4, 0, "False"},
    {"AdapterPrefix", kAttr, "AdapterVersionX", 1, 0, "Version of this adapter .DLL"},
    {"AdapterAttrZero", kAttr, "AdapterVersion", 0, 1, ""},
    {"AdapterAttrFive", kAttr, "AdapterVersion", 5, 1, ""},
};
INSTANTIATE_TEST_SUITE_P(Attributes, InspectionTest, ::testing::ValuesIn(kAttrCases), CaseName());

// Catches entries counted by position instead of availability (index 1 would give
// the unavailable "Ramp"), a walk that runs past the readable entries, a negative
// index accepted, or companion handling applied to enumeration names.
const InspectCase kEnumCases[] = {
    {"FirstReadWrite", kEnum, "TestPattern", 0, 0, "Off"},
    {"SkipsNotAvailable", kEnum, "TestPattern", 1, 0, "Noise"},
    {"BeyondReadable", kEnum, "TestPattern", 2, 1, ""},
    {"Negative", kEnum, "TestPattern", -1, 1, ""},
    {"CompanionNameIsNotSplit", kEnum, "TestPattern_Min", 0, 1, ""},
    {"NotAnEnumeration", kEnum, "Gamma", 0, 1, ""},
    {"MissingNode", kEnum, "ExposureTimeControl", 0, 1, ""},
};
INSTANTIATE_TEST_SUITE_P(Entries, InspectionTest, ::testing::ValuesIn(kEnumCases), CaseName());

} // namespace
} // namespace aiktest
