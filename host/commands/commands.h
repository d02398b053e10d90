// The aikhost commands; each adds itself to the application as a subcommand.
#ifndef AIKHOST_COMMANDS_H
#define AIKHOST_COMMANDS_H

#include "host/cli/cli_context.h"

#include <CLI/CLI.hpp>

#include <string>

namespace aikhost {

// What a subcommand of one required argument does with it; its exit code.
using OneArgumentBody = int (*)(CliContext& context, const std::string& argument);
struct OneArgumentCommand {
    const char* name;
    const char* description;
    const char* argument;
    const char* argumentDescription;
    OneArgumentBody body;
};
void addOneArgumentCommand(CLI::App& app, CliContext& context, const OneArgumentCommand& command);

void addChannelsCommand(CLI::App& app, CliContext& context);
void addFeaturesCommand(CLI::App& app, CliContext& context);
void addGetCommand(CLI::App& app, CliContext& context);
void addSetCommand(CLI::App& app, CliContext& context);
void addExecCommand(CLI::App& app, CliContext& context);
void addSaveCommand(CLI::App& app, CliContext& context);
void addLoadCommand(CLI::App& app, CliContext& context);
void addGrabCommand(CLI::App& app, CliContext& context);
void addShellCommand(CLI::App& app, CliContext& context);
// Where aikhost is built with recordings (libtiff found; not on Windows).
void addRecordCommand(CLI::App& app, CliContext& context);
void addExportCommand(CLI::App& app, CliContext& context);
// Where aikhost is built with its live view (not on Windows).
void addViewCommand(CLI::App& app, CliContext& context);

} // namespace aikhost

#endif
