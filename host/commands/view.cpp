// aikhost view: serves a live view of one channel to a browser: the newest image, its
// rate, losses and histograms, start/stop, snapshots and the feature panel, until
// SIGINT or SIGTERM.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"
#include "host/session/common_settings.h"

#include "host/view/access_guard.h"
#include "host/view/channel_worker.h"
#include "host/view/http_address.h"
#include "host/view/image_feed.h"
#include "host/view/view_server.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <iostream>
#include <thread>

namespace aikhost {

namespace {

struct ViewOptions {
    std::string http = "127.0.0.1:8080";
    double rate = 30; // images per second sent to clients at most
    bool stopped = false;
    std::string token;                     // empty: generated where one is needed
    std::vector<std::string> allowedHosts; // Host names accepted besides the address's own
};

// The largest image the channel can deliver: three planes of the whole sensor.
std::size_t largestImageBytes(const VideoChannelRecord& record) {
    return 3 * static_cast<std::size_t>(record.sensorWidth) * static_cast<std::size_t>(record.sensorHeight);
}

void reportBindFailure(const HttpAddress& address, const BindOutcome& outcome) {
    std::cerr << "aikhost: cannot serve on " << authority(address.host, address.port) << ": ";
    if (outcome.error == EADDRINUSE)
        std::cerr << "port " << address.port << " is taken (another aikhost view or another program "
                  << "listens on it; port 0 picks a free one)\n";
    else if (outcome.error == EADDRNOTAVAIL || outcome.error == 0)
        std::cerr << address.host << " is not an address of this machine (" << outcome.reason << ")\n";
    else
        std::cerr << outcome.reason << '\n';
}

void reportServing(const Channel& channel, const HttpAddress& address, int port, const std::string& token) {
    std::cerr << "aikhost: live view of channel " << channel.id() << " (" << channel.name() << ") at http://"
              << authority(address.host, port) << "/" << (token.empty() ? "" : "?token=" + token) << '\n';
    if (isLoopback(address.host))
        std::cerr << "aikhost: listening on " << address.host
                  << " only: from another machine, reach it through an SSH tunnel (ssh -L " << port
                  << ":127.0.0.1:" << port << " THIS-MACHINE, then http://127.0.0.1:" << port << "/)\n";
    else
        std::cerr << "aikhost: listening on " << address.host
                  << ": every request needs the token above, and whoever has it can change the camera; "
                  << "an SSH tunnel to a view on 127.0.0.1 exposes nothing\n";
}

// The camera of a lost channel, found again by the module: every channel is released
// (the module releases them together) and enumerated anew; the one described as the
// lost one was, else the one at its place, with the window and exposure it has.
std::optional<Channel> reopen(CliContext& context, const Channel& lost) {
    lost.releaseVideoChannel();
    const Enumeration found = openSession(context).module().enumerate();
    const auto same = std::find_if(found.channels.begin(), found.channels.end(), [&](const Channel& channel) {
        return channel.description() == lost.description();
    });
    const auto at = static_cast<std::size_t>(lost.id());
    if (same == found.channels.end() && at >= found.channels.size())
        return std::nullopt;
    const Channel& channel = same != found.channels.end() ? *same : found.channels[at];
    channel.setupCommonParams(currentCommonParams(channel));
    return channel;
}

int serveView(CliContext& context, const ViewOptions& options, const HttpAddress& address) {
    const Channel& channel = openChannel(context);
    // The window and exposure the camera has now, so that --set and --load hold.
    const SlotResult setup = channel.setupCommonParams(currentCommonParams(channel));
    if (!setup.ok()) {
        std::cerr << "aikhost: SetupCommonParams failed: " << setup.errText << '\n';
        return kExitOther;
    }
    LatestImage latest(largestImageBytes(channel.record()));
    ChannelWorker worker(channel, latest, [&context](const Channel& lost) { return reopen(context, lost); });
    ImageFeed feed(latest, options.rate);
    ViewServer server(worker, feed, {{"channel", channel.id()}, {"name", channel.name()}});
    const BindOutcome bound = server.bind(address);
    if (!bound.bound) {
        reportBindFailure(address, bound);
        return kExitAddressUnavailable;
    }
    // Beyond loopback never without a token; on it, only when one is given.
    const std::string token = !options.token.empty()     ? options.token
                              : isLoopback(address.host) ? ""
                                                         : newToken();
    server.start({address.host, server.port(), options.allowedHosts, token});
    if (!options.stopped)
        worker.start(); // a failure shows on the page, as the figures' problem
    reportServing(channel, address, server.port(), token);
    // Ctrl-C or SIGTERM is how a view ends, so it ends with success.
    while (!interrupted())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // The camera first, whatever the clients do: waits for images end, acquisition
    // stops, the channel is released; only then the connections.
    latest.close();
    worker.close();
    const SlotResult released = openSession(context).release();
    if (!released.ok())
        std::cerr << "aikhost: ReleaseVideoChannel failed: " << released.errText << '\n';
    std::cerr << "aikhost: acquisition stopped, camera released\n";
    server.stop();
    std::cerr << "aikhost: live view stopped\n";
    return released.ok() ? kExitOk : kExitOther;
}

} // namespace

void addViewCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ViewOptions>();
    CLI::App* view = app.add_subcommand("view", "Serve a live view of a channel to a browser until Ctrl-C");
    view->add_option(
            "--http", options->http,
            "Address and port to serve on, an IPv6 address in brackets ([::1]:8080); port 0: any free one")
        ->capture_default_str();
    view->add_option("--rate", options->rate, "Most images per second sent to the page (JPEG encodings)")
        ->check(CLI::Range(0.1, 1000.0))
        ->capture_default_str();
    view->add_flag("--stopped", options->stopped, "Do not start acquisition until the page asks");
    view->add_option(
        "--token", options->token,
        "Secret every request must carry (default: none on 127.0.0.1, a new one printed at start "
        "on any other address)");
    view->add_option("--allow-host", options->allowedHosts,
                     "A further name clients may reach the view by (the Host header); repeatable")
        ->type_name("NAME");
    view->callback([&context, options] {
        runCommand(context, "view", [&context, options] {
            const std::optional<HttpAddress> address = parseHttpAddress(options->http);
            if (!address) {
                std::cerr << "aikhost: --http: expected HOST:PORT such as 127.0.0.1:8080, an IPv6 address in "
                             "brackets ([::1]:8080), got \""
                          << options->http << "\"\n";
                return static_cast<int>(kExitUsage);
            }
            return serveView(context, *options, *address);
        });
    });
}

} // namespace aikhost
