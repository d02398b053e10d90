// The host's common settings as the camera has them now, so that a host that sets
// the channel up keeps what features were set to before.
#ifndef AIKHOST_COMMON_SETTINGS_H
#define AIKHOST_COMMON_SETTINGS_H

#include "host/loader/channel.h"

namespace aikhost {

// Exposure from ExposureTime (µs), contrast and brightness as fractions of their
// nodes' ranges, the window from OffsetX/OffsetY/Width/Height and the trigger from
// TriggerMode/TriggerActivation; what a camera lacks comes from the channel record
// (the whole sensor, free running). Continuous acquisition.
CommonParamsRecord currentCommonParams(const Channel& channel);

} // namespace aikhost

#endif
