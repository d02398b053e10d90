// The node map: the standard nodes, nodes edited by the description, access modes,
// limits and the link between nodes and the camera's state.
#include "tests/sim/sim_fixture.h"

#include "sim/defaults.h"
#include "sim/pattern.h"

#include <cstring>

using nlohmann::json;

namespace simtest {
namespace {

class NodeTest : public SimTest {
protected:
    // The value of a node through its typed getter; the read must succeed.
    template <class T>
    T Read(PvxStatus(PVX_CALL* get)(PvxHandle, PvxHandle, T*, bool, bool), PvxHandle camera,
           const char* name) {
        T value{};
        EXPECT_EQ(get(camera, Node(camera, name), &value, false, false), PVX_OK)
            << name << ": " << LastErrorText();
        return value;
    }
    int64_t Int(PvxHandle camera, const char* name) { return Read(pvxGetIntValue, camera, name); }
    double Float(PvxHandle camera, const char* name) { return Read(pvxGetFloatValue, camera, name); }
    std::string Text(PvxHandle camera, const char* name) {
        char text[256] = "";
        EXPECT_EQ(pvxGetStringValue(camera, Node(camera, name), text, sizeof text, false, false), PVX_OK);
        return text;
    }
};

// The catalogue's node names, without the adapter's own and the companions, by type and access.
struct StandardNodes {
    uint32_t type;
    uint32_t access;
    std::vector<const char*> names;
};
const StandardNodes kCatalogueNodes[] = {
    {PVX_NODE_STRING,
     PVX_ACCESS_RO,
     {"DeviceVendorName", "DeviceModelName", "DeviceManufacturerInfo", "DeviceVersion", "DeviceID"}},
    {PVX_NODE_STRING, PVX_ACCESS_RW, {"DeviceUserID"}},
    {PVX_NODE_ENUMERATION,
     PVX_ACCESS_RW,
     {"ImageFormatSelector", "PixelFormat", "AcquisitionFrameRateControl", "AcquisitionFrameIntervalControl",
      "ExposureTimeControl", "TriggerSequence", "TriggerSource", "LineSelector", "LineSource",
      "TimerSelector", "TestPattern", "TriggerMode"}},
    {PVX_NODE_ENUMERATION, PVX_ACCESS_RO, {"PixelCoding", "PixelSize", "PixelEndian"}},
    {PVX_NODE_INTEGER, PVX_ACCESS_RO, {"SensorWidth", "SensorHeight", "LineStatusAll"}},
    {PVX_NODE_INTEGER,
     PVX_ACCESS_RW,
     {"LineModeAll", "LineInverterAll", "UserOutputValueAll", "Width", "Height", "OffsetX", "OffsetY"}},
    {PVX_NODE_FLOAT,
     PVX_ACCESS_RW,
     {"AcquisitionFrameRate", "AcquisitionFrameInterval", "Gamma", "TriggerDelay", "TimerDuration",
      "TimerDelay", "ExposureTime"}},
    {PVX_NODE_COMMAND, PVX_ACCESS_WO, {"TriggerSoftware"}},
};

// Catches a catalogue node missing from the standard map, or one of the wrong kind.
TEST_F(NodeTest, StandardMapCarriesTheCatalogueWithRealisticTypes) {
    Init();
    const PvxHandle camera = Open();
    for (const StandardNodes& expected : kCatalogueNodes) {
        for (const char* name : expected.names) {
            SCOPED_TRACE(name);
            const PvxHandle node = Node(camera, name);
            EXPECT_EQ(Got(pvxGetNodeType, camera, node), expected.type);
            EXPECT_EQ(Got(pvxGetNodeAccess, camera, node), expected.access);
            char description[256];
            uint32_t size = sizeof description;
            ASSERT_EQ(pvxGetNodeDescription(camera, node, description, &size), PVX_OK);
            EXPECT_GT(size, 10u) << "a description of a few words";
        }
    }
    PvxHandle node = 0;
    for (const char* absent : {"DeviceVenderName", "AdapterVersion", "Gamma_Min"})
        EXPECT_EQ(pvxGetNode(camera, absent, &node), PVX_ERR_NOT_FOUND) << absent;
}

// Catches identification nodes that do not show the description's texts, and text
// reads that overflow a small buffer or truncate silently.
TEST_F(NodeTest, IdentificationNodesShowTheDescription) {
    const PvxHandle camera = OpenWith({{"vendor", "Acme"},
                                       {"model", "X-1"},
                                       {"description", "Test rig"},
                                       {"serial", "SN42"},
                                       {"sensorWidth", 320},
                                       {"sensorHeight", 200}});
    EXPECT_EQ(Text(camera, "DeviceVendorName"), "Acme");
    EXPECT_EQ(Text(camera, "DeviceModelName"), "X-1");
    EXPECT_EQ(Text(camera, "DeviceManufacturerInfo"), "Test rig");
    EXPECT_EQ(Text(camera, "DeviceID"), "SN42");
    EXPECT_EQ(Int(camera, "SensorWidth"), 320);
    EXPECT_EQ(Int(camera, "SensorHeight"), 200);
    char text[5] = "zzzz";
    EXPECT_EQ(pvxGetStringValue(camera, Node(camera, "DeviceVendorName"), text, 4, false, false),
              PVX_ERR_BUFFER_TOO_SMALL);
    EXPECT_STREQ(text, "zzzz");
    ASSERT_EQ(pvxGetStringValue(camera, Node(camera, "DeviceVendorName"), text, 5, false, false), PVX_OK);
    EXPECT_STREQ(text, "Acme");
    ASSERT_EQ(pvxSetStringValue(camera, Node(camera, "DeviceUserID"), "bench 3", true), PVX_OK);
    EXPECT_EQ(Text(camera, "DeviceUserID"), "bench 3");
}

// Catches a PixelFormat write that changes the node but not the camera's format,
// frame size and derived nodes.
TEST_F(NodeTest, PixelFormatWriteChangesFormatAndFrameSize) {
    const PvxHandle camera = OpenWith({{"sensorWidth", 64},
                                       {"sensorHeight", 32},
                                       {"pixelFormats", {"Mono8", "Mono12", "RGB8", "BayerGB8"}}});
    const PvxHandle format = Node(camera, "PixelFormat");
    EXPECT_EQ(Got(pvxGetEnumEntryCount, camera, format), 4u);

    const struct {
        const char* name;
        uint32_t code;
        uint32_t bytesPerPixel;
        const char* coding;
    } formats[] = {{"Mono12", PVX_PIXEL_MONO12, 2, "Mono"},
                   {"RGB8", PVX_PIXEL_RGB8, 3, "RGBPacked"},
                   {"BayerGB8", PVX_PIXEL_BAYER_GB8, 1, "Raw"}};
    for (const auto& expected : formats) {
        SCOPED_TRACE(expected.name);
        ASSERT_EQ(pvxSetEnumValueText(camera, format, expected.name, true), PVX_OK) << LastErrorText();
        EXPECT_EQ(Got(pvxGetPixelFormat, camera), expected.code);
        EXPECT_EQ(Got(pvxGetFrameByteSize, camera), 64u * 32u * expected.bytesPerPixel);
        EXPECT_EQ(Got(pvxGetImageProperty, camera), 8 * expected.bytesPerPixel);
        EXPECT_EQ(Int(camera, "PayloadSize"), 64 * 32 * expected.bytesPerPixel);
        EXPECT_EQ(EnumText(camera, "PixelFormat"), expected.name);
        EXPECT_EQ(EnumText(camera, "PixelCoding"), expected.coding);
        EXPECT_EQ(EnumText(camera, "PixelSize"), "Bpp" + std::to_string(8 * expected.bytesPerPixel));
    }
    EXPECT_EQ(pvxSetEnumValueText(camera, format, "Mono16", true), PVX_ERR_GENICAM); // not offered
}

// Catches ROI, exposure, rate and pattern nodes that do not act on the camera.
TEST_F(NodeTest, WritesActOnTheCameraState) {
    const PvxHandle camera = OpenWith({{"sensorWidth", 640}, {"sensorHeight", 480}});
    ASSERT_EQ(pvxSetIntValue(camera, Node(camera, "Width"), 320, true), PVX_OK);
    ASSERT_EQ(pvxSetIntValue(camera, Node(camera, "OffsetX"), 80, true), PVX_OK);
    EXPECT_EQ(Got(pvxGetWidth, camera), 320u);
    EXPECT_EQ(Got(pvxGetOffsetX, camera), 80u);
    EXPECT_EQ(pvxSetIntValue(camera, Node(camera, "Width"), 321, true), PVX_ERR_GENICAM); // off the grid
    EXPECT_EQ(pvxSetIntValue(camera, Node(camera, "OffsetX"), 400, true),
              PVX_ERR_GENICAM); // beyond the sensor
    ASSERT_EQ(pvxSetRoi(camera, 64, 32, 16, 8), PVX_OK);
    EXPECT_EQ(Int(camera, "Height"), 32);
    EXPECT_EQ(Int(camera, "OffsetY"), 8);

    ASSERT_EQ(pvxSetFloatValue(camera, Node(camera, "ExposureTime"), 2500.0, true), PVX_OK);
    EXPECT_EQ(Got(pvxGetExposureTime, camera), 2500.0);

    ASSERT_EQ(pvxSetFloatValue(camera, Node(camera, "AcquisitionFrameInterval"), 4000.0, true), PVX_OK);
    EXPECT_DOUBLE_EQ(Float(camera, "AcquisitionFrameRate"), 250.0);

    ASSERT_EQ(pvxSetTriggerMode(camera, true), PVX_OK);
    EXPECT_EQ(EnumText(camera, "TriggerMode"), "On");

    for (std::string_view pattern : sim::kTestPatternNames) {
        ASSERT_EQ(
            pvxSetEnumValueText(camera, Node(camera, "TestPattern"), std::string(pattern).c_str(), true),
            PVX_OK);
        EXPECT_EQ(EnumText(camera, "TestPattern"), pattern);
    }
}

// Catches an out-of-range float write that is accepted, that answers other than 258,
// or whose text asks for the wrong direction (the adapter nudges by the word).
TEST_F(NodeTest, FloatOutsideLimitsGives258WithTheDirection) {
    const PvxHandle camera = OpenWith({{"exposure", {{"min", 100}, {"max", 2000}, {"value", 500}}}});
    const PvxHandle node = Node(camera, "ExposureTime");
    const struct {
        double value;
        const char *word, *absent;
    } refusals[] = {{99.9999, "greater", "smaller"}, {2000.0001, "smaller", "greater"}};
    for (const auto& refusal : refusals) {
        EXPECT_EQ(pvxSetFloatValue(camera, node, refusal.value, true), PVX_ERR_GENICAM);
        const std::string text = LastErrorText();
        EXPECT_NE(text.find(refusal.word), std::string::npos) << text;
        EXPECT_EQ(text.find(refusal.absent), std::string::npos) << text;
    }
    EXPECT_EQ(Float(camera, "ExposureTime"), 500.0);
    EXPECT_EQ(Got(pvxGetFloatMin, camera, node), 100.0);
    EXPECT_EQ(Got(pvxGetFloatMax, camera, node), 2000.0);
    EXPECT_EQ(pvxSetFloatValue(camera, node, 2000.0, true), PVX_OK);
}

// Catches described nodes whose type, access, limits, precision or value are lost.
TEST_F(NodeTest, DescribedNodesKeepWhatTheDescriptionSays) {
    const PvxHandle camera = OpenWith(
        {{"nodes",
          {{{"name", "DeviceVenderName"}, {"type", "String"}, {"access", "RO"}, {"value", "Acme"}},
           {{"name", "Gamma"}, {"type", "Float"}, {"min", 0.5}, {"max", 3}, {"value", 2.5}, {"precision", 2}},
           {{"name", "Level"}, {"type", "Float"}, {"description", "A level."}},
           {{"name", "Flag"}, {"type", "Boolean"}, {"value", true}},
           {{"name", "Count"}, {"type", "Integer"}, {"min", -5}, {"max", 5}, {"access", "WO"}},
           {{"name", "Secret"}, {"type", "Integer"}, {"access", "NI"}},
           {{"name", "Gone"}, {"type", "Integer"}, {"access", "NA"}},
           {{"name", "Regs"}, {"type", "Register"}}}}});
    EXPECT_EQ(Text(camera, "DeviceVenderName"), "Acme");
    EXPECT_EQ(Float(camera, "Gamma"), 2.5);
    EXPECT_EQ(Got(pvxGetFloatPrecision, camera, Node(camera, "Gamma")), 2);
    EXPECT_EQ(Got(pvxGetFloatPrecision, camera, Node(camera, "Level")), sim::kDefaultFloatPrecision);
    EXPECT_TRUE(Read(pvxGetBoolValue, camera, "Flag"));
    EXPECT_EQ(Got(pvxGetNodeType, camera, Node(camera, "Regs")), static_cast<uint32_t>(PVX_NODE_REGISTER));

    int64_t value = 0;
    const PvxHandle count = Node(camera, "Count");
    EXPECT_EQ(pvxGetIntValue(camera, count, &value, false, false), PVX_ERR_NOT_READABLE);
    EXPECT_EQ(pvxSetIntValue(camera, count, 6, true), PVX_ERR_GENICAM);
    EXPECT_EQ(pvxSetIntValue(camera, count, 4, true), PVX_OK);
    // NI counts as absent to the adapter, but the name still resolves.
    EXPECT_EQ(Got(pvxGetNodeAccess, camera, Node(camera, "Secret")), static_cast<uint32_t>(PVX_ACCESS_NI));
    EXPECT_EQ(pvxGetIntValue(camera, Node(camera, "Secret"), &value, false, false), PVX_ERR_NOT_AVAILABLE);
    EXPECT_EQ(pvxGetIntValue(camera, Node(camera, "Gone"), &value, false, false), PVX_ERR_NOT_AVAILABLE);
    EXPECT_EQ(pvxGetIntValue(camera, Node(camera, "Gamma"), &value, false, false), PVX_ERR_GENICAM);
}

// Catches a remove flag that leaves the node, or a replacement that loses the camera link.
TEST_F(NodeTest, RemoveDropsAStandardNodeAndReplacementsStayLinked) {
    const PvxHandle camera = OpenWith({{"exposure", {{"min", 10}, {"max", 100000}, {"value", 40}}},
                                       {"nodes",
                                        {{{"name", "Gamma"}, {"remove", true}},
                                         {{"name", "ExposureTime"},
                                          {"type", "Float"},
                                          {"access", "RO"},
                                          {"min", 10},
                                          {"max", 9000},
                                          {"value", 5000}}}}});
    PvxHandle node = 0;
    EXPECT_EQ(pvxGetNode(camera, "Gamma", &node), PVX_ERR_NOT_FOUND);
    EXPECT_EQ(Got(pvxGetExposureTime, camera), 5000.0);
    EXPECT_EQ(pvxSetFloatValue(camera, Node(camera, "ExposureTime"), 6000.0, true), PVX_ERR_NOT_WRITABLE);
    ASSERT_EQ(pvxSetExposureTime(camera, 7000.0), PVX_OK);
    EXPECT_EQ(Float(camera, "ExposureTime"), 7000.0);
}

// Catches a map that ignores standardNodes false.
TEST_F(NodeTest, WithoutStandardNodesOnlyDescribedNodesExist) {
    const PvxHandle camera =
        OpenWith({{"standardNodes", false},
                  {"nodes", json::array({{{"name", "Only"}, {"type", "Integer"}, {"value", 3}}})}});
    PvxHandle node = 0;
    EXPECT_EQ(pvxGetNode(camera, "PixelFormat", &node), PVX_ERR_NOT_FOUND);
    EXPECT_EQ(Int(camera, "Only"), 3);
}

// Catches entry access modes that are not reported, and unavailable entries that can be
// set; and a description refused because a standard node (TestPattern) was given values
// the camera has no state for: such a node keeps them as a plain node.
TEST_F(NodeTest, EnumerationEntriesHaveTheirOwnAccess) {
    const json described =
        json::array({{{"name", "A"}, {"access", "RW"}}, {{"name", "B"}, {"access", "NA"}}, "C"});
    const json mode = {{"name", "Mode"}, {"type", "Enumeration"}, {"entries", described}};
    const json pattern = {
        {"name", "TestPattern"}, {"type", "Enumeration"}, {"value", "A"}, {"entries", described}};
    const PvxHandle camera = OpenWith({{"nodes", json::array({mode, pattern})}});
    EXPECT_EQ(EnumText(camera, "TestPattern"), "A");
    EXPECT_EQ(pvxSetEnumValueText(camera, Node(camera, "TestPattern"), "B", true), PVX_ERR_GENICAM);
    const PvxHandle modeNode = Node(camera, "Mode");
    const struct {
        const char* name;
        uint32_t access;
    } entries[] = {{"A", PVX_ACCESS_RW}, {"B", PVX_ACCESS_NA}, {"C", PVX_ACCESS_RO}};
    for (uint32_t i = 0; i < 3; ++i) {
        const PvxHandle entry = Got(pvxGetEnumEntry, camera, modeNode, i);
        char name[16];
        uint32_t size = sizeof name;
        ASSERT_EQ(pvxGetEnumEntryName(camera, entry, name, &size), PVX_OK);
        EXPECT_STREQ(name, entries[i].name);
        EXPECT_EQ(size, 2u);
        EXPECT_EQ(Got(pvxGetNodeAccess, camera, entry), entries[i].access);
    }
    PvxHandle entry = 0;
    EXPECT_EQ(pvxGetEnumEntry(camera, modeNode, 3, &entry), PVX_ERR_INVALID_PARAMETER);
    EXPECT_EQ(EnumText(camera, "Mode"), "A");
    EXPECT_EQ(pvxSetEnumValueText(camera, modeNode, "B", true), PVX_ERR_GENICAM);
    EXPECT_EQ(pvxSetEnumValueText(camera, modeNode, "D", true), PVX_ERR_GENICAM);
    ASSERT_EQ(pvxSetEnumValueText(camera, modeNode, "C", true), PVX_OK);
    EXPECT_EQ(EnumText(camera, "Mode"), "C");
}

// Catches commands that complete too early, too late or never reset.
TEST_F(NodeTest, CommandsCompleteOnTheDescribedPoll) {
    const PvxHandle camera = OpenWith({{"nodes",
                                        {{{"name", "Slow"}, {"type", "Command"}, {"doneAfterPolls", 3}},
                                         {{"name", "Never"}, {"type", "Command"}, {"doneAfterPolls", 0}}}}});
    const PvxHandle slow = Node(camera, "Slow");
    bool done = false;
    ASSERT_EQ(pvxIsCommandDone(camera, slow, &done, false), PVX_OK);
    EXPECT_TRUE(done) << "an idle command is done";
    ASSERT_EQ(pvxExecuteCommand(camera, slow, true), PVX_OK);
    for (const bool expected : {false, false, true, true}) {
        ASSERT_EQ(pvxIsCommandDone(camera, slow, &done, false), PVX_OK);
        EXPECT_EQ(done, expected);
    }
    const PvxHandle never = Node(camera, "Never");
    ASSERT_EQ(pvxExecuteCommand(camera, never, true), PVX_OK);
    for (int poll = 0; poll < 20; ++poll) {
        ASSERT_EQ(pvxIsCommandDone(camera, never, &done, false), PVX_OK);
        EXPECT_FALSE(done);
    }
}

// Catches selected features sharing one value instead of one per selector entry, and
// a line status that does not follow modes, outputs and inverters.
TEST_F(NodeTest, SelectedNodesAndLineStatusFollowTheirInputs) {
    Init();
    const PvxHandle camera = Open();
    const PvxHandle selector = Node(camera, "LineSelector");
    const PvxHandle source = Node(camera, "LineSource");
    ASSERT_EQ(pvxSetEnumValueText(camera, selector, "Line2", true), PVX_OK);
    ASSERT_EQ(pvxSetEnumValueText(camera, source, "UserOutput1", true), PVX_OK);
    ASSERT_EQ(pvxSetEnumValueText(camera, selector, "Line3", true), PVX_OK);
    EXPECT_EQ(EnumText(camera, "LineSource"), "Off");
    ASSERT_EQ(pvxSetEnumValueText(camera, selector, "Line2", true), PVX_OK);
    EXPECT_EQ(EnumText(camera, "LineSource"), "UserOutput1");

    ASSERT_EQ(pvxSetIntValue(camera, Node(camera, "LineModeAll"), 0b1100, true), PVX_OK);
    ASSERT_EQ(pvxSetIntValue(camera, Node(camera, "UserOutputValueAll"), 0b0110, true), PVX_OK);
    ASSERT_EQ(pvxSetIntValue(camera, Node(camera, "LineInverterAll"), 0b0001, true), PVX_OK);
    EXPECT_EQ(Int(camera, "LineStatusAll"), 0b0101);
}

// Catches size and format that can change under an open stream's buffers.
TEST_F(NodeTest, SizeAndFormatAreLockedWhileAStreamIsOpen) {
    const PvxHandle camera =
        OpenWith({{"sensorWidth", 64}, {"sensorHeight", 32}, {"pixelFormats", {"Mono8", "Mono16"}}});
    const PvxHandle stream = OpenStream(camera, 2);
    EXPECT_EQ(Got(pvxGetNodeAccess, camera, Node(camera, "Width")), static_cast<uint32_t>(PVX_ACCESS_RO));
    EXPECT_EQ(pvxSetEnumValueText(camera, Node(camera, "PixelFormat"), "Mono16", true), PVX_ERR_NOT_WRITABLE);
    EXPECT_EQ(pvxSetRoi(camera, 32, 32, 0, 0), PVX_ERR_NOT_WRITABLE);
    EXPECT_EQ(pvxSetRoi(camera, 64, 32, 0, 0), PVX_OK) << "the same size stays accepted";
    ASSERT_EQ(pvxCloseStream(stream), PVX_OK);
    EXPECT_EQ(Got(pvxGetNodeAccess, camera, Node(camera, "Width")), static_cast<uint32_t>(PVX_ACCESS_RW));
    EXPECT_EQ(pvxSetEnumValueText(camera, Node(camera, "PixelFormat"), "Mono16", true), PVX_OK);
}

} // namespace
} // namespace simtest
