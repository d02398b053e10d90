/* Operations of the camera family's access library (QuorvexApi64) and utility
 * library (QuorvexUtl64). This header is the whole contract between the adapter
 * and whichever library implements it: every implementation exports exactly these
 * functions with C linkage and PVX_CALL.
 *
 * Rules shared by every operation; each operation's comment adds only its own.
 * - Codes: PVX_OK (0) is success, anything else a failure (camera/result_text.cpp
 *   has their texts). Besides the codes its comment names, every operation may return
 *   PVX_ERR_INVALID_PARAMETER for a null pointer argument, PVX_ERR_NO_MEMORY when the
 *   library runs out of memory and PVX_ERR_UNSUCCESSFUL for an exception inside the
 *   library (none leaves it). Every access-library operation but pvxInitLibrary and
 *   pvxGetLastErrorText returns PVX_ERR_NOT_INITIALIZED before the first
 *   pvxInitLibrary. An operation on hCam returns PVX_ERR_INVALID_CAMERA_HANDLE for a
 *   handle that names no open camera, one on hStrm PVX_ERR_INVALID_STREAM_HANDLE for
 *   one that names no open stream, one on hNode or hEntry PVX_ERR_INVALID_NODE_HANDLE
 *   for a handle not handed out for that camera. An operation that reaches the camera
 *   returns PVX_ERR_GENICAM when the camera or its link refuses or fails; a camera
 *   that stops answering may give other codes still (PVX_ERR_TIMEOUT,
 *   PVX_ERR_CAMERA_NOT_RESPONDING, ...), so a caller takes every code but PVX_OK as
 *   a failure. Once a library knows a camera stopped answering, every later
 *   operation on it and its stream returns PVX_ERR_CAMERA_NOT_RESPONDING at once,
 *   with a last error saying so, and closing it waits for nothing; the camera is
 *   opened afresh after the next pvxInitLibrary finds it again.
 * - Last error: every failure of the access library leaves its reason as the
 *   last-error text, one per process (not per thread); pvxGetLastErrorText's own
 *   refusals leave it as it was. A value refused for its size leaves a text that
 *   contains "greater" when a greater value is needed, "smaller" when a smaller one,
 *   never both.
 * - Out-parameters are written only on success unless stated otherwise; texts are
 *   written whole, with their NUL, or not at all (PVX_ERR_BUFFER_TOO_SMALL).
 * - Handles are opaque non-zero 64-bit values; 0 means none. Camera and stream
 *   handles are never reused while the library is loaded; a node handle is valid
 *   while its camera is open.
 * - Threads: "any" means any thread, also while other threads are inside the
 *   library: it serialises the calls on one camera, but the image calls
 *   (pvxGetCompletedImage, pvxLockImage, pvxCopyImageData, pvxReleaseImage) never
 *   wait behind another call on the stream's camera. The library never calls back
 *   into its caller: all it does on its own thread is signal a stream's event.
 * - Signals: the only signal is a running stream's event, once per completed image
 *   (see pvxOpenStream).
 */
#ifndef QUORVEX_API_H
#define QUORVEX_API_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#define PVX_CALL __stdcall
#ifdef PVX_BUILDING_LIBRARY
#define PVX_EXPORT __declspec(dllexport)
#else
#define PVX_EXPORT __declspec(dllimport)
#endif
#else
#define PVX_CALL
#define PVX_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t PvxStatus;
typedef uint64_t PvxHandle;

/* Event the library signals once per completed image. Windows: an auto-reset event
 * HANDLE (signalled with SetEvent). POSIX: an eventfd file descriptor (signalled by
 * writing an 8-byte count of 1). */
typedef intptr_t PvxEvent;

/* Result codes: PVX_OK and the family's whole code table. */
enum {
    PVX_OK = 0,
    PVX_ERR_NOT_INITIALIZED = 1,
    PVX_ERR_ALREADY_INITIALIZED = 2,
    PVX_ERR_NOT_FOUND = 3,
    PVX_ERR_ALREADY_OPENED = 4,
    PVX_ERR_ALREADY_ACTIVATED = 5,
    PVX_ERR_INVALID_CAMERA_INDEX = 6,
    PVX_ERR_INVALID_CAMERA_HANDLE = 7,
    PVX_ERR_INVALID_NODE_HANDLE = 8,
    PVX_ERR_INVALID_STREAM_HANDLE = 9,
    PVX_ERR_INVALID_REQUEST_HANDLE = 10,
    PVX_ERR_INVALID_EVENT_HANDLE = 11,
    PVX_ERR_INVALID_IMAGE_HANDLE = 12,
    PVX_ERR_INVALID_PARAMETER = 13,
    PVX_ERR_BUFFER_TOO_SMALL = 14,
    PVX_ERR_NO_MEMORY = 15,
    PVX_ERR_MEMORY_NO_ACCESS = 16,
    PVX_ERR_NOT_IMPLEMENTED = 17,
    PVX_ERR_TIMEOUT = 18,
    PVX_ERR_CAMERA_NOT_RESPONDING = 19,
    PVX_ERR_EMPTY_COMPLETE_QUEUE = 20,
    PVX_ERR_NOT_READY = 21,
    PVX_ERR_ACCESS_MODE_SET = 22,
    PVX_ERR_XML_LOAD = 0x101,
    PVX_ERR_GENICAM = 0x102,
    PVX_ERR_DLL_LOAD = 0x103,
    PVX_ERR_INVALID_ADDRESS = 0x801,
    PVX_ERR_WRITE_PROTECT = 0x802,
    PVX_ERR_BAD_ALIGNMENT = 0x803,
    PVX_ERR_ACCESS_DENIED = 0x804,
    PVX_ERR_BUSY = 0x805,
    PVX_ERR_NOT_READABLE = 0x806,
    PVX_ERR_NOT_WRITABLE = 0x807,
    PVX_ERR_NOT_AVAILABLE = 0x808,
    PVX_ERR_REQUEST_TIMEOUT = 0x1001,
    PVX_ERR_RESEND_TIMEOUT = 0x1002,
    PVX_ERR_RESPONSE_TIMEOUT = 0x1003,
    PVX_ERR_BUFFER_FULL = 0x1004,
    PVX_ERR_UNEXPECTED_BUFFER_SIZE = 0x1005,
    PVX_ERR_UNEXPECTED_NUMBER = 0x1006,
    PVX_ERR_PACKET_STATUS = 0x1007,
    PVX_ERR_RESEND_NOT_IMPLEMENTED = 0x1008,
    PVX_ERR_PACKET_UNAVAILABLE = 0x1009,
    PVX_ERR_MISSING_PACKETS = 0x100A,
    PVX_ERR_FLUSH_REQUESTED = 0x100B,
    PVX_ERR_TOO_MANY_PACKET_MISSING = 0x100C,
    PVX_ERR_FLUSHED_BY_D0EXIT = 0x100D,
    PVX_ERR_FLUSHED_BY_CAMERA_REMOVE = 0x100E,
    PVX_ERR_DRIVER_LOAD = 0x100F,
    PVX_ERR_FILE_OPEN = 0x2001,
    PVX_ERR_FILE_WRITE = 0x2002,
    PVX_ERR_FILE_READ = 0x2003,
    PVX_ERR_FILE_NOT_FOUND = 0x2004,
    PVX_ERR_DATA_DISCARDED = 0xA100,
    PVX_ERR_UNSUCCESSFUL = 0xFFFFFFFFu
};

/* GenApi interface types, as pvxGetNodeType reports them. */
enum {
    PVX_NODE_INTEGER = 2,
    PVX_NODE_BOOLEAN = 3,
    PVX_NODE_COMMAND = 4,
    PVX_NODE_FLOAT = 5,
    PVX_NODE_STRING = 6,
    PVX_NODE_REGISTER = 7,
    PVX_NODE_CATEGORY = 8,
    PVX_NODE_ENUMERATION = 9,
    PVX_NODE_ENUM_ENTRY = 10
};

/* GenApi access modes, as pvxGetNodeAccess reports them. */
enum { PVX_ACCESS_NI = 0, PVX_ACCESS_NA = 1, PVX_ACCESS_WO = 2, PVX_ACCESS_RO = 3, PVX_ACCESS_RW = 4 };

/* PFNC pixel format codes the family delivers. */
enum {
    PVX_PIXEL_MONO8 = 0x01080001u,
    PVX_PIXEL_MONO10 = 0x01100003u,
    PVX_PIXEL_MONO12 = 0x01100005u,
    PVX_PIXEL_MONO16 = 0x01100007u,
    PVX_PIXEL_BAYER_GR8 = 0x01080008u,
    PVX_PIXEL_BAYER_RG8 = 0x01080009u,
    PVX_PIXEL_BAYER_GB8 = 0x0108000Au,
    PVX_PIXEL_BAYER_BG8 = 0x0108000Bu,
    PVX_PIXEL_RGB8 = 0x02180014u,
    PVX_PIXEL_BGR8 = 0x02180015u,
    PVX_PIXEL_YUV422_8 = 0x02100032u
};

/* Register that stops the camera's image output before a stream is stopped. */
#define PVX_REG_ACQUISITION_STOP 0x0020303Cu

/* Camera information record, 2044 bytes: three NUL-terminated identification texts
 * (vendor, model, description) at bytes 4, 68 and 132. */
typedef struct PvxCameraInfo {
    uint32_t uiIndex;
    char szVendor[64];
    char szModel[64];
    char szDescription[64];
    char szSerial[64];
    uint8_t reserved[2044 - 4 - 4 * 64];
} PvxCameraInfo;

/* Image record filled by pvxLockImage, 80 bytes. */
typedef struct PvxImageRecord {
    uint32_t uiSize;        /* bytes 0..3: size of this record (80) */
    uint32_t uiIndex;       /* bytes 4..7: buffer index */
    uint32_t uiPixelFormat; /* byte 8: PFNC code */
    uint32_t uiWidth;       /* byte 12 */
    uint32_t uiHeight;      /* byte 16 */
    uint32_t uiReserved0;
    uint64_t ullFrameId;   /* byte 24: frame number since the stream started */
    uint64_t ullTimestamp; /* byte 32: microseconds */
    void* pData;           /* byte 40: first byte of the pixel data */
    uint32_t uiDataBytes;  /* byte 48: byte size of the pixel data */
    uint8_t reserved[80 - 52];
} PvxImageRecord;

/* ---- library and enumeration ---- */

/* Initialises the library and enumerates the cameras anew; cameras and streams open
 * from an earlier enumeration stay open and usable until closed. uiMode is 1.
 * Codes: PVX_OK the first time, PVX_ERR_ALREADY_INITIALIZED after (both mean ready);
 * PVX_ERR_UNSUCCESSFUL when the library's configuration cannot be used.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxInitLibrary(uint32_t uiMode);
/* Number of cameras found by the last pvxInitLibrary.
 * Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraCount(int32_t* piCount);
/* The last-error text; *puiSize in: capacity of pszText, out: bytes written
 * including the NUL. Needs no pvxInitLibrary.
 * Codes: PVX_ERR_BUFFER_TOO_SMALL when the text and its NUL do not fit.
 * Threads: any; another thread's failure may replace the text between a failure and
 * this read. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetLastErrorText(char* pszText, uint32_t* puiSize);

/* ---- camera ---- */

/* Opens camera uiIndex (0-based index of the last enumeration) for exclusive use.
 * The reserved arguments are 0, bExclusive true, uiMode 1.
 * Codes: PVX_ERR_INVALID_CAMERA_INDEX beyond the enumeration; PVX_ERR_ALREADY_OPENED
 * for a camera open already; PVX_ERR_NOT_FOUND when the camera cannot be reached;
 * PVX_ERR_ACCESS_DENIED, with a last error saying "in use by another application",
 * for a camera another host controls. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxOpenCamera(uint32_t uiIndex, PvxHandle* phCam, uint64_t ullReserved1,
                                            bool bExclusive, uint64_t ullReserved2, uint32_t uiMode);
/* Closes the camera, and its stream first if one is open.
 * Codes: the common ones. Threads: any. Signals nothing; once it returns, the
 * camera's stream never signals again. */
PVX_EXPORT PvxStatus PVX_CALL pvxCloseCamera(PvxHandle hCam);
/* Fills *pInfo; uiIndex is the index the camera was opened with.
 * Codes: PVX_ERR_INVALID_CAMERA_INDEX for another index.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraInfo(PvxHandle hCam, uint32_t uiIndex, PvxCameraInfo* pInfo);
/* Writes uiCount 32-bit words starting at register ullAddress. Writing 0 to
 * PVX_REG_ACQUISITION_STOP stops the camera's image output until the next
 * pvxStartStream.
 * Codes: PVX_ERR_INVALID_PARAMETER for uiCount 0; PVX_ERR_NOT_IMPLEMENTED for a
 * register the library does not write. Threads: any. Signals nothing; after the stop
 * register no new image starts. */
PVX_EXPORT PvxStatus PVX_CALL pvxWriteRegister(PvxHandle hCam, uint64_t ullAddress, uint32_t uiCount,
                                               const uint32_t* puiValues);
/* Exposure mode: 0 Off, 1 Timed (by pvxSetExposureTime), 2 TriggerWidth.
 * Codes: PVX_ERR_INVALID_PARAMETER for another mode. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureControl(PvxHandle hCam, uint32_t uiMode);

/* ---- stream ---- */

/* Opens the camera's stream with uiBuffers (1 to 20) image buffers and writes the
 * byte size of one image to *puiFrameBytes. While the stream is open the image size
 * and pixel format are fixed. hEvent is signalled once per completed image, from the
 * library's own thread, from pvxStartStream until pvxStopStream; an invalid event (a
 * negative descriptor, a null HANDLE) means none. uiFlags is 0.
 * Codes: PVX_ERR_ALREADY_OPENED when the camera has a stream open;
 * PVX_ERR_INVALID_PARAMETER for another buffer count.
 * Threads: any. Signals nothing until started. */
PVX_EXPORT PvxStatus PVX_CALL pvxOpenStream(PvxHandle hCam, PvxHandle* phStrm, uint32_t* puiFrameBytes,
                                            PvxEvent hEvent, uint32_t uiBuffers, uint32_t uiFlags);
/* Starts the stream with uiBuffers of its buffers (1 to the number opened); images of
 * an earlier run are dropped and frame numbers start afresh.
 * Codes: PVX_ERR_ALREADY_ACTIVATED on a running stream; PVX_ERR_INVALID_PARAMETER for
 * another buffer count. Threads: any. Signals: from now on the stream's event, once
 * per completed image, from the library's own thread. */
PVX_EXPORT PvxStatus PVX_CALL pvxStartStream(PvxHandle hStrm, uint32_t uiBuffers);
/* Stops the stream; stopping a stream that does not run succeeds. Locked images stay
 * locked. Codes: the common ones. Threads: any. Signals nothing; once it returns the
 * event is not signalled until the next pvxStartStream. */
PVX_EXPORT PvxStatus PVX_CALL pvxStopStream(PvxHandle hStrm);
/* Stops the stream if it runs and frees it with its buffers, locked ones included.
 * Codes: the common ones. Threads: any. Signals nothing; once it returns the event is
 * never signalled again. */
PVX_EXPORT PvxStatus PVX_CALL pvxCloseStream(PvxHandle hStrm);
/* Index of the newest completed image not yet locked; with the camera's node
 * StreamBufferHandlingMode set to OldestFirst (before the stream opens), the oldest.
 * An image it named stays lockable until the library needs its buffer, also when a
 * newer one completed.
 * Codes: PVX_ERR_EMPTY_COMPLETE_QUEUE when there is none, with *puiIndex set to 20,
 * never a buffer index. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetCompletedImage(PvxHandle hStrm, uint32_t* puiIndex);
/* Locks image uiIndex: it is not overwritten, and pData stays valid, until released
 * (or the stream closed). Fills *pRecord.
 * Codes: PVX_ERR_INVALID_IMAGE_HANDLE for an index beyond the buffers; PVX_ERR_NOT_READY
 * for a buffer that holds no completed image. Threads: any. Signals: locking the
 * newest image may take back signals still pending on the event, so a caller counts
 * images, not signals, and one woken by the event may find none; locking one while
 * older or newer completed images are still held signals the event again. */
PVX_EXPORT PvxStatus PVX_CALL pvxLockImage(PvxHandle hStrm, uint32_t uiIndex, PvxImageRecord* pRecord);
/* Copies the pixel data of the image locked last into pDest; *puiSize in: bytes to
 * copy at most, out: bytes copied. uiFlags is 0.
 * Codes: PVX_ERR_INVALID_IMAGE_HANDLE when no image is locked.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxCopyImageData(PvxHandle hStrm, void* pDest, uint32_t* puiSize,
                                               uint32_t uiFlags);
/* Hands a locked image's buffer back to the stream.
 * Codes: PVX_ERR_INVALID_IMAGE_HANDLE for an image that is not locked.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxReleaseImage(PvxHandle hStrm, uint32_t uiIndex);

/* ---- geometry and format: pixels; limits as min, max and increment ---- */

/* Sensor width. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorWidth(PvxHandle hCam, uint32_t* puiValue);
/* Sensor height. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorHeight(PvxHandle hCam, uint32_t* puiValue);
/* The region the camera holds now, which may differ from the one last set.
 * Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetRoi(PvxHandle hCam, uint32_t* puiWidth, uint32_t* puiHeight,
                                        uint32_t* puiOffsetX, uint32_t* puiOffsetY);
/* Sets the whole region at once.
 * Codes: PVX_ERR_INVALID_PARAMETER for a value outside its range or off its grid, or a
 * region past the sensor; PVX_ERR_NOT_WRITABLE for another size while a stream is
 * open.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetRoi(PvxHandle hCam, uint32_t uiWidth, uint32_t uiHeight,
                                        uint32_t uiOffsetX, uint32_t uiOffsetY);
/* Width limits. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetWidthRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                               uint32_t* puiInc);
/* Width. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetWidth(PvxHandle hCam, uint32_t* puiValue);
/* Height limits. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetHeightRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                uint32_t* puiInc);
/* Height. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetHeight(PvxHandle hCam, uint32_t* puiValue);
/* Horizontal offset limits. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetXRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc);
/* Horizontal offset. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetX(PvxHandle hCam, uint32_t* puiValue);
/* Vertical offset limits. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetYRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc);
/* Vertical offset. Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetY(PvxHandle hCam, uint32_t* puiValue);
/* Byte size of one image of the current region and format.
 * Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetFrameByteSize(PvxHandle hCam, uint32_t* puiValue);
/* Current pixel format as a PFNC code.
 * Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetPixelFormat(PvxHandle hCam, uint32_t* puiValue);
/* Bits per pixel of the current format.
 * Codes: the common ones. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetImageProperty(PvxHandle hCam, uint32_t* puiValue);

/* ---- exposure, contrast, brightness (exposure in microseconds) ----
 * A camera without the setting answers PVX_ERR_NOT_AVAILABLE, or reports the range
 * 0 to 0 and the value 0 and takes 0 alone. */

/* Exposure limits. Codes: PVX_ERR_NOT_AVAILABLE. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTimeRange(PvxHandle hCam, double* pdMin, double* pdMax);
/* Exposure. Codes: PVX_ERR_NOT_AVAILABLE. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTime(PvxHandle hCam, double* pdValue);
/* Codes: PVX_ERR_INVALID_PARAMETER for a value outside the range or not a number;
 * PVX_ERR_NOT_AVAILABLE. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureTime(PvxHandle hCam, double dValue);
/* Contrast limits. Codes: PVX_ERR_NOT_AVAILABLE. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetContrastRange(PvxHandle hCam, double* pdMin, double* pdMax);
/* Contrast. Codes: PVX_ERR_NOT_AVAILABLE. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetContrast(PvxHandle hCam, double* pdValue);
/* Codes: as pvxSetExposureTime. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetContrast(PvxHandle hCam, double dValue);
/* Brightness limits. Codes: PVX_ERR_NOT_AVAILABLE. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightnessRange(PvxHandle hCam, double* pdMin, double* pdMax);
/* Brightness. Codes: PVX_ERR_NOT_AVAILABLE. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightness(PvxHandle hCam, double* pdValue);
/* Codes: as pvxSetExposureTime. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetBrightness(PvxHandle hCam, double dValue);

/* ---- trigger ---- */

/* Off: the camera acquires continuously; on: one image per trigger.
 * Codes: PVX_ERR_NOT_AVAILABLE for trigger mode on a camera without it.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerMode(PvxHandle hCam, bool bTriggered);
/* Bit 0 of the polarity word: 1 = low-to-high edge; the other bits are the camera's
 * own and read 0 where it has none.
 * Codes: PVX_ERR_NOT_AVAILABLE on a camera without a trigger edge.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetTriggerPolarity(PvxHandle hCam, uint32_t* puiWord);
/* Codes: PVX_ERR_NOT_AVAILABLE on a camera without a trigger edge.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerPolarity(PvxHandle hCam, uint32_t uiWord);

/* ---- GenICam nodes ----
 * A node's access decides what its operations may do: an NI or NA node answers
 * PVX_ERR_NOT_AVAILABLE to every typed operation, a WO node PVX_ERR_NOT_READABLE to a
 * read, an RO node PVX_ERR_NOT_WRITABLE to a write (Width, Height and PixelFormat are
 * RO while a stream is open). A typed operation on a node of another type, or on an
 * enumeration entry, answers PVX_ERR_GENICAM. bVerify asks for access and limit
 * checks, bIgnoreCache for a read of the camera itself; a library may always do both. */

/* The node of that name. Codes: PVX_ERR_NOT_FOUND when the camera has none.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetNode(PvxHandle hCam, const char* pszName, PvxHandle* phNode);
/* PVX_NODE_*, PVX_NODE_ENUM_ENTRY for an entry handle.
 * Codes: PVX_ERR_NOT_IMPLEMENTED for a node of no GenApi interface.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeType(PvxHandle hCam, PvxHandle hNode, uint32_t* puiType);
/* PVX_ACCESS_*, of a node or an entry. Codes: the common ones.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeAccess(PvxHandle hCam, PvxHandle hNode, uint32_t* puiAccess);
/* *puiSize in: capacity of pszText, out: bytes written including the NUL.
 * Codes: PVX_ERR_BUFFER_TOO_SMALL. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeDescription(PvxHandle hCam, PvxHandle hNode, char* pszText,
                                                    uint32_t* puiSize);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_READABLE, PVX_ERR_GENICAM (not an integer
 * node). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue, bool bVerify,
                                             bool bIgnoreCache);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_WRITABLE, PVX_ERR_GENICAM (not an integer
 * node; a value outside the limits or the camera's grid). Threads: any. Signals
 * nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t llValue, bool bVerify);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_GENICAM (not an integer node).
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMin(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue);
/* Codes: as pvxGetIntMin. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMax(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_READABLE, PVX_ERR_GENICAM (not a float
 * node). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatValue(PvxHandle hCam, PvxHandle hNode, double* pdValue, bool bVerify,
                                               bool bIgnoreCache);
/* Limits are checked whatever bVerify says.
 * Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_WRITABLE, PVX_ERR_GENICAM (not a float
 * node; a value that is not a number or outside the limits, with a last-error text
 * saying "greater" or "smaller"). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetFloatValue(PvxHandle hCam, PvxHandle hNode, double dValue, bool bVerify);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_GENICAM (not a float node).
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMin(PvxHandle hCam, PvxHandle hNode, double* pdValue);
/* Codes: as pvxGetFloatMin. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMax(PvxHandle hCam, PvxHandle hNode, double* pdValue);
/* Display precision in decimals. Codes: as pvxGetFloatMin.
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatPrecision(PvxHandle hCam, PvxHandle hNode, int64_t* pllPrecision);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_READABLE, PVX_ERR_GENICAM (not a boolean
 * node). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetBoolValue(PvxHandle hCam, PvxHandle hNode, bool* pbValue, bool bVerify,
                                              bool bIgnoreCache);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_WRITABLE, PVX_ERR_GENICAM (not a boolean
 * node). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetBoolValue(PvxHandle hCam, PvxHandle hNode, bool bValue, bool bVerify);
/* Writes at most uiCapacity bytes including the NUL.
 * Codes: PVX_ERR_BUFFER_TOO_SMALL, PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_READABLE,
 * PVX_ERR_GENICAM (not a string node). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetStringValue(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                uint32_t uiCapacity, bool bVerify, bool bIgnoreCache);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_WRITABLE, PVX_ERR_GENICAM (not a string
 * node; a text longer than the node holds). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetStringValue(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                bool bVerify);
/* The current entry's symbol; at most uiCapacity bytes including the NUL.
 * Codes: PVX_ERR_BUFFER_TOO_SMALL, PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_READABLE,
 * PVX_ERR_GENICAM (not an enumeration). Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumValueText(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                  uint32_t uiCapacity, bool bVerify, bool bIgnoreCache);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_WRITABLE, PVX_ERR_GENICAM (not an
 * enumeration; no entry of that symbol; an entry of access NI or NA).
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxSetEnumValueText(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                  bool bVerify);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_GENICAM (not an enumeration).
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryCount(PvxHandle hCam, PvxHandle hNode, uint32_t* puiCount);
/* Entry uiIndex of the enumeration, in the node's own order, as a node handle whose
 * access mode pvxGetNodeAccess reads.
 * Codes: PVX_ERR_INVALID_PARAMETER for uiIndex beyond the entries; as
 * pvxGetEnumEntryCount. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntry(PvxHandle hCam, PvxHandle hNode, uint32_t uiIndex,
                                              PvxHandle* phEntry);
/* Symbol of an entry; *puiSize in: capacity, out: bytes written including the NUL.
 * Codes: PVX_ERR_BUFFER_TOO_SMALL, PVX_ERR_GENICAM (not an entry).
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryName(PvxHandle hCam, PvxHandle hEntry, char* pszName,
                                                  uint32_t* puiSize);
/* Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_NOT_WRITABLE, PVX_ERR_GENICAM (not a command).
 * Threads: any. Signals nothing itself; TriggerSoftware in trigger mode makes a
 * running stream complete an image, which signals its event as any image does. */
PVX_EXPORT PvxStatus PVX_CALL pvxExecuteCommand(PvxHandle hCam, PvxHandle hNode, bool bVerify);
/* *pbDone: the command executed last has completed; an idle command is done.
 * Codes: PVX_ERR_NOT_AVAILABLE, PVX_ERR_GENICAM (not a command).
 * Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxIsCommandDone(PvxHandle hCam, PvxHandle hNode, bool* pbDone, bool bVerify);

/* ---- utility library (QuorvexUtl64): needs no pvxInitLibrary, keeps no last error ---- */

/* Codes: PVX_OK. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxUtlInit(void);
/* Converts one image of uiWidth x uiHeight pixels in a Bayer 8-bit format (GR, RG, GB,
 * BG), RGB8 or BGR8 into three planes of uiWidth * uiHeight bytes each: red, green and
 * blue. Writes only inside the three planes, which overlap neither each other nor the
 * source.
 * Codes: PVX_ERR_INVALID_PARAMETER for any other format, an empty image, or a Bayer
 * image narrower or lower than 2 pixels. Threads: any. Signals nothing. */
PVX_EXPORT PvxStatus PVX_CALL pvxConvertToPlanes(uint32_t uiPixelFormat, uint8_t* pRed, uint8_t* pGreen,
                                                 uint8_t* pBlue, const void* pSource, uint32_t uiWidth,
                                                 uint32_t uiHeight);

#ifdef __cplusplus
}

static_assert(sizeof(PvxCameraInfo) == 2044, "camera information record");
static_assert(offsetof(PvxCameraInfo, szVendor) == 4 && offsetof(PvxCameraInfo, szModel) == 68 &&
                  offsetof(PvxCameraInfo, szDescription) == 132,
              "camera information record");
static_assert(sizeof(PvxImageRecord) == 80, "image record");
static_assert(offsetof(PvxImageRecord, uiPixelFormat) == 8 && offsetof(PvxImageRecord, pData) == 40 &&
                  offsetof(PvxImageRecord, uiDataBytes) == 48,
              "image record");
#endif

#endif
