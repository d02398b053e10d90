// Ctrl-C and SIGTERM as a request to stop: long commands finish what they write,
// release the camera, print their summary and exit 130.
#ifndef AIKHOST_INTERRUPT_H
#define AIKHOST_INTERRUPT_H

namespace aikhost {

void catchInterrupts();
bool interrupted();

} // namespace aikhost

#endif
