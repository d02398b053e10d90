// The module's load and unload steps run under the loader's lock (DllMain on
// Windows): there, loading a library, starting or joining a thread, waiting on
// anything, or calling into a camera library can deadlock the host. Each case loads
// and unloads the module with the OS calls recorded and the camera library's calls
// counted, with each kind of log set up and with a channel left streaming at unload.
#include "host/loader/video_module.h"
#include "sim/sim_control.h"
#include "tests/hardening/os_call_recorder.h"
#include "tests/support/case_name.h"
#include "tests/support/figures.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sdk_log.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <optional>
#include <string>

namespace aiktest {
namespace {

struct DisciplineCase {
    const char* name;
    const char* logLine; // the configuration line, with the log folder after PATH=; null: none
    bool streamingAtUnload;
};

const DisciplineCase kCases[] = {
    {"NoConfiguration", nullptr, false},
    {"FileLog", "QuorvexAIK FILE DEBUG PATH=", false},
    {"MemoryLog", "QuorvexAIK MEMORY 1048576 DEBUG PATH=", false},
    {"FileLogChannelStreaming", "QuorvexAIK FILE DEBUG PATH=", true},
    {"MemoryLogChannelStreaming", "QuorvexAIK MEMORY 1048576 DEBUG PATH=", true},
};

// What step did: the OS calls recorded on this thread and the camera library's calls.
struct StepCalls {
    std::string osCalls;
    uint64_t cameraCalls = 0;
};

template <class Step> StepCalls recorded(Step step) {
    const uint64_t before = pvxSimTotalCallCount();
    aikRecordOsCalls(1);
    step();
    aikRecordOsCalls(0);
    return {aikRecordedOsCalls(), pvxSimTotalCallCount() - before};
}

class LoadDisciplineTest : public ::testing::TestWithParam<DisciplineCase> {
protected:
    void TearDown() override { pvxSimCloseAll(); }
    OneSimulatedCamera m_camera{"discipline"};
};

// Catches a load or unload step that loads a library, starts or joins a thread,
// waits or sleeps, or calls the camera library (closing cameras left open, say).
TEST_P(LoadDisciplineTest, LoadAndUnloadMakeNoForbiddenCall) {
    const DisciplineCase& tested = GetParam();
    std::optional<SdkLog> log;
    if (tested.logLine)
        log.emplace(m_camera.folder(), tested.logLine);
    void* handle = nullptr;
    const StepCalls load =
        recorded([&] { handle = aikRealDlopen(AIK_TEST_MODULE_PATH, RTLD_NOW | RTLD_LOCAL); });
    ASSERT_NE(handle, nullptr) << dlerror();
    EXPECT_EQ(load.osCalls, "");
    EXPECT_EQ(load.cameraCalls, 0u);
    if (tested.streamingAtUnload) {
        // The same module: the loader counts a second reference, no second load.
        const aikhost::VideoModule module(AIK_TEST_MODULE_PATH);
        aikhost::Enumeration enumeration;
        ASSERT_NO_FATAL_FAILURE(startOneCamera(module, enumeration, 64, 32));
        // The recording reaches the module's own calls: a slot's wait is seen.
        // A wait that finds its image signalled already returns without polling, so
        // a few waits are recorded.
        StepCalls wait;
        for (int attempt = 0; attempt < 20 && wait.osCalls.find("poll") == std::string::npos; ++attempt)
            wait = recorded([&] { enumeration.channels.front().waitForIntegration(); });
        EXPECT_NE(wait.osCalls.find("poll"), std::string::npos) << wait.osCalls;
    }
    const StepCalls unload = recorded([&] { EXPECT_EQ(dlclose(handle), 0); });
    EXPECT_EQ(unload.osCalls, "");
    EXPECT_EQ(unload.cameraCalls, 0u);
    EXPECT_EQ(dlopen(AIK_TEST_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the module stayed loaded";
    EXPECT_TRUE(!tested.logLine || !std::filesystem::is_empty(log->logFolder()))
        << "the log was never set up";
    reportFigure(std::string("load discipline, ") + tested.name + ": load and unload made " +
                 std::to_string(load.cameraCalls + unload.cameraCalls) + " camera-library calls and no " +
                 "library load, thread, wait or sleep");
}

INSTANTIATE_TEST_SUITE_P(Steps, LoadDisciplineTest, ::testing::ValuesIn(kCases), CaseName());

} // namespace
} // namespace aiktest
