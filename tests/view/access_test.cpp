// Who the live view lets in, request by request as the guard sees them before routing,
// and the --http addresses it takes: the attacks a foreign page, a rebound DNS name or
// a careless client make, next to the page's and a script's own requests.
#include "host/view/access_guard.h"
#include "host/view/http_address.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace aiktest {
namespace {

constexpr int kPort = 8080;
constexpr char kToken[] = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

using Fields = std::vector<std::pair<std::string, std::string>>;

struct GuardCase {
    const char* name;
    bool wildcardWithToken; // bound to 0.0.0.0 with a token and one --allow-host; else 127.0.0.1
    const char* method;
    std::string path;
    const char* host; // the Host header; nullptr: none
    Fields headers;   // besides Host
    Fields params;
    int refusedWith; // 0: let in
};

constexpr char kLoopback[] = "127.0.0.1:8080";
constexpr char kLan[] = "192.168.7.20:8080";
const Fields kJson = {{"Content-Type", "application/json"}};
const Fields kPageJson = {{"Content-Type", "application/json; charset=utf-8"},
                          {"Origin", "http://127.0.0.1:8080"},
                          {"Sec-Fetch-Site", "same-origin"}};
const Fields kNavigation = {{"Sec-Fetch-Site", "cross-site"}, {"Sec-Fetch-Mode", "navigate"}};
const Fields kForm = {{"Content-Type", "application/x-www-form-urlencoded"}};
const Fields kText = {{"Content-Type", "text/plain"}};
const std::string kTokenText = kToken;
const std::string kCookie = "aikhost-view-8080=" + kTokenText;
const std::string kOtherPortsCookie = "aikhost-view-8081=" + kTokenText;
const Fields kTwoLengths = {{"Content-Length", "2"}, {"Content-Length", "9"}};

constexpr char kGamma[] = "/features/Gamma";

Fields with(Fields fields, const std::string& name, const std::string& value) {
    fields.emplace_back(name, value);
    return fields;
}

// A JSON body's Content-Type and more.
Fields json(const Fields& more) {
    Fields fields = kJson;
    fields.insert(fields.end(), more.begin(), more.end());
    return fields;
}

const GuardCase kGuardCases[] = {
    {"ScriptReadsFigures", false, "GET", "/figures", kLoopback, {}, {}, 0},
    {"PageWritesWithJson", false, "PUT", kGamma, kLoopback, kPageJson, {}, 0},
    {"ScriptStopsWithJson", false, "POST", "/stop", kLoopback, kJson, {}, 0},
    {"LocalhostByName", false, "GET", "/figures", "LOCALHOST:8080", {}, {}, 0},
    {"Ipv6Loopback", false, "GET", "/figures", "[::1]:8080", {}, {}, 0},
    // DNS rebinding: the browser talks to 127.0.0.1 but names the attacker's host.
    {"ReboundName", false, "PUT", kGamma, "attacker.example:8080", kJson, {}, 403},
    {"OtherPort", false, "GET", "/figures", "127.0.0.1:9999", {}, {}, 403},
    {"NoHost", false, "GET", "/figures", nullptr, {}, {}, 403},
    {"TwoHosts", false, "GET", "/figures", kLoopback, {{"Host", "attacker.example:8080"}}, {}, 403},
    {"BareIpv6Host", false, "GET", "/figures", "::1:8080", {}, {}, 403},
    // CSRF: simple requests a foreign page sends without a preflight.
    {"FormPost", false, "POST", "/stop", kLoopback, kForm, {}, 415},
    {"TextPlainPost", false, "POST", "/features/TriggerSoftware/execute", kLoopback, kText, {}, 415},
    {"PostWithoutType", false, "POST", "/start", kLoopback, {}, {}, 415},
    {"ForeignOrigin", false, "POST", "/stop", kLoopback, json({{"Origin", "http://127.0.0.1:9"}}), {}, 403},
    {"NullOrigin", false, "POST", "/stop", kLoopback, json({{"Origin", "null"}}), {}, 403},
    {"CrossSiteRead", false, "GET", "/image.jpg", kLoopback, {{"Sec-Fetch-Site", "cross-site"}}, {}, 403},
    {"SameSiteOtherPort", false, "GET", "/figures", kLoopback, {{"Sec-Fetch-Site", "same-site"}}, {}, 403},
    {"CrossSiteFrame", false, "GET", "/", kLoopback, with(kNavigation, "Sec-Fetch-Dest", "iframe"), {}, 403},
    {"LinkToThePage", false, "GET", "/", kLoopback, with(kNavigation, "Sec-Fetch-Dest", "document"), {}, 0},
    {"TypedAddress", false, "GET", "/", kLoopback, {{"Sec-Fetch-Site", "none"}}, {}, 0},
    {"Delete", false, "DELETE", kGamma, kLoopback, kJson, {}, 405},
    {"Preflight", false, "OPTIONS", "/stop", kLoopback, {}, {}, 405},
    // Bodies: refused from the head alone, before any of the body is read.
    {"BodyAtTheLimit", false, "PUT", kGamma, kLoopback, json({{"Content-Length", "65536"}}), {}, 0},
    {"BodyAboveTheLimit", false, "PUT", kGamma, kLoopback, json({{"Content-Length", "209715200"}}), {}, 413},
    {"ChunkedBody", false, "PUT", kGamma, kLoopback, json({{"Transfer-Encoding", "chunked"}}), {}, 411},
    {"TwoLengths", false, "PUT", kGamma, kLoopback, json(kTwoLengths), {}, 400},
    {"LengthNotANumber", false, "PUT", kGamma, kLoopback, json({{"Content-Length", "1e9"}}), {}, 400},
    // A decoded %00 would cut the name short where the module reads it.
    {"NulInName", false, "GET", std::string("/features/Gamma\0Max", 19), kLoopback, {}, {}, 400},
    {"ControlInName", false, "GET", "/features/Gam\x1fma", kLoopback, {}, {}, 400},
    // Beyond loopback: a token in every request, however it comes.
    {"NoToken", true, "GET", "/figures", kLan, {}, {}, 401},
    {"WrongToken", true, "GET", "/figures", kLan, {}, {{"token", "guess"}}, 401},
    {"TokenInUrl", true, "GET", "/", kLan, {}, {{"token", kToken}}, 0},
    {"TokenInHeader", true, "GET", "/figures", kLan, {{"Authorization", "token " + kTokenText}}, {}, 0},
    {"BearerToken", true, "GET", "/figures", kLan, {{"Authorization", "Bearer " + kTokenText}}, {}, 0},
    {"TokenInCookie", true, "GET", "/figures", kLan, {{"Cookie", "other=1; " + kCookie}}, {}, 0},
    {"OtherPortsCookie", true, "GET", "/figures", kLan, {{"Cookie", kOtherPortsCookie}}, {}, 401},
    {"AllowedName", true, "GET", "/figures", "Camera-Line3.example:8080", {{"Cookie", kCookie}}, {}, 0},
    {"UnknownName", true, "GET", "/figures", "attacker.example:8080", {{"Cookie", kCookie}}, {}, 403},
};

httplib::Request request(const GuardCase& c) {
    httplib::Request made;
    made.method = c.method;
    made.path = c.path;
    if (c.host != nullptr)
        made.headers.emplace("Host", c.host);
    for (const auto& [name, value] : c.headers)
        made.headers.emplace(name, value);
    for (const auto& [name, value] : c.params)
        made.params.emplace(name, value);
    return made;
}

aikhost::AccessGuard guardFor(bool wildcardWithToken) {
    if (wildcardWithToken)
        return aikhost::AccessGuard({"0.0.0.0", kPort, {"camera-line3.example"}, kToken});
    return aikhost::AccessGuard({"127.0.0.1", kPort, {}, ""});
}

class GuardTest : public ::testing::TestWithParam<GuardCase> {};

// Catches each way in that the guard must close (and the page's and scripts' own
// requests refused by mistake).
TEST_P(GuardTest, RefusesOrLetsIn) {
    const auto refused = guardFor(GetParam().wildcardWithToken).refusal(request(GetParam()));
    EXPECT_EQ(refused ? refused->status : 0, GetParam().refusedWith)
        << (refused ? refused->reason : "let in");
}

INSTANTIATE_TEST_SUITE_P(Requests, GuardTest, ::testing::ValuesIn(kGuardCases), CaseName());

// Catches a token that the page's own requests cannot carry after the first (no
// cookie), a cookie readable by scripts or sent by other sites, or one set again on
// every answer.
TEST(GuardCookieTest, TokenFromTheUrlStaysInAStrictCookie) {
    const aikhost::AccessGuard guard = guardFor(true);
    const httplib::Request first = request({"url", true, "GET", "/", kLan, {}, {{"token", kToken}}, 0});
    const std::string cookie = guard.tokenCookie(first);
    EXPECT_EQ(cookie.rfind(kCookie + ";", 0), 0u) << cookie;
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
    const httplib::Request later =
        request({"cookie", true, "GET", "/figures", kLan, {{"Cookie", kCookie}}, {}, 0});
    EXPECT_EQ(guard.tokenCookie(later), "");
    EXPECT_EQ(guardFor(false).tokenCookie(first), "") << "no token, no cookie";
}

struct AddressCase {
    const char* name;
    const char* text;
    std::optional<std::pair<std::string, int>> parsed;
    const char* url; // authority of the parsed address
};

const AddressCase kAddressCases[] = {
    {"Ipv4", "127.0.0.1:8080", std::make_pair("127.0.0.1", 8080), "127.0.0.1:8080"},
    {"AnyFreePort", "localhost:0", std::make_pair("localhost", 0), "localhost:0"},
    {"Ipv6InBrackets", "[::1]:8080", std::make_pair("::1", 8080), "[::1]:8080"},
    {"Ipv6Everywhere", "[::]:80", std::make_pair("::", 80), "[::]:80"},
    {"Ipv6WithoutBrackets", "::1:8080", std::nullopt, ""},
    {"BracketsAroundAName", "[localhost]:80", std::nullopt, ""},
    {"NoPort", "127.0.0.1", std::nullopt, ""},
    {"EmptyPort", "127.0.0.1:", std::nullopt, ""},
    {"NoHost", ":8080", std::nullopt, ""},
    {"PortTooHigh", "127.0.0.1:65536", std::nullopt, ""},
    {"PortNotANumber", "127.0.0.1:80a", std::nullopt, ""},
    {"BracketsWithoutPort", "[::1]", std::nullopt, ""},
};

class AddressTest : public ::testing::TestWithParam<AddressCase> {};

// Catches [::1]:P refused, ::1:P taken with the wrong split, and a URL with a bare
// IPv6 address (which no browser opens).
TEST_P(AddressTest, ParsesAndNames) {
    const AddressCase& c = GetParam();
    const auto parsed = aikhost::parseHttpAddress(c.text);
    ASSERT_EQ(parsed.has_value(), c.parsed.has_value());
    if (!parsed)
        return;
    EXPECT_EQ(parsed->host, c.parsed->first);
    EXPECT_EQ(parsed->port, c.parsed->second);
    EXPECT_EQ(aikhost::authority(parsed->host, parsed->port), c.url);
}

INSTANTIATE_TEST_SUITE_P(Texts, AddressTest, ::testing::ValuesIn(kAddressCases), CaseName());

} // namespace
} // namespace aiktest
