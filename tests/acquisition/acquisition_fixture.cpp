// Acquisition fixture: camera descriptions, enumeration, polling and call counts.
#include "tests/acquisition/acquisition_fixture.h"

#include "sim/sim_control.h"

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

nlohmann::json withFault(nlohmann::json camera, const char* call, uint32_t status,
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

int64_t AcquisitionFixture::calls(const char* operation) {
    return pvxSimCallCount(operation);
}

void AcquisitionFixture::resetCalls() {
    pvxSimResetCallCounts();
}

} // namespace aiktest
