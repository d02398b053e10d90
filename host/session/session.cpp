// The backend is chosen as a deployment chooses its camera libraries: they are loaded
// by path before the module, whose imports then bind to them by name.
#include "host/session/session.h"

#include "host/session/feature_info.h"
#include "host/session/host_failure.h"
#include "host/session/unopened_cameras.h"

namespace aikhost {

std::string backendFolder(const std::string& backend) {
    if (backend == "sim")
        return executableDirectory();
    if (backend == "aravis")
        return executableDirectory() + pathSeparator() + "aravis";
    throw HostFailure(FailureKind::Usage, "unknown backend \"" + backend + "\": expected sim or aravis");
}

Session::Session(const SessionOptions& options) {
    if (!options.simConfig.empty())
        setEnvironment("QUORVEX_SIM_CONFIG", options.simConfig);
    if (!options.backend.empty()) {
        const std::string folder = backendFolder(options.backend);
        for (const char* const* name = cameraLibraryFileNames(); *name != nullptr; ++name) {
            const std::string path = folder + pathSeparator() + *name;
            void* library = openLibrary(path);
            if (library == nullptr)
                throw HostFailure(FailureKind::NotLoadable, "cannot load the camera library " + path +
                                                                " (backend " + options.backend +
                                                                "): " + lastLoadError());
            m_cameraLibraries.emplace_back(library);
        }
    }
    try {
        m_module = std::make_unique<VideoModule>(options.modulePath.empty() ? VideoModule::defaultPath()
                                                                            : options.modulePath);
    } catch (const ModuleLoadError& error) {
        throw HostFailure(FailureKind::NotLoadable, error.what());
    }
    m_enumeration = m_module->enumerate();
    if (m_enumeration.channels.empty() && !m_enumeration.errText.empty())
        throw HostFailure(FailureKind::NotFound, "GetVideoChannel(0) failed: " + m_enumeration.errText);
}

Session::~Session() {
    release();
}

const Channel& Session::channel(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_enumeration.channels.size()) {
        const std::string unopened = describeUnopened(unopenedCameras());
        throw HostFailure(FailureKind::NotFound,
                          "no channel " + std::to_string(index) + " (" +
                              std::to_string(m_enumeration.channels.size()) + " found" +
                              (unopened.empty() ? "" : "; not opened: " + unopened) + ")");
    }
    return m_enumeration.channels[static_cast<std::size_t>(index)];
}

const std::map<std::string, std::string>& Session::valuesAtOpen(int index) {
    auto found = m_valuesAtOpen.find(index);
    if (found != m_valuesAtOpen.end())
        return found->second;
    std::map<std::string, std::string>& values = m_valuesAtOpen[index];
    for (const FeatureInfo& info : listFeatures(channel(index), true)) {
        if (info.value)
            values[info.name] = *info.value;
    }
    return values;
}

SlotResult Session::release() {
    if (m_released || m_enumeration.channels.empty())
        return SlotResult{0, ""};
    m_released = true;
    return m_enumeration.channels.front().releaseVideoChannel();
}

} // namespace aikhost
