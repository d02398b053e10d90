// A host that passes the worst it can: records, texts and image buffers that end at
// a guard page, texts that fill their buffer without a terminating zero, channel
// identifiers and indices far out of range, no error-text buffer at all.
#include "tests/hardening/take_images.h"
#include "tests/support/case_name.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

#include <climits>
#include <cstring>
#include <new>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace aiktest {
namespace {

constexpr std::size_t kText = 256;

// A host buffer that ends where a page the process may not touch begins: a byte
// written or read past the end is a crash, not a silent corruption.
class GuardedBuffer {
public:
    // size bytes, the last one just before the guard page, filled with fill.
    explicit GuardedBuffer(std::size_t size, uint8_t fill = 0) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        m_mappingBytes = ((size + page - 1) / page + 1) * page;
        m_mapping = mmap(nullptr, m_mappingBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m_mapping == MAP_FAILED)
            throw std::bad_alloc();
        auto* const guard = static_cast<uint8_t*>(m_mapping) + m_mappingBytes - page;
        mprotect(guard, page, PROT_NONE);
        m_data = guard - size;
        std::memset(m_data, fill, size);
    }
    ~GuardedBuffer() { munmap(m_mapping, m_mappingBytes); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    uint8_t* data() const { return m_data; }
    char* text() const { return reinterpret_cast<char*>(m_data); }

private:
    void* m_mapping = nullptr;
    std::size_t m_mappingBytes = 0;
    uint8_t* m_data = nullptr;
};

class BadInputTest : public ModuleFixture {
protected:
    // GetVideoChannel(0) into a record that ends at a guard page.
    VideoChannelRecord* openInto(GuardedBuffer& memory, int32_t recordLevel) {
        auto* record = reinterpret_cast<VideoChannelRecord*>(memory.data());
        record->recordLevel = recordLevel;
        char errText[kText] = {};
        EXPECT_EQ(callGetVideoChannel(errText, 0, record), 0) << errText;
        return record;
    }

    void useCamera(const std::string& pixelFormat) {
        nlohmann::json camera = cameraJson("Quorvex", "QX-BAD", "bad input", 64, 32, pixelFormat);
        camera["frameRate"] = 500;
        camera["pixelFormats"] = {pixelFormat};
        camera["nodes"] = {{{"name", "Label"}, {"type", "String"}, {"value", "x"}}};
        useCameras({camera});
    }
};

// Catches a write past a base record of exactly the size its level announces (the
// extended one ends at a guard page in every other test here).
TEST_F(BadInputTest, RecordsOfExactlyTheirSize) {
    useCamera("Mono8");
    GuardedBuffer base(AIK_BASE_RECORD_BYTES);
    EXPECT_STREQ(openInto(base, AIK_RECORD_LEVEL_EXTENDED)->name, "Quorvex QX-BAD(AIK)");
}

// Catches a slot that crashes, answers a code it does not document, or reads or
// writes past a host buffer for out-of-range indices, texts at and past their 255
// characters, and a missing error-text buffer.
TEST_F(BadInputTest, EverySlotAnswersWithinItsBuffers) {
    useCamera("Mono8");
    GuardedBuffer memory(AIK_EXTENDED_RECORD_BYTES);
    const VideoChannelRecord& r = *openInto(memory, AIK_EXTENDED_RECORD_BYTES);

    // Texts: 255 characters, 256, and 256 bytes with no terminating zero at all.
    GuardedBuffer longest(kText, 'A'), tooLong(kText + 1, 'A'), unterminated(kText, 'A');
    longest.text()[kText - 1] = '\0';
    tooLong.text()[kText] = '\0';
    // And names whose calls fail: a write-only command read, a read-only node, a
    // companion and the adapter's own feature written.
    const char* texts[] = {longest.text(), tooLong.text(),    unterminated.text(), "Label",
                           "Gamma_Max",    "TriggerSoftware", "DeviceVendorName",  "AdapterVersion"};
    GuardedBuffer errText(kText), value(kText);
    const auto fine = [](int32_t rc) { return rc == 0 || rc == 1; };
    for (const char* text : texts) {
        for (char* err : {errText.text(), static_cast<char*>(nullptr)}) {
            int32_t type = 0;
            EXPECT_TRUE(fine(r.ExecuteCommand(err, 0, text)));
            EXPECT_TRUE(fine(r.ReadValue(err, 0, text, value.text())));
            EXPECT_TRUE(fine(r.WriteValue(err, 0, "Label", text)));
            EXPECT_TRUE(fine(r.WriteValue(err, 0, text, text)));
            EXPECT_TRUE(fine(r.GetFeatureType(err, 0, text, &type)));
            for (const int32_t index : {-1, 0, 1, INT32_MAX, INT32_MIN}) {
                EXPECT_TRUE(fine(r.GetValidEnum(err, 0, text, index, value.text())));
                EXPECT_TRUE(fine(r.GetFeatureAttr(err, 0, text, index, value.text())));
                EXPECT_TRUE(fine(r.GetFeatureName(err, 0, index, value.text())));
            }
        }
    }
    EXPECT_EQ(r.WriteValue(errText.text(), 0, "Label", unterminated.text()), 0);
    EXPECT_EQ(r.ReadValue(errText.text(), 0, "Label", value.text()), 0);
    EXPECT_EQ(std::strlen(value.text()), kText - 1); // the longest text that fits

    EXPECT_EQ(r.ReleaseVideoChannel(nullptr, INT64_MIN), 0);
}

struct ImageCase {
    const char* name;          // the pixel format
    std::size_t bytesPerPixel; // in the host's buffer
};

class ImageBufferTest : public BadInputTest, public ::testing::WithParamInterface<ImageCase> {};

// Catches a copy or plane conversion that writes a byte past a buffer of exactly the
// image's size.
TEST_P(ImageBufferTest, ImagesFillExactlyTheirBuffer) {
    useCamera(GetParam().name);
    GuardedBuffer memory(AIK_EXTENDED_RECORD_BYTES);
    const aikhost::Channel channel(*openInto(memory, AIK_EXTENDED_RECORD_BYTES));
    ASSERT_EQ(channel.setupCommonParams(continuousParams(64, 32)).rc, 0);
    ASSERT_EQ(channel.startAcquisition().rc, 0);
    GuardedBuffer image(64 * 32 * GetParam().bytesPerPixel);
    EXPECT_EQ(takeImages(channel, 5, 500, image.data()), 5);
    EXPECT_EQ(channel.stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageBufferTest,
                         ::testing::Values(ImageCase{"Mono8", 1}, ImageCase{"Mono12", 2},
                                           ImageCase{"BayerRG8", 3}, ImageCase{"RGB8", 3}),
                         CaseName());

} // namespace
} // namespace aiktest
