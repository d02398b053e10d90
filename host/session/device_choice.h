// Choosing a camera by what identifies it rather than by its place in the module's
// enumeration, which shifts when a camera fails to open: an index, a serial number,
// a user id or a network address, for either family of camera libraries.
#ifndef AIKHOST_DEVICE_CHOICE_H
#define AIKHOST_DEVICE_CHOICE_H

#include "host/session/session.h"

#include <string>

namespace aikhost {

struct ChannelIdentity {
    std::string serial;  // DeviceSerialNumber, else DeviceID
    std::string userId;  // DeviceUserID
    std::string address; // GevCurrentIPAddress as a dotted quad; empty for a camera without one
};

ChannelIdentity identifyChannel(const Channel& channel);

// "serial SIM00002, address 192.168.1.20": what of the identity the camera has.
std::string identityText(const ChannelIdentity& identity);

// Whether text is an IPv4 address in dotted-quad form.
bool isNetworkAddress(const std::string& text);

// What a camera may be named by: -d takes any identity, --serial the serial alone.
enum class DeviceKey { Any, Serial };

// The index of the channel device names: a channel number, else a serial number, a
// user id or an address that one channel has (with DeviceKey::Serial, a serial
// number only). Throws HostFailure (NotFound) listing the channels and what
// identifies each.
int findChannel(const Session& session, const std::string& device, DeviceKey key = DeviceKey::Any);

} // namespace aikhost

#endif
