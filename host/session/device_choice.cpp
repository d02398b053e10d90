// Identities are read through ReadValue by the standard node names, as a host would,
// so the same rules hold for the simulated cameras and for real ones.
#include "host/session/device_choice.h"

#include "host/session/host_failure.h"

#include <algorithm>
#include <cstdlib>

namespace aikhost {

namespace {

std::string readText(const Channel& channel, const char* name) {
    const TextResult value = channel.readValue(name);
    return value.ok() ? value.text : "";
}

bool isDigits(const std::string& text) {
    return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
}

// GevCurrentIPAddress holds the address as one 32-bit number, most significant byte first.
std::string dottedQuad(const std::string& number) {
    if (number.empty() || number.size() > 10 || number.find_first_not_of("0123456789") != std::string::npos)
        return "";
    const unsigned long long value = std::strtoull(number.c_str(), nullptr, 10);
    if (value == 0 || value > 0xFFFFFFFFull)
        return "";
    return std::to_string(value >> 24) + "." + std::to_string((value >> 16) & 0xFF) + "." +
           std::to_string((value >> 8) & 0xFF) + "." + std::to_string(value & 0xFF);
}

} // namespace

ChannelIdentity identifyChannel(const Channel& channel) {
    ChannelIdentity identity;
    identity.serial = readText(channel, "DeviceSerialNumber");
    if (identity.serial.empty())
        identity.serial = readText(channel, "DeviceID");
    identity.userId = readText(channel, "DeviceUserID");
    identity.address = dottedQuad(readText(channel, "GevCurrentIPAddress"));
    return identity;
}

std::string identityText(const ChannelIdentity& identity) {
    std::string text;
    const auto add = [&text](const char* label, const std::string& value) {
        if (!value.empty())
            text += (text.empty() ? "" : ", ") + std::string(label) + " " + value;
    };
    add("serial", identity.serial);
    add("user id", identity.userId);
    add("address", identity.address);
    return text;
}

bool isNetworkAddress(const std::string& text) {
    int parts = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t dot = std::min(text.find('.', start), text.size());
        const std::string part = text.substr(start, dot - start);
        if (!isDigits(part) || part.size() > 3 || std::atoi(part.c_str()) > 255)
            return false;
        ++parts;
        start = dot + 1;
    }
    return parts == 4;
}

int findChannel(const Session& session, const std::string& device, DeviceKey key) {
    const std::vector<Channel>& channels = session.channels();
    const bool any = key == DeviceKey::Any;
    if (any && isDigits(device) && std::stoul(device) < channels.size())
        return static_cast<int>(std::stoul(device));
    std::string known;
    for (std::size_t index = 0; index < channels.size(); ++index) {
        const ChannelIdentity identity = identifyChannel(channels[index]);
        if (device == identity.serial || (any && (device == identity.userId || device == identity.address)))
            return static_cast<int>(index);
        known += (known.empty() ? "" : "; ") + std::to_string(index) + " " + channels[index].name();
        const std::string text = identityText(identity);
        known += text.empty() ? "" : " (" + text + ")";
    }
    throw HostFailure(FailureKind::NotFound,
                      "no camera " + device +
                          (any ? ": -d takes a channel number, a serial number, a user id or an address"
                               : ": --serial takes a serial number") +
                          "; the cameras found are " + (known.empty() ? std::string("none") : known));
}

} // namespace aikhost
