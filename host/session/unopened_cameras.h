// Cameras the camera library reports that the module could not open, each with the
// library's own reason (in use by another host, nothing at a named address): the
// module's channels leave them out without a word.
#ifndef AIKHOST_UNOPENED_CAMERAS_H
#define AIKHOST_UNOPENED_CAMERAS_H

#include <cstddef>
#include <string>
#include <vector>

namespace aikhost {

struct UnopenedCamera {
    int index; // in the camera library's enumeration
    std::string reason;
};

// Asks the camera library the module loaded, after an enumeration: every camera it
// counts that neither the module holds nor opens now. Empty when the library is not
// loaded or not initialised. Opening again costs what the first attempt did (seconds
// for a camera another host holds).
std::vector<UnopenedCamera> unopenedCameras();

// "camera 1: <reason>; camera 2: <reason>", or "" for none.
std::string describeUnopened(const std::vector<UnopenedCamera>& cameras);

} // namespace aikhost

#endif
