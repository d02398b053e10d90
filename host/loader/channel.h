// One video channel as the host holds it: the filled VideoChannelRecord and typed
// calls of its fourteen slots.
#ifndef AIKHOST_CHANNEL_H
#define AIKHOST_CHANNEL_H

#include "channel/video_channel.h"
#include "host/loader/slot_result.h"

#include <string>

namespace aikhost {

// Calls the slots of a record that GetVideoChannel filled. Every call hands the
// module a fresh zeroed 256-byte error-text buffer. A slot the record lacks (an
// extended slot under recordLevel 608) throws std::logic_error instead of jumping
// through a null pointer.
class Channel {
public:
    explicit Channel(const VideoChannelRecord& record) : m_record(record) {}

    const VideoChannelRecord& record() const { return m_record; }
    int64_t id() const { return m_record.channelID; }
    // The record's texts, bounded by their 256 bytes.
    std::string name() const;
    std::string description() const;

    SlotResult setupCommonParams(const CommonParamsRecord& params) const;
    // attributes: the host's record before the call; fields the module leaves alone keep it.
    ImageAttributesResult getImageAttributes(const ImageAttributes& attributes = {}) const;
    AcquisitionResult waitForIntegration() const;
    // buffer: the host's image buffer, sized from getImageAttributes.
    AcquisitionResult getImage(void* buffer) const;
    SlotResult startAcquisition() const;
    SlotResult stopAcquisition() const;
    SlotResult executeCommand(const std::string& feature) const;
    TextResult readValue(const std::string& addr) const;
    SlotResult writeValue(const std::string& addr, const std::string& val) const;
    TextResult getFeatureName(int32_t index) const;
    FeatureTypeResult getFeatureType(const std::string& feature) const;
    TextResult getValidEnum(const std::string& feature, int32_t enumIndex) const;
    TextResult getFeatureAttr(const std::string& feature, int32_t attr) const;
    SlotResult releaseVideoChannel() const;

private:
    VideoChannelRecord m_record;
};

} // namespace aikhost

#endif
