// Addresses are recognised with inet_pton, so that what counts as an address here is
// what the socket layer would take.
#include "host/view/http_address.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace aikhost {

namespace {

constexpr int kHighestPort = 65535;

bool isIpv6(const std::string& host) {
    in6_addr address{};
    return inet_pton(AF_INET6, host.c_str(), &address) == 1;
}

bool isIpv4(const std::string& host) {
    in_addr address{};
    return inet_pton(AF_INET, host.c_str(), &address) == 1;
}

std::optional<int> portNumber(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return std::nullopt;
    const int port = std::stoi(text);
    return port <= kHighestPort ? std::optional<int>(port) : std::nullopt;
}

} // namespace

std::optional<HttpAddress> parseHttpAddress(const std::string& text) {
    std::string host;
    std::size_t portStart = 0;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return std::nullopt;
        host = text.substr(1, close - 1);
        if (!isIpv6(host))
            return std::nullopt;
        portStart = close + 2;
    } else {
        const std::size_t colon = text.find(':');
        if (colon == std::string::npos || colon == 0 || text.find(':', colon + 1) != std::string::npos)
            return std::nullopt;
        host = text.substr(0, colon);
        portStart = colon + 1;
    }
    const std::optional<int> port = portNumber(text.substr(portStart));
    if (!port)
        return std::nullopt;
    return HttpAddress{host, *port};
}

std::string authority(const std::string& host, int port) {
    const std::string shown = isIpv6(host) ? "[" + host + "]" : host;
    return shown + ":" + std::to_string(port);
}

bool isLoopback(const std::string& host) {
    in_addr v4{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, host.c_str(), &v6) == 1)
        return IN6_IS_ADDR_LOOPBACK(&v6);
    std::string lower = host;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "localhost";
}

bool isWildcard(const std::string& host) {
    in_addr v4{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1)
        return v4.s_addr == htonl(INADDR_ANY);
    in6_addr v6{};
    return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_UNSPECIFIED(&v6);
}

bool isAddressLiteral(const std::string& host) {
    return isIpv4(host) || isIpv6(host);
}

} // namespace aikhost
