// The aikhost command line: global options, which may also follow the command, and
// the commands. A shell parses each of its lines with a fresh application of its own.
#ifndef AIKHOST_APP_H
#define AIKHOST_APP_H

#include "host/cli/cli_context.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <vector>

namespace aikhost {

enum class AppKind {
    Program,  // aikhost's own command line: chooses the module, the backend, the cameras
    ShellLine // a shell's line: the session is open, so only the line's options
};

// defaults: the channel and --json a line has when it names none (a shell's own).
std::unique_ptr<CLI::App> buildApp(CliContext& context, AppKind kind, const LineOptions& defaults = {});

// Parses and runs one command line; returns the exit code, CLI11's usage errors
// mapped onto aikhost's.
int runApp(CLI::App& app, CliContext& context, int argc, const char* const* argv);
int runApp(CLI::App& app, CliContext& context, const std::string& line);

} // namespace aikhost

#endif
