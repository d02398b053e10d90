// The one thread that calls the channel's slots while the view runs: it streams
// through WaitForIntegration and GetImage as a host does and, between two images, runs
// what the page asks of the channel (features, start, stop), so that the channel
// never sees two threads at once and no client can hold up acquisition.
#ifndef AIKHOST_CHANNEL_WORKER_H
#define AIKHOST_CHANNEL_WORKER_H

#include "host/loader/channel.h"
#include "host/view/frame_loss.h"
#include "host/view/latest_image.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace aikhost {

struct ViewFigures {
    bool streaming = false;
    uint64_t delivered = 0;     // images GetImage delivered
    FrameLoss loss;             // images the camera made that the host did not get
    uint64_t failures = 0;      // GetImage calls that delivered nothing
    double imagesPerSecond = 0; // delivered over the last full second
    ImageAttributes geometry{}; // as GetImageAttributes reported at the last start
    std::string problem;        // the last slot failure, empty while all goes well
};

class ChannelWorker {
public:
    // The channel anew after its camera stopped answering (the module released and
    // enumerated again); nothing while the camera is not back.
    using Reconnect = std::function<std::optional<Channel>(const Channel& lost)>;

    // latest receives every delivered image once start() has started streaming.
    ChannelWorker(const Channel& channel, LatestImage& latest, Reconnect reconnect);
    // close().
    ~ChannelWorker();
    ChannelWorker(const ChannelWorker&) = delete;
    ChannelWorker& operator=(const ChannelWorker&) = delete;

    // Runs task on the worker thread between two images and waits until it has run;
    // false (task not run) once the worker is closed.
    bool run(const std::function<void(const Channel&)>& task);
    // GetImageAttributes, then StartAcquisition; StopAcquisition. Each answers on the
    // worker thread; starting a running stream or stopping a stopped one does nothing.
    // A camera that stopped answering while streaming is reconnected first. Nothing
    // once the worker is closed.
    std::optional<SlotResult> start();
    std::optional<SlotResult> stop();
    // Runs the tasks already asked for, stops acquisition if it runs and ends the
    // thread: from then on no slot of the channel is called here.
    void close();
    ViewFigures figures() const;

private:
    void loop();
    SlotResult startHere();
    SlotResult stopHere();
    void acquireOne();
    // After a second without images: a library that keeps stream counts answers them
    // without asking the camera, unless the camera stopped answering.
    void checkCameraAnswers(std::chrono::steady_clock::time_point now);
    // Once a second, the images lost as the library counts them, where it does: they
    // count what the camera made whether or not its images carry a frame number.
    void countLibraryLoss(std::chrono::steady_clock::time_point now);
    void countRate(std::chrono::steady_clock::time_point now);

    Channel m_channel;
    LatestImage& m_latest;
    const Reconnect m_reconnect;
    bool m_streaming = false;        // worker thread only
    bool m_countsOffered = false;    // the library keeps stream counts; worker thread only
    bool m_cameraLost = false;       // worker thread only
    uint64_t m_lostBeforeStream = 0; // of earlier streams; worker thread only
    std::chrono::steady_clock::time_point m_lossCounted{}; // worker thread only
    std::chrono::steady_clock::time_point m_lastSign{};    // an image or a check; worker thread only
    std::optional<uint32_t> m_storedFormat; // the camera's PixelFormat code; worker thread only

    std::mutex m_tasksMutex;
    std::condition_variable m_tasksPosted;
    std::deque<std::packaged_task<void()>> m_tasks;
    bool m_quit = false;

    mutable std::mutex m_figuresMutex;
    ViewFigures m_figures;
    std::chrono::steady_clock::time_point m_rateStart{};
    uint64_t m_rateDelivered = 0;

    std::thread m_thread; // last: starts once everything above exists
};

} // namespace aikhost

#endif
