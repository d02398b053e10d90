// The checks follow what a browser sends: Host on every request (a rebound name
// shows there), Origin on every request that may change something, Sec-Fetch-Site
// on every request of a recent browser. Scripts send neither of the last two.
#include "host/view/access_guard.h"

#include "host/view/http_address.h"

#include <algorithm>
#include <cctype>
#include <random>

namespace aikhost {

namespace {

constexpr int kTokenBytes = 32;
// The port a Host header without one means.
constexpr int kHttpPort = 80;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Compares in a time that does not depend on where the texts differ.
bool sameSecret(const std::string& given, const std::string& secret) {
    if (given.size() != secret.size())
        return false;
    unsigned difference = 0;
    for (std::size_t i = 0; i < secret.size(); ++i)
        difference |= static_cast<unsigned char>(given[i]) ^ static_cast<unsigned char>(secret[i]);
    return difference == 0;
}

// "name:port", "[v6]:port", or either without the port (80).
std::optional<HttpAddress> hostHeaderAddress(const std::string& value) {
    if (value.empty())
        return std::nullopt;
    const bool portGiven = value.back() != ']' && value.find(':') != std::string::npos;
    return parseHttpAddress(portGiven ? value : value + ":" + std::to_string(kHttpPort));
}

bool isControlByte(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

// A browser's top-level visit of the page, say from a link: it changes nothing and
// the page it loads then asks from its own origin.
bool isPageNavigation(const httplib::Request& request) {
    return request.method == "GET" && request.path == "/" &&
           request.get_header_value("Sec-Fetch-Mode") == "navigate" &&
           request.get_header_value("Sec-Fetch-Dest") == "document";
}

std::optional<Refusal> bodyRefusal(const httplib::Request& request) {
    if (request.has_header("Transfer-Encoding"))
        return Refusal{411, "a request body needs a Content-Length"};
    const std::size_t lengths = request.get_header_value_count("Content-Length");
    if (lengths == 0)
        return std::nullopt;
    const std::string length = request.get_header_value("Content-Length");
    if (lengths > 1 || length.empty() || length.size() > 18 ||
        !std::all_of(length.begin(), length.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return Refusal{400, "one Content-Length of digits, please"};
    if (std::stoull(length) > kMostBodyBytes)
        return Refusal{413,
                       "a request body may hold at most " + std::to_string(kMostBodyBytes / 1024) + " KiB"};
    return std::nullopt;
}

std::optional<Refusal> methodRefusal(const httplib::Request& request) {
    if (request.method == "GET" || request.method == "HEAD")
        return std::nullopt;
    if (request.method != "POST" && request.method != "PUT")
        return Refusal{405, request.method + " is not served here"};
    const std::string type = request.get_header_value("Content-Type");
    if (lowerCase(trimmed(type.substr(0, type.find(';')))) != "application/json")
        return Refusal{415, "a request that changes something needs Content-Type: application/json"};
    return std::nullopt;
}

} // namespace

AccessGuard::AccessGuard(AccessRules rules)
    : m_rules(std::move(rules)), m_cookieName("aikhost-view-" + std::to_string(m_rules.port)) {
    for (std::string& name : m_rules.allowedHosts)
        name = lowerCase(name);
}

httplib::Headers AccessGuard::securityHeaders() {
    return {
        {"X-Frame-Options", "DENY"},
        {"Content-Security-Policy",
         "default-src 'self'; img-src 'self' blob:; style-src 'self' 'unsafe-inline'; "
         "script-src 'self' 'unsafe-inline'; frame-ancestors 'none'; "
         "form-action 'none'; base-uri 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"Cross-Origin-Resource-Policy", "same-origin"},
        {"Cache-Control", "no-store"},
    };
}

std::optional<Refusal> AccessGuard::refusal(const httplib::Request& request) const {
    if (auto refused = hostRefusal(request))
        return refused;
    if (auto refused = tokenRefusal(request))
        return refused;
    if (auto refused = originRefusal(request))
        return refused;
    if (auto refused = methodRefusal(request))
        return refused;
    if (auto refused = bodyRefusal(request))
        return refused;
    if (std::any_of(request.path.begin(), request.path.end(), isControlByte))
        return Refusal{400, "a name with a control character (such as %00) is refused"};
    return std::nullopt;
}

bool AccessGuard::hostAccepted(const std::string& name) const {
    const std::string lower = lowerCase(name);
    const std::string bound = lowerCase(m_rules.boundHost);
    return lower == bound ||
           std::find(m_rules.allowedHosts.begin(), m_rules.allowedHosts.end(), lower) !=
               m_rules.allowedHosts.end() ||
           (isLoopback(bound) && isLoopback(lower)) ||
           (isWildcard(bound) && (isAddressLiteral(lower) || lower == "localhost"));
}

std::optional<Refusal> AccessGuard::hostRefusal(const httplib::Request& request) const {
    const std::optional<HttpAddress> host = request.get_header_value_count("Host") == 1
                                                ? hostHeaderAddress(request.get_header_value("Host"))
                                                : std::nullopt;
    if (host && host->port == m_rules.port && hostAccepted(host->host))
        return std::nullopt;
    return Refusal{403, "this view answers only to the address it serves on, localhost, or a name given "
                        "with --allow-host"};
}

std::optional<Refusal> AccessGuard::tokenRefusal(const httplib::Request& request) const {
    if (m_rules.token.empty())
        return std::nullopt;
    const std::string authorization = request.get_header_value("Authorization");
    const std::size_t blank = authorization.find(' ');
    const std::string scheme = lowerCase(authorization.substr(0, blank));
    const bool byHeader = (scheme == "token" || scheme == "bearer") && blank != std::string::npos &&
                          sameSecret(trimmed(authorization.substr(blank)), m_rules.token);
    if (byHeader || sameSecret(request.get_param_value("token"), m_rules.token) ||
        sameSecret(cookieToken(request), m_rules.token))
        return std::nullopt;
    return Refusal{401,
                   "a token is needed: open the URL aikhost printed, or send Authorization: token TOKEN"};
}

std::optional<Refusal> AccessGuard::originRefusal(const httplib::Request& request) const {
    const std::string site = request.get_header_value("Sec-Fetch-Site");
    if ((site == "cross-site" || site == "same-site") && !isPageNavigation(request))
        return Refusal{403, "requests from other sites are refused"};
    if (request.has_header("Origin") && lowerCase(request.get_header_value("Origin")) !=
                                            "http://" + lowerCase(request.get_header_value("Host")))
        return Refusal{403, "requests from pages of other origins are refused"};
    return std::nullopt;
}

std::string AccessGuard::cookieToken(const httplib::Request& request) const {
    const std::string cookies = request.get_header_value("Cookie");
    std::size_t start = 0;
    while (start < cookies.size()) {
        const std::size_t end = std::min(cookies.find(';', start), cookies.size());
        const std::string cookie = trimmed(cookies.substr(start, end - start));
        const std::size_t equals = cookie.find('=');
        if (equals != std::string::npos && cookie.substr(0, equals) == m_cookieName)
            return cookie.substr(equals + 1);
        start = end + 1;
    }
    return "";
}

std::string AccessGuard::tokenCookie(const httplib::Request& request) const {
    if (m_rules.token.empty() || sameSecret(cookieToken(request), m_rules.token))
        return "";
    return m_cookieName + "=" + m_rules.token + "; HttpOnly; SameSite=Strict; Path=/";
}

std::string newToken() {
    std::random_device source;
    std::uniform_int_distribution<int> byte(0, 255);
    static const char kHex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < kTokenBytes; ++i) {
        const int value = byte(source);
        token += kHex[value >> 4];
        token += kHex[value & 15];
    }
    return token;
}

} // namespace aikhost
