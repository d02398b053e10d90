// Exports: typed reads and writes of node values. Every write checks access and, with
// bVerify, limits here; reads with bVerify check that the value lies within them.
// Aravis reads the camera at every call, so bIgnoreCache changes nothing.
#include "aravis/api/export_support.h"
#include "camlib/text_out.h"

#include <cmath>

using namespace arv_backend;

namespace {

template <typename Body>
PvxStatus WithTyped(PvxHandle hCam, PvxHandle hNode, bool (*is)(ArvGcNode*), const char* interfaceName,
                    Body body) {
    return WithNode(hCam, hNode, [&](Camera&, ArvGcNode* node) -> PvxStatus {
        return is(node) ? body(node) : WrongInterface(node, interfaceName);
    });
}

bool IsInteger(ArvGcNode* node) {
    return ARV_IS_GC_INTEGER(node);
}
bool IsFloat(ArvGcNode* node) {
    return ARV_IS_GC_FLOAT(node);
}
bool IsBoolean(ArvGcNode* node) {
    return ARV_IS_GC_BOOLEAN(node);
}
bool IsString(ArvGcNode* node) {
    return ARV_IS_GC_STRING(node);
}
bool IsEnumeration(ArvGcNode* node) {
    return ARV_IS_GC_ENUMERATION(node);
}

// tallyValue(camlib::StreamTally&, const camlib::TallyNode&) for a stream node, else body(ArvGcNode*) for an
// integer node.
template <typename TallyValue, typename Body>
PvxStatus WithInteger(PvxHandle hCam, PvxHandle hNode, TallyValue tallyValue, Body body) {
    return WithAnyNode(
        hCam, hNode,
        [&](Camera& camera, const camlib::TallyNode& tally) -> PvxStatus {
            return tallyValue(*camera.Tally(), tally);
        },
        [&](Camera&, ArvGcNode* node) -> PvxStatus {
            return IsInteger(node) ? body(node) : WrongInterface(node, "an integer");
        });
}

PvxStatus IntegerLimits(ArvGcNode* node, int64_t& min, int64_t& max) {
    GError* error = nullptr;
    min = arv_gc_integer_get_min(ARV_GC_INTEGER(node), &error);
    if (!error)
        max = arv_gc_integer_get_max(ARV_GC_INTEGER(node), &error);
    return FromError(error, NodeName(node));
}

PvxStatus FloatLimits(ArvGcNode* node, double& min, double& max) {
    GError* error = nullptr;
    min = arv_gc_float_get_min(ARV_GC_FLOAT(node), &error);
    if (!error)
        max = arv_gc_float_get_max(ARV_GC_FLOAT(node), &error);
    return FromError(error, NodeName(node));
}

PvxStatus VerifyInteger(ArvGcNode* node, int64_t value) {
    int64_t min = 0;
    int64_t max = 0;
    if (const PvxStatus status = IntegerLimits(node, min, max))
        return status;
    return CheckRange(node, static_cast<double>(value), static_cast<double>(min), static_cast<double>(max));
}

PvxStatus VerifyFloat(ArvGcNode* node, double value) {
    double min = 0;
    double max = 0;
    if (const PvxStatus status = FloatLimits(node, min, max))
        return status;
    return CheckRange(node, value, min, max);
}

} // namespace

PVX_EXPORT PvxStatus PVX_CALL pvxGetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue, bool bVerify,
                                             bool /*bIgnoreCache*/) {
    if (!pllValue)
        return camlib::NullArgument("pllValue");
    return WithInteger(
        hCam, hNode,
        [&](camlib::StreamTally& counts, const camlib::TallyNode& tally) -> PvxStatus {
            *pllValue = static_cast<int64_t>(counts.Value(tally.field));
            return PVX_OK;
        },
        [&](ArvGcNode* node) -> PvxStatus {
            if (const PvxStatus status = CheckReadable(node))
                return status;
            GError* error = nullptr;
            const int64_t value = arv_gc_integer_get_value(ARV_GC_INTEGER(node), &error);
            if (error)
                return FromError(error, NodeName(node));
            if (bVerify)
                if (const PvxStatus status = VerifyInteger(node, value))
                    return status;
            *pllValue = value;
            return PVX_OK;
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t llValue, bool bVerify) {
    return WithInteger(
        hCam, hNode,
        [](camlib::StreamTally&, const camlib::TallyNode& tally) -> PvxStatus {
            return TallyRefuses(tally, PVX_ERR_NOT_WRITABLE, "not writable");
        },
        [&](ArvGcNode* node) -> PvxStatus {
            if (const PvxStatus status = CheckWritable(node))
                return status;
            if (bVerify)
                if (const PvxStatus status = VerifyInteger(node, llValue))
                    return status;
            GError* error = nullptr;
            arv_gc_integer_set_value(ARV_GC_INTEGER(node), llValue, &error);
            return FromError(error, NodeName(node));
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMin(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue) {
    if (!pllValue)
        return camlib::NullArgument("pllValue");
    return WithInteger(
        hCam, hNode,
        [&](camlib::StreamTally&, const camlib::TallyNode&) -> PvxStatus {
            *pllValue = 0;
            return PVX_OK;
        },
        [&](ArvGcNode* node) -> PvxStatus {
            int64_t max = 0;
            return IntegerLimits(node, *pllValue, max);
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMax(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue) {
    if (!pllValue)
        return camlib::NullArgument("pllValue");
    return WithInteger(
        hCam, hNode,
        [&](camlib::StreamTally&, const camlib::TallyNode&) -> PvxStatus {
            *pllValue = INT64_MAX;
            return PVX_OK;
        },
        [&](ArvGcNode* node) -> PvxStatus {
            int64_t min = 0;
            return IntegerLimits(node, min, *pllValue);
        });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatValue(PvxHandle hCam, PvxHandle hNode, double* pdValue, bool bVerify,
                                               bool /*bIgnoreCache*/) {
    if (!pdValue)
        return camlib::NullArgument("pdValue");
    return WithTyped(hCam, hNode, IsFloat, "a float", [&](ArvGcNode* node) -> PvxStatus {
        if (const PvxStatus status = CheckReadable(node))
            return status;
        GError* error = nullptr;
        const double value = arv_gc_float_get_value(ARV_GC_FLOAT(node), &error);
        if (error)
            return FromError(error, NodeName(node));
        if (bVerify)
            if (const PvxStatus status = VerifyFloat(node, value))
                return status;
        *pdValue = value;
        return PVX_OK;
    });
}

// Out of range gives PVX_ERR_GENICAM and a text asking for a greater or a smaller value, checked
// here whatever bVerify says: a real camera must never receive such a value.
PVX_EXPORT PvxStatus PVX_CALL pvxSetFloatValue(PvxHandle hCam, PvxHandle hNode, double dValue,
                                               bool /*bVerify*/) {
    return WithTyped(hCam, hNode, IsFloat, "a float", [&](ArvGcNode* node) -> PvxStatus {
        if (const PvxStatus status = CheckWritable(node))
            return status;
        if (!std::isfinite(dValue))
            return camlib::Fail(PVX_ERR_INVALID_PARAMETER, NodeName(node) + ": the value is not a number");
        if (const PvxStatus status = VerifyFloat(node, dValue))
            return status;
        GError* error = nullptr;
        arv_gc_float_set_value(ARV_GC_FLOAT(node), dValue, &error);
        return FromError(error, NodeName(node));
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMin(PvxHandle hCam, PvxHandle hNode, double* pdValue) {
    if (!pdValue)
        return camlib::NullArgument("pdValue");
    return WithTyped(hCam, hNode, IsFloat, "a float", [&](ArvGcNode* node) -> PvxStatus {
        double max = 0;
        return FloatLimits(node, *pdValue, max);
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMax(PvxHandle hCam, PvxHandle hNode, double* pdValue) {
    if (!pdValue)
        return camlib::NullArgument("pdValue");
    return WithTyped(hCam, hNode, IsFloat, "a float", [&](ArvGcNode* node) -> PvxStatus {
        double min = 0;
        return FloatLimits(node, min, *pdValue);
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatPrecision(PvxHandle hCam, PvxHandle hNode, int64_t* pllPrecision) {
    if (!pllPrecision)
        return camlib::NullArgument("pllPrecision");
    return WithTyped(hCam, hNode, IsFloat, "a float", [&](ArvGcNode* node) -> PvxStatus {
        *pllPrecision = arv_gc_float_get_display_precision(ARV_GC_FLOAT(node));
        return PVX_OK;
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetBoolValue(PvxHandle hCam, PvxHandle hNode, bool* pbValue,
                                              bool /*bVerify*/, bool /*bIgnoreCache*/) {
    if (!pbValue)
        return camlib::NullArgument("pbValue");
    return WithTyped(hCam, hNode, IsBoolean, "a boolean", [&](ArvGcNode* node) -> PvxStatus {
        if (const PvxStatus status = CheckReadable(node))
            return status;
        GError* error = nullptr;
        const bool value = arv_gc_boolean_get_value(ARV_GC_BOOLEAN(node), &error);
        if (error)
            return FromError(error, NodeName(node));
        *pbValue = value;
        return PVX_OK;
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetBoolValue(PvxHandle hCam, PvxHandle hNode, bool bValue,
                                              bool /*bVerify*/) {
    return WithTyped(hCam, hNode, IsBoolean, "a boolean", [&](ArvGcNode* node) -> PvxStatus {
        if (const PvxStatus status = CheckWritable(node))
            return status;
        GError* error = nullptr;
        arv_gc_boolean_set_value(ARV_GC_BOOLEAN(node), bValue, &error);
        return FromError(error, NodeName(node));
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetStringValue(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                uint32_t uiCapacity, bool /*bVerify*/,
                                                bool /*bIgnoreCache*/) {
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithTyped(hCam, hNode, IsString, "a string", [&](ArvGcNode* node) -> PvxStatus {
        if (const PvxStatus status = CheckReadable(node))
            return status;
        GError* error = nullptr;
        const char* value = arv_gc_string_get_value(ARV_GC_STRING(node), &error);
        if (error)
            return FromError(error, NodeName(node));
        return camlib::CopyText(value ? value : "", pszValue, uiCapacity);
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetStringValue(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                bool /*bVerify*/) {
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithTyped(hCam, hNode, IsString, "a string", [&](ArvGcNode* node) -> PvxStatus {
        if (const PvxStatus status = CheckWritable(node))
            return status;
        GError* error = nullptr;
        arv_gc_string_set_value(ARV_GC_STRING(node), pszValue, &error);
        return FromError(error, NodeName(node));
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumValueText(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                  uint32_t uiCapacity, bool /*bVerify*/,
                                                  bool /*bIgnoreCache*/) {
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithLibraryNode(
        hCam, hNode,
        [&](Camera& camera, int entry) -> PvxStatus {
            if (entry >= 0)
                return BufferHandlingRefuses(entry, "an enumeration");
            return camlib::CopyText(camlib::BufferHandlingName(camera.BufferHandling()), pszValue,
                                    uiCapacity);
        },
        RefuseTally,
        [&](Camera&, ArvGcNode* node) -> PvxStatus {
            if (!IsEnumeration(node))
                return WrongInterface(node, "an enumeration");
            if (const PvxStatus status = CheckReadable(node))
                return status;
            GError* error = nullptr;
            const char* value = arv_gc_enumeration_get_string_value(ARV_GC_ENUMERATION(node), &error);
            if (error)
                return FromError(error, NodeName(node));
            return camlib::CopyText(value ? value : "", pszValue, uiCapacity);
        });
}

// An entry that is not available is refused here: Aravis would write its value.
PVX_EXPORT PvxStatus PVX_CALL pvxSetEnumValueText(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                  bool /*bVerify*/) {
    if (!pszValue)
        return camlib::NullArgument("pszValue");
    return WithLibraryNode(
        hCam, hNode,
        [&](Camera& camera, int entry) -> PvxStatus {
            return entry >= 0 ? BufferHandlingRefuses(entry, "an enumeration")
                              : camera.SetBufferHandling(pszValue);
        },
        RefuseTally,
        [&](Camera& camera, ArvGcNode* node) -> PvxStatus {
            if (!IsEnumeration(node))
                return WrongInterface(node, "an enumeration");
            if (const PvxStatus status = CheckWritable(node))
                return status;
            if (const PvxStatus status = camera.CheckFormatFixed(node))
                return status;
            for (ArvGcNode* entry : EnumEntries(node)) {
                if (NodeName(entry) != pszValue)
                    continue;
                const uint32_t access = NodeAccess(entry);
                if (access == PVX_ACCESS_NI || access == PVX_ACCESS_NA)
                    return camlib::Fail(PVX_ERR_NOT_AVAILABLE,
                                        NodeName(node) + ": entry " + pszValue + " is not available");
                GError* error = nullptr;
                arv_gc_enumeration_set_string_value(ARV_GC_ENUMERATION(node), pszValue, &error);
                return FromError(error, NodeName(node));
            }
            return camlib::Fail(PVX_ERR_GENICAM, NodeName(node) + " has no entry " + pszValue);
        });
}
