// Who may use the live view: every request is checked before it is routed and before
// any body is read. Only the page itself and local scripts get through: the Host must
// name this server (no DNS rebinding), browsers' cross-site requests are refused,
// changes need a JSON body (which a foreign page cannot send without a preflight that
// is never granted), bodies are bounded, and beyond loopback a secret token is needed.
#ifndef AIKHOST_ACCESS_GUARD_H
#define AIKHOST_ACCESS_GUARD_H

#include <httplib.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace aikhost {

// The largest request body the view reads; a feature value is far smaller.
constexpr std::size_t kMostBodyBytes = 64 * 1024;

struct AccessRules {
    std::string boundHost;                 // as --http gave it
    int port = 0;                          // the port bound
    std::vector<std::string> allowedHosts; // further Host names (--allow-host)
    std::string token;                     // empty: none needed
};

struct Refusal {
    int status = 403;
    std::string reason;
};

class AccessGuard {
public:
    explicit AccessGuard(AccessRules rules);

    // Why request may not be served, or nothing.
    std::optional<Refusal> refusal(const httplib::Request& request) const;
    // A Set-Cookie value that keeps the token for the page's own requests, when the
    // request brought it in the URL or a header; empty otherwise.
    std::string tokenCookie(const httplib::Request& request) const;
    // The response headers every answer carries: no framing, no sniffing, no caching,
    // no referrer (the token may be in the URL).
    static httplib::Headers securityHeaders();

private:
    bool hostAccepted(const std::string& name) const;
    std::optional<Refusal> hostRefusal(const httplib::Request& request) const;
    std::optional<Refusal> tokenRefusal(const httplib::Request& request) const;
    std::optional<Refusal> originRefusal(const httplib::Request& request) const;
    std::string cookieToken(const httplib::Request& request) const;

    AccessRules m_rules;
    std::string m_cookieName; // one per port: cookies are not kept apart by port
};

// A fresh secret: 32 random bytes as hexadecimal.
std::string newToken();

} // namespace aikhost

#endif
