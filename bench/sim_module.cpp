// Loading the module against a described set of simulated cameras.
#include "bench/sim_module.h"

#include "host/loader/host_os.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace aikbench {

const aikhost::Enumeration& openSimCameras(const std::string& description, std::size_t cameras) {
    static std::unique_ptr<aikhost::VideoModule> module;
    static aikhost::Enumeration enumeration;
    if (module)
        return enumeration;
    const auto path = std::filesystem::temp_directory_path() / "aik-bench-cameras.json";
    std::ofstream(path) << description;
    aikhost::setEnvironment("QUORVEX_SIM_CONFIG", path.string());
    module = std::make_unique<aikhost::VideoModule>(aikhost::VideoModule::defaultPath());
    enumeration = module->enumerate();
    if (enumeration.channels.size() != cameras)
        throw std::runtime_error("expected " + std::to_string(cameras) + " simulated cameras, found " +
                                 std::to_string(enumeration.channels.size()) + " " + enumeration.errText);
    return enumeration;
}

bool startChannel(const aikhost::Channel& channel, bool triggered, std::string& why) {
    const VideoChannelRecord& record = channel.record();
    CommonParamsRecord params{};
    params.exposure = record.exposure;
    params.contrast = record.contrast;
    params.brightness = record.brightness;
    params.acqContinuous = 1;
    params.acqTriggered = triggered;
    params.roiwidth = static_cast<int32_t>(record.sensorWidth);
    params.roiheight = static_cast<int32_t>(record.sensorHeight);
    aikhost::SlotResult result = channel.setupCommonParams(params);
    if (result.ok())
        result = channel.startAcquisition();
    why = result.errText;
    return result.ok();
}

} // namespace aikbench
