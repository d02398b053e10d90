// Fixture of the real-camera tests: the module over the Aravis camera library, on
// Aravis's GigE Vision emulator at 127.0.0.1 or on its in-process fake camera, both
// described by tests/aravis/data/fake-camera.xml.
#ifndef AIKTEST_ARAVIS_FIXTURE_H
#define AIKTEST_ARAVIS_FIXTURE_H

#include "camera/quorvex_api.h"
#include "tests/aravis/emulator.h"
#include "tests/support/module_fixture.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace aiktest {

enum class Backend { Gige, Fake };
const Backend kBackends[] = {Backend::Gige, Backend::Fake};
std::string BackendName(Backend backend);
// Points the camera library at the backend through its environment.
void PointAtBackend(Backend backend);

// Opens the camera, or ends the test when openCamera failed or skipped it.
#define OPEN_OR_RETURN(backend)                                                                              \
    ASSERT_NO_FATAL_FAILURE(openCamera(backend));                                                            \
    if (IsSkipped())                                                                                         \
    return

class AravisFixture : public ModuleFixture {
protected:
    // Points the camera library at the backend (starting the emulator unless it runs,
    // or skipping the test when it cannot start), enumerates and keeps channel 0.
    void openCamera(Backend backend);
    GigeEmulator& emulator() { return m_emulator; }
    const aikhost::Channel& channel() const { return m_channels.at(0); }
    std::string read(const std::string& feature) const {
        const aikhost::TextResult result = channel().readValue(feature);
        EXPECT_EQ(result.rc, 0) << feature << ": " << result.errText;
        return result.text;
    }
    void write(const std::string& feature, const std::string& value) const {
        const aikhost::SlotResult result = channel().writeValue(feature, value);
        ASSERT_EQ(result.rc, 0) << feature << " = " << value << ": " << result.errText;
    }
    // Sets the host's common parameters, asserting they are taken.
    void setup(const CommonParamsRecord& params) const {
        const aikhost::SlotResult result = channel().setupCommonParams(params);
        ASSERT_EQ(result.rc, 0) << result.errText;
    }
    // The nodes' values as arv-tool-0.8 reads them from the emulator, past the module
    // and its camera library (a node it cannot read is missing). It waits about 5 s
    // for the control the module holds, so tests call it once.
    static std::map<std::string, double> arvToolValues(const std::string& features);
    // Polls WaitForIntegration as a host does; false after timeoutMs. The bound is
    // generous: on a machine running many tests at once the emulator's UDP images
    // can fail for seconds (resends time out), which is lost images, not a fault.
    bool waitForImage(int timeoutMs = 15000) const;

private:
    GigeEmulator m_emulator;
    std::vector<aikhost::Channel> m_channels;
};

// A table case run on each backend, named "<Backend>_<case>".
template <class Case> using OnBackend = std::tuple<Backend, Case>;
struct BackendCaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<OnBackend<Case>>& tested) const {
        return BackendName(std::get<0>(tested.param)) + "_" + std::get<1>(tested.param).name;
    }
};

} // namespace aiktest

#endif
