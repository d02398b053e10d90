// The feature commands' common frame: load the module, enumerate, pick one channel,
// run the command on it and release the cameras again.
#ifndef AIKHOST_CHANNEL_SESSION_H
#define AIKHOST_CHANNEL_SESSION_H

#include "host/cli/cli_context.h"
#include "host/loader/channel.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>

namespace aikhost {

// What the feature commands take from their command line.
struct FeatureCommandOptions {
    int channel = 0;
    std::string feature;
    std::string value;
};

// Adds a feature command with its --channel option (default 0); the options live as
// long as the callback that the caller sets on it.
CLI::App* addFeatureCommand(CLI::App& app, const char* name, const char* description,
                            const std::shared_ptr<FeatureCommandOptions>& options);

// Runs body on channel `channel` of a fresh enumeration; its result is the exit
// code. A missing channel or a failed release is reported on stderr and gives 1.
int runOnChannel(const CliContext& context, int channel, const std::function<int(const Channel&)>& body);

} // namespace aikhost

#endif
