#pragma once
// The admission rules of the desk server: a random token per run, compared in
// constant time; the Host header must name the loopback address and the
// server's port (against DNS rebinding); a POST must come from the desk's own
// origin. Pure functions over header values, so they are tested without a
// socket.

#include <string>
#include <string_view>

namespace web {

inline constexpr std::string_view kTokenCookie = "seatwatch_token";

// 32 random bytes from the system's random source, as 64 hex digits.
std::string NewToken();

// True when a equals b; the time taken does not depend on where they differ.
bool TokensEqual(std::string_view a, std::string_view b);

// The value of the cookie name in a Cookie header, or "" when absent.
std::string CookieValue(std::string_view cookieHeader, std::string_view name);

enum class Verdict {
    kAllow,
    kBadHost,    // 403: Host is not 127.0.0.1:PORT or localhost:PORT
    kNoToken,    // 401: no valid token in the cookie or the query
    kBadOrigin,  // 403: a POST from another origin
};

enum class OriginHeader { kAbsent, kPresent };

struct RequestFacts {
    std::string_view method;
    std::string_view host;
    OriginHeader originHeader = OriginHeader::kAbsent;
    std::string_view origin;
    std::string_view cookieHeader;
    std::string_view queryToken;
};

// Applies the rules in order: Host, then token, then Origin.
Verdict CheckRequest(const RequestFacts& facts, std::string_view token, int port);

}  // namespace web
