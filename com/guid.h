#pragma once
// Globally unique identifiers naming classes (CLSID), interfaces (IID) and
// type libraries (LIBID), with the registry's braced text form
// "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}".

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "com/types.h"

namespace com {

struct GUID {
    DWORD data1 = 0;
    WORD data2 = 0;
    WORD data3 = 0;
    std::array<BYTE, 8> data4{};

    // Parses the 36 hex-and-dash characters, with or without the surrounding
    // braces, hex digits in either case. Nothing for any other text; the
    // check is done at compile time for constants.
    static constexpr std::optional<GUID> Parse(std::string_view text);

    // The braced, upper-case text form used in the registry.
    std::string ToString() const;

    bool operator==(const GUID&) const = default;
    auto operator<=>(const GUID&) const = default;
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};
inline constexpr IID IID_NULL{};

namespace detail {

constexpr int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads count hex digits at text[pos]; false when one is not a hex digit.
constexpr bool ReadHex(std::string_view text, std::size_t pos, std::size_t count,
                       std::uint32_t& out) {
    out = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int d = HexDigit(text[pos + i]);
        if (d < 0) return false;
        out = out * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

}  // namespace detail

constexpr std::optional<GUID> GUID::Parse(std::string_view text) {
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}') return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36) return std::nullopt;
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    GUID g;
    std::uint32_t v = 0;
    if (!detail::ReadHex(text, 0, 8, v)) return std::nullopt;
    g.data1 = v;
    if (!detail::ReadHex(text, 9, 4, v)) return std::nullopt;
    g.data2 = static_cast<WORD>(v);
    if (!detail::ReadHex(text, 14, 4, v)) return std::nullopt;
    g.data3 = static_cast<WORD>(v);
    constexpr std::size_t kBytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t i = 0; i < 8; ++i) {
        if (!detail::ReadHex(text, kBytePos[i], 2, v)) return std::nullopt;
        g.data4[i] = static_cast<BYTE>(v);
    }
    return g;
}

// A GUID constant from its text; a malformed literal fails to compile.
consteval GUID MakeGuid(std::string_view text) {
    std::optional<GUID> g = GUID::Parse(text);
    if (!g) throw "malformed GUID literal";
    return *g;
}

// The standard interface identifiers of the runtime.
inline constexpr IID IID_IUnknown = MakeGuid("00000000-0000-0000-C000-000000000046");
inline constexpr IID IID_IClassFactory = MakeGuid("00000001-0000-0000-C000-000000000046");
inline constexpr IID IID_IDispatch = MakeGuid("00020400-0000-0000-C000-000000000046");
inline constexpr IID IID_ITypeInfo = MakeGuid("00020401-0000-0000-C000-000000000046");
inline constexpr IID IID_ITypeLib = MakeGuid("00020402-0000-0000-C000-000000000046");
inline constexpr IID IID_IProvideClassInfo = MakeGuid("B196B283-BAB4-101A-B69C-00AA00341D07");

}  // namespace com
