// aikhost view: serves a live view of one channel to a browser: the newest image, its
// rate and losses, start/stop and the feature panel, until SIGINT or SIGTERM.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"
#include "host/session/common_settings.h"

#include "host/view/channel_worker.h"
#include "host/view/jpeg_feed.h"
#include "host/view/view_server.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace aikhost {

namespace {

struct ViewOptions {
    std::string http = "127.0.0.1:8080";
    double rate = 30; // images per second sent to clients at most
    bool stopped = false;
};

struct HttpAddress {
    std::string host;
    int port = 0;
};

// "HOST:PORT"; false when it is not that.
bool parseHttpAddress(const std::string& text, HttpAddress& address) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    const std::string port = text.substr(colon + 1);
    if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(port) > 65535)
        return false;
    address = {text.substr(0, colon), std::stoi(port)};
    return true;
}

// The largest image the channel can deliver: three planes of the whole sensor.
std::size_t largestImageBytes(const VideoChannelRecord& record) {
    return 3 * static_cast<std::size_t>(record.sensorWidth) * static_cast<std::size_t>(record.sensorHeight);
}

int serveView(const Channel& channel, const ViewOptions& options, const HttpAddress& address) {
    // The window and exposure the camera has now, so that --set and --load hold.
    const SlotResult setup = channel.setupCommonParams(currentCommonParams(channel));
    if (!setup.ok()) {
        std::cerr << "aikhost: SetupCommonParams failed: " << setup.errText << '\n';
        return kExitRefused;
    }
    LatestImage latest(largestImageBytes(channel.record()));
    ChannelWorker worker(channel, latest, !options.stopped);
    JpegFeed feed(latest, options.rate);
    ViewServer server(worker, feed, {{"channel", channel.id()}, {"name", channel.name()}});
    if (!server.bind(address.host, address.port)) {
        std::cerr << "aikhost: cannot listen on " << options.http
                  << " (address taken or not this machine's)\n";
        return kExitUsage;
    }
    std::cerr << "aikhost: live view of channel " << channel.id() << " (" << channel.name() << ") at http://"
              << address.host << ':' << server.port() << "/\n";
    if (address.host == "127.0.0.1" || address.host == "localhost")
        std::cerr << "aikhost: listening on " << address.host
                  << " only: other machines reach it through an SSH tunnel, or give --http 0.0.0.0:PORT\n";
    else
        std::cerr << "aikhost: listening on " << address.host
                  << ": anyone who reaches it can change the camera\n";
    bool served = true;
    std::thread serving([&] { served = server.serve(); });
    // Ctrl-C or SIGTERM is how a view ends, so it ends with success.
    while (!interrupted())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.stop();
    serving.join();
    std::cerr << "aikhost: live view stopped\n";
    return served ? kExitOk : kExitOther;
}

} // namespace

void addViewCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ViewOptions>();
    CLI::App* view = app.add_subcommand("view", "Serve a live view of a channel to a browser until Ctrl-C");
    view->add_option("--http", options->http, "Address and port to serve on (port 0: any free one)")
        ->capture_default_str();
    view->add_option("--rate", options->rate, "Most images per second sent to the page (JPEG encodings)")
        ->check(CLI::Range(0.1, 1000.0))
        ->capture_default_str();
    view->add_flag("--stopped", options->stopped, "Do not start acquisition until the page asks");
    view->callback([&context, options] {
        runCommand(context, "view", [&context, options] {
            HttpAddress address;
            if (!parseHttpAddress(options->http, address)) {
                std::cerr << "aikhost: --http: expected HOST:PORT such as 127.0.0.1:8080, got \""
                          << options->http << "\"\n";
                return static_cast<int>(kExitUsage);
            }
            return serveView(openChannel(context), *options, address);
        });
    });
}

} // namespace aikhost
