// The live view's HTTP server: the page, the newest image as JPEG, the figures and
// the feature panel's calls, each answered through the channel worker
// (docs/aikhost.md, "Live view", lists the endpoints).
#ifndef AIKHOST_VIEW_SERVER_H
#define AIKHOST_VIEW_SERVER_H

#include "host/view/channel_worker.h"
#include "host/view/jpeg_feed.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <string>

namespace aikhost {

class ViewServer {
public:
    // channel: what /figures tells of the channel besides the figures (id, name, ...).
    ViewServer(ChannelWorker& worker, JpegFeed& feed, nlohmann::json channel);

    // Binds host:port, port 0 picking a free one; false when the address cannot be had.
    bool bind(const std::string& host, int port);
    int port() const { return m_port; }
    // Answers requests until stop(); false when listening failed.
    bool serve();
    void stop() { m_server.stop(); }

private:
    void addImageRoutes();
    void addFeatureRoutes();
    nlohmann::json figures() const;

    ChannelWorker& m_worker;
    JpegFeed& m_feed;
    nlohmann::json m_channel;
    httplib::Server m_server;
    int m_port = 0;
};

} // namespace aikhost

#endif
