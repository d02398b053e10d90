// Reading and writing feature nodes as text, executing commands and naming the
// available entries of an enumeration.
#include "camera/node_access.h"

#include "camera/number_text.h"
#include "camera/result_text.h"
#include "platform/thread.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int64_t kDefaultPrecision = 6;
// More decimals than fit a value text are pointless; the cap keeps the count an int.
constexpr int64_t kMaxPrecision = static_cast<int64_t>(kNodeTextBytes) - 1;
constexpr int kCommandPolls = 10;
constexpr uint32_t kCommandPollMs = 1;

// The tail shared by the float reads: the text of a value already read, with the
// node's precision, or with six decimals and the failed query's status.
PvxStatus WriteFloatText(const CameraDevice& cam, PvxHandle node, PvxStatus readStatus, double value,
                         char* text) {
    if (readStatus != PVX_OK)
        return readStatus;
    if (text == nullptr)
        return PVX_OK;
    int64_t precision = kDefaultPrecision;
    const PvxStatus status = pvxGetFloatPrecision(cam.m_hCam, node, &precision);
    if (status != PVX_OK)
        precision = kDefaultPrecision;
    // A negative precision makes "%.*f" fall back to six decimals.
    if (precision > kMaxPrecision)
        precision = kMaxPrecision;
    snprintf(text, kNodeTextBytes, "%.*f", static_cast<int>(precision), value);
    return status;
}

} // namespace

PvxStatus GetIntNodeText(const CameraDevice& cam, PvxHandle node, char* text) {
    int64_t value = 0;
    const PvxStatus status = pvxGetIntValue(cam.m_hCam, node, &value, false, false);
    if (status != PVX_OK)
        return status;
    if (text != nullptr)
        snprintf(text, kNodeTextBytes, "%lld", static_cast<long long>(value));
    return PVX_OK;
}

PvxStatus GetFloatNodeText(const CameraDevice& cam, PvxHandle node, char* text) {
    double value = 0;
    const PvxStatus status = pvxGetFloatValue(cam.m_hCam, node, &value, false, false);
    return WriteFloatText(cam, node, status, value, text);
}

PvxStatus GetFloatMinText(const CameraDevice& cam, PvxHandle node, char* text) {
    double value = 0;
    const PvxStatus status = pvxGetFloatMin(cam.m_hCam, node, &value);
    return WriteFloatText(cam, node, status, value, text);
}

PvxStatus GetFloatMaxText(const CameraDevice& cam, PvxHandle node, char* text) {
    double value = 0;
    const PvxStatus status = pvxGetFloatMax(cam.m_hCam, node, &value);
    return WriteFloatText(cam, node, status, value, text);
}

PvxStatus SetFloatNodeText(const CameraDevice& cam, PvxHandle node, const char* text) {
    if (text == nullptr)
        return PVX_ERR_INVALID_PARAMETER;
    double value = ParseDecimal(text);
    const PvxStatus status = pvxSetFloatValue(cam.m_hCam, node, value, true);
    if (status != PVX_ERR_GENICAM)
        return status;

    // Refused as out of range: a value only a rounding error outside the limits is
    // moved inside them by a little less than one unit of the last shown decimal.
    int64_t precision = kDefaultPrecision;
    const PvxStatus precisionStatus = pvxGetFloatPrecision(cam.m_hCam, node, &precision);
    char message[kNodeTextBytes] = {};
    uint32_t size = sizeof message;
    const PvxStatus messageStatus = pvxGetLastErrorText(message, &size);
    if (precisionStatus != PVX_OK || messageStatus != PVX_OK)
        return PVX_ERR_GENICAM;
    const double nudge = pow(0.099999, static_cast<double>(precision));
    if (strstr(message, "greater") != nullptr)
        value += nudge;
    else if (strstr(message, "smaller") != nullptr)
        value -= nudge;
    else
        return PVX_ERR_GENICAM;
    return pvxSetFloatValue(cam.m_hCam, node, value, true);
}

PvxStatus GetBoolNodeText(const CameraDevice& cam, PvxHandle node, char* text) {
    bool value = false;
    const PvxStatus status = pvxGetBoolValue(cam.m_hCam, node, &value, false, false);
    if (status != PVX_OK)
        return status;
    if (text != nullptr)
        snprintf(text, kNodeTextBytes, "%s", value ? "True" : "False");
    return PVX_OK;
}

PvxStatus SetBoolNodeText(const CameraDevice& cam, PvxHandle node, const char* text) {
    if (text == nullptr)
        return PVX_ERR_INVALID_PARAMETER;
    return pvxSetBoolValue(cam.m_hCam, node, strcmp(text, "True") == 0, true);
}

PvxStatus ExecuteCommandNode(const CameraDevice& cam, const char* feature) {
    PvxHandle node = 0;
    PvxStatus status = pvxGetNode(cam.m_hCam, feature, &node);
    if (status != PVX_OK)
        return status;
    status = pvxExecuteCommand(cam.m_hCam, node, true);
    if (status != PVX_OK)
        return status;
    // The wait is bounded: a command the camera never reports as done is not an error.
    for (int poll = 0; poll < kCommandPolls; ++poll) {
        bool done = false;
        status = pvxIsCommandDone(cam.m_hCam, node, &done, false);
        if (status != PVX_OK)
            return status;
        if (done)
            return PVX_OK;
        platform::SleepMs(kCommandPollMs);
    }
    return PVX_OK;
}

PvxStatus GetEnumEntrySymbol(const CameraDevice& cam, const char* feature, int32_t index, char* text) {
    PvxHandle node = 0;
    PvxStatus status = pvxGetNode(cam.m_hCam, feature, &node);
    if (status != PVX_OK)
        return status;
    // The library's implementation may let an exception of its own escape.
    try {
        uint32_t count = 0;
        status = pvxGetEnumEntryCount(cam.m_hCam, node, &count);
        if (status != PVX_OK)
            return status;
        int32_t available = 0;
        for (int32_t i = 0; i < static_cast<int32_t>(count); ++i) {
            PvxHandle entry = 0;
            uint32_t access = 0;
            status = pvxGetEnumEntry(cam.m_hCam, node, static_cast<uint32_t>(i), &entry);
            if (status == PVX_OK)
                status = pvxGetNodeAccess(cam.m_hCam, entry, &access);
            if (status != PVX_OK)
                return status;
            if (access != PVX_ACCESS_RO && access != PVX_ACCESS_RW)
                continue;
            if (available == index) {
                uint32_t size = kNodeTextBytes;
                return pvxGetEnumEntryName(cam.m_hCam, entry, text, &size);
            }
            ++available;
        }
    } catch (...) {
    }
    return PVX_ERR_UNSUCCESSFUL;
}
