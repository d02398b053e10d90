// The module fixture: temporary folder, simulator description, loader, teardown.
#include "tests/support/module_fixture.h"

#include "host/loader/host_os.h"
#include "tests/support/sim_json.h"

#include <fstream>
#include <random>

namespace aiktest {

namespace {

constexpr const char* kSimConfigVariable = "QUORVEX_SIM_CONFIG";

std::filesystem::path makeTemporaryFolder() {
    std::random_device random;
    auto folder = std::filesystem::temp_directory_path() /
                  ("aik-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace

void startOneCamera(const aikhost::VideoModule& module, aikhost::Enumeration& enumeration, int32_t width,
                    int32_t height) {
    enumeration = module.enumerate();
    ASSERT_EQ(enumeration.channels.size(), 1u) << enumeration.errText;
    ASSERT_EQ(enumeration.channels.front().setupCommonParams(continuousParams(width, height)).rc, 0);
    ASSERT_EQ(enumeration.channels.front().startAcquisition().rc, 0);
}

std::vector<std::string> featureNames(const aikhost::Channel& channel) {
    std::vector<std::string> names;
    for (int32_t index = 0; index < 1000; ++index) {
        aikhost::TextResult name = channel.getFeatureName(index);
        if (name.rc != 0)
            break;
        names.push_back(name.text);
    }
    return names;
}

OneSimulatedCamera::OneSimulatedCamera(const std::string& name) : m_folder(makeTemporaryFolder()) {
    nlohmann::json camera = cameraJson("Quorvex", "QX-" + name, name, 64, 32);
    camera["frameRate"] = 1000;
    const std::filesystem::path config = m_folder / "cameras.json";
    std::ofstream(config) << simConfigJson({camera}).dump();
    aikhost::setEnvironment(kSimConfigVariable, config.string());
}

OneSimulatedCamera::~OneSimulatedCamera() {
    aikhost::unsetEnvironment(kSimConfigVariable);
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

CommonParamsRecord regionParams(int32_t x, int32_t y, int32_t width, int32_t height) {
    CommonParamsRecord params{};
    params.exposure = 0.005;
    params.contrast = 0.5;
    params.brightness = 0.5;
    params.acqContinuous = 1;
    params.roix = x;
    params.roiy = y;
    params.roiwidth = width;
    params.roiheight = height;
    return params;
}

void ModuleFixture::SetUp() {
    aikhost::unsetEnvironment(kSimConfigVariable);
    m_folder = makeTemporaryFolder();
}

void ModuleFixture::TearDown() {
    if (m_release != nullptr) {
        m_release(nullptr, 0);
    }
    m_module.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

void ModuleFixture::useSimConfig(const nlohmann::json& config) {
    // A new file per description, so a test can switch descriptions between enumerations.
    static int s_fileNumber = 0;
    auto path = m_folder / ("cameras-" + std::to_string(++s_fileNumber) + ".json");
    std::ofstream(path) << config.dump(2);
    aikhost::setEnvironment(kSimConfigVariable, path.string());
}

void ModuleFixture::useCameras(const std::vector<nlohmann::json>& cameras) {
    useSimConfig(simConfigJson(cameras));
}

aikhost::VideoModule& ModuleFixture::module() {
    if (!m_module) {
        m_module = std::make_unique<aikhost::VideoModule>(AIK_TEST_MODULE_PATH);
    }
    return *m_module;
}

aikhost::VideoChannelResult ModuleFixture::getVideoChannel(uint32_t deviceNum, int32_t recordLevel) {
    aikhost::VideoChannelResult result = module().getVideoChannel(deviceNum, recordLevel);
    noteRecord(result.rc, result.record);
    return result;
}

aikhost::Enumeration ModuleFixture::enumerate() {
    aikhost::Enumeration enumeration = module().enumerate();
    if (!enumeration.channels.empty()) {
        noteRecord(0, enumeration.channels.front().record());
    }
    return enumeration;
}

int32_t ModuleFixture::callGetVideoChannel(char* errText, uint32_t deviceNum, VideoChannelRecord* record) {
    int32_t rc = module().entryPoint()(errText, deviceNum, record);
    noteRecord(rc, *record);
    return rc;
}

int32_t ModuleFixture::release(char* errText, int64_t channelID) {
    if (m_release == nullptr) {
        ADD_FAILURE() << "no record with a ReleaseVideoChannel slot was filled yet";
        return -1;
    }
    return m_release(errText, channelID);
}

void ModuleFixture::noteRecord(int32_t rc, const VideoChannelRecord& record) {
    if (rc == 0 && record.recordLevel > AIK_RECORD_LEVEL_EXTENDED && record.ReleaseVideoChannel != nullptr) {
        m_release = record.ReleaseVideoChannel;
    }
}

} // namespace aiktest
