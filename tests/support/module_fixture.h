// GoogleTest fixture that loads the adapter module through the host loader, with
// the simulated cameras described per test in a temporary JSON file.
#ifndef AIKTEST_MODULE_FIXTURE_H
#define AIKTEST_MODULE_FIXTURE_H

#include "channel/video_channel.h"
#include "host/loader/video_module.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace aiktest {

// A slot's result code and errText, to compare both at once.
using RcText = std::pair<int32_t, std::string>;
template <class Result> RcText rcText(const Result& result) {
    return {result.rc, result.errText};
}

// A record selecting the region for continuous acquisition, with mid-range exposure,
// contrast and brightness.
CommonParamsRecord regionParams(int32_t x, int32_t y, int32_t width, int32_t height);

// GetFeatureName with index 0, 1, 2, ... until the first result 1 (at most 1000 names).
std::vector<std::string> featureNames(const aikhost::Channel& channel);

// Enumerates through module, which must find exactly one camera, sets it up for
// continuous acquisition of width x height and starts it; a fatal failure otherwise.
void startOneCamera(const aikhost::VideoModule& module, aikhost::Enumeration& enumeration, int32_t width,
                    int32_t height);

// One simulated 64 x 32 Mono8 camera at 1000 images/s, described in a temporary
// folder and named to the camera library for the life of the object: the camera of
// the hardening tests. name goes into its model and description.
class OneSimulatedCamera {
public:
    explicit OneSimulatedCamera(const std::string& name);
    ~OneSimulatedCamera();
    OneSimulatedCamera(const OneSimulatedCamera&) = delete;
    OneSimulatedCamera& operator=(const OneSimulatedCamera&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
};

// Starts with the simulator's built-in cameras. The module is loaded on first use
// and its cameras released at the end of the test, since the module never closes
// them at unload.
class ModuleFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes config into the test's temporary folder and names it in QUORVEX_SIM_CONFIG;
    // the camera library reads it at the next GetVideoChannel with device number 0.
    void useSimConfig(const nlohmann::json& config);
    void useCameras(const std::vector<nlohmann::json>& cameras);

    // The test's temporary folder, removed at the end of the test.
    const std::filesystem::path& folder() const { return m_folder; }
    aikhost::VideoModule& module();
    aikhost::VideoChannelResult getVideoChannel(uint32_t deviceNum,
                                                int32_t recordLevel = AIK_EXTENDED_RECORD_BYTES);
    aikhost::Enumeration enumerate();
    // GetVideoChannel with buffers the test owns, as a host that fills them itself.
    int32_t callGetVideoChannel(char* errText, uint32_t deviceNum, VideoChannelRecord* record);
    // ReleaseVideoChannel through the slot of the last record the module filled.
    int32_t release(char* errText = nullptr, int64_t channelID = 0);

private:
    void noteRecord(int32_t rc, const VideoChannelRecord& record);

    std::filesystem::path m_folder;
    std::unique_ptr<aikhost::VideoModule> m_module;
    ReleaseVideoChannelFn m_release = nullptr;
};

} // namespace aiktest

#endif
