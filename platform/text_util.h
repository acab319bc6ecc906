#pragma once
// Small text helpers shared by the platform layer: letter-case folding for the
// names that Windows matches without regard to case, and UTF-8 / UTF-16
// conversion for the formats that store UTF-16 (Wine's hex(2) and hex(7)
// registry values, window titles of some clients).

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Returns the ASCII lower-case form of c; other bytes are returned unchanged,
// so UTF-8 sequences pass through intact.
constexpr char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Returns s with ASCII letters in lower case.
std::string FoldCase(std::string_view s);

// True when a and b are equal after ASCII case folding.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Three-way comparison after ASCII case folding: negative, zero or positive.
int CompareNoCase(std::string_view a, std::string_view b);

// Strict weak ordering without regard to ASCII case, usable as a transparent
// comparator for std::map<std::string, T, LessNoCase>.
struct LessNoCase {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return CompareNoCase(a, b) < 0;
    }
};

// Appends one code point to `out` as UTF-8; surrogates and values above
// U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);

// Decodes UTF-16 code units to UTF-8. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);

// Decodes little-endian UTF-16 bytes to UTF-8; an odd trailing byte is ignored.
std::string Utf16LeBytesToUtf8(const std::uint8_t* data, std::size_t size);

// Encodes UTF-8 as UTF-16 code units. Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);

// Returns s without leading and trailing spaces, tabs, carriage returns and
// line feeds.
std::string_view TrimSpace(std::string_view s);

// The text printf would print for `format` and its arguments.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace platform
