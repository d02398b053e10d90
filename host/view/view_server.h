// The live view's HTTP server: the page, the newest image as JPEG with its histograms,
// pixel levels and a PNG snapshot, the figures and the feature panel's calls, each
// answered through the channel worker (docs/aikhost.md, "Live view", lists the
// endpoints). Who may ask is the access guard's to say; connections are the front's.
#ifndef AIKHOST_VIEW_SERVER_H
#define AIKHOST_VIEW_SERVER_H

#include "host/view/access_guard.h"
#include "host/view/channel_worker.h"
#include "host/view/http_front.h"
#include "host/view/image_feed.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <memory>
#include <string>

namespace aikhost {

class ViewServer {
public:
    // channel: what /figures tells of the channel besides the figures (id, name, ...).
    ViewServer(ChannelWorker& worker, ImageFeed& feed, nlohmann::json channel);

    BindOutcome bind(const HttpAddress& address) { return m_front.bind(address); }
    int port() const { return m_front.port(); }
    // Answers requests from now on, to those the rules let in.
    void start(const AccessRules& rules);
    // Ends every connection and answer; the worker and the feed must be closed first,
    // so that no answer waits on them.
    void stop() { m_front.stop(); }

private:
    // httplib's parsing, routing and answer writing, for requests the front has read.
    class Router : public httplib::Server {
    public:
        using httplib::Server::process_request;
    };

    void addGuard();
    void addImageRoutes();
    void addAcquisitionRoutes();
    void addFeatureRoutes();
    nlohmann::json figures() const;

    ChannelWorker& m_worker;
    ImageFeed& m_feed;
    nlohmann::json m_channel;
    Router m_router;
    std::unique_ptr<AccessGuard> m_guard;
    HttpFront m_front;
    std::atomic<int> m_imageWaits{0};
    std::atomic<int> m_snapshots{0};
};

} // namespace aikhost

#endif
