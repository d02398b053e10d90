// Writing a feature as a user asks for it: the value text checked against the
// feature's type first, the module's refusal explained from the inspection slots,
// and a value the camera stored otherwise noticed.
#ifndef AIKHOST_FEATURE_WRITE_H
#define AIKHOST_FEATURE_WRITE_H

#include "host/loader/channel.h"
#include "host/session/host_failure.h"

#include <optional>
#include <string>

namespace aikhost {

struct WriteOutcome {
    std::string feature;
    std::string value;
    bool ok = false;
    FailureKind failure = FailureKind::Refused; // when not ok: NotFound or Refused
    std::string moduleText;                     // what WriteValue wrote into errText
    std::string reason;                         // why, from the feature's type, limits or entries
    std::optional<std::string> readBack;        // the value after the write, when readable
    bool adjusted = false;                      // the camera keeps another value than the one written
};

WriteOutcome writeFeature(const Channel& channel, const std::string& feature, const std::string& value);

// "NAME=VALUE" split at the first '='; nothing without one or without a name.
std::optional<std::pair<std::string, std::string>> splitAssignment(const std::string& text);

} // namespace aikhost

#endif
