// A host that passes the worst it can: records, texts and image buffers that end at
// a guard page, texts that fill their buffer without a terminating zero, channel
// identifiers and indices far out of range, no error-text buffer at all.
#include "tests/hardening/guarded_page.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

#include <chrono>
#include <climits>
#include <cstring>
#include <string>

namespace aiktest {
namespace {

constexpr std::size_t kText = 256;

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

// Catches a write past a record of exactly the size its level announces.
TEST_F(BadInputTest, RecordsOfExactlyTheirSize) {
    useCamera("Mono8");
    GuardedBuffer base(AIK_BASE_RECORD_BYTES);
    EXPECT_STREQ(openInto(base, AIK_RECORD_LEVEL_EXTENDED)->name, "Quorvex QX-BAD(AIK)");
    GuardedBuffer extended(AIK_EXTENDED_RECORD_BYTES);
    EXPECT_NE(openInto(extended, AIK_EXTENDED_RECORD_BYTES)->ReleaseVideoChannel, nullptr);
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
    const char* texts[] = {longest.text(), tooLong.text(), unterminated.text(), "Label", "Gamma_Max"};
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
    const char* format;
    std::size_t bytesPerPixel; // in the host's buffer
};

class ImageBufferTest : public BadInputTest, public ::testing::WithParamInterface<ImageCase> {};

// Catches a copy or plane conversion that writes a byte past a buffer of exactly the
// image's size.
TEST_P(ImageBufferTest, ImagesFillExactlyTheirBuffer) {
    useCamera(GetParam().format);
    GuardedBuffer memory(AIK_EXTENDED_RECORD_BYTES);
    const VideoChannelRecord& r = *openInto(memory, AIK_EXTENDED_RECORD_BYTES);
    const CommonParamsRecord params = continuousParams(64, 32);
    char err[kText] = {};
    ASSERT_EQ(r.SetupCommonParams(err, 0, &params), 0) << err;
    ASSERT_EQ(r.StartAcquisition(err, 0), 0) << err;
    GuardedBuffer image(64 * 32 * GetParam().bytesPerPixel);
    int delivered = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    uint32_t acqResult = 0;
    while (delivered < 5 && std::chrono::steady_clock::now() < deadline) {
        if (r.WaitForIntegration(err, 0, &acqResult) == 0 && acqResult == AIK_ACQ_DONE &&
            r.GetImage(err, 0, image.data(), &acqResult) == 0 && acqResult == AIK_ACQ_DONE)
            ++delivered;
    }
    EXPECT_EQ(delivered, 5);
    EXPECT_EQ(r.StopAcquisition(err, 0), 0) << err;
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageBufferTest,
                         ::testing::Values(ImageCase{"Mono8", 1}, ImageCase{"Mono12", 2},
                                           ImageCase{"BayerRG8", 3}, ImageCase{"RGB8", 3}),
                         [](const ::testing::TestParamInfo<ImageCase>& c) {
                             return std::string(c.param.format);
                         });

} // namespace
} // namespace aiktest
