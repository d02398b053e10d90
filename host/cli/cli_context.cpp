// The module is loaded once per aikhost process: a shell keeps what its lines set.
#include "host/cli/cli_context.h"

#include "host/cli/exit_code.h"
#include "host/loader/host_os.h"
#include "host/session/device_choice.h"
#include "host/session/feature_set.h"

#include <exception>
#include <iostream>

namespace aikhost {

namespace {

// The Aravis libraries' list of cameras to open (docs/real-cameras.md).
constexpr char kAravisCamerasVariable[] = "QUORVEX_ARAVIS_CAMERAS";

void applySetting(const Channel& channel, const Setting& setting, bool force) {
    if (setting.load) {
        const FeatureSet set = readFeatureSetFile(setting.text);
        checkSetModel(set, channel, force, setting.text);
        bool refused = false;
        for (const LoadOutcome& outcome : applyFeatureSet(channel, set))
            refused = !reportWrite(outcome.write, outcome.selector) || refused;
        if (refused)
            throw HostFailure(FailureKind::Refused, setting.text + ": some features refused their values");
        return;
    }
    const auto assignment = splitAssignment(setting.text);
    if (!assignment)
        throw HostFailure(FailureKind::Usage, "--set " + setting.text + ": expected NAME=VALUE");
    const WriteOutcome outcome = writeFeature(channel, assignment->first, assignment->second);
    if (!reportWrite(outcome))
        throw HostFailure(outcome.failure, "--set " + setting.text + " was not applied");
}

} // namespace

Session& openSession(CliContext& context) {
    if (!context.session) {
        if (isNetworkAddress(context.line.device) && environmentValue(kAravisCamerasVariable).empty())
            setEnvironment(kAravisCamerasVariable, context.line.device);
        context.session = std::make_unique<Session>(context.sessionOptions);
    }
    return *context.session;
}

const Channel& openChannel(CliContext& context, int index) {
    Session& session = openSession(context);
    const Channel& channel = session.channel(index);
    if (context.namedChannel != index) {
        const std::string identity = identityText(identifyChannel(channel));
        std::cerr << "aikhost: channel " << index << ": " << channel.name()
                  << (identity.empty() ? "" : ", " + identity) << '\n';
        context.namedChannel = index;
    }
    session.valuesAtOpen(index);
    for (const Setting& setting : context.line.settings)
        applySetting(channel, setting, context.line.force);
    return channel;
}

const Channel& openChannel(CliContext& context) {
    if (!context.line.device.empty())
        context.line.channel = findChannel(openSession(context), context.line.device, context.line.deviceKey);
    return openChannel(context, context.line.channel);
}

bool reportWrite(const WriteOutcome& outcome, const std::string& selector) {
    if (!outcome.ok) {
        std::cerr << "aikhost: " << (selector.empty() ? "" : "[" + selector + "] ") << outcome.reason << '\n';
        if (!outcome.moduleText.empty())
            std::cerr << "aikhost:   the module's text: WriteValue(" << outcome.feature << ", "
                      << outcome.value << ") failed: " << outcome.moduleText << '\n';
        return false;
    }
    if (outcome.adjusted)
        std::cerr << "aikhost: warning: " << outcome.feature << " " << outcome.value << " was set as "
                  << *outcome.readBack << '\n';
    return true;
}

void printDocument(const nlohmann::json& document) {
    std::cout << document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void runCommand(CliContext& context, const char* command, const std::function<int()>& body) {
    std::string error, detail;
    try {
        context.exitCode = body();
        return;
    } catch (const HostFailure& failure) {
        error = failure.what();
        detail = failure.detail();
        context.exitCode = exitCodeOf(failure.kind());
    } catch (const std::exception& failure) {
        error = failure.what();
        context.exitCode = kExitOther;
    }
    std::cerr << "aikhost: " << error << '\n';
    if (!detail.empty())
        std::cerr << "aikhost:   " << detail << '\n';
    if (context.line.json) {
        nlohmann::json document{{"command", command}, {"error", error}, {"exitCode", context.exitCode}};
        if (!detail.empty())
            document["detail"] = detail;
        printDocument(document);
    }
}

} // namespace aikhost
