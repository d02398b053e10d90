// Simulated cameras with node maps written per test, and the host's view of their
// feature list, shared by the feature slot tests.
#ifndef AIKTEST_FEATURE_FIXTURE_H
#define AIKTEST_FEATURE_FIXTURE_H

#include "host/loader/channel.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace aiktest {

// A node: type "Integer", "Float", "Boolean", "Command", "String", "Enumeration",
// "Register" or "Category"; access "NI", "NA", "WO", "RO" or "RW"; fields such as
// value, min, max or precision added as given.
nlohmann::json nodeJson(const std::string& name, const std::string& type, const std::string& access = "RW",
                        const nlohmann::json& fields = nlohmann::json::object());
// An enumeration node with entries {symbol, access} in the node's order.
nlohmann::json enumJson(const std::string& name, const std::string& value,
                        const std::vector<std::pair<std::string, std::string>>& entries,
                        const std::string& access = "RW");
// A camera whose node map holds only the given nodes.
nlohmann::json bareCamera(const std::vector<nlohmann::json>& nodes);
// A camera with the standard node map, nodes replacing or adding to it.
nlohmann::json standardCamera(const std::vector<nlohmann::json>& nodes = {});

// Calls of the named camera-library operation so far in this process.
uint64_t simCallCount(const char* operation);

class FeatureTest : public ModuleFixture {
protected:
    // Enumerates the given cameras, with faults on library calls whatever the camera;
    // the test fails unless all of them opened.
    std::vector<aikhost::Channel> openCameras(const std::vector<nlohmann::json>& cameras,
                                              const std::vector<nlohmann::json>& libraryFaults = {});
    // The one camera's channel; throws when it did not open.
    aikhost::Channel openCamera(const nlohmann::json& camera);
    // Enumerates the one camera and keeps its channel as channel().
    void useCamera(const nlohmann::json& camera, const std::vector<nlohmann::json>& libraryFaults = {}) {
        m_channels = openCameras({camera}, libraryFaults);
    }
    const aikhost::Channel& channel() const { return m_channels.at(0); }

private:
    std::vector<aikhost::Channel> m_channels;
};

} // namespace aiktest

#endif
