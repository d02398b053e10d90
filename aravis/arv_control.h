/* What the Aravis camera library offers beyond camera/quorvex_api.h, for tests and
 * benchmarks; the adapter never calls it. */
#ifndef QUORVEX_ARV_CONTROL_H
#define QUORVEX_ARV_CONTROL_H

#include "camera/quorvex_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Counts of the stream since it opened: buffers Aravis completed (failed ones
 * included), images the host locked, images lost in transport or for want of a free
 * buffer, images superseded by a newer one before the host took them. */
PVX_EXPORT PvxStatus PVX_CALL pvxArvStreamCounters(PvxHandle hStrm, uint64_t* pullProduced,
                                                   uint64_t* pullDelivered, uint64_t* pullLost,
                                                   uint64_t* pullSuperseded);

#ifdef __cplusplus
}
#endif

#endif
