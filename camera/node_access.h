// Typed access to GenICam feature nodes as text: values, float limits, booleans,
// command execution and the symbols of an enumeration's available entries.
#pragma once

#include "camera/camera_device.h"

#include <cstddef>
#include <cstdint>

// Capacity of every value text these operations write, NUL included.
constexpr size_t kNodeTextBytes = 256;

// Each operation passes cam.m_hCam to the library and returns its status unchanged
// (PVX_OK = success). An output text may be null where noted: the value is then only
// read. None of them writes a message or a log line.

// "%lld". text may be null.
PvxStatus GetIntNodeText(const CameraDevice& cam, PvxHandle node, char* text);
// Fixed-point with the node's display precision; when the precision cannot be read
// the text is written with six decimals and the precision query's status returned.
// text may be null.
PvxStatus GetFloatNodeText(const CameraDevice& cam, PvxHandle node, char* text);
PvxStatus GetFloatMinText(const CameraDevice& cam, PvxHandle node, char* text);
PvxStatus GetFloatMaxText(const CameraDevice& cam, PvxHandle node, char* text);
// Sets the number at the start of text (0 when there is none). A value refused as
// out of range is nudged once by 0.099999^precision towards the side the library's
// error text asks for and tried again. PVX_ERR_INVALID_PARAMETER when text is null.
PvxStatus SetFloatNodeText(const CameraDevice& cam, PvxHandle node, const char* text);
// "True" or "False". text may be null.
PvxStatus GetBoolNodeText(const CameraDevice& cam, PvxHandle node, char* text);
// True exactly for "True"; PVX_ERR_INVALID_PARAMETER when text is null.
PvxStatus SetBoolNodeText(const CameraDevice& cam, PvxHandle node, const char* text);
// Executes the named command node and polls at most 10 times, 1 ms apart, for its
// completion; a command still running after that counts as done.
PvxStatus ExecuteCommandNode(const CameraDevice& cam, const char* feature);
// The symbol of entry `index` among the named enumeration's read-only and read-write
// entries, in the node's order, into text (kNodeTextBytes). PVX_ERR_UNSUCCESSFUL when
// there is no such entry.
PvxStatus GetEnumEntrySymbol(const CameraDevice& cam, const char* feature, int32_t index, char* text);
