// Image transfer from the camera library's stream buffers to the host's buffer.
#include "camera/image_transfer.h"

#include "camera/result_text.h"
#include "diag/log.h"

#include <cstddef>

ImageKind KindOfPixelFormat(uint32_t pixelFormat) {
    switch (pixelFormat) {
    case PVX_PIXEL_MONO8:
        return ImageKind::Mono8;
    case PVX_PIXEL_MONO10:
        return ImageKind::Mono10;
    case PVX_PIXEL_MONO12:
        return ImageKind::Mono12;
    case PVX_PIXEL_BAYER_GR8:
    case PVX_PIXEL_BAYER_RG8:
    case PVX_PIXEL_BAYER_GB8:
    case PVX_PIXEL_BAYER_BG8:
    case PVX_PIXEL_RGB8:
    case PVX_PIXEL_BGR8:
        return ImageKind::ThreePlanes;
    default:
        return ImageKind::NotDelivered;
    }
}

namespace {

PvxStatus MoveLockedImage(CameraDevice& cam, const PvxImageRecord& record, uint8_t* destination) {
    switch (KindOfPixelFormat(record.uiPixelFormat)) {
    case ImageKind::Mono8:
    case ImageKind::Mono10:
    case ImageKind::Mono12: {
        uint32_t size = record.uiDataBytes;
        return pvxCopyImageData(cam.m_hStrm, destination, &size, 0);
    }
    case ImageKind::ThreePlanes: {
        const size_t plane = size_t{record.uiWidth} * record.uiHeight;
        // The library writes red, green, blue; passing the planes in reverse gives the
        // host blue at plane 0.
        return pvxConvertToPlanes(record.uiPixelFormat, destination + 2 * plane, destination + plane,
                                  destination, record.pData, record.uiWidth, record.uiHeight);
    }
    case ImageKind::NotDelivered:
        break;
    }
    return PVX_ERR_NOT_AVAILABLE;
}

} // namespace

PvxStatus FetchImage(CameraDevice& cam, void* destination) {
    if (cam.m_hStrm == 0)
        return PVX_ERR_UNSUCCESSFUL;
    uint32_t index = 0;
    PvxStatus status = pvxGetCompletedImage(cam.m_hStrm, &index);
    if (status != PVX_OK)
        return status;
    PvxImageRecord record{};
    status = pvxLockImage(cam.m_hStrm, index, &record);
    if (status != PVX_OK)
        return status;
    // The host sized its buffer for one image of the library's byte size; a window
    // changed behind the module's back (a Width write) shows here first; none is
    // reported before the common settings.
    if (cam.m_uiCamWidth != 0 && (record.uiWidth != cam.m_uiCamWidth || record.uiHeight != cam.m_uiCamHeight))
        AIK_LOG(LOG_WARN, "GetImage: image of %ux%u, geometry last reported %ux%u", record.uiWidth,
                record.uiHeight, cam.m_uiCamWidth, cam.m_uiCamHeight);
    status = MoveLockedImage(cam, record, static_cast<uint8_t*>(destination));
    const PvxStatus release = pvxReleaseImage(cam.m_hStrm, index);
    if (release != PVX_OK)
        AIK_LOG(LOG_WARN, "GetImage: pvxReleaseImage(%u) failed(%s)", index, ResultMessage(release));
    return status;
}
