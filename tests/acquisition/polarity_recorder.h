// The trigger-polarity words the module writes into the camera, as the camera library
// receives them.
#ifndef AIKTEST_POLARITY_RECORDER_H
#define AIKTEST_POLARITY_RECORDER_H

#include <cstdint>
#include <vector>

namespace aiktest {

// Every word given to pvxSetTriggerPolarity since the last clear, in call order.
std::vector<uint32_t> writtenPolarityWords();
// Call it once the module is loaded: on Windows recording starts there.
void clearPolarityWords();

} // namespace aiktest

#endif
