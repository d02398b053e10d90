// One host session: the camera libraries of a backend, the module loaded once, its
// channels enumerated and the values each channel's features had when it opened.
// Shared by the command line and the live view; it prints nothing.
#ifndef AIKHOST_SESSION_H
#define AIKHOST_SESSION_H

#include "host/loader/video_module.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace aikhost {

struct SessionOptions {
    std::string modulePath; // empty: the module beside the program
    std::string simConfig;  // empty: leave QUORVEX_SIM_CONFIG as the environment has it
    std::string backend;    // "sim", "aravis", or empty: whatever the loader finds
};

// The folder whose camera libraries a backend stands for; throws HostFailure (Usage)
// for an unknown name.
std::string backendFolder(const std::string& backend);

class Session {
public:
    // Loads the backend's libraries and the module and enumerates; throws HostFailure
    // (NotLoadable, or NotFound when the module finds no camera).
    explicit Session(const SessionOptions& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const VideoModule& module() const { return *m_module; }
    const std::vector<Channel>& channels() const { return m_enumeration.channels; }
    // Throws HostFailure (NotFound) for a channel the enumeration lacks.
    const Channel& channel(int index) const;
    // Every readable feature's text when the channel was first asked for here.
    const std::map<std::string, std::string>& valuesAtOpen(int index);
    // Releases the channels; the result of ReleaseVideoChannel, once.
    SlotResult release();

private:
    struct LibraryCloser {
        void operator()(void* library) const { closeLibrary(library); }
    };
    // Declared before the module: unloaded after it.
    std::vector<std::unique_ptr<void, LibraryCloser>> m_cameraLibraries;
    std::unique_ptr<VideoModule> m_module;
    Enumeration m_enumeration;
    std::map<int, std::map<std::string, std::string>> m_valuesAtOpen;
    bool m_released = false;
};

} // namespace aikhost

#endif
