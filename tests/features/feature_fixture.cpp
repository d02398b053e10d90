// Node, camera and fault descriptions for the feature tests, and feature listing.
#include "tests/features/feature_fixture.h"

#include "sim/sim_control.h"
#include "tests/support/sim_json.h"

#include <stdexcept>

namespace aiktest {

nlohmann::json nodeJson(const std::string& name, const std::string& type, const std::string& access) {
    return {{"name", name}, {"type", type}, {"access", access}};
}

nlohmann::json enumJson(const std::string& name, const std::string& value,
                        const std::vector<std::pair<std::string, std::string>>& entries,
                        const std::string& access) {
    nlohmann::json node = nodeJson(name, "Enumeration", access);
    node["value"] = value;
    node["entries"] = nlohmann::json::array();
    for (const auto& [symbol, entryAccess] : entries)
        node["entries"].push_back({{"name", symbol}, {"access", entryAccess}});
    return node;
}

nlohmann::json bareCamera(const std::vector<nlohmann::json>& nodes) {
    nlohmann::json camera = standardCamera(nodes);
    camera["standardNodes"] = false;
    return camera;
}

nlohmann::json standardCamera(const std::vector<nlohmann::json>& nodes) {
    nlohmann::json camera = cameraJson("Quorvex", "QX-F", "feature test camera");
    camera["nodes"] = nlohmann::json(nodes);
    return camera;
}

nlohmann::json nodeFault(const std::string& call, uint32_t status, const std::string& node) {
    nlohmann::json fault = faultJson(call, status);
    if (!node.empty())
        fault["node"] = node;
    return fault;
}

uint64_t simCallCount(const char* operation) {
    const int64_t count = pvxSimCallCount(operation);
    if (count < 0)
        throw std::invalid_argument(std::string("no camera-library operation ") + operation);
    return static_cast<uint64_t>(count);
}

std::vector<aikhost::Channel> FeatureTest::openCameras(const std::vector<nlohmann::json>& cameras,
                                                       const std::vector<nlohmann::json>& libraryFaults) {
    nlohmann::json config = simConfigJson(cameras);
    if (!libraryFaults.empty())
        config["faults"] = libraryFaults;
    useSimConfig(config);
    aikhost::Enumeration enumeration = enumerate();
    EXPECT_EQ(enumeration.channels.size(), cameras.size()) << enumeration.errText;
    return enumeration.channels;
}

aikhost::Channel FeatureTest::openCamera(const nlohmann::json& camera) {
    std::vector<aikhost::Channel> channels = openCameras({camera});
    if (channels.empty())
        throw std::runtime_error("the simulated camera did not open");
    return channels.front();
}

} // namespace aiktest
