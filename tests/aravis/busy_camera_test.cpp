// A GigE Vision camera another host controls: the camera library refuses to open it,
// naming why, and opens it once that host lets go.
#include "tests/aravis/aravis_fixture.h"

#include <arv.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

namespace aiktest {
namespace {

#define PVX(name) reinterpret_cast<decltype(&name)>(dlsym(library, #name))

std::string LastError(void* library) {
    char text[512] = {};
    uint32_t size = sizeof text;
    return PVX(pvxGetLastErrorText)(text, &size) == PVX_OK ? text : "";
}

// Catches a camera opened read-only while another host holds it (every write then
// times out and the camera is blamed), a refusal that does not name the cause, or one
// that outlives the next enumeration.
TEST(AravisBusyCamera, RefusedWhileAnotherHostControlsIt) {
    GigeEmulator emulator;
    if (!emulator.start(AIK_TEST_ARAVIS_GENICAM))
        GTEST_SKIP() << "GigE Vision emulator unavailable: " << emulator.why();
    PointAtBackend(Backend::Gige);
    GError* error = nullptr;
    // The other host: Aravis in this process, on a socket of its own.
    ArvCamera* other = arv_camera_new("127.0.0.1", &error);
    ASSERT_TRUE(other) << (error ? error->message : "");
    ASSERT_TRUE(arv_gv_device_is_controller(ARV_GV_DEVICE(arv_camera_get_device(other))));

    void* library = dlopen(AIK_TEST_ARAVIS_API_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(library) << dlerror();
    ASSERT_EQ(PVX(pvxInitLibrary)(1), PVX_OK);
    PvxHandle cam = 0;
    EXPECT_EQ(PVX(pvxOpenCamera)(0, &cam, 0, true, 0, 1), PVX_ERR_ACCESS_DENIED);
    EXPECT_NE(LastError(library).find("camera 127.0.0.1 in use by another application"), std::string::npos)
        << LastError(library);

    // Until the next enumeration the refusal stands, without asking the camera again.
    g_object_unref(other);
    EXPECT_EQ(PVX(pvxOpenCamera)(0, &cam, 0, true, 0, 1), PVX_ERR_ACCESS_DENIED);
    // Leaving control frees it for the open after the next enumeration.
    EXPECT_EQ(PVX(pvxInitLibrary)(1), PVX_ERR_ALREADY_INITIALIZED);
    EXPECT_EQ(PVX(pvxOpenCamera)(0, &cam, 0, true, 0, 1), PVX_OK) << LastError(library);
    EXPECT_EQ(PVX(pvxCloseCamera)(cam), PVX_OK);
    dlclose(library);
}

} // namespace
} // namespace aiktest
