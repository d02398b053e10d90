// Image requests wait for a newer image on the server (a long poll), so a client
// gets each image as soon as it is there and never more than the newest one. Waits
// and snapshots take a bounded number of the answering threads, so that figures and
// features are always answered.
#include "host/view/view_server.h"

#include "host/view/feature_json.h"
#include "host/view/png_snapshot.h"
#include "host/view/view_page.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultWaitMs = 2000;
constexpr int kLongestWaitMs = 10000;
// Feature numbers tried at most: far beyond any camera, a bound on a module that never says "no more".
constexpr int32_t kMostFeatures = 10000;
// Of FrontLimits::answering threads: image waits and snapshot encodings at once.
constexpr int kMostImageWaits = 8;
constexpr int kMostSnapshots = 2;

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
    response.set_content(jsonText(body), "application/json");
}

void sendClosing(httplib::Response& response) {
    sendJson(response, {{"error", "the view is closing"}}, 503);
}

// One of at most `most` holders of something at once, for as long as it lives.
class Turn {
public:
    Turn(std::atomic<int>& holders, int most) : m_holders(holders), m_granted(++holders <= most) {}
    ~Turn() { --m_holders; }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;
    bool granted() const { return m_granted; }

private:
    std::atomic<int>& m_holders;
    const bool m_granted;
};

void sendBusy(httplib::Response& response) {
    response.set_header("Retry-After", "1");
    sendJson(response, {{"error", "too many such requests at once; ask again"}}, 503);
}

// The front reads a body whole only up to the size the guard lets through.
FrontLimits viewLimits() {
    FrontLimits limits;
    limits.bodyBytes = kMostBodyBytes;
    return limits;
}

} // namespace

// A histogram in JSON: every field under its own name.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(PlaneHistogram, plane, bits, minimum, maximum, mean, deviation,
                                   saturatedPercent, counts)

ViewServer::ViewServer(ChannelWorker& worker, ImageFeed& feed, nlohmann::json channel)
    : m_worker(worker), m_feed(feed), m_channel(std::move(channel)),
      m_front([this](httplib::Stream& stream, bool closeAfter,
                     bool& closed) { return m_router.process_request(stream, closeAfter, closed, nullptr); },
              viewLimits()) {
    m_router.set_default_headers(AccessGuard::securityHeaders());
    // Whatever a handler throws, the client learns only that it failed.
    m_router.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            sendJson(response, {{"error", "internal error"}}, 500);
        });
    addGuard();
    m_router.Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(viewPage(), "text/html; charset=utf-8");
    });
    addImageRoutes();
    addAcquisitionRoutes();
    addFeatureRoutes();
}

void ViewServer::start(const AccessRules& rules) {
    m_guard = std::make_unique<AccessGuard>(rules);
    m_front.start();
}

void ViewServer::addGuard() {
    m_router.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        if (const auto refused = m_guard->refusal(request)) {
            sendJson(response, {{"error", refused->reason}}, refused->status);
            return httplib::Server::HandlerResponse::Handled;
        }
        if (const std::string cookie = m_guard->tokenCookie(request); !cookie.empty())
            response.set_header("Set-Cookie", cookie);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // A client that waits for 100 Continue before its body is refused at once instead.
    m_router.set_expect_100_continue_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            const auto refused = m_guard->refusal(request);
            if (!refused)
                return 100;
            sendJson(response, {{"error", refused->reason}}, refused->status);
            return refused->status;
        });
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
    m_router.Get("/image.jpg", [this](const httplib::Request& request, httplib::Response& response) {
        const Turn turn(m_imageWaits, kMostImageWaits);
        if (!turn.granted())
            return sendBusy(response);
        const auto wait = std::min<uint64_t>(numberParam(request, "wait", kDefaultWaitMs), kLongestWaitMs);
        const auto image =
            m_feed.newerThan(numberParam(request, "after", 0), std::chrono::milliseconds(wait));
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
        response.set_content(reinterpret_cast<const char*>(image->jpeg.data()), image->jpeg.size(),
                             "image/jpeg");
    });
    m_router.Get("/histogram", [this](const httplib::Request&, httplib::Response& response) {
        const auto shown = m_feed.shown();
        if (!shown)
            response.status = 204;
        else
            sendJson(response, {{"image", shown->number}, {"planes", shown->histograms}});
    });
    // The levels of one pixel of the image shown, as delivered.
    m_router.Get("/pixel", [this](const httplib::Request& request, httplib::Response& response) {
        const uint64_t x = numberParam(request, "x", UINT64_MAX);
        const uint64_t y = numberParam(request, "y", UINT64_MAX);
        nlohmann::json answer;
        int status = 204;
        m_feed.readShown([&](const ShownImage& shown, const LiveImage& image) {
            const ImagePlanes planes(shown.geometry, image.pixels);
            const auto width = static_cast<uint64_t>(shown.geometry.width);
            if (planes.count() == 0 || x >= width || y >= static_cast<uint64_t>(shown.geometry.height)) {
                status = 400;
                answer = {{"error", "x and y must name a pixel of the " +
                                        std::to_string(shown.geometry.width) + " x " +
                                        std::to_string(shown.geometry.height) + " image"}};
                return;
            }
            status = 200;
            answer = {{"image", shown.number}, {"x", x}, {"y", y}, {"bits", planes.bits()}};
            for (int plane = 0; plane < planes.count(); ++plane) {
                answer["planes"].push_back(planes.name(plane));
                answer["levels"].push_back(planes.sample(plane, y * width + x));
            }
        });
        if (status == 204)
            response.status = status;
        else
            sendJson(response, answer, status);
    });
    // The image shown, whole and at its depth, as a file to keep.
    m_router.Get("/snapshot.png", [this](const httplib::Request&, httplib::Response& response) {
        const Turn turn(m_snapshots, kMostSnapshots);
        if (!turn.granted())
            return sendBusy(response);
        ImageAttributes geometry{};
        uint64_t number = 0;
        std::vector<uint8_t> pixels;
        // Copied out so that encoding holds up no new image.
        m_feed.readShown([&](const ShownImage& shown, const LiveImage& image) {
            geometry = shown.geometry;
            number = shown.number;
            const ImagePlanes planes(geometry, image.pixels);
            pixels.assign(image.pixels.begin(),
                          image.pixels.begin() + static_cast<std::ptrdiff_t>(planes.bytes()));
        });
        const std::vector<uint8_t> file =
            pngSnapshot(ImagePlanes(geometry, pixels), static_cast<uint32_t>(std::max(0, geometry.width)),
                        static_cast<uint32_t>(std::max(0, geometry.height)));
        if (file.empty()) {
            response.status = 204;
            return;
        }
        response.set_header("Content-Disposition", "attachment; filename=\"aikhost-ch" +
                                                       m_channel.value("channel", nlohmann::json(0)).dump() +
                                                       "-image" + std::to_string(number) + ".png\"");
        response.set_content(reinterpret_cast<const char*>(file.data()), file.size(), "image/png");
    });
    m_router.Get("/figures", [this](const httplib::Request&, httplib::Response& response) {
        sendJson(response, figures());
    });
}

void ViewServer::addAcquisitionRoutes() {
    const auto acquisition = [this](std::optional<SlotResult> (ChannelWorker::*action)()) {
        return [this, action](const httplib::Request&, httplib::Response& response) {
            const std::optional<SlotResult> done = (m_worker.*action)();
            if (!done)
                return sendClosing(response);
            sendJson(response, done->ok() ? figures() : nlohmann::json{{"error", m_worker.figures().problem}},
                     done->ok() ? 200 : 409);
        };
    };
    m_router.Post("/start", acquisition(&ChannelWorker::start));
    m_router.Post("/stop", acquisition(&ChannelWorker::stop));
}

void ViewServer::addFeatureRoutes() {
    // One task per feature, so that acquisition goes on between them.
    m_router.Get("/features", [this](const httplib::Request&, httplib::Response& response) {
        nlohmann::json features = nlohmann::json::array();
        for (int32_t index = 0; index < kMostFeatures; ++index) {
            nlohmann::json feature;
            if (!m_worker.run([&](const Channel& channel) { feature = describeFeature(channel, index); }))
                return sendClosing(response);
            if (feature.is_null())
                break;
            features.push_back(std::move(feature));
        }
        sendJson(response, features);
    });
    m_router.Get(R"(/features/([^/]+))",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     const std::string feature = request.matches[1];
                     TextResult value;
                     if (!m_worker.run([&](const Channel& channel) { value = channel.readValue(feature); }))
                         return sendClosing(response);
                     sendJson(response,
                              value.ok() ? nlohmann::json{{"name", feature}, {"value", value.text}}
                                         : slotError("ReadValue", feature, value),
                              value.ok() ? 200 : 422);
                 });
    // The body is {"value": TEXT}; the write is checked as aikhost set checks it.
    m_router.Put(R"(/features/([^/]+))", [this](const httplib::Request& request,
                                                httplib::Response& response) {
        const std::string feature = request.matches[1];
        const nlohmann::json body = nlohmann::json::parse(request.body, nullptr, false);
        if (!body.is_object() || !body.contains("value") || !body["value"].is_string())
            return sendJson(response, {{"error", "the body must be {\"value\": TEXT}"}}, 400);
        const std::string value = body["value"].get<std::string>();
        // The module reads the value up to its first NUL: the rest would be lost unseen.
        if (value.find('\0') != std::string::npos)
            return sendJson(response, {{"error", "a value with a NUL character is refused"}}, 400);
        WriteOutcome outcome;
        if (!m_worker.run([&](const Channel& channel) { outcome = writeFeature(channel, feature, value); }))
            return sendClosing(response);
        sendJson(response, writeAnswer(outcome), outcome.ok ? 200 : 422);
    });
    m_router.Post(
        R"(/features/([^/]+)/execute)", [this](const httplib::Request& request, httplib::Response& response) {
            const std::string feature = request.matches[1];
            SlotResult executed;
            if (!m_worker.run([&](const Channel& channel) { executed = channel.executeCommand(feature); }))
                return sendClosing(response);
            sendJson(response,
                     executed.ok() ? nlohmann::json{{"name", feature}, {"executed", true}}
                                   : slotError("ExecuteCommand", feature, executed),
                     executed.ok() ? 200 : 422);
        });
}

} // namespace aikhost
