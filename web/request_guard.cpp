#include "web/request_guard.h"

#include <algorithm>
#include <cstdint>
#include <random>

namespace web {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// "127.0.0.1:PORT" or "localhost:PORT" (the host name in any case), with the
// given prefix before it ("" for Host, "http://" for Origin).
bool NamesLoopback(std::string_view value, std::string_view scheme, int port) {
    if (!EqualsIgnoringCase(value.substr(0, scheme.size()), scheme)) return false;
    value.remove_prefix(std::min(value.size(), scheme.size()));
    const std::string portText = ":" + std::to_string(port);
    if (value.size() <= portText.size() || !value.ends_with(portText)) return false;
    const std::string_view name = value.substr(0, value.size() - portText.size());
    return name == "127.0.0.1" || EqualsIgnoringCase(name, "localhost");
}

}  // namespace

std::string NewToken() {
    std::random_device random;  // reads the kernel's random source on Linux
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    token.reserve(64);
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t word = random();
        for (int shift = 28; shift >= 0; shift -= 4) token += kHex[(word >> shift) & 0xF];
    }
    return token;
}

bool TokensEqual(std::string_view a, std::string_view b) {
    // Every byte of the longer text is visited whatever the contents, so the
    // time says nothing about the position of the first difference.
    const std::size_t n = std::max(a.size(), b.size());
    unsigned diff = a.size() == b.size() ? 0u : 1u;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        diff |= static_cast<unsigned>(x ^ y);
    }
    return diff == 0 && !a.empty();
}

std::string CookieValue(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        const std::size_t end = header.find(';');
        std::string_view pair = Trim(header.substr(0, end));
        header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos) continue;
        if (Trim(pair.substr(0, eq)) == name) {
            std::string_view value = Trim(pair.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return std::string(value);
        }
    }
    return {};
}

Verdict CheckRequest(const RequestFacts& facts, std::string_view token, int port) {
    if (!NamesLoopback(facts.host, "", port)) return Verdict::kBadHost;
    const std::string cookie = CookieValue(facts.cookieHeader, kTokenCookie);
    // Both sources are always compared, so which one holds the token does
    // not show in the time either.
    const bool cookieOk = TokensEqual(cookie, token);
    const bool queryOk = TokensEqual(facts.queryToken, token);
    if (!cookieOk && !queryOk) return Verdict::kNoToken;
    if (facts.method == "POST" && facts.originHeader == OriginHeader::kPresent &&
        !NamesLoopback(facts.origin, "http://", port)) {
        return Verdict::kBadOrigin;
    }
    return Verdict::kAllow;
}

}  // namespace web
