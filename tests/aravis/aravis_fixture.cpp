// The backend's environment, the emulator's life, and a check that the loader really
// took the Aravis camera library and not the simulator beside the module.
#include "tests/aravis/aravis_fixture.h"

#include "host/loader/host_os.h"

#include <chrono>
#include <cstdio>
#include <dlfcn.h>

namespace aiktest {

std::string BackendName(Backend backend) {
    return backend == Backend::Gige ? "Gige" : "Fake";
}

void PointAtBackend(Backend backend) {
    aikhost::setEnvironment("QUORVEX_ARAVIS_FAKE_GENICAM", AIK_TEST_ARAVIS_GENICAM);
    // The fake backend: an empty list, no camera on the network, the fake one alone.
    aikhost::setEnvironment("QUORVEX_ARAVIS_CAMERAS", backend == Backend::Gige ? "127.0.0.1" : "");
    if (backend == Backend::Gige)
        aikhost::unsetEnvironment("QUORVEX_ARAVIS_FAKE");
    else
        aikhost::setEnvironment("QUORVEX_ARAVIS_FAKE", "1");
}

void AravisFixture::openCamera(Backend backend) {
    if (backend == Backend::Gige && !m_emulator.running() && !m_emulator.start(AIK_TEST_ARAVIS_GENICAM))
        GTEST_SKIP() << "GigE Vision emulator unavailable: " << m_emulator.why();
    PointAtBackend(backend);
    aikhost::Enumeration enumeration = enumerate();
    void* library = dlopen("libQuorvexApi64.so", RTLD_LAZY | RTLD_NOLOAD);
    const bool aravisLibrary = library && dlsym(library, "pvxArvStreamCounters");
    if (library)
        dlclose(library);
    ASSERT_TRUE(aravisLibrary) << "the module did not load the Aravis camera library: run with "
                                  "LD_LIBRARY_PATH naming bin/aravis";
    ASSERT_EQ(enumeration.channels.size(), 1u) << enumeration.errText;
    m_channels = enumeration.channels;
}

std::map<std::string, double> AravisFixture::arvToolValues(const std::string& features) {
    std::map<std::string, double> values;
    const std::string command = "timeout 20 arv-tool-0.8 -a 127.0.0.1 control " + features + " 2>/dev/null";
    FILE* tool = popen(command.c_str(), "r");
    if (!tool)
        return values;
    // "Gain = 12 min:0 max:24"
    char line[256] = {};
    while (fgets(line, sizeof line, tool)) {
        char name[128] = {};
        double value = 0;
        if (std::sscanf(line, "%127s = %lf", name, &value) == 2)
            values[name] = value;
    }
    pclose(tool);
    return values;
}

bool AravisFixture::waitForImage(int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        aikhost::AcquisitionResult wait = channel().waitForIntegration();
        EXPECT_EQ(wait.rc, 0) << wait.errText;
        if (wait.acqResult == AIK_ACQ_DONE)
            return true;
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

} // namespace aiktest
