// ReadValue: value texts by node type, limits of integer and float nodes, the
// adapter's version, and the failures a host sees.
#include "tests/features/feature_fixture.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

nlohmann::json floatNode(const std::string& name, double value, double min, double max, int precision,
                         const std::string& access = "RW") {
    return nodeJson(name, "Float", access,
                    {{"value", value}, {"min", min}, {"max", max}, {"precision", precision}});
}

nlohmann::json readCamera() {
    return bareCamera({nodeJson("LineModeAll", "Integer", "RO",
                                {{"value", 5000000000LL}, {"min", -3}, {"max", 6000000000LL}}),
                       floatNode("Gamma", 2.5, 0.25, 4, 2), floatNode("TriggerDelay", 1.0, 0, 1000000, 0),
                       floatNode("TimerDelay", 1.0, 0.5, 2, 6, "WO"),
                       nodeJson("LineInverterAll", "Boolean", "RW", {{"value", true}}),
                       nodeJson("UserOutputValueAll", "Boolean", "RW", {{"value", false}}),
                       nodeJson("TriggerSoftware", "Command", "WO"), nodeJson("TimerReset", "Command", "RW"),
                       nodeJson("DeviceUserID", "String", "RO", {{"value", "QX-F 2000"}}),
                       enumJson("TriggerSequence", "Burst", {{"Timed", "RW"}, {"Burst", "RW"}}),
                       nodeJson("DeviceVersion", "String", "RO", {{"value", "v1"}}),
                       nodeJson("LineStatusAll", "Register", "RO"), nodeJson("TimerDuration", "Float", "NA"),
                       nodeJson("AdapterVersion", "String", "RO", {{"value", "camera's own"}})});
}

struct ReadCase {
    const char* name;
    const char* addr;
    int32_t rc;
    const char* text;
    const char* errText;
    const char* faultCall = nullptr; // refused with faultStatus for every node
    PvxStatus faultStatus = PVX_OK;
};

class ReadValueTest : public FeatureTest, public ::testing::WithParamInterface<ReadCase> {};

// Catches a value text in the wrong format for its type (precision ignored, integers
// cut to 32 bits, booleans not "True"/"False"), limits read from the wrong end or
// type, a node that cannot be read not refused with the name as passed, or the
// adapter's version not taking precedence over a camera node of that name; a failed
// lookup, access, type or value query taken as success (and a value read from a node
// handle that was never obtained), or a failed precision query hidden (the read must
// fail) or its fallback text not written with six decimals.
TEST_P(ReadValueTest, TextOfFeature) {
    const ReadCase& c = GetParam();
    nlohmann::json camera = readCamera();
    if (c.faultCall != nullptr)
        camera["faults"] = {faultJson(c.faultCall, c.faultStatus)};
    aikhost::TextResult read = openCamera(camera).readValue(c.addr);
    EXPECT_EQ(rcText(read), RcText(c.rc, c.errText));
    EXPECT_EQ(read.text, c.text);
}

const ReadCase kReadCases[] = {
    {"Integer64Bit", "LineModeAll", 0, "5000000000", ""},
    {"IntegerMin", "LineModeAll_Min", 0, "-3", ""},
    {"IntegerMax", "LineModeAll_Max", 0, "6000000000", ""},
    {"FloatMinWithPrecision", "Gamma_Min", 0, "0.25", ""},
    {"FloatMaxWithPrecision", "Gamma_Max", 0, "4.00", ""},
    {"FloatPrecisionZero", "TriggerDelay", 0, "1", ""},
    {"BooleanTrue", "LineInverterAll", 0, "True", ""},
    {"BooleanFalse", "UserOutputValueAll", 0, "False", ""},
    {"CommandReadsAsEmptyText", "TimerReset", 0, "", ""},
    {"WriteOnlyCommand", "TriggerSoftware", 1, "", "Feature TriggerSoftware is not readable."},
    {"String", "DeviceUserID", 0, "QX-F 2000", ""},
    {"EnumerationSymbol", "TriggerSequence", 0, "Burst", ""},
    {"AdapterVersionDespiteNode", "AdapterVersion", 0, "1.0.0.1", ""},
    {"AdapterVersionPrefix", "AdapterVersionAndMore", 0, "1.0.0.1", ""},
    {"WriteOnly", "TimerDelay", 1, "", "Feature TimerDelay is not readable."},
    {"LimitOfWriteOnly", "TimerDelay_Min", 1, "", "Feature TimerDelay_Min is not readable."},
    {"NotAvailable", "TimerDuration", 1, "", "Feature TimerDuration is not readable."},
    {"LimitOfString", "DeviceVersion_Max", 1, "", "Injected failure in ReadValue.(DeviceVersion_Max)"},
    {"LimitOfEnumeration", "TriggerSequence_Min", 1, "",
     "Injected failure in ReadValue.(TriggerSequence_Min)"},
    {"Register", "LineStatusAll", 1, "", "Injected failure in ReadValue.(LineStatusAll)"},
    {"MissingNode", "ExposureTimeControl", 1, "", "Injected failure in ReadValue.(ExposureTimeControl)"},
    {"FaultLookup", "Gamma", 1, "", "Injected failure in ReadValue.(Gamma)", "pvxGetNode", PVX_ERR_GENICAM},
    {"FaultAccess", "Gamma", 1, "", "Injected failure in ReadValue.(Gamma)", "pvxGetNodeAccess",
     PVX_ERR_GENICAM},
    {"FaultType", "Gamma", 1, "", "Injected failure in ReadValue.(Gamma)", "pvxGetNodeType", PVX_ERR_GENICAM},
    {"FaultValue", "Gamma", 1, "", "Injected failure in ReadValue.(Gamma)", "pvxGetFloatValue",
     PVX_ERR_GENICAM},
    {"FaultPrecision", "Gamma", 1, "2.500000", "Injected failure in ReadValue.(Gamma)",
     "pvxGetFloatPrecision", PVX_ERR_INVALID_PARAMETER},
    {"FaultPrecisionOfLimit", "Gamma_Max", 1, "4.000000", "Injected failure in ReadValue.(Gamma_Max)",
     "pvxGetFloatPrecision", PVX_ERR_INVALID_PARAMETER},
};

INSTANTIATE_TEST_SUITE_P(Features, ReadValueTest, ::testing::ValuesIn(kReadCases), CaseName());

} // namespace
} // namespace aiktest
