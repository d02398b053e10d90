// The adapter module as the host loads it: the shared library, its one export
// GetVideoChannel, and the enumeration of its channels.
#ifndef AIKHOST_VIDEO_MODULE_H
#define AIKHOST_VIDEO_MODULE_H

#include "channel/video_channel.h"
#include "host/loader/channel.h"
#include "host/loader/host_os.h"
#include "host/loader/slot_result.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace aikhost {

// The module could not be loaded, or does not export GetVideoChannel.
class ModuleLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct VideoChannelResult : SlotResult {
    VideoChannelRecord record{};
};

struct Enumeration {
    std::vector<Channel> channels;
    // What the call that ended the enumeration wrote; empty when it only said "no more".
    std::string errText;
};

// Loaded on construction, unloaded on destruction. The module's state is
// process-wide: two VideoModule objects for the same path share it.
class VideoModule {
public:
    explicit VideoModule(const std::string& path);
    ~VideoModule();
    VideoModule(const VideoModule&) = delete;
    VideoModule& operator=(const VideoModule&) = delete;

    // The module beside the running executable.
    static std::string defaultPath();

    const std::string& path() const { return m_path; }
    GetVideoChannelFn entryPoint() const { return m_getVideoChannel; }

    // One GetVideoChannel call on a zeroed record carrying recordLevel.
    VideoChannelResult getVideoChannel(uint32_t deviceNum,
                                       int32_t recordLevel = AIK_EXTENDED_RECORD_BYTES) const;
    // Device numbers 0, 1, 2, ... until GetVideoChannel answers 1.
    Enumeration enumerate(int32_t recordLevel = AIK_EXTENDED_RECORD_BYTES) const;

private:
    std::string m_path;
    LibraryHandle m_library = nullptr;
    GetVideoChannelFn m_getVideoChannel = nullptr;
};

} // namespace aikhost

#endif
