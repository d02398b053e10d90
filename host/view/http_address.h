// The address the live view serves on, as --http gives it: "HOST:PORT" with an IPv6
// address in brackets ("[::1]:8080"), and the URL and Host header that name it.
#ifndef AIKHOST_HTTP_ADDRESS_H
#define AIKHOST_HTTP_ADDRESS_H

#include <optional>
#include <string>

namespace aikhost {

struct HttpAddress {
    std::string host; // as bound: a name, an IPv4 address or an IPv6 address without brackets
    int port = 0;
};

// Nothing when text is not HOST:PORT with a port from 0 to 65535; an IPv6 address
// without brackets is refused, since its last group cannot be told from a port.
std::optional<HttpAddress> parseHttpAddress(const std::string& text);

// "127.0.0.1:8080", "[::1]:8080": the authority of a URL, and the Host header that
// names it.
std::string authority(const std::string& host, int port);

// Whether host is one of this machine's loopback names or addresses (localhost,
// 127.x.x.x, ::1), which no other machine reaches.
bool isLoopback(const std::string& host);

// Whether host is an address that stands for every interface (0.0.0.0, ::).
bool isWildcard(const std::string& host);

// Whether host is an IPv4 or IPv6 address rather than a name.
bool isAddressLiteral(const std::string& host);

} // namespace aikhost

#endif
