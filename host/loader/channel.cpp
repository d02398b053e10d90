// Typed calls of the fourteen slots of a filled VideoChannelRecord.
#include "host/loader/channel.h"

#include "host/loader/text_buffer.h"

#include <cstring>
#include <stdexcept>

namespace aikhost {

namespace {

// Calls one slot with a fresh error-text buffer; the slot's own out-values are
// collected by the caller from the buffers it passed in args.
template <typename Result = SlotResult, typename Slot, typename... Args>
Result callSlot(Slot slot, const char* slotName, int64_t channelID, Args... args) {
    if (slot == nullptr) {
        throw std::logic_error(std::string("the channel record holds no ") + slotName + " slot");
    }
    TextBuffer errText;
    Result result;
    result.rc = slot(errText.bytes, channelID, args...);
    result.errText = errText.str();
    return result;
}

} // namespace

std::string Channel::name() const {
    return std::string(m_record.name, strnlen(m_record.name, sizeof m_record.name));
}

std::string Channel::description() const {
    return std::string(m_record.description, strnlen(m_record.description, sizeof m_record.description));
}

SlotResult Channel::setupCommonParams(const CommonParamsRecord& params) const {
    return callSlot(m_record.SetupCommonParams, "SetupCommonParams", id(), &params);
}

ImageAttributesResult Channel::getImageAttributes(const ImageAttributes& attributes) const {
    ImageAttributes written = attributes;
    uint32_t acqResult = kAcqResultUnwritten;
    auto result = callSlot<ImageAttributesResult>(m_record.GetImageAttributes, "GetImageAttributes", id(),
                                                  &written, &acqResult);
    result.attributes = written;
    result.acqResult = acqResult;
    return result;
}

AcquisitionResult Channel::waitForIntegration() const {
    uint32_t acqResult = kAcqResultUnwritten;
    auto result =
        callSlot<AcquisitionResult>(m_record.WaitForIntegration, "WaitForIntegration", id(), &acqResult);
    result.acqResult = acqResult;
    return result;
}

AcquisitionResult Channel::getImage(void* buffer) const {
    uint32_t acqResult = kAcqResultUnwritten;
    auto result = callSlot<AcquisitionResult>(m_record.GetImage, "GetImage", id(), buffer, &acqResult);
    result.acqResult = acqResult;
    return result;
}

SlotResult Channel::startAcquisition() const {
    return callSlot(m_record.StartAcquisition, "StartAcquisition", id());
}

SlotResult Channel::stopAcquisition() const {
    return callSlot(m_record.StopAcquisition, "StopAcquisition", id());
}

SlotResult Channel::executeCommand(const std::string& feature) const {
    return callSlot(m_record.ExecuteCommand, "ExecuteCommand", id(), feature.c_str());
}

TextResult Channel::readValue(const std::string& addr) const {
    TextBuffer val;
    auto result = callSlot<TextResult>(m_record.ReadValue, "ReadValue", id(), addr.c_str(), val.bytes);
    result.text = val.str();
    return result;
}

SlotResult Channel::writeValue(const std::string& addr, const std::string& val) const {
    return callSlot(m_record.WriteValue, "WriteValue", id(), addr.c_str(), val.c_str());
}

TextResult Channel::getFeatureName(int32_t index) const {
    TextBuffer feature;
    auto result = callSlot<TextResult>(m_record.GetFeatureName, "GetFeatureName", id(), index, feature.bytes);
    result.text = feature.str();
    return result;
}

FeatureTypeResult Channel::getFeatureType(const std::string& feature) const {
    int32_t type = 0;
    auto result =
        callSlot<FeatureTypeResult>(m_record.GetFeatureType, "GetFeatureType", id(), feature.c_str(), &type);
    result.type = type;
    return result;
}

TextResult Channel::getValidEnum(const std::string& feature, int32_t enumIndex) const {
    TextBuffer value;
    auto result = callSlot<TextResult>(m_record.GetValidEnum, "GetValidEnum", id(), feature.c_str(),
                                       enumIndex, value.bytes);
    result.text = value.str();
    return result;
}

TextResult Channel::getFeatureAttr(const std::string& feature, int32_t attr) const {
    TextBuffer answer;
    auto result = callSlot<TextResult>(m_record.GetFeatureAttr, "GetFeatureAttr", id(), feature.c_str(), attr,
                                       answer.bytes);
    result.text = answer.str();
    return result;
}

SlotResult Channel::releaseVideoChannel() const {
    return callSlot(m_record.ReleaseVideoChannel, "ReleaseVideoChannel", id());
}

} // namespace aikhost
