// The Aravis camera library's own contract, below the module, on the in-process fake
// camera: refusals with the statuses and texts the module relies on, and the stream's
// buffer cycle (newest image named, locked one kept, released one given back).
#include "aravis/arv_control.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace aiktest {
namespace {

// The library's operations looked up by name, so the program links neither family.
class AravisLibrary {
public:
    AravisLibrary() : m_library(dlopen(AIK_TEST_ARAVIS_API_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {}
    ~AravisLibrary() {
        if (m_library)
            dlclose(m_library);
    }
    bool loaded() const { return m_library != nullptr; }
    template <typename Fn> Fn get(const char* name) const {
        return reinterpret_cast<Fn>(dlsym(m_library, name));
    }

private:
    void* m_library;
};

#define PVX(name) lib.get<decltype(&name)>(#name)

class AravisLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QUORVEX_ARAVIS_CAMERAS", "", 1);
        setenv("QUORVEX_ARAVIS_FAKE", "1", 1);
        setenv("QUORVEX_ARAVIS_FAKE_GENICAM", AIK_TEST_ARAVIS_GENICAM, 1);
        ASSERT_TRUE(lib.loaded()) << dlerror();
        const PvxStatus init = PVX(pvxInitLibrary)(1);
        ASSERT_TRUE(init == PVX_OK || init == PVX_ERR_ALREADY_INITIALIZED);
        ASSERT_EQ(PVX(pvxOpenCamera)(0, &cam, 0, true, 0, 1), PVX_OK);
    }
    void TearDown() override {
        if (cam)
            PVX(pvxCloseCamera)(cam);
    }
    PvxHandle node(const char* name) {
        PvxHandle handle = 0;
        EXPECT_EQ(PVX(pvxGetNode)(cam, name, &handle), PVX_OK) << name;
        return handle;
    }
    std::string lastError() {
        char text[512] = {};
        uint32_t size = sizeof text;
        PVX(pvxGetLastErrorText)(text, &size);
        return text;
    }

    AravisLibrary lib;
    PvxHandle cam = 0;
};

struct FloatWrite {
    const char* name;
    const char* node;
    double value;
    PvxStatus status;
    const char* text; // in the last error; nullptr: not looked at
};

const FloatWrite kFloatWrites[] = {
    {"InRange", "TimerDelay", 500, PVX_OK, nullptr},
    {"AboveMaximum", "TimerDelay", 1000.5, PVX_ERR_GENICAM, "smaller"},
    {"BelowMinimum", "TimerDelay", -1, PVX_ERR_GENICAM, "greater"},
    {"Locked", "AcquisitionFrameInterval", 1, PVX_ERR_NOT_WRITABLE, nullptr},
    {"ConvertedAboveMaximum", "AcquisitionFrameRate", 1e9, PVX_ERR_GENICAM, "smaller"},
    {"NotAvailable", "TriggerDelay", 1, PVX_ERR_NOT_AVAILABLE, nullptr},
};

// Catches a value Aravis would write silently (out of range, read-only, locked), or a
// refusal text without the word the module's nudge looks for.
TEST_F(AravisLibraryTest, FloatWritesAreCheckedBeforeTheCamera) {
    for (const FloatWrite& c : kFloatWrites) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PVX(pvxSetFloatValue)(cam, node(c.node), c.value, true), c.status);
        if (c.text) {
            EXPECT_NE(lastError().find(c.text), std::string::npos) << lastError();
        }
    }
}

// Catches arbitrary register writes reaching a camera, or the stop register refused.
TEST_F(AravisLibraryTest, OnlyTheStopRegisterIsWritten) {
    const uint32_t zero = 0;
    EXPECT_EQ(PVX(pvxWriteRegister)(cam, PVX_REG_ACQUISITION_STOP, 1, &zero), PVX_OK);
    EXPECT_EQ(PVX(pvxWriteRegister)(cam, 0x1f0, 1, &zero), PVX_ERR_NOT_IMPLEMENTED);
}

// Catches an image handed back to Aravis while locked, an older image named instead
// of the newest, a released buffer kept, or counts that do not add up.
TEST_F(AravisLibraryTest, StreamNamesTheNewestAndKeepsTheLockedImage) {
    ASSERT_EQ(PVX(pvxSetFloatValue)(cam, node("AcquisitionFrameRate"), 100, true), PVX_OK);
    const int event = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    PvxHandle stream = 0;
    uint32_t frameBytes = 0;
    ASSERT_EQ(PVX(pvxOpenStream)(cam, &stream, &frameBytes, event, 4, 0), PVX_OK);
    EXPECT_EQ(frameBytes, 512u * 512u);
    ASSERT_EQ(PVX(pvxStartStream)(stream, 4), PVX_OK);
    // Several images complete while the host takes none.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    uint32_t index = 0;
    ASSERT_EQ(PVX(pvxGetCompletedImage)(stream, &index), PVX_OK);
    PvxImageRecord first{};
    ASSERT_EQ(PVX(pvxLockImage)(stream, index, &first), PVX_OK);
    EXPECT_EQ(first.uiPixelFormat, PVX_PIXEL_MONO8);
    EXPECT_EQ(first.uiWidth * first.uiHeight, first.uiDataBytes);
    const uint8_t firstPixel = *static_cast<const uint8_t*>(first.pData);
    // The locked buffer stays the host's while newer images come and go.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(*static_cast<const uint8_t*>(first.pData), firstPixel);
    uint32_t newer = 0;
    ASSERT_EQ(PVX(pvxGetCompletedImage)(stream, &newer), PVX_OK);
    EXPECT_NE(newer, index);
    PvxImageRecord second{};
    ASSERT_EQ(PVX(pvxLockImage)(stream, newer, &second), PVX_OK);
    EXPECT_GT(second.ullFrameId, first.ullFrameId);
    EXPECT_EQ(PVX(pvxReleaseImage)(stream, index), PVX_OK);
    EXPECT_EQ(PVX(pvxLockImage)(stream, index, &first), PVX_ERR_NOT_READY);
    EXPECT_EQ(PVX(pvxReleaseImage)(stream, newer), PVX_OK);
    uint64_t produced = 0, delivered = 0, lost = 0, superseded = 0;
    ASSERT_EQ(PVX(pvxArvStreamCounters)(stream, &produced, &delivered, &lost, &superseded), PVX_OK);
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(lost, 0u);
    EXPECT_GE(produced, delivered + superseded);
    EXPECT_GT(superseded, 0u);
    EXPECT_EQ(PVX(pvxStopStream)(stream), PVX_OK);
    EXPECT_EQ(PVX(pvxCloseStream)(stream), PVX_OK);
    EXPECT_EQ(PVX(pvxCloseStream)(stream), PVX_ERR_INVALID_STREAM_HANDLE);
    close(event);
}

} // namespace
} // namespace aiktest
