// --set and --load are applied in the order given, so they are read back from the
// parse order rather than from their options' separate result lists.
#include "host/cli/app.h"

#include "host/cli/build_version.h"
#include "host/cli/exit_code.h"
#include "host/cli/option_checks.h"
#include "host/commands/commands.h"

#include <iostream>
#include <limits>

namespace aikhost {

namespace {

std::vector<Setting> orderedSettings(CLI::App& app, CLI::Option* set, CLI::Option* load) {
    std::vector<Setting> settings;
    const std::vector<std::string> sets = set->results();
    const std::vector<std::string> loads = load->results();
    std::size_t nextSet = 0, nextLoad = 0;
    for (const CLI::Option* option : app.parse_order()) {
        if (option == set && nextSet < sets.size())
            settings.push_back({false, sets[nextSet++]});
        else if (option == load && nextLoad < loads.size())
            settings.push_back({true, loads[nextLoad++]});
    }
    return settings;
}

// The module's version is its AdapterVersion feature, read on channel 0.
int printVersion(CliContext& context) {
    std::cout << "aikhost " << packageVersion() << " (commit " << gitCommit() << ")\n";
    int exitCode = kExitOk;
    runCommand(context, "version", [&context] {
        Session& session = openSession(context);
        std::cout << "module " << session.module().path() << ": ";
        if (session.channels().empty()) {
            std::cout << "version unknown (no camera to ask)\n";
            return kExitOk;
        }
        TextResult version = session.channels().front().readValue("AdapterVersion");
        std::cout << (version.ok() ? version.text : "version unknown (" + version.errText + ")") << '\n';
        return kExitOk;
    });
    exitCode = context.exitCode;
    return exitCode;
}

} // namespace

std::unique_ptr<CLI::App> buildApp(CliContext& context, AppKind kind, const LineOptions& defaults) {
    auto app = std::make_unique<CLI::App>("Stand-in host for the QuorvexAIK64 camera adapter module",
                                          kind == AppKind::Program ? "aikhost" : "");
    app->fallthrough();
    app->footer(kExitCodeHelp);
    LineOptions& line = context.line;
    line =
        LineOptions{defaults.channel, defaults.device, defaults.deviceKey, defaults.json, defaults.force, {}};
    if (kind == AppKind::Program) {
        app->add_option("--module", context.sessionOptions.modulePath,
                        "Module to load (default: QuorvexAIK64 beside aikhost)");
        app->add_option("--sim-config", context.sessionOptions.simConfig,
                        "JSON file describing the simulated cameras")
            ->check(CLI::ExistingFile);
        app->add_option("--backend", context.sessionOptions.backend,
                        "Camera libraries to load: sim (beside aikhost) or aravis (real cameras, in aravis/ "
                        "beside it); default: whichever the loader finds")
            ->check(CLI::IsMember({"sim", "aravis"}));
        app->add_flag("--version", "Print aikhost's and the module's versions");
        app->set_help_all_flag("--help-all", "Print the help of aikhost and of every command");
    }
    CLI::Option* channel = app->add_option_function<int>(
                                  "-c,--channel",
                                  [&line](const int& number) {
                                      line.channel = number;
                                      line.device.clear();
                                  },
                                  "Channel (device number) to use, default 0")
                               ->check(wholeNumberIn(0, std::numeric_limits<int>::max(), "a channel number"));
    // -d and --serial name the camera the same way; the key says what the name may be.
    const auto nameCamera = [&line](DeviceKey key) {
        return [&line, key](const std::string& named) {
            line.device = named;
            line.deviceKey = key;
        };
    };
    CLI::Option* device =
        app->add_option_function<std::string>(
               "-d,--device", nameCamera(DeviceKey::Any),
               "Camera to use: a channel number, a serial number, a user id or (Aravis) an IP address")
            ->type_name("ID")
            ->excludes(channel);
    app->add_option_function<std::string>(
           "--serial", nameCamera(DeviceKey::Serial),
           "Camera to use: the one with this serial number (DeviceSerialNumber)")
        ->type_name("SERIAL")
        ->excludes(channel)
        ->excludes(device);
    app->add_flag("--json", line.json, "Print the result as one JSON document per command");
    app->add_flag("--force", line.force, "Load a feature set saved from another camera model");
    CLI::Option* set = app->add_option("--set", "Write NAME=VALUE after opening the channel; repeatable");
    CLI::Option* load = app->add_option("--load", "Write the feature set of FILE after opening the channel");
    set->type_name("NAME=VALUE")->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    load->type_name("FILE")->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    CLI::App* raw = app.get();
    app->parse_complete_callback(
        [raw, set, load, &line] { line.settings = orderedSettings(*raw, set, load); });

    addChannelsCommand(*app, context);
    addFeaturesCommand(*app, context);
    addGetCommand(*app, context);
    addSetCommand(*app, context);
    addExecCommand(*app, context);
#ifdef AIKHOST_VIEW
    addViewCommand(*app, context);
#endif
    addSaveCommand(*app, context);
    addLoadCommand(*app, context);
    addGrabCommand(*app, context);
#ifdef AIKHOST_RECORDING
    addRecordCommand(*app, context);
    addExportCommand(*app, context);
#endif
    if (kind == AppKind::Program)
        addShellCommand(*app, context);
    app->require_subcommand(0, 1);
    return app;
}

namespace {

template <class Parse> int runParsed(CLI::App& app, CliContext& context, Parse parse) {
    try {
        parse();
    } catch (const CLI::ParseError& error) {
        const int shown = app.exit(error);
        return shown == static_cast<int>(CLI::ExitCodes::Success) ? kExitOk : kExitUsage;
    }
    if (app.get_subcommands().empty()) {
        if (app.get_option_no_throw("--version") != nullptr && app.count("--version") > 0)
            return printVersion(context);
        std::cerr << app.help() << "aikhost: a command is needed\n";
        return kExitUsage;
    }
    return context.exitCode;
}

} // namespace

int runApp(CLI::App& app, CliContext& context, int argc, const char* const* argv) {
    return runParsed(app, context, [&] { app.parse(argc, argv); });
}

int runApp(CLI::App& app, CliContext& context, const std::string& line) {
    return runParsed(app, context, [&] { app.parse(line, false); });
}

} // namespace aikhost
