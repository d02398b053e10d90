// Image requests wait for a newer image on the server (a long poll), so a client
// gets each image as soon as it is there and never more than the newest one.
#include "host/view/view_server.h"

#include "host/view/feature_json.h"
#include "host/view/view_page.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultWaitMs = 2000;
constexpr int kLongestWaitMs = 10000;
// Feature numbers tried at most: far beyond any camera, a bound on a module that never says "no more".
constexpr int32_t kMostFeatures = 10000;
// Enough threads that stalled clients and the browser's own connections leave room.
constexpr std::size_t kServerThreads = 16;
// A client that reads nothing for this long loses its connection and its thread comes back.
constexpr time_t kWriteTimeoutSeconds = 2;

struct FormatName {
    int32_t hostFormat;
    const char* name;
};

constexpr FormatName kFormatNames[] = {
    {AIK_PIXEL_MONO8, "Mono8"},
    {AIK_PIXEL_MONO10, "Mono10"},
    {AIK_PIXEL_MONO12, "Mono12"},
    {AIK_PIXEL_PLANES_RGB, "RGB planes"},
};

const char* formatName(int32_t hostFormat) {
    for (const FormatName& known : kFormatNames) {
        if (known.hostFormat == hostFormat)
            return known.name;
    }
    return "unknown";
}

uint64_t numberParam(const httplib::Request& request, const char* name, uint64_t fallback) {
    if (!request.has_param(name))
        return fallback;
    return std::strtoull(request.get_param_value(name).c_str(), nullptr, 10);
}

void sendJson(httplib::Response& response, const nlohmann::json& body, int status = 200) {
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    response.set_content(body.dump(), "application/json");
}

} // namespace

ViewServer::ViewServer(ChannelWorker& worker, JpegFeed& feed, nlohmann::json channel)
    : m_worker(worker), m_feed(feed), m_channel(std::move(channel)) {
    m_server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    m_server.set_write_timeout(kWriteTimeoutSeconds, 0);
    m_server.Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(viewPage(), "text/html; charset=utf-8");
    });
    addImageRoutes();
    addFeatureRoutes();
}

bool ViewServer::bind(const std::string& host, int port) {
    m_port = port == 0 ? m_server.bind_to_any_port(host.c_str()) : port;
    return m_port > 0 && (port == 0 || m_server.bind_to_port(host.c_str(), port));
}

bool ViewServer::serve() {
    return m_server.listen_after_bind();
}

nlohmann::json ViewServer::figures() const {
    const ViewFigures figures = m_worker.figures();
    nlohmann::json answer = m_channel;
    answer["streaming"] = figures.streaming;
    answer["delivered"] = figures.delivered;
    answer["lost"] = figures.loss.known ? nlohmann::json(figures.loss.lost) : nlohmann::json(nullptr);
    answer["failures"] = figures.failures;
    answer["imagesPerSecond"] = figures.imagesPerSecond;
    answer["frame"] =
        figures.loss.lastFrame ? nlohmann::json(*figures.loss.lastFrame) : nlohmann::json(nullptr);
    answer["width"] = figures.geometry.width;
    answer["height"] = figures.geometry.height;
    answer["format"] = formatName(figures.geometry.pixelFormat);
    answer["problem"] = figures.problem;
    return answer;
}

void ViewServer::addImageRoutes() {
    m_server.Get("/image.jpg", [this](const httplib::Request& request, httplib::Response& response) {
        const auto wait = std::min<uint64_t>(numberParam(request, "wait", kDefaultWaitMs), kLongestWaitMs);
        const auto image =
            m_feed.newerThan(numberParam(request, "after", 0), std::chrono::milliseconds(wait));
        response.set_header("Cache-Control", "no-store");
        if (!image) {
            response.status = 204; // nothing newer within the wait: ask again
            return;
        }
        response.set_header("X-Image-Number", std::to_string(image->number));
        if (image->frame)
            response.set_header("X-Frame-Number", std::to_string(*image->frame));
        const auto acquired =
            std::chrono::duration_cast<std::chrono::nanoseconds>(image->acquired.time_since_epoch());
        response.set_header("X-Acquired-Ns", std::to_string(acquired.count()));
        const auto age =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - image->acquired);
        response.set_header("X-Image-Age-Us", std::to_string(age.count()));
        response.set_content(reinterpret_cast<const char*>(image->file.data()), image->file.size(),
                             "image/jpeg");
    });
    m_server.Get("/figures", [this](const httplib::Request&, httplib::Response& response) {
        sendJson(response, figures());
    });
    m_server.Post("/start", [this](const httplib::Request&, httplib::Response& response) {
        const SlotResult started = m_worker.start();
        sendJson(response, started.ok() ? figures() : nlohmann::json{{"error", m_worker.figures().problem}},
                 started.ok() ? 200 : 409);
    });
    m_server.Post("/stop", [this](const httplib::Request&, httplib::Response& response) {
        const SlotResult stopped = m_worker.stop();
        sendJson(response, stopped.ok() ? figures() : nlohmann::json{{"error", m_worker.figures().problem}},
                 stopped.ok() ? 200 : 409);
    });
}

void ViewServer::addFeatureRoutes() {
    // One task per feature, so that acquisition goes on between them.
    m_server.Get("/features", [this](const httplib::Request&, httplib::Response& response) {
        nlohmann::json features = nlohmann::json::array();
        for (int32_t index = 0; index < kMostFeatures; ++index) {
            nlohmann::json feature;
            m_worker.run([&](const Channel& channel) { feature = describeFeature(channel, index); });
            if (feature.is_null())
                break;
            features.push_back(std::move(feature));
        }
        sendJson(response, features);
    });
    m_server.Get(R"(/features/([^/]+))",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     const std::string feature = request.matches[1];
                     TextResult value;
                     m_worker.run([&](const Channel& channel) { value = channel.readValue(feature); });
                     sendJson(response,
                              value.ok() ? nlohmann::json{{"name", feature}, {"value", value.text}}
                                         : slotError("ReadValue", feature, value),
                              value.ok() ? 200 : 422);
                 });
    // The body is the value text; the answer carries what the feature reads afterwards.
    m_server.Put(R"(/features/([^/]+))",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     const std::string feature = request.matches[1];
                     SlotResult written;
                     TextResult value;
                     m_worker.run([&](const Channel& channel) {
                         written = channel.writeValue(feature, request.body);
                         if (written.ok())
                             value = channel.readValue(feature);
                     });
                     nlohmann::json answer = {{"name", feature}};
                     if (!written.ok())
                         answer = slotError("WriteValue", feature, written);
                     else if (value.ok())
                         answer["value"] = value.text;
                     sendJson(response, answer, written.ok() ? 200 : 422);
                 });
    m_server.Post(
        R"(/features/([^/]+)/execute)", [this](const httplib::Request& request, httplib::Response& response) {
            const std::string feature = request.matches[1];
            SlotResult executed;
            m_worker.run([&](const Channel& channel) { executed = channel.executeCommand(feature); });
            sendJson(response,
                     executed.ok() ? nlohmann::json{{"name", feature}, {"executed", true}}
                                   : slotError("ExecuteCommand", feature, executed),
                     executed.ok() ? 200 : 422);
        });
}

} // namespace aikhost
