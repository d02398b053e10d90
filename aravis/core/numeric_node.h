// A camera value behind one of the host's numbers (exposure, contrast, brightness):
// a float or an integer node, read and written as a double within the node's limits.
#pragma once

#include "camera/quorvex_api.h"

#include <arv.h>

namespace arv_backend {

PvxStatus ReadNumber(ArvGcNode* node, double& value);
PvxStatus NumberRange(ArvGcNode* node, double& min, double& max);
// Refuses a value outside the limits with the text CheckRange writes; an integer node
// takes the nearest integer.
PvxStatus WriteNumber(ArvGcNode* node, double value);

} // namespace arv_backend
