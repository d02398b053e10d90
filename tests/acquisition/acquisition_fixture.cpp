// Acquisition fixture: camera descriptions, enumeration, polling and call counts.
#include "tests/acquisition/acquisition_fixture.h"

#include "sim/sim_control.h"
#include "tests/acquisition/expected_image.h"

#include <chrono>

namespace aiktest {

nlohmann::json gridCamera(uint32_t sensorWidth, uint32_t sensorHeight, const std::string& pixelFormat,
                          double frameRate) {
    nlohmann::json camera =
        cameraJson("Quorvex", "QX-ACQ", "acquisition test camera", sensorWidth, sensorHeight, pixelFormat);
    camera["offsetX"] = {{"min", 0}, {"max", sensorWidth - 16}, {"inc", 8}};
    camera["offsetY"] = {{"min", 0}, {"max", sensorHeight - 2}, {"inc", 2}};
    camera["width"] = {{"min", 16}, {"max", sensorWidth}, {"inc", 16}};
    camera["height"] = {{"min", 2}, {"max", sensorHeight}, {"inc", 2}};
    camera["frameRate"] = frameRate;
    return camera;
}

nlohmann::json withFault(nlohmann::json camera, const char* call, PvxStatus status,
                         const nlohmann::json& more) {
    nlohmann::json fault = faultJson(call, status);
    fault.update(more);
    camera["faults"] = nlohmann::json::array({fault});
    return camera;
}

void AcquisitionFixture::openCameras(const std::vector<nlohmann::json>& cameras) {
    useCameras(cameras);
    aikhost::Enumeration enumeration = enumerate();
    ASSERT_EQ(enumeration.channels.size(), cameras.size()) << enumeration.errText;
    m_channels = enumeration.channels;
}

void AcquisitionFixture::startWholeSensor(const aikhost::Channel& channel) {
    const VideoChannelRecord& record = channel.record();
    aikhost::SlotResult setup = channel.setupCommonParams(regionParams(
        0, 0, static_cast<int32_t>(record.sensorWidth), static_cast<int32_t>(record.sensorHeight)));
    ASSERT_EQ(setup.rc, 0) << setup.errText;
    aikhost::SlotResult start = channel.startAcquisition();
    ASSERT_EQ(start.rc, 0) << start.errText;
}

bool AcquisitionFixture::waitForImage(const aikhost::Channel& channel, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        aikhost::AcquisitionResult wait = channel.waitForIntegration();
        EXPECT_EQ(wait.rc, 0) << wait.errText;
        if (wait.acqResult == AIK_ACQ_DONE)
            return true;
        EXPECT_EQ(wait.acqResult, static_cast<uint32_t>(AIK_ACQ_TIMEOUT));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

int AcquisitionFixture::receiveImages(const camlib::ImageGeometry& window, int count, bool mayLoseRefills,
                                      uint32_t* lastFrame) const {
    std::vector<uint8_t> image(deliveredBytes(window));
    uint32_t newest = 0;
    int delivered = 0;
    for (int wakeUps = 0; delivered < count && wakeUps < 4 * count + 20; ++wakeUps) {
        if (!waitForImage(channel()))
            break;
        const aikhost::AcquisitionResult get = channel().getImage(image.data());
        if (get.rc == 1 &&
            (get.errText == "EMPTY COMPLETE QUEUE." || (mayLoseRefills && get.errText == "NOT READY.")))
            continue;
        const std::optional<uint32_t> frame = stampedFrameNumber(window, image.data());
        const char* fault = get.rc != 0                                 ? "was refused"
                            : get.acqResult != AIK_ACQ_DONE             ? "is not reported done"
                            : !frame                                    ? "is not whole"
                            : *frame <= newest                          ? "is not new"
                            : image != expectedDelivery(window, *frame) ? "is not the pattern at the window"
                                                                        : nullptr;
        if (fault != nullptr) {
            ADD_FAILURE() << "image " << delivered << " " << fault << ": " << get.errText;
            break;
        }
        newest = *frame;
        ++delivered;
    }
    if (lastFrame != nullptr)
        *lastFrame = newest;
    return delivered;
}

int64_t AcquisitionFixture::calls(const char* operation) {
    return pvxSimCallCount(operation);
}

void AcquisitionFixture::resetCalls() {
    pvxSimResetCallCounts();
}

} // namespace aiktest
