// Acquisition slots: the stream's start and stop, and the poll for a completed image.
#include "acquisition/acquisition_slots.h"

#include "channel/slot_guard.h"

namespace {

// Buffers the library cycles through while the stream runs.
constexpr uint32_t kStreamBuffers = 8;

// The failures of start and stop leave no EXIT line, only the message.
int32_t Refuse(char* errText, PvxStatus code) {
    SetResultText(errText, code);
    return 1;
}

} // namespace

int32_t AIK_CALL StartAcquisition(char* errText, int64_t channelID) {
    static constexpr const char* kName = "StartAcquisition";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        CameraDevice* cam = ResolveOrReject(kName, errText, channelID);
        if (cam == nullptr)
            return 1;
        PvxStatus status = OpenStream(*cam);
        if (status != PVX_OK)
            return Refuse(errText, status);
        if (cam->m_hStrm == 0)
            return Refuse(errText, PVX_ERR_UNSUCCESSFUL);
        // A stream that opens but will not start stays open for StopAcquisition to close.
        status = pvxStartStream(cam->m_hStrm, kStreamBuffers);
        if (status != PVX_OK)
            return Refuse(errText, status);
        AIK_LOG(LOG_INFO, "EXIT : %s", kName);
        return 0;
    });
}

int32_t AIK_CALL StopAcquisition(char* errText, int64_t channelID) {
    static constexpr const char* kName = "StopAcquisition";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        CameraDevice* cam = ResolveOrReject(kName, errText, channelID);
        if (cam == nullptr)
            return 1;
        if (cam->m_hStrm == 0)
            return Refuse(errText, PVX_ERR_UNSUCCESSFUL);
        // An exception the library let out of a call is answered as one that escaped
        // the slot would be, once the sequence has gone as far as it can.
        const uint32_t thrown = cam->m_uiLibraryExceptions;
        PvxStatus status = StopSequence(*cam);
        if (cam->m_uiLibraryExceptions != thrown)
            return FailSlot(kName, errText, PVX_ERR_UNSUCCESSFUL);
        if (status != PVX_OK)
            return Refuse(errText, status);
        status = CloseStream(*cam);
        if (cam->m_uiLibraryExceptions != thrown)
            return FailSlot(kName, errText, PVX_ERR_UNSUCCESSFUL);
        if (status != PVX_OK)
            return Refuse(errText, status);
        AIK_LOG(LOG_INFO, "EXIT : %s", kName);
        return 0;
    });
}

int32_t AIK_CALL WaitForIntegration(char* errText, int64_t channelID, uint32_t* acqResult) {
    static constexpr const char* kName = "WaitForIntegration";
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        CameraDevice* cam = ResolveOrReject(kName, errText, channelID);
        if (cam == nullptr)
            return 1;
        // The wait consumes the library's signal; the integration event hands it on
        // to the GetImage that follows.
        if (platform::EventWait(cam->m_hFrameEvent, kFrameWaitMs)) {
            platform::EventSet(cam->m_hIntegrationEvent);
            *acqResult = AIK_ACQ_DONE;
        } else {
            *acqResult = AIK_ACQ_TIMEOUT;
        }
        AIK_LOG(LOG_INFO, "EXIT : %sacqResult=%d", kName, static_cast<int>(*acqResult));
        return 0;
    });
}
