// Node and camera descriptions for the feature tests, and opening the cameras.
#include "tests/features/feature_fixture.h"

#include "sim/sim_control.h"

#include <stdexcept>

namespace aiktest {

nlohmann::json nodeJson(const std::string& name, const std::string& type, const std::string& access,
                        const nlohmann::json& fields) {
    nlohmann::json node = {{"name", name}, {"type", type}, {"access", access}};
    node.update(fields);
    return node;
}

nlohmann::json enumJson(const std::string& name, const std::string& value,
                        const std::vector<std::pair<std::string, std::string>>& entries,
                        const std::string& access) {
    nlohmann::json node =
        nodeJson(name, "Enumeration", access, {{"value", value}, {"entries", nlohmann::json::array()}});
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
    return openCameras({camera}).at(0); // throws when it did not open
}

} // namespace aiktest
