// Why a host session could not do what it was asked, by class: the tools turn each
// class into their own exit code or message.
#ifndef AIKHOST_HOST_FAILURE_H
#define AIKHOST_HOST_FAILURE_H

#include <stdexcept>
#include <string>

namespace aikhost {

enum class FailureKind {
    Usage,             // the request itself is wrong (a bad option, an unreadable feature set)
    NotLoadable,       // the module or a camera library cannot be loaded
    NotFound,          // no such camera, channel or feature
    Refused,           // a feature refused a value
    ImagesLost,        // images were lost, timed out or cannot be delivered
    OutputNotWritable, // a file or standard output cannot be written
    Interrupted,       // stopped by a signal
};

class HostFailure : public std::runtime_error {
public:
    HostFailure(FailureKind kind, const std::string& what) : std::runtime_error(what), m_kind(kind) {}
    FailureKind kind() const { return m_kind; }

private:
    FailureKind m_kind;
};

} // namespace aikhost

#endif
