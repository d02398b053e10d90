/* Test control of the simulated camera family: extra exports of QuorvexApi64 for
 * tests and tools (the adapter never uses them). Link QuorvexApi64 or look them up
 * in the loaded library; a process holds one copy of its state. */
#ifndef QUORVEX_SIM_CONTROL_H
#define QUORVEX_SIM_CONTROL_H

#include "camera/quorvex_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Calls of the named operation ("pvxSetRoi", ...) since the library was loaded or the
 * counts were last reset, failed and faulted calls included; -1 for a name that is no
 * operation. QuorvexUtl64's operations count here while both libraries are loaded. */
PVX_EXPORT int64_t PVX_CALL pvxSimCallCount(const char* pszOperation);
PVX_EXPORT void PVX_CALL pvxSimResetCallCounts(void);

/* Calls of every operation (both libraries') since load or the last reset. */
PVX_EXPORT uint64_t PVX_CALL pvxSimTotalCallCount(void);
/* Calls ullFirst to ullFirst + ullCount - 1 of that count, whatever their operation,
 * answer uiStatus instead of running: one call, or with a huge count every call from
 * then on, as from an unplugged camera. ullFirst 0 ends it. */
PVX_EXPORT void PVX_CALL pvxSimFailCalls(uint64_t ullFirst, uint64_t ullCount, PvxStatus uiStatus);
/* Call ullPosition of that count, whatever its operation, throws out of the export
 * instead of answering: std::bad_alloc (PVX_SIM_THROW_BAD_ALLOC) or an exception of
 * a type no host knows (PVX_SIM_THROW_FOREIGN), as a library that lets exceptions
 * escape its C functions would. ullPosition 0 ends it. */
#define PVX_SIM_THROW_BAD_ALLOC 1u
#define PVX_SIM_THROW_FOREIGN 2u
PVX_EXPORT void PVX_CALL pvxSimThrowAtCall(uint64_t ullPosition, uint32_t uiKind);
/* The next ullCount images of any stream throw an exception of that kind on the
 * library's frame thread while they are made: each such image is lost (counted as
 * dropped), and the stream goes on. ullCount 0 ends it. */
PVX_EXPORT void PVX_CALL pvxSimThrowInFrames(uint64_t ullCount, uint32_t uiKind);
/* From then on every stream's frame thread waits uiMilliseconds inside each image's
 * signal, with its stream locked, as a slow library would; 0 ends it. */
PVX_EXPORT void PVX_CALL pvxSimHoldInSignal(uint32_t uiMilliseconds);
/* Closes every open camera and stream whatever faults are due, as if each camera had
 * been unplugged and plugged in again. */
PVX_EXPORT void PVX_CALL pvxSimCloseAll(void);

/* The last register write on the camera open at index uiCameraIndex of the current
 * enumeration: its address and first word. PVX_OK; PVX_ERR_INVALID_CAMERA_INDEX when
 * no camera is open at that index; PVX_ERR_NOT_FOUND when it has had no register write;
 * PVX_ERR_INVALID_PARAMETER for a null pointer. */
PVX_EXPORT PvxStatus PVX_CALL pvxSimLastRegisterWrite(uint32_t uiCameraIndex, uint64_t* pullAddress,
                                                      uint32_t* puiValue);

/* The scalar arguments of the latest call of pvxOpenCamera (index, both reserved
 * words, exclusivity, mode), pvxWriteRegister (address, count, first word),
 * pvxSetExposureControl (mode), pvxSetTriggerPolarity (word), pvxOpenStream (buffers,
 * flags) or pvxStartStream (buffers), in that order: how many there are (0 before the
 * first call or for another operation); at most uiCapacity of them are written. */
PVX_EXPORT uint32_t PVX_CALL pvxSimLastArguments(const char* pszOperation, uint64_t* pullArguments,
                                                 uint32_t uiCapacity);

/* Images the stream of the camera open at uiCameraIndex has completed and announced,
 * and images it dropped (every buffer was locked, or the image could not be made),
 * since the stream was opened. PVX_OK; PVX_ERR_INVALID_CAMERA_INDEX when no camera is
 * open at that index; PVX_ERR_INVALID_STREAM_HANDLE when it has no stream. */
PVX_EXPORT PvxStatus PVX_CALL pvxSimStreamCounters(uint32_t uiCameraIndex, uint64_t* pullImages,
                                                   uint64_t* pullDropped);

/* Images the stream of the camera open at uiCameraIndex announced and then overwrote
 * before anyone locked them, since the stream was opened: with the dropped ones, the
 * images a host never received. PVX_OK, or the codes above. */
PVX_EXPORT PvxStatus PVX_CALL pvxSimStreamOverwritten(uint32_t uiCameraIndex, uint64_t* pullOverwritten);

/* The entry gate of QuorvexUtl64's operations, which looks it up at run time: counts
 * the call and, when an injected fault answers it, stores the fault's status and
 * returns 1; otherwise returns 0. pImage (may be null) is the image the call works
 * on: a stream buffer's image brings its camera's faults into play. */
PVX_EXPORT int32_t PVX_CALL pvxSimEnterUtilityCall(const char* pszOperation, const void* pImage,
                                                   PvxStatus* puiStatus);

#ifdef __cplusplus
}
#endif

#endif
