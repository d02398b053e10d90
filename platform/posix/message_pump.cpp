// POSIX threads have no window-message queue to drain.
#include "platform/message_pump.h"

namespace platform {

void DrainMessageQueue() {}

} // namespace platform
