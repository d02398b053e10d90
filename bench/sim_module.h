// The module as the benchmarks load it: through the host loader, with the simulated
// cameras a benchmark program describes.
#pragma once

#include "host/loader/video_module.h"

#include <string>

namespace aikbench {

// Writes the description (the JSON text of {"cameras": [...]}) to a temporary file,
// names it in QUORVEX_SIM_CONFIG, loads the module beside the program and enumerates
// its channels; once per program. Throws when fewer channels open than described.
const aikhost::Enumeration& openSimCameras(const std::string& description, std::size_t cameras);

// SetupCommonParams over the whole sensor, trigger mode as given, then StartAcquisition.
// False, with the module's text in why, when either fails.
bool startChannel(const aikhost::Channel& channel, bool triggered, std::string& why);

} // namespace aikbench
