// aikhost: drives the adapter module from the command line as the vision host would.
#include "host/cli/cli_context.h"
#include "host/commands/commands.h"

#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
    aikhost::CliContext context;
    CLI::App app{"Stand-in host for the QuorvexAIK64 camera adapter module"};
    app.add_option("--module", context.modulePath, "Module to load (default: QuorvexAIK64 beside aikhost)");
    app.add_option("--sim-config", context.simConfig, "JSON file describing the simulated cameras")
        ->check(CLI::ExistingFile);
    app.require_subcommand(1);

    aikhost::addChannelsCommand(app, context);
    aikhost::addGrabCommand(app, context);
    aikhost::addFeaturesCommand(app, context);
    aikhost::addGetCommand(app, context);
    aikhost::addSetCommand(app, context);
    aikhost::addExecCommand(app, context);

    CLI11_PARSE(app, argc, argv);
    return context.exitCode;
}
