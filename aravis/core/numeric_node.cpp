// Float and integer nodes behind one numeric face.
#include "aravis/core/numeric_node.h"

#include "aravis/core/last_error.h"
#include "aravis/core/node_access.h"

#include <cmath>

namespace arv_backend {

namespace {

PvxStatus NotNumeric(ArvGcNode* node) {
    return WrongInterface(node, "a float or an integer");
}

} // namespace

PvxStatus ReadNumber(ArvGcNode* node, double& value) {
    if (const PvxStatus status = CheckReadable(node))
        return status;
    GError* error = nullptr;
    if (ARV_IS_GC_FLOAT(node))
        value = arv_gc_float_get_value(ARV_GC_FLOAT(node), &error);
    else if (ARV_IS_GC_INTEGER(node))
        value = static_cast<double>(arv_gc_integer_get_value(ARV_GC_INTEGER(node), &error));
    else
        return NotNumeric(node);
    return FromError(error, NodeName(node));
}

PvxStatus NumberRange(ArvGcNode* node, double& min, double& max) {
    GError* error = nullptr;
    if (ARV_IS_GC_FLOAT(node)) {
        min = arv_gc_float_get_min(ARV_GC_FLOAT(node), &error);
        if (!error)
            max = arv_gc_float_get_max(ARV_GC_FLOAT(node), &error);
    } else if (ARV_IS_GC_INTEGER(node)) {
        min = static_cast<double>(arv_gc_integer_get_min(ARV_GC_INTEGER(node), &error));
        if (!error)
            max = static_cast<double>(arv_gc_integer_get_max(ARV_GC_INTEGER(node), &error));
    } else {
        return NotNumeric(node);
    }
    return FromError(error, NodeName(node));
}

PvxStatus WriteNumber(ArvGcNode* node, double value) {
    if (const PvxStatus status = CheckWritable(node))
        return status;
    double min = 0;
    double max = 0;
    if (const PvxStatus status = NumberRange(node, min, max))
        return status;
    if (const PvxStatus status = CheckRange(node, value, min, max))
        return status;
    GError* error = nullptr;
    if (ARV_IS_GC_FLOAT(node))
        arv_gc_float_set_value(ARV_GC_FLOAT(node), value, &error);
    else
        arv_gc_integer_set_value(ARV_GC_INTEGER(node), std::llround(value), &error);
    return FromError(error, NodeName(node));
}

} // namespace arv_backend
