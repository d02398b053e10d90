// GetImageAttributes and GetImage as the host sees them: the host's code and geometry
// of every pixel format, the bytes each delivery writes, and rejected formats that
// leave every host buffer as it was.
#include "tests/acquisition/acquisition_fixture.h"
#include "tests/acquisition/expected_image.h"
#include "tests/support/case_name.h"
#include "tests/support/marked_err_text.h"
#include "tests/support/sdk_log.h"

#include <algorithm>
#include <optional>
#include <regex>

namespace aiktest {
namespace {

constexpr uint8_t kGuard = 0x5A;
constexpr std::size_t kGuardBytes = 64;
// Slow enough that the first image after the start is still the newest one when
// GetImage asks for it.
constexpr double kSlowFrameRate = 5;

// A host buffer with guard bytes on both sides of the part the module may write.
class GuardedBuffer {
public:
    explicit GuardedBuffer(std::size_t bytes) : m_bytes(bytes + 2 * kGuardBytes, kGuard) {}
    uint8_t* data() { return m_bytes.data() + kGuardBytes; }
    std::vector<uint8_t> content() const {
        return {m_bytes.begin() + kGuardBytes, m_bytes.end() - static_cast<std::ptrdiff_t>(kGuardBytes)};
    }
    bool guardsIntact() const {
        auto intact = [](auto from, auto to) {
            return std::all_of(from, to, [](uint8_t b) { return b == kGuard; });
        };
        return intact(m_bytes.begin(), m_bytes.begin() + kGuardBytes) &&
               intact(m_bytes.end() - static_cast<std::ptrdiff_t>(kGuardBytes), m_bytes.end());
    }
    bool untouched() const {
        return std::all_of(m_bytes.begin(), m_bytes.end(), [](uint8_t b) { return b == kGuard; });
    }

private:
    std::vector<uint8_t> m_bytes;
};

struct FormatCase {
    const char* name; // the PFNC name
    int32_t hostFormat;
    const char* copyCall; // the one library call that moves the image
};
const FormatCase kFormatCases[] = {
    {"Mono8", AIK_PIXEL_MONO8, "pvxCopyImageData"},
    {"Mono10", AIK_PIXEL_MONO10, "pvxCopyImageData"},
    {"Mono12", AIK_PIXEL_MONO12, "pvxCopyImageData"},
    {"BayerGR8", AIK_PIXEL_PLANES_RGB, "pvxConvertToPlanes"},
    {"BayerRG8", AIK_PIXEL_PLANES_RGB, "pvxConvertToPlanes"},
    {"BayerGB8", AIK_PIXEL_PLANES_RGB, "pvxConvertToPlanes"},
    {"BayerBG8", AIK_PIXEL_PLANES_RGB, "pvxConvertToPlanes"},
    {"RGB8", AIK_PIXEL_PLANES_RGB, "pvxConvertToPlanes"},
    {"BGR8", AIK_PIXEL_PLANES_RGB, "pvxConvertToPlanes"},
};

class DeliveryTest : public AcquisitionFixture, public ::testing::WithParamInterface<FormatCase> {};

// Catches a wrong host code, planes in the wrong order or place (BayerRG8 640 x 480 is
// 921,600 bytes: planes at 0, 307,200 and 614,400), a copy of the wrong length, an
// image moved twice or not released, and a second GetImage that copies without a
// new WaitForIntegration.
TEST_P(DeliveryTest, ImageArrivesOnceInTheHostLayout) {
    const FormatCase& c = GetParam();
    openCameras({gridCamera(640, 480, c.name, kSlowFrameRate)});
    const uint32_t pixelFormat = *camlib::PixelFormatFromName(c.name);
    ASSERT_EQ(channel().setupCommonParams(regionParams(0, 0, 640, 480)).rc, 0);
    aikhost::ImageAttributesResult attributes = channel().getImageAttributes();
    ASSERT_EQ(attributes.rc, 0) << attributes.errText;
    const ImageAttributes& a = attributes.attributes;
    EXPECT_EQ((std::vector<int32_t>{a.pixelFormat, a.width, a.pitch, a.height}),
              (std::vector<int32_t>{c.hostFormat, 640, 640, 480}));
    const camlib::ImageGeometry window = windowOf(attributes.attributes, pixelFormat);

    ASSERT_EQ(channel().startAcquisition().rc, 0);
    ASSERT_TRUE(waitForImage(channel()));
    GuardedBuffer image(deliveredBytes(window));
    resetCalls();
    aikhost::AcquisitionResult get = channel().getImage(image.data());
    ASSERT_EQ(get.rc, 0) << get.errText;
    EXPECT_EQ(get.acqResult, static_cast<uint32_t>(AIK_ACQ_DONE));
    EXPECT_EQ(calls(c.copyCall), 1);
    EXPECT_EQ(calls("pvxLockImage"), 1);
    EXPECT_EQ(calls("pvxReleaseImage"), 1);
    EXPECT_TRUE(image.guardsIntact());
    EXPECT_TRUE(image.content() == expectedDelivery(window, 1)) << "not the first image in the host's layout";

    GuardedBuffer again(deliveredBytes(window));
    aikhost::AcquisitionResult second = channel().getImage(again.data());
    EXPECT_EQ(second.rc, 0);
    // A frame arriving within the 10 ms look leaves acqResult as the host had it.
    EXPECT_TRUE(second.acqResult == AIK_ACQ_TIMEOUT || second.acqResult == aikhost::kAcqResultUnwritten);
    EXPECT_TRUE(again.untouched());
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, DeliveryTest, ::testing::ValuesIn(kFormatCases), CaseName());

struct RejectedCase {
    const char* name;
    uint32_t code;
};
const RejectedCase kRejectedCases[] = {{"YUV422_8", PVX_PIXEL_YUV422_8}, {"Mono16", PVX_PIXEL_MONO16}};

class RejectedFormatTest : public AcquisitionFixture, public ::testing::WithParamInterface<RejectedCase> {};

// Catches a format message written past the host's 32 bytes, a rejected format given a
// host code, acqResult written on rejection of the attributes, and an image of a
// rejected format copied into the host's buffer (or past it), or the locked image
// never given back.
TEST_P(RejectedFormatTest, AttributesNameTheRegionButNoFormatAndGetImageWritesNothing) {
    openCameras({gridCamera(640, 480, GetParam().name)});
    ASSERT_EQ(channel().setupCommonParams(regionParams(13, 7, 100, 50)).rc, 0);
    const VideoChannelRecord& record = channel().record();
    MarkedErrText errText;
    ImageAttributes attributes{};
    attributes.pixelFormat = -7;
    uint32_t acqResult = aikhost::kAcqResultUnwritten;
    EXPECT_EQ(record.GetImageAttributes(errText.bytes, record.channelID, &attributes, &acqResult), 1);
    EXPECT_EQ(errText.text(), "Not suppreted image format.");
    EXPECT_TRUE(errText.untouchedFrom(32));
    EXPECT_EQ(attributes.pixelFormat, -7);
    EXPECT_EQ(attributes.width, 112);
    EXPECT_EQ(attributes.roix, 5);
    EXPECT_EQ(acqResult, aikhost::kAcqResultUnwritten);

    ASSERT_EQ(channel().startAcquisition().rc, 0);
    ASSERT_TRUE(waitForImage(channel()));
    MarkedErrText getText;
    GuardedBuffer image(112 * 52 * camlib::BytesPerPixel(GetParam().code));
    resetCalls();
    EXPECT_EQ(record.GetImage(getText.bytes, record.channelID, image.data(), &acqResult), 1);
    EXPECT_EQ(acqResult, static_cast<uint32_t>(AIK_ACQ_NOT_DELIVERED));
    EXPECT_EQ(getText.text(), "Not suppreted image format.");
    EXPECT_TRUE(getText.untouchedFrom(32));
    EXPECT_TRUE(image.untouched());
    EXPECT_EQ(calls("pvxLockImage"), 1);
    EXPECT_EQ(calls("pvxReleaseImage"), 1);
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, RejectedFormatTest, ::testing::ValuesIn(kRejectedCases), CaseName());

struct TransferFault {
    const char* name;
    const char* call;
    PvxStatus status;
    const char* errText;
    int64_t releases; // a locked image is given back, an unlocked one is not
};
const TransferFault kTransferFaults[] = {
    {"NoCompletedImage", "pvxGetCompletedImage", PVX_ERR_EMPTY_COMPLETE_QUEUE, "EMPTY COMPLETE QUEUE.", 0},
    {"LockRefused", "pvxLockImage", PVX_ERR_INVALID_IMAGE_HANDLE, "INVALID IMAGE HANDLE.", 0},
    {"CopyRefused", "pvxCopyImageData", PVX_ERR_BUFFER_TOO_SMALL, "BUFFER TOO SMALL.", 1},
};

class TransferFaultTest : public AcquisitionFixture, public ::testing::WithParamInterface<TransferFault> {};

// Catches a library refusal reported as a delivery or with another text, or a lock
// not given back when the copy fails.
TEST_P(TransferFaultTest, RefusalIsNotADelivery) {
    const TransferFault& c = GetParam();
    openCameras({withFault(gridCamera(64, 48), c.call, c.status)});
    startWholeSensor(channel());
    ASSERT_TRUE(waitForImage(channel()));
    std::vector<uint8_t> image(64 * 48);
    resetCalls();
    aikhost::AcquisitionResult get = channel().getImage(image.data());
    EXPECT_EQ(rcText(get), RcText(1, c.errText));
    EXPECT_EQ(get.acqResult, static_cast<uint32_t>(AIK_ACQ_NOT_DELIVERED));
    EXPECT_EQ(calls("pvxReleaseImage"), c.releases);
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Library, TransferFaultTest, ::testing::ValuesIn(kTransferFaults), CaseName());

struct DeliveryLogCase {
    const char* name;
    PvxStatus releaseStatus; // what pvxReleaseImage answers, or PVX_OK
    int32_t widthWritten;    // Width written behind the module after the setup, or 0
    const char* warning;     // the one WARN or ERROR line GetImage adds, as a pattern; null: none
};
const DeliveryLogCase kDeliveryLogCases[] = {
    {"CleanDelivery", PVX_OK, 0, nullptr},
    {"ReleaseRefused", PVX_ERR_INVALID_IMAGE_HANDLE, 0,
     R"(WARN\|GetImage: pvxReleaseImage\([0-9]+\) failed\(INVALID IMAGE HANDLE\.\))"},
    {"WindowChangedBehindTheModule", PVX_OK, 32,
     R"(WARN\|GetImage: image of 32x48, geometry last reported 64x48)"},
};

class DeliveryLogTest : public AcquisitionFixture, public ::testing::WithParamInterface<DeliveryLogCase> {
protected:
    void SetUp() override {
        AcquisitionFixture::SetUp();
        m_log.emplace(folder());
    }
    std::optional<SdkLog> m_log;
};

// Catches library trouble that a delivery hides from the log (a buffer the library
// may not have back, an image of another size than the host was told) and warnings
// on a clean one. The image is delivered all the same: the host sized its buffer by
// the contract.
TEST_P(DeliveryLogTest, GetImageWarnsOfWhatTheHostCannotSee) {
    const DeliveryLogCase& c = GetParam();
    nlohmann::json camera = gridCamera(64, 48);
    openCameras({c.releaseStatus != PVX_OK ? withFault(camera, "pvxReleaseImage", c.releaseStatus) : camera});
    ASSERT_EQ(channel().setupCommonParams(regionParams(0, 0, 64, 48)).rc, 0);
    if (c.widthWritten) {
        ASSERT_EQ(channel().writeValue("Width", std::to_string(c.widthWritten)).rc, 0);
    }
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    ASSERT_TRUE(waitForImage(channel()));
    std::vector<uint8_t> image(64 * 48);
    const size_t before = m_log->lines().size();
    EXPECT_EQ(rcText(channel().getImage(image.data())), RcText(0, ""));
    const std::vector<std::string> lines = m_log->lines();
    std::vector<std::string> warnings;
    for (size_t i = before; i < lines.size(); ++i) {
        if (lines[i].rfind("WARN|", 0) == 0 || lines[i].rfind("ERROR|", 0) == 0)
            warnings.push_back(lines[i]);
    }
    if (c.warning == nullptr) {
        EXPECT_TRUE(warnings.empty()) << (warnings.empty() ? "" : warnings.front());
    } else {
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_TRUE(std::regex_match(warnings[0], std::regex(c.warning))) << warnings[0];
    }
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Deliveries, DeliveryLogTest, ::testing::ValuesIn(kDeliveryLogCases), CaseName());

} // namespace
} // namespace aiktest
