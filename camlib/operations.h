// Every exported operation of the camera family, by name: what faults and call counts key on.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string_view>

namespace camlib {

// One entry per operation of camera/quorvex_api.h, in the header's order.
enum class Operation : std::size_t {
    InitLibrary,
    GetCameraCount,
    GetLastErrorText,
    OpenCamera,
    CloseCamera,
    GetCameraInfo,
    WriteRegister,
    SetExposureControl,
    OpenStream,
    StartStream,
    StopStream,
    CloseStream,
    GetCompletedImage,
    LockImage,
    CopyImageData,
    ReleaseImage,
    GetSensorWidth,
    GetSensorHeight,
    GetRoi,
    SetRoi,
    GetWidthRange,
    GetWidth,
    GetHeightRange,
    GetHeight,
    GetOffsetXRange,
    GetOffsetX,
    GetOffsetYRange,
    GetOffsetY,
    GetFrameByteSize,
    GetPixelFormat,
    GetImageProperty,
    GetExposureTimeRange,
    GetExposureTime,
    SetExposureTime,
    GetContrastRange,
    GetContrast,
    SetContrast,
    GetBrightnessRange,
    GetBrightness,
    SetBrightness,
    SetTriggerMode,
    GetTriggerPolarity,
    SetTriggerPolarity,
    GetNode,
    GetNodeType,
    GetNodeAccess,
    GetNodeDescription,
    GetIntValue,
    SetIntValue,
    GetIntMin,
    GetIntMax,
    GetFloatValue,
    SetFloatValue,
    GetFloatMin,
    GetFloatMax,
    GetFloatPrecision,
    GetBoolValue,
    SetBoolValue,
    GetStringValue,
    SetStringValue,
    GetEnumValueText,
    SetEnumValueText,
    GetEnumEntryCount,
    GetEnumEntry,
    GetEnumEntryName,
    ExecuteCommand,
    IsCommandDone,
    UtlInit,
    ConvertToPlanes,
    Count
};

inline constexpr std::size_t kOperationCount = static_cast<std::size_t>(Operation::Count);

// The exported name of every operation, indexed by Operation.
inline constexpr std::string_view kOperationNames[] = {
    "pvxInitLibrary",
    "pvxGetCameraCount",
    "pvxGetLastErrorText",
    "pvxOpenCamera",
    "pvxCloseCamera",
    "pvxGetCameraInfo",
    "pvxWriteRegister",
    "pvxSetExposureControl",
    "pvxOpenStream",
    "pvxStartStream",
    "pvxStopStream",
    "pvxCloseStream",
    "pvxGetCompletedImage",
    "pvxLockImage",
    "pvxCopyImageData",
    "pvxReleaseImage",
    "pvxGetSensorWidth",
    "pvxGetSensorHeight",
    "pvxGetRoi",
    "pvxSetRoi",
    "pvxGetWidthRange",
    "pvxGetWidth",
    "pvxGetHeightRange",
    "pvxGetHeight",
    "pvxGetOffsetXRange",
    "pvxGetOffsetX",
    "pvxGetOffsetYRange",
    "pvxGetOffsetY",
    "pvxGetFrameByteSize",
    "pvxGetPixelFormat",
    "pvxGetImageProperty",
    "pvxGetExposureTimeRange",
    "pvxGetExposureTime",
    "pvxSetExposureTime",
    "pvxGetContrastRange",
    "pvxGetContrast",
    "pvxSetContrast",
    "pvxGetBrightnessRange",
    "pvxGetBrightness",
    "pvxSetBrightness",
    "pvxSetTriggerMode",
    "pvxGetTriggerPolarity",
    "pvxSetTriggerPolarity",
    "pvxGetNode",
    "pvxGetNodeType",
    "pvxGetNodeAccess",
    "pvxGetNodeDescription",
    "pvxGetIntValue",
    "pvxSetIntValue",
    "pvxGetIntMin",
    "pvxGetIntMax",
    "pvxGetFloatValue",
    "pvxSetFloatValue",
    "pvxGetFloatMin",
    "pvxGetFloatMax",
    "pvxGetFloatPrecision",
    "pvxGetBoolValue",
    "pvxSetBoolValue",
    "pvxGetStringValue",
    "pvxSetStringValue",
    "pvxGetEnumValueText",
    "pvxSetEnumValueText",
    "pvxGetEnumEntryCount",
    "pvxGetEnumEntry",
    "pvxGetEnumEntryName",
    "pvxExecuteCommand",
    "pvxIsCommandDone",
    "pvxUtlInit",
    "pvxConvertToPlanes",
};
static_assert(std::size(kOperationNames) == kOperationCount, "one name per operation, in enum order");

inline std::string_view OperationName(Operation operation) {
    return kOperationNames[static_cast<std::size_t>(operation)];
}

inline std::optional<Operation> OperationFromName(std::string_view name) {
    for (std::size_t i = 0; i < kOperationCount; ++i) {
        if (kOperationNames[i] == name)
            return static_cast<Operation>(i);
    }
    return std::nullopt;
}

} // namespace camlib
