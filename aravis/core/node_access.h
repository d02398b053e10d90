// GenICam nodes as the contract numbers them: interface type, access mode, and the
// checks every typed read and write makes before it reaches the camera.
#pragma once

#include "camera/quorvex_api.h"
#include "camlib/stream_tally.h"

#include <arv.h>

#include <string>
#include <vector>

namespace arv_backend {

// The GenApi interface type; PVX_ERR_NOT_IMPLEMENTED for a node that offers none of them (a port, say).
PvxStatus NodeType(ArvGcNode* node, uint32_t& type);

// NI when not implemented, NA when not available, RO when locked, else the actual mode.
uint32_t NodeAccess(ArvGcNode* node);

std::string NodeName(ArvGcNode* node);

// PVX_ERR_NOT_AVAILABLE for an NI or NA node, PVX_ERR_NOT_READABLE for a write-only one.
PvxStatus CheckReadable(ArvGcNode* node);
// PVX_ERR_NOT_AVAILABLE for an NI or NA node, PVX_ERR_NOT_WRITABLE for a read-only or
// locked one.
PvxStatus CheckWritable(ArvGcNode* node);

// PVX_ERR_GENICAM with a text asking for a greater or a smaller value when value lies outside
// [min, max]; Aravis's own range text says "lower", which a caller cannot act on.
PvxStatus CheckRange(ArvGcNode* node, double value, double min, double max);

// The entries of an enumeration in document order (Aravis keeps them reversed).
std::vector<ArvGcNode*> EnumEntries(ArvGcNode* enumeration);

// PVX_ERR_GENICAM naming the interface the node lacks.
PvxStatus WrongInterface(ArvGcNode* node, const char* interfaceName);

// status, saying why one of the library's stream nodes (read-only integers) refuses.
PvxStatus TallyRefuses(const camlib::TallyNode& node, PvxStatus status, const char* why);

// PVX_ERR_GENICAM: the library's StreamBufferHandlingMode node (entry -1) or one of its
// entries lacks that interface.
PvxStatus BufferHandlingRefuses(int entry, const char* interfaceName);

} // namespace arv_backend
