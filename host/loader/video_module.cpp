// Loading the adapter module, resolving GetVideoChannel and enumerating channels.
#include "host/loader/video_module.h"

#include "host/loader/text_buffer.h"

namespace aikhost {

VideoModule::VideoModule(const std::string& path) : m_path(path) {
    m_library = openLibrary(path);
    if (m_library == nullptr) {
        throw ModuleLoadError("cannot load the module " + path + ": " + lastLoadError());
    }
    m_getVideoChannel = reinterpret_cast<GetVideoChannelFn>(findSymbol(m_library, "GetVideoChannel"));
    if (m_getVideoChannel == nullptr) {
        std::string reason = lastLoadError();
        closeLibrary(m_library);
        throw ModuleLoadError("the module " + path + " does not export GetVideoChannel: " + reason);
    }
}

VideoModule::~VideoModule() {
    closeLibrary(m_library);
}

std::string VideoModule::defaultPath() {
    return executableDirectory() + pathSeparator() + moduleFileName();
}

VideoChannelResult VideoModule::getVideoChannel(uint32_t deviceNum, int32_t recordLevel) const {
    VideoChannelResult result;
    result.record.recordLevel = recordLevel;
    TextBuffer errText;
    result.rc = m_getVideoChannel(errText.bytes, deviceNum, &result.record);
    result.errText = errText.str();
    return result;
}

Enumeration VideoModule::enumerate(int32_t recordLevel) const {
    Enumeration enumeration;
    for (uint32_t deviceNum = 0;; ++deviceNum) {
        VideoChannelResult result = getVideoChannel(deviceNum, recordLevel);
        if (!result.ok()) {
            enumeration.errText = result.errText;
            return enumeration;
        }
        enumeration.channels.emplace_back(result.record);
    }
}

} // namespace aikhost
