// One acquisition thread and one writer thread per channel; the channel's slots are
// called from its acquisition thread alone.
#include "host/session/record_session.h"

#include "camlib/frame_stamp.h"
#include "host/session/common_settings.h"
#include "host/session/image_metadata.h"
#include "host/session/image_queue.h"
#include "host/session/image_tally.h"
#include "host/session/stream_counts.h"
#include "recording/recording_writer.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace aikhost {

namespace {

using Clock = std::chrono::steady_clock;

// The page a delivered image becomes; rawBayer: the mosaic rebuilt from the planes.
recording::PageFormat pageFormat(const ImageAttributes& attributes, const std::string& cameraFormat,
                                 bool rawBayer) {
    recording::PageFormat format;
    format.width = static_cast<uint32_t>(attributes.width);
    format.height = static_cast<uint32_t>(attributes.height);
    format.pixelFormat = cameraFormat;
    format.planes = attributes.pixelFormat == AIK_PIXEL_PLANES_RGB && !rawBayer;
    format.significantBits = attributes.pixelFormat == AIK_PIXEL_MONO10   ? 10
                             : attributes.pixelFormat == AIK_PIXEL_MONO12 ? 12
                                                                          : 8;
    return format;
}

// What ends every channel: the user's stop or a failed write.
struct SharedStop {
    std::function<bool()> requested;
    std::atomic<bool> writeFailed{false};
    bool operator()() const { return writeFailed || (requested && requested()); }
};

// The writer thread's side: pages from the queue into the file until the queue closes;
// after a failed write the rest is only drained.
class ChannelWriter {
public:
    ChannelWriter(recording::RecordingWriter& file, ImageQueue& queue, const recording::PageFormat& format,
                  std::optional<uint32_t> mosaicFormat, SharedStop& stop)
        : m_file(file), m_queue(queue), m_format(format), m_mosaicFormat(mosaicFormat), m_stop(stop),
          m_thread([this] { run(); }) {}
    ~ChannelWriter() {
        if (m_thread.joinable())
            finish();
    }
    // Closes the queue and waits for what waits in it to be written.
    void finish() {
        m_queue.close();
        m_thread.join();
    }
    // After finish: why the file stopped taking pages; empty when it did not.
    const std::string& failure() const { return m_failure; }

private:
    void run() {
        std::vector<uint8_t> mosaic(m_mosaicFormat ? m_format.PlaneBytes() : 0);
        QueuedImage next;
        while (m_queue.take(next)) {
            if (m_failure.empty())
                write(next, mosaic);
            m_queue.recycle(std::move(next.image));
        }
    }
    void write(QueuedImage& next, std::vector<uint8_t>& mosaic) {
        const uint8_t* samples = next.image.data();
        if (m_mosaicFormat) {
            const std::size_t plane = m_format.PlaneBytes();
            camlib::StoredFromPlanes(*m_mosaicFormat, samples + 2 * plane, samples + plane, samples,
                                     m_format.width, m_format.height, mosaic.data());
            samples = mosaic.data();
        }
        try {
            m_file.Write(m_format, next.meta, samples);
        } catch (const recording::RecordingError& error) {
            m_failure = error.what();
            m_stop.writeFailed = true;
        }
    }

    recording::RecordingWriter& m_file;
    ImageQueue& m_queue;
    const recording::PageFormat m_format;
    const std::optional<uint32_t> m_mosaicFormat;
    SharedStop& m_stop;
    std::string m_failure;
    std::thread m_thread;
};

// The acquisition side's account of images since the last one queued, and in all:
// produced runs from the first frame number to the highest, so that a camera's frame
// ids (64-bit) count as the pixel stamps do; without frame numbers it is unknown.
struct HostCounts {
    uint64_t received = 0, dropped = 0;
    uint64_t lostSinceQueued = 0, droppedSinceQueued = 0;
    bool numbered = true;
    std::optional<uint64_t> first, highest;

    std::optional<uint64_t> produced() const {
        return numbered && first ? std::optional<uint64_t>(*highest - *first + 1) : std::nullopt;
    }
    std::optional<uint64_t> lost() const {
        const std::optional<uint64_t> all = produced();
        return all && *all >= received ? std::optional<uint64_t>(*all - received) : std::nullopt;
    }
    void receive(recording::ImageMeta& meta) {
        ++received;
        numbered = numbered && meta.frame.has_value();
        if (meta.frame) {
            if (!first)
                first = highest = meta.frame;
            else if (*meta.frame > *highest) {
                lostSinceQueued += *meta.frame - *highest - 1;
                highest = meta.frame;
            }
        }
        meta.lostBefore = lostSinceQueued;
        meta.droppedBefore = droppedSinceQueued;
        meta.counts = {produced(), received - dropped, lost(), dropped};
    }
    void queued() { lostSinceQueued = droppedSinceQueued = 0; }
    void refused() {
        ++droppedSinceQueued;
        ++dropped;
    }
};

std::string endOf(const ChannelRecord& record, const SharedStop& stop, bool timeUp) {
    if (stop.writeFailed)
        return "write failed";
    if (stop.requested && stop.requested())
        return "interrupted";
    if (record.loop.end != LoopEnd::Done)
        return "stream ended";
    return timeUp ? "duration" : "count";
}

void streamInto(const Channel& channel, recording::RecordingWriter& file, const RecordSettings& settings,
                std::size_t queueBytes, SharedStop& stop, ChannelRecord& record) {
    const std::optional<uint32_t> storedFormat = pixelFormatCode(record.format);
    const bool rawBayer = settings.rawBayer && storedFormat &&
                          record.attributes.pixelFormat == AIK_PIXEL_PLANES_RGB &&
                          record.format.rfind("Bayer", 0) == 0;
    const recording::PageFormat format = pageFormat(record.attributes, record.format, rawBayer);
    const std::size_t imageBytes = deliveredBytes(record.attributes);
    ImageQueue queue(imageBytes, queueBytes / imageBytes);
    ChannelWriter writer(file, queue, format, rawBayer ? storedFormat : std::nullopt, stop);
    const ImageMetadata metadata(channel);
    HostCounts counts;
    std::optional<Clock::time_point> deadline;
    bool timeUp = false;
    GrabHooks hooks;
    hooks.stopRequested = [&] {
        timeUp = timeUp || (deadline && Clock::now() >= *deadline);
        return stop() || timeUp;
    };
    hooks.waiting = [&](const ImageTally&) {
        if (settings.seconds && !deadline)
            deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(*settings.seconds));
    };
    hooks.take = [&](int, std::vector<uint8_t>& buffer, std::optional<uint32_t> frame) {
        recording::ImageMeta meta = metadata.gather(frame);
        counts.receive(meta);
        if (queue.offer(buffer, meta))
            counts.queued();
        else
            counts.refused();
        return std::string();
    };
    keepEveryImage(channel);
    const SlotResult started = channel.startAcquisition();
    if (started.ok()) {
        record.loop = takeImages(channel, record.attributes, storedFormat, settings.limits, hooks);
        const SlotResult stopped = channel.stopAcquisition();
        if (!stopped.ok())
            record.problem = "StopAcquisition: " + stopped.errText;
    } else {
        record.problem = "acquisition not started: StartAcquisition: " + started.errText;
    }
    writer.finish();
    record.counts = {counts.produced(), file.Pages(), counts.lost(), counts.received - file.Pages()};
    if (!writer.failure().empty()) {
        record.problem = "cannot write " + writer.failure();
        record.kind = FailureKind::OutputNotWritable;
    }
    file.Close(record.counts, endOf(record, stop, timeUp));
}

void recordChannel(const RecordTarget& target, const RecordSettings& settings, std::size_t queueBytes,
                   SharedStop& stop, ChannelRecord& record) {
    const Channel& channel = *target.channel;
    record.id = channel.id();
    record.name = channel.name();
    record.file = target.file;
    record.format = channel.readValue("PixelFormat").text;
    const SlotResult setup = channel.setupCommonParams(currentCommonParams(channel));
    if (!setup.ok()) {
        record.problem = "SetupCommonParams: " + setup.errText;
        record.kind = FailureKind::Refused;
        return;
    }
    const ImageAttributesResult attributes = channel.getImageAttributes();
    if (!attributes.ok()) {
        record.problem = "GetImageAttributes: " + attributes.errText;
        return;
    }
    record.attributes = attributes.attributes;
    try {
        recording::RecordingWriter file(target.file, {record.id, record.name, false, "", {}});
        streamInto(channel, file, settings, queueBytes, stop, record);
    } catch (const recording::RecordingError& error) {
        if (record.problem.empty())
            record.problem = std::string("cannot write ") + error.what();
        record.kind = FailureKind::OutputNotWritable;
        stop.writeFailed = true;
    } catch (const std::exception& error) {
        record.problem = error.what();
        record.kind = FailureKind::ImagesLost;
    }
}

} // namespace

std::vector<ChannelRecord> recordChannels(const std::vector<RecordTarget>& targets,
                                          const RecordSettings& settings) {
    std::vector<ChannelRecord> records(targets.size());
    SharedStop stop;
    stop.requested = settings.stopRequested;
    const std::size_t queueBytes = settings.queueBytes / std::max<std::size_t>(targets.size(), 1);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < targets.size(); ++i)
        threads.emplace_back([&, i] { recordChannel(targets[i], settings, queueBytes, stop, records[i]); });
    for (std::thread& thread : threads)
        thread.join();
    return records;
}

} // namespace aikhost
