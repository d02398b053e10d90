// What every aikhost command shares: the global options, the one session the module
// is loaded in, the channel in use, and how results reach the user.
#ifndef AIKHOST_CLI_CONTEXT_H
#define AIKHOST_CLI_CONTEXT_H

#include "host/session/device_choice.h"
#include "host/session/feature_write.h"
#include "host/session/session.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace aikhost {

// A --set NAME=VALUE or --load FILE, in command-line order.
struct Setting {
    bool load = false;
    std::string text;
};

// The options a command line gives before or after its command.
struct LineOptions {
    int channel = 0;
    std::string device; // -d or --serial: what identifies the camera; empty: channel decides
    DeviceKey deviceKey = DeviceKey::Any;
    bool json = false;
    bool force = false; // load a feature set saved from another camera model
    std::vector<Setting> settings;
};

struct CliContext {
    SessionOptions sessionOptions;
    LineOptions line;
    std::unique_ptr<Session> session; // opened by the first command that needs a camera
    int namedChannel = -1;            // the channel last named on stderr
    int exitCode = 0;
};

// An address given with -d is handed to the Aravis libraries when the environment
// names no cameras of its own, so that a camera outside broadcast reach is found.
Session& openSession(CliContext& context);
// The line's channel (-d, else -c): named once on stderr with what identifies it, its
// values at open noted, then the line's --set/--load applied in order (a refusal
// throws HostFailure, Refused). Throws HostFailure (NotFound) for an absent camera.
const Channel& openChannel(CliContext& context);
const Channel& openChannel(CliContext& context, int channel);

// Reports a write's outcome on stderr, aikhost's reason before the module's text
// (warning or error lines); selector: the entry a set's value was for. True when it
// succeeded.
bool reportWrite(const WriteOutcome& outcome, const std::string& selector = "");

// Prints a JSON document as one line on stdout.
void printDocument(const nlohmann::json& document);

// Runs a command's body and stores its exit code; a HostFailure or anything else it
// throws is reported on stderr (and as {"error", "exitCode"} under --json).
void runCommand(CliContext& context, const char* command, const std::function<int()>& body);

} // namespace aikhost

#endif
