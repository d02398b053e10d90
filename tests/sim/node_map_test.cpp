// The node map: the standard nodes, nodes edited by the description, access modes,
// limits and the link between nodes and the camera's state.
#include "tests/sim/sim_fixture.h"

#include "sim/defaults.h"
#include "sim/pattern.h"

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

// Catches a catalogue node missing from the standard map or of the wrong kind,
// identification nodes that do not show the description's texts, and text reads that
// overflow a small buffer or truncate silently.
TEST_F(NodeTest, StandardMapCarriesTheCatalogueAndTheDescribedIdentity) {
    const PvxHandle camera = OpenWith({{"vendor", "Acme"},
                                       {"model", "X-1"},
                                       {"description", "Test rig"},
                                       {"serial", "SN42"},
                                       {"sensorWidth", 320},
                                       {"sensorHeight", 200}});
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
        EXPECT_EQ(EnumText(camera, "PixelCoding"), expected.coding);
        EXPECT_EQ(EnumText(camera, "PixelSize"), "Bpp" + std::to_string(8 * expected.bytesPerPixel));
    }
    EXPECT_EQ(pvxSetEnumValueText(camera, format, "Mono16", true), PVX_ERR_GENICAM); // not offered
}

// Catches ROI, exposure, rate and pattern nodes that do not act on the camera, and an
// out-of-range float write answered other than 258 with the direction the adapter nudges by.
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
    EXPECT_EQ(pvxSetFloatValue(camera, Node(camera, "ExposureTime"), 1e12, true), PVX_ERR_GENICAM);
    EXPECT_NE(LastErrorText().find("smaller"), std::string::npos) << LastErrorText();

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

// Catches described access modes and limits the library itself does not enforce
// (the adapter checks access first), a default precision other than the documented
// one, a read of the wrong type, a plain entry name not read-only, entry indices and
// unavailable or unknown entries taken unchecked, and a description refused because a
// standard node (TestPattern) was given values the camera has no state for: such a
// node keeps them as a plain node. Described values, types, precisions and entries as
// the host reads them: tests/features (ReadValueTest, InspectionTest).
TEST_F(NodeTest, DescribedNodesKeepWhatTheDescriptionSays) {
    const json entries =
        json::array({{{"name", "A"}, {"access", "RW"}}, {{"name", "B"}, {"access", "NA"}}, "C"});
    const PvxHandle camera = OpenWith(
        {{"nodes",
          {{{"name", "Level"}, {"type", "Float"}, {"description", "A level."}},
           {{"name", "Count"}, {"type", "Integer"}, {"min", -5}, {"max", 5}, {"access", "WO"}},
           {{"name", "Secret"}, {"type", "Integer"}, {"access", "NI"}},
           {{"name", "Gone"}, {"type", "Integer"}, {"access", "NA"}},
           {{"name", "Mode"}, {"type", "Enumeration"}, {"entries", entries}},
           {{"name", "TestPattern"}, {"type", "Enumeration"}, {"value", "A"}, {"entries", entries}}}}});
    EXPECT_EQ(Got(pvxGetFloatPrecision, camera, Node(camera, "Level")), sim::kDefaultFloatPrecision);
    int64_t value = 0;
    const PvxHandle count = Node(camera, "Count");
    EXPECT_EQ(pvxGetIntValue(camera, count, &value, false, false), PVX_ERR_NOT_READABLE);
    EXPECT_EQ(pvxSetIntValue(camera, count, 6, true), PVX_ERR_GENICAM);
    EXPECT_EQ(pvxSetIntValue(camera, count, 4, true), PVX_OK);
    // NI counts as absent to the adapter, but the name still resolves.
    EXPECT_EQ(Got(pvxGetNodeAccess, camera, Node(camera, "Secret")), static_cast<uint32_t>(PVX_ACCESS_NI));
    EXPECT_EQ(pvxGetIntValue(camera, Node(camera, "Secret"), &value, false, false), PVX_ERR_NOT_AVAILABLE);
    EXPECT_EQ(pvxGetIntValue(camera, Node(camera, "Gone"), &value, false, false), PVX_ERR_NOT_AVAILABLE);
    EXPECT_EQ(pvxGetIntValue(camera, Node(camera, "Level"), &value, false, false), PVX_ERR_GENICAM);

    EXPECT_EQ(EnumText(camera, "TestPattern"), "A");
    EXPECT_EQ(pvxSetEnumValueText(camera, Node(camera, "TestPattern"), "B", true), PVX_ERR_GENICAM);
    const PvxHandle mode = Node(camera, "Mode");
    EXPECT_EQ(Got(pvxGetNodeAccess, camera, Got(pvxGetEnumEntry, camera, mode, 2u)),
              static_cast<uint32_t>(PVX_ACCESS_RO));
    PvxHandle entry = 0;
    EXPECT_EQ(pvxGetEnumEntry(camera, mode, 3, &entry), PVX_ERR_INVALID_PARAMETER);
    EXPECT_EQ(EnumText(camera, "Mode"), "A");
    EXPECT_EQ(pvxSetEnumValueText(camera, mode, "B", true), PVX_ERR_GENICAM);
    EXPECT_EQ(pvxSetEnumValueText(camera, mode, "D", true), PVX_ERR_GENICAM);
    ASSERT_EQ(pvxSetEnumValueText(camera, mode, "C", true), PVX_OK);
    EXPECT_EQ(EnumText(camera, "Mode"), "C");
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

// Catches size and format that can change under an open stream's buffers, and a
// stream opened after a PixelFormat write that still has the old format or size.
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
    const PvxImageRecord record = NextImage(StartStream(camera, 2));
    EXPECT_EQ(m_frameBytes, 64u * 32u * 2u);
    EXPECT_EQ(record.uiPixelFormat, static_cast<uint32_t>(PVX_PIXEL_MONO16));
}

} // namespace
} // namespace simtest
