// Taking a stream's completed image into the host's buffer: monochrome copied as it
// comes, Bayer and RGB converted into three 8-bit planes.
#pragma once

#include "camera/camera_device.h"

#include <cstdint>

// How an image of a pixel format reaches the host; NotDelivered for every format the
// module rejects.
enum class ImageKind { NotDelivered, Mono8, Mono10, Mono12, ThreePlanes };

ImageKind KindOfPixelFormat(uint32_t pixelFormat);

// Moves the newest completed image once, straight into destination, which must hold
// the image's byte size (monochrome) or 3 * width * height bytes (planes). Returns
// PVX_ERR_UNSUCCESSFUL without a stream, PVX_ERR_NOT_AVAILABLE for a format not
// delivered (destination untouched), or the library's status. A locked image is
// always released.
PvxStatus FetchImage(CameraDevice& cam, void* destination);
