#include "com/bstr.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace com {

namespace {

// The block starts with the byte length; the string follows it.
constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* Header(BSTR s) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(s) - kPrefix);
}

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

}  // namespace

BSTR SysAllocStringLen(LPCOLESTR text, UINT length) {
    if (length > kMaxBstrLength) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
    void* block = std::malloc(kPrefix + bytes + sizeof(OLECHAR));
    if (!block) return nullptr;
    const auto byteLength = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &byteLength, kPrefix);
    auto* s = reinterpret_cast<BSTR>(static_cast<char*>(block) + kPrefix);
    if (text) {
        std::memcpy(s, text, bytes);
    } else {
        std::memset(s, 0, bytes);
    }
    s[length] = 0;
    return s;
}

BSTR SysAllocString(LPCOLESTR text) {
    if (!text) return SysAllocStringLen(nullptr, 0);
    return SysAllocString(std::u16string_view(text));
}

BSTR SysAllocString(std::u16string_view text) {
    if (text.size() > kMaxBstrLength) return nullptr;
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SysFreeString(BSTR s) {
    if (s) std::free(Header(s));
}

UINT SysStringByteLen(BSTR s) {
    if (!s) return 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, Header(s), kPrefix);
    return bytes;
}

UINT SysStringLen(BSTR s) { return SysStringByteLen(s) / sizeof(OLECHAR); }

std::u16string_view BstrView(BSTR s) {
    if (!s) return {};
    return std::u16string_view(s, SysStringLen(s));
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                                (text[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        // Length of the sequence and the smallest code point it may encode
        // (anything below is an overlong form).
        std::size_t length = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (b0 < 0x80) {
            length = 1;
            c = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
            c = b0 & 0x1F;
            minimum = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            c = b0 & 0x0F;
            minimum = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            c = b0 & 0x07;
            minimum = 0x10000;
        }
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) {
                valid = false;
            } else {
                c = (c << 6) | (b & 0x3F);
            }
        }
        if (valid && (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
        if (!valid) {
            // Skip only the offending byte so that the next sequence starts
            // where it should.
            AppendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        AppendUtf16(out, c);
        i += length;
    }
    return out;
}

BSTR BstrFromUtf8(std::string_view text) {
    try {
        return SysAllocString(std::u16string_view(Utf8ToUtf16(text)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::string Utf8FromBstr(BSTR s) { return Utf16ToUtf8(BstrView(s)); }

bool NameEquals(std::string_view ascii, LPCOLESTR name) {
    if (!name) return false;
    std::size_t i = 0;
    for (; i < ascii.size(); ++i) {
        char16_t a = static_cast<unsigned char>(ascii[i]);
        char16_t b = name[i];
        if (b == 0) return false;
        if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a - u'A' + u'a');
        if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b - u'A' + u'a');
        if (a != b) return false;
    }
    return name[i] == 0;
}

}  // namespace com
