// Writing a feature as a user asks for it: the value text checked against the
// feature's type first, the module's refusal explained from what the feature and the
// features that limit it say at that moment, and a value the camera stored otherwise
// noticed.
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
    // Why, in aikhost's words: the value against the feature's current minimum,
    // maximum and step, the feature that limits it, its type or entries.
    std::string reason;
    std::optional<std::string> readBack; // the value after the write, when readable
    bool adjusted = false;               // the camera keeps another value than the one written
    std::string limitedBy;               // the feature whose value sets the limit the value passed, if any
};

// A refused integer value inside its limits is explained by the camera's step, found
// by writing the values next to the current one and writing the current one back.
WriteOutcome writeFeature(const Channel& channel, const std::string& feature, const std::string& value);

// "NAME=VALUE" split at the first '='; nothing without one or without a name.
std::optional<std::pair<std::string, std::string>> splitAssignment(const std::string& text);

} // namespace aikhost

#endif
