// Image delivery slots: the geometry the host sizes its buffer from, and the image.
#include "acquisition/image_delivery.h"

#include "acquisition/acquisition_slots.h"
#include "camera/image_transfer.h"
#include "channel/slot_guard.h"

#include <cstring>

namespace {

constexpr char kFormatNotSupported[] = "Not suppreted image format.";
static_assert(sizeof kFormatNotSupported <= kResultTextBytes, "an ordinary message fits the host's bound");

// The host's code of a delivered kind; -1 for the kind never delivered.
int32_t HostPixelFormat(ImageKind kind) {
    switch (kind) {
    case ImageKind::Mono8:
        return AIK_PIXEL_MONO8;
    case ImageKind::Mono10:
        return AIK_PIXEL_MONO10;
    case ImageKind::Mono12:
        return AIK_PIXEL_MONO12;
    case ImageKind::ThreePlanes:
        return AIK_PIXEL_PLANES_RGB;
    case ImageKind::NotDelivered:
        break;
    }
    return -1;
}

// Bounded like every ordinary message; the code is left to the log line, since the
// text with it never fits into the host's 32 bytes.
void WriteFormatMessage(char* errText) {
    if (errText == nullptr)
        return;
    memcpy(errText, kFormatNotSupported, sizeof kFormatNotSupported);
}

void WriteGeometry(const CameraDevice& cam, ImageAttributes& attributes) {
    attributes.width = static_cast<int32_t>(cam.m_uiCamWidth);
    attributes.height = static_cast<int32_t>(cam.m_uiCamHeight);
    attributes.pitch = static_cast<int32_t>(cam.m_uiCamWidth);
    // Differences in 32-bit arithmetic: a window raised to the camera's minimum offset
    // lies right of or below the requested point and gives a negative origin.
    attributes.roix = static_cast<int32_t>(cam.m_uiRoiX - cam.m_uiCamOffsetX);
    attributes.roiy = static_cast<int32_t>(cam.m_uiRoiY - cam.m_uiCamOffsetY);
    attributes.roiwidth = static_cast<int32_t>(cam.m_uiRoiWidth);
    attributes.roiheight = static_cast<int32_t>(cam.m_uiRoiHeight);
    attributes.offsetx = static_cast<int32_t>(cam.m_uiRoiX);
    attributes.offsety = static_cast<int32_t>(cam.m_uiRoiY);
    AIK_TRACE(" width = %ld, height = %ld, pitch = %ld\n", static_cast<long>(attributes.width),
              static_cast<long>(attributes.height), static_cast<long>(attributes.pitch));
    AIK_TRACE(" roix = %d, roiy = %d, roiwidth = %d, roiheight = %d\n", attributes.roix, attributes.roiy,
              attributes.roiwidth, attributes.roiheight);
    AIK_TRACE(" offsetx = %d, offsety = %d\n", attributes.offsetx, attributes.offsety);
}

} // namespace

int32_t AIK_CALL GetImageAttributes(char* errText, int64_t channelID, ImageAttributes* attributes,
                                    uint32_t* acqResult) {
    static constexpr const char* kName = "GetImageAttributes";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        const CameraDevice* cam = ResolveOrReject(kName, errText, channelID);
        if (cam == nullptr)
            return 1;
        WriteGeometry(*cam, *attributes);
        const ImageKind kind = KindOfPixelFormat(cam->m_ePixelFormat);
        if (kind == ImageKind::NotDelivered) {
            WriteFormatMessage(errText);
            AIK_LOG(LOG_ERROR, "EXIT : %s(%s(0x%x))", kName, kFormatNotSupported, cam->m_ePixelFormat);
            return 1;
        }
        attributes->pixelFormat = HostPixelFormat(kind);
        AIK_TRACE(" pixelFormat = %d(m_ePixelFormat:0x%x)\n", attributes->pixelFormat, cam->m_ePixelFormat);
        *acqResult = AIK_ACQ_DONE;
        AIK_LOG(LOG_INFO, "EXIT : %s, acqResult=%d", kName, 0);
        return 0;
    });
}

int32_t AIK_CALL GetImage(char* errText, int64_t channelID, void* buffer, uint32_t* acqResult) {
    static constexpr const char* kName = "GetImage";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        CameraDevice* cam = ResolveOrReject(kName, errText, channelID);
        if (cam == nullptr)
            return 1;
        if (platform::EventWait(cam->m_hIntegrationEvent, 0)) {
            const PvxStatus status = FetchImage(*cam, buffer);
            if (status != PVX_OK) {
                *acqResult = AIK_ACQ_NOT_DELIVERED;
                if (status == PVX_ERR_NOT_AVAILABLE)
                    WriteFormatMessage(errText);
                else
                    SetResultText(errText, status);
                return 1;
            }
            *acqResult = AIK_ACQ_DONE;
        } else if (platform::EventWait(cam->m_hFrameEvent, kFrameWaitMs)) {
            // An image the host has not waited for is not delivered; acqResult keeps
            // the host's value.
            platform::EventReset(cam->m_hIntegrationEvent);
        } else {
            *acqResult = AIK_ACQ_TIMEOUT;
        }
        AIK_LOG(LOG_INFO, "EXIT : %s, acqResult=%d", kName, static_cast<int>(*acqResult));
        return 0;
    });
}
