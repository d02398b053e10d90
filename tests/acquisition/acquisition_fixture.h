// Fixture of the acquisition tests: one or more simulated cameras enumerated through
// the module, common-parameter records, polling for images and counting library calls.
#ifndef AIKTEST_ACQUISITION_FIXTURE_H
#define AIKTEST_ACQUISITION_FIXTURE_H

#include "sim/pattern.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

#include <cstdint>
#include <string>
#include <vector>

namespace aiktest {

// A camera with a small sensor, on the worked example's grid (x offset step 8, y
// step 2, width step 16 from 16, height step 2 from 2); frameRate images per second.
nlohmann::json gridCamera(uint32_t sensorWidth, uint32_t sensorHeight,
                          const std::string& pixelFormat = "Mono8", double frameRate = 100);

// The camera with one fault: call answers status, with the fault's further fields of more.
nlohmann::json withFault(nlohmann::json camera, const char* call, PvxStatus status,
                         const nlohmann::json& more = nlohmann::json::object());

class AcquisitionFixture : public ModuleFixture {
protected:
    // Describes the cameras, enumerates them and keeps their channels.
    void openCameras(const std::vector<nlohmann::json>& cameras);
    const aikhost::Channel& channel(std::size_t index = 0) const { return m_channels.at(index); }

    // SetupCommonParams over the whole sensor, then StartAcquisition; both must succeed.
    void startWholeSensor(const aikhost::Channel& channel);
    // Polls WaitForIntegration as a host does until it reports an image; false after timeoutMs.
    static bool waitForImage(const aikhost::Channel& channel, int timeoutMs = 2000);

    // GetImage after each wake-up of channel() until count images arrived, each whole
    // (stamps intact), newer than the one before and its frame's pattern at window byte
    // for byte. A wake-up that finds no new image is waited past, and with mayLoseRefills
    // one whose image was refilled between naming and locking ("NOT READY."), within
    // 4 * count + 20 wake-ups. The number delivered; lastFrame the newest frame number.
    int receiveImages(const camlib::ImageGeometry& window, int count, bool mayLoseRefills = false,
                      uint32_t* lastFrame = nullptr) const;

    // Calls of the named camera-library operation since the last resetCalls.
    static int64_t calls(const char* operation);
    static void resetCalls();

private:
    std::vector<aikhost::Channel> m_channels;
};

} // namespace aiktest

#endif
