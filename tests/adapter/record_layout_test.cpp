// The VideoChannelRecord as raw bytes: every field at its documented offset, and the
// extended slots written only when recordLevel announces them.
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace aiktest {
namespace {

constexpr unsigned char kPattern = 0x5C;
// The nine base slots, then the five extended ones.
constexpr std::size_t kSlotOffsets[] = {16, 24, 32, 40, 48, 56, 64, 72, 80, 640, 648, 656, 664, 672};
constexpr std::size_t kFirstExtendedSlot = 9;

// A record as a host allocates it: plain bytes, filled with a pattern so untouched
// bytes can be told from written ones.
struct RawRecord {
    alignas(8) unsigned char bytes[AIK_EXTENDED_RECORD_BYTES];

    explicit RawRecord(int32_t recordLevel) {
        std::memset(bytes, kPattern, sizeof bytes);
        std::memcpy(bytes, &recordLevel, sizeof recordLevel);
    }
    VideoChannelRecord* record() { return reinterpret_cast<VideoChannelRecord*>(bytes); }
    template <typename T> T at(std::size_t offset) const {
        T value;
        std::memcpy(&value, bytes + offset, sizeof value);
        return value;
    }
    std::string textAt(std::size_t offset) const {
        const char* text = reinterpret_cast<const char*>(bytes + offset);
        return std::string(text, strnlen(text, 256));
    }
    bool untouched(std::size_t from, std::size_t to) const {
        return std::all_of(bytes + from, bytes + to, [](unsigned char byte) { return byte == kPattern; });
    }
    // A pointer the module wrote: neither null nor the pattern.
    bool slotWritten(std::size_t offset) const {
        return at<uintptr_t>(offset) != 0 && !untouched(offset, offset + 8);
    }
};

class RecordLayoutTest : public ModuleFixture {
protected:
    void SetUp() override {
        ModuleFixture::SetUp();
        nlohmann::json camera = cameraJson("Layoutvendor", "LX-1", "Layout test camera", 1280, 1024);
        camera["exposure"] = rangeJson(20, 1000000, 5000);
        camera["contrast"] = rangeJson(0, 100, 25);
        camera["brightness"] = rangeJson(0, 200, 150);
        useCameras({cameraJson("First", "F-0", ""), camera});
        fetch(0, AIK_EXTENDED_RECORD_BYTES);
    }
    // GetVideoChannel(deviceNum) into a raw record of recordLevel; the call must succeed.
    RawRecord fetch(uint32_t deviceNum, int32_t recordLevel) {
        RawRecord raw(recordLevel);
        char errText[256] = {};
        EXPECT_EQ(callGetVideoChannel(errText, deviceNum, raw.record()), 0) << errText;
        return raw;
    }
};

// Catches a field written at a shifted offset, a channelID written as 32 bits, or
// host-owned bytes (recordLevel, the reserved word) overwritten; and a wrong name
// format, a description taken from another text (or made up when empty), exposure or
// minExposure left in microseconds, or sensor sizes swapped.
TEST_F(RecordLayoutTest, FieldsLieAtTheirDocumentedOffsets) {
    const RawRecord raw = fetch(1, AIK_EXTENDED_RECORD_BYTES);
    EXPECT_EQ(raw.at<int32_t>(0), AIK_EXTENDED_RECORD_BYTES);
    EXPECT_TRUE(raw.untouched(4, 8));
    EXPECT_EQ(raw.at<int64_t>(8), 1);
    EXPECT_EQ(raw.textAt(88), "Layoutvendor LX-1(AIK)");
    EXPECT_EQ(raw.textAt(344), "Layout test camera");
    EXPECT_DOUBLE_EQ(raw.at<double>(600), 0.005);
    EXPECT_DOUBLE_EQ(raw.at<double>(608), 0.25);
    EXPECT_DOUBLE_EQ(raw.at<double>(616), 0.75);
    EXPECT_EQ(raw.at<uint32_t>(624), 1280u);
    EXPECT_EQ(raw.at<uint32_t>(628), 1024u);
    EXPECT_DOUBLE_EQ(raw.at<double>(632), 0.00002);
    EXPECT_EQ(fetch(0, AIK_EXTENDED_RECORD_BYTES).textAt(344), "");
}

// Catches a slot left unset or two slots pointing at the same function.
TEST_F(RecordLayoutTest, AllFourteenSlotsAreDistinctFunctions) {
    const RawRecord raw = fetch(0, AIK_EXTENDED_RECORD_BYTES);
    std::set<uintptr_t> slots;
    for (std::size_t offset : kSlotOffsets) {
        EXPECT_TRUE(raw.slotWritten(offset)) << "slot at " << offset;
        slots.insert(raw.at<uintptr_t>(offset));
    }
    EXPECT_EQ(slots.size(), 14u);
}

// Catches the extended slots written into a 640-byte record (recordLevel 608 is not
// "greater than 608"), which would overrun a host that allocated only the base record,
// or a threshold of 680 (or >= 610) instead of "greater than 608".
TEST_F(RecordLayoutTest, ExtendedSlotsOnlyAboveRecordLevel608) {
    const RawRecord base = fetch(0, AIK_RECORD_LEVEL_EXTENDED);
    EXPECT_TRUE(base.untouched(AIK_BASE_RECORD_BYTES, AIK_EXTENDED_RECORD_BYTES));
    EXPECT_TRUE(base.slotWritten(80));
    const RawRecord extended = fetch(0, AIK_RECORD_LEVEL_EXTENDED + 1);
    for (std::size_t slot = kFirstExtendedSlot; slot < std::size(kSlotOffsets); ++slot)
        EXPECT_TRUE(extended.slotWritten(kSlotOffsets[slot])) << "slot at " << kSlotOffsets[slot];
}

} // namespace
} // namespace aiktest
