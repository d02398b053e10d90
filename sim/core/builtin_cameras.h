// The built-in set of cameras, used when no description file is named.
#pragma once

#include "sim/core/description.h"

namespace sim {

Description BuiltInDescription();

} // namespace sim
