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

// what: aikhost's own sentence; detail: what the module or the system said, shown
// after it.
class HostFailure : public std::runtime_error {
public:
    HostFailure(FailureKind kind, const std::string& what, std::string detail = "")
        : std::runtime_error(what), m_kind(kind), m_detail(std::move(detail)) {}
    FailureKind kind() const { return m_kind; }
    const std::string& detail() const { return m_detail; }

private:
    FailureKind m_kind;
    std::string m_detail;
};

} // namespace aikhost

#endif
