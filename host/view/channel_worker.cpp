// Tasks wait in a queue that the worker empties before every WaitForIntegration; a
// wait lasts at most 10 ms, so a task waits no longer than that plus one image copy.
#include "host/view/channel_worker.h"

#include "host/session/image_tally.h"
#include "host/session/stream_counts.h"

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

// A failing WaitForIntegration returns at once; this keeps a broken stream from
// spinning a core while the page shows why.
constexpr std::chrono::milliseconds kRetryAfterFailure{50};
constexpr std::chrono::seconds kRateWindow{1};
constexpr std::chrono::seconds kSilenceBeforeCheck{1};

} // namespace

ChannelWorker::ChannelWorker(const Channel& channel, LatestImage& latest, Reconnect reconnect)
    : m_channel(channel), m_latest(latest), m_reconnect(std::move(reconnect)), m_thread([this] { loop(); }) {}

ChannelWorker::~ChannelWorker() {
    close();
}

void ChannelWorker::close() {
    {
        std::lock_guard<std::mutex> lock(m_tasksMutex);
        m_quit = true;
    }
    m_tasksPosted.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool ChannelWorker::run(const std::function<void(const Channel&)>& task) {
    std::packaged_task<void()> posted([this, &task] { task(m_channel); });
    std::future<void> done = posted.get_future();
    {
        std::lock_guard<std::mutex> lock(m_tasksMutex);
        if (m_quit)
            return false;
        m_tasks.push_back(std::move(posted));
    }
    m_tasksPosted.notify_all();
    done.get();
    return true;
}

std::optional<SlotResult> ChannelWorker::start() {
    SlotResult result;
    return run([&](const Channel&) { result = startHere(); }) ? std::optional<SlotResult>(result)
                                                              : std::nullopt;
}

std::optional<SlotResult> ChannelWorker::stop() {
    SlotResult result;
    return run([&](const Channel&) { result = stopHere(); }) ? std::optional<SlotResult>(result)
                                                             : std::nullopt;
}

ViewFigures ChannelWorker::figures() const {
    std::lock_guard<std::mutex> lock(m_figuresMutex);
    return m_figures;
}

void ChannelWorker::loop() {
    for (;;) {
        std::deque<std::packaged_task<void()>> tasks;
        {
            std::unique_lock<std::mutex> lock(m_tasksMutex);
            if (!m_streaming)
                m_tasksPosted.wait(lock, [this] { return m_quit || !m_tasks.empty(); });
            tasks.swap(m_tasks);
            if (m_quit && tasks.empty())
                break;
        }
        for (auto& task : tasks)
            task();
        if (m_streaming)
            acquireOne();
    }
    stopHere();
}

SlotResult ChannelWorker::startHere() {
    if (m_streaming)
        return SlotResult{0, {}};
    if (m_cameraLost) {
        std::optional<Channel> again = m_reconnect(m_channel);
        if (!again) {
            std::lock_guard<std::mutex> lock(m_figuresMutex);
            m_figures.problem = "the camera is still not answering (not found again): check its power and "
                                "network, then start again";
            return SlotResult{1, m_figures.problem};
        }
        m_channel = *again;
        m_cameraLost = false;
    }
    const ImageAttributesResult attributes = m_channel.getImageAttributes();
    SlotResult result = attributes;
    if (result.ok())
        result = m_channel.startAcquisition();
    std::lock_guard<std::mutex> lock(m_figuresMutex);
    if (!result.ok()) {
        m_figures.problem =
            (attributes.ok() ? "StartAcquisition: " : "GetImageAttributes: ") + result.errText;
        return result;
    }
    m_streaming = true;
    m_countsOffered = readStreamCounts(m_channel).has_value();
    m_lastSign = Clock::now();
    m_storedFormat = pixelFormatCode(m_channel.readValue("PixelFormat").text);
    m_figures.streaming = true;
    m_figures.geometry = attributes.attributes;
    m_figures.problem.clear();
    m_figures.loss.lastFrame.reset(); // a new stream may number its frames afresh
    m_lostBeforeStream = m_figures.loss.lost;
    m_rateStart = Clock::now();
    m_rateDelivered = m_figures.delivered;
    return result;
}

SlotResult ChannelWorker::stopHere() {
    if (!m_streaming)
        return SlotResult{0, {}};
    const SlotResult result = m_channel.stopAcquisition();
    std::lock_guard<std::mutex> lock(m_figuresMutex);
    m_streaming = false;
    m_figures.streaming = false;
    m_figures.imagesPerSecond = 0;
    if (!result.ok())
        m_figures.problem = "StopAcquisition: " + result.errText;
    return result;
}

void ChannelWorker::acquireOne() {
    const AcquisitionResult waited = m_channel.waitForIntegration();
    if (waited.acqResult != AIK_ACQ_DONE) {
        if (!waited.ok()) {
            {
                std::lock_guard<std::mutex> lock(m_figuresMutex);
                m_figures.problem = "WaitForIntegration: " + waited.errText;
            }
            std::unique_lock<std::mutex> lock(m_tasksMutex);
            m_tasksPosted.wait_for(lock, kRetryAfterFailure, [this] { return m_quit || !m_tasks.empty(); });
        }
        checkCameraAnswers(Clock::now());
        countLibraryLoss(Clock::now());
        std::lock_guard<std::mutex> lock(m_figuresMutex);
        countRate(Clock::now());
        return;
    }
    LiveImage& image = m_latest.writable();
    const AcquisitionResult delivered = m_channel.getImage(image.pixels.data());
    const Clock::time_point now = Clock::now();
    countLibraryLoss(now);
    std::lock_guard<std::mutex> lock(m_figuresMutex);
    if (delivered.foundNoNewImage()) {
        // Neither an image nor a failure: the signal outlived its image.
    } else if (!delivered.ok() || delivered.acqResult != AIK_ACQ_DONE) {
        ++m_figures.failures;
        m_figures.problem = "GetImage: " + delivered.errText;
    } else {
        image.number = ++m_figures.delivered;
        image.geometry = m_figures.geometry;
        image.frame = m_storedFormat
                          ? deliveredFrameNumber(image.geometry, image.pixels.data(), *m_storedFormat)
                          : std::nullopt;
        image.acquired = now;
        m_lastSign = now;
        if (!m_countsOffered)
            countFrame(m_figures.loss, image.frame);
        m_latest.publish();
    }
    countRate(now);
}

void ChannelWorker::checkCameraAnswers(Clock::time_point now) {
    if (!m_countsOffered || now - m_lastSign < kSilenceBeforeCheck)
        return;
    m_lastSign = now;
    if (readStreamCounts(m_channel))
        return;
    // Stopping a camera that no longer answers returns within the library's bound.
    m_channel.stopAcquisition();
    m_cameraLost = true;
    m_streaming = false;
    std::lock_guard<std::mutex> lock(m_figuresMutex);
    m_figures.streaming = false;
    m_figures.imagesPerSecond = 0;
    m_figures.problem = "the camera stopped answering (its stream counts cannot be read); once it is back, "
                        "Start finds it again";
}

void ChannelWorker::countLibraryLoss(Clock::time_point now) {
    if (!m_countsOffered || !m_streaming || now - m_lossCounted < kRateWindow)
        return;
    m_lossCounted = now;
    const std::optional<StreamCounts> counts = readStreamCounts(m_channel);
    if (!counts)
        return;
    std::lock_guard<std::mutex> lock(m_figuresMutex);
    m_figures.loss.known = true;
    m_figures.loss.lost = m_lostBeforeStream + counts->lost;
}

void ChannelWorker::countRate(Clock::time_point now) {
    const auto elapsed = now - m_rateStart;
    if (elapsed < kRateWindow)
        return;
    m_figures.imagesPerSecond = static_cast<double>(m_figures.delivered - m_rateDelivered) /
                                std::chrono::duration<double>(elapsed).count();
    m_rateStart = now;
    m_rateDelivered = m_figures.delivered;
}

} // namespace aikhost
