// Keys are stable: tools other than aikhost read them (docs/aikhost.md, "Recordings").
#include "recording/image_meta.h"

#include <nlohmann/json.hpp>

namespace recording {

namespace {

using nlohmann::json;

template <class T> json Optional(const std::optional<T>& value) {
    return value ? json(*value) : json();
}

template <class T> std::optional<T> OptionalOf(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null())
        return std::nullopt;
    return found->get<T>();
}

void PutCounts(json& object, const StreamCounts& counts) {
    object["produced"] = Optional(counts.produced);
    object["delivered"] = counts.delivered;
    object["lost"] = Optional(counts.lost);
    object["dropped"] = counts.dropped;
}

StreamCounts CountsOf(const json& object) {
    StreamCounts counts;
    counts.produced = OptionalOf<uint64_t>(object, "produced");
    counts.delivered = object.at("delivered").get<uint64_t>();
    counts.lost = OptionalOf<uint64_t>(object, "lost");
    counts.dropped = object.at("dropped").get<uint64_t>();
    return counts;
}

} // namespace

bool PageFormat::operator==(const PageFormat& other) const {
    return width == other.width && height == other.height && pixelFormat == other.pixelFormat &&
           planes == other.planes && significantBits == other.significantBits;
}

std::string DescribePage(const PageFormat& format, const ImageMeta& meta, const RecordingInfo* info) {
    json page = {{"frame", Optional(meta.frame)},
                 {"hostTimeNs", meta.hostTimeNs},
                 {"cameraTimestamp", Optional(meta.cameraTimestamp)},
                 {"exposureUs", Optional(meta.exposureUs)},
                 {"lostBefore", meta.lostBefore},
                 {"droppedBefore", meta.droppedBefore},
                 {"pixelFormat", format.pixelFormat},
                 {"significantBits", format.significantBits},
                 {"planes", format.planes}};
    PutCounts(page, meta.counts);
    if (info != nullptr) {
        json whole = {{"channel", info->channel},
                      {"camera", info->camera},
                      {"complete", info->complete},
                      {"end", info->end}};
        PutCounts(whole, info->counts);
        page["recording"] = whole;
    }
    return page.dump(-1, ' ', false, json::error_handler_t::replace);
}

PageDescription ReadPageDescription(const std::string& text) {
    try {
        const json page = json::parse(text);
        PageDescription read;
        read.meta.frame = OptionalOf<uint64_t>(page, "frame");
        read.meta.hostTimeNs = page.at("hostTimeNs").get<int64_t>();
        read.meta.cameraTimestamp = OptionalOf<uint64_t>(page, "cameraTimestamp");
        read.meta.exposureUs = OptionalOf<double>(page, "exposureUs");
        read.meta.lostBefore = page.at("lostBefore").get<uint64_t>();
        read.meta.droppedBefore = page.at("droppedBefore").get<uint64_t>();
        read.meta.counts = CountsOf(page);
        read.pixelFormat = page.at("pixelFormat").get<std::string>();
        read.significantBits = page.at("significantBits").get<uint32_t>();
        const auto whole = page.find("recording");
        if (whole != page.end()) {
            RecordingInfo info;
            info.channel = whole->at("channel").get<int64_t>();
            info.camera = whole->at("camera").get<std::string>();
            info.complete = whole->at("complete").get<bool>();
            info.end = whole->at("end").get<std::string>();
            info.counts = CountsOf(*whole);
            read.info = info;
        }
        return read;
    } catch (const json::exception& error) {
        throw RecordingError(std::string("the image description is not a recording's: ") + error.what());
    }
}

} // namespace recording
