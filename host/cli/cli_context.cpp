// The module is loaded once per aikhost process: a shell keeps what its lines set.
#include "host/cli/cli_context.h"

#include "host/cli/exit_code.h"
#include "host/session/feature_set.h"

#include <exception>
#include <iostream>

namespace aikhost {

namespace {

void applySetting(const Channel& channel, const Setting& setting) {
    if (setting.load) {
        bool refused = false;
        for (const WriteOutcome& outcome : applyFeatureSet(channel, readFeatureSetFile(setting.text)))
            refused = !reportWrite(outcome) || refused;
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
    if (!context.session)
        context.session = std::make_unique<Session>(context.sessionOptions);
    return *context.session;
}

const Channel& openChannel(CliContext& context, int index) {
    Session& session = openSession(context);
    const Channel& channel = session.channel(index);
    if (context.namedChannel != index) {
        std::cerr << "aikhost: channel " << index << ": " << channel.name() << '\n';
        context.namedChannel = index;
    }
    session.valuesAtOpen(index);
    for (const Setting& setting : context.line.settings)
        applySetting(channel, setting);
    return channel;
}

const Channel& openChannel(CliContext& context) {
    return openChannel(context, context.line.channel);
}

bool reportWrite(const WriteOutcome& outcome) {
    if (!outcome.ok) {
        if (!outcome.moduleText.empty())
            std::cerr << "aikhost: WriteValue(" << outcome.feature << ", " << outcome.value
                      << ") failed: " << outcome.moduleText << '\n';
        std::cerr << "aikhost: " << outcome.reason << '\n';
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
    std::string error;
    try {
        context.exitCode = body();
        return;
    } catch (const HostFailure& failure) {
        error = failure.what();
        context.exitCode = exitCodeOf(failure.kind());
    } catch (const std::exception& failure) {
        error = failure.what();
        context.exitCode = kExitOther;
    }
    std::cerr << "aikhost: " << error << '\n';
    if (context.line.json)
        printDocument({{"command", command}, {"error", error}, {"exitCode", context.exitCode}});
}

} // namespace aikhost
