#pragma once
// BSTR: a UTF-16 string in one heap block, prefixed by its length in bytes
// (32 bits) and followed by a zero code unit. The pointer designates the first
// code unit, so a BSTR reads as a zero-terminated string too, but may hold
// zero code units inside; its length comes from the prefix. A null BSTR is a
// valid empty string for every function here.

#include <string>
#include <string_view>

#include "com/types.h"

namespace com {

// Longest BSTR in code units: the byte length must fit the 32-bit prefix.
inline constexpr UINT kMaxBstrLength = (0xFFFFFFFFu - 8u) / 2u;

// A new BSTR holding the zero-terminated text (an empty one for null);
// null when memory runs out.
BSTR SysAllocString(LPCOLESTR text);
// A new BSTR of length code units copied from text, or zero-filled when text
// is null; null when length exceeds kMaxBstrLength or memory runs out.
BSTR SysAllocStringLen(LPCOLESTR text, UINT length);
// Frees a BSTR; null is allowed.
void SysFreeString(BSTR s);
// Length in code units (0 for null).
UINT SysStringLen(BSTR s);
// Length in bytes (0 for null).
UINT SysStringByteLen(BSTR s);

// The BSTR's code units as a view (empty for null).
std::u16string_view BstrView(BSTR s);

// A new BSTR holding text; null when memory runs out or the text is too long.
BSTR SysAllocString(std::u16string_view text);

// UTF-8 to a new BSTR. Malformed UTF-8 becomes U+FFFD. Null when memory runs
// out or the text is too long.
BSTR BstrFromUtf8(std::string_view text);
// A BSTR's text as UTF-8. Unpaired surrogates become U+FFFD, so any BSTR,
// however malformed, gives valid UTF-8.
std::string Utf8FromBstr(BSTR s);
// The same two conversions on plain strings.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Whether a zero-terminated UTF-16 name equals an ASCII name, ignoring ASCII
// case (member and parameter names as scripts spell them). The UTF-16 name
// is read only as far as the ASCII one is long plus one, so an overlong or
// unterminated-looking name costs nothing. False for null.
bool NameEquals(std::string_view ascii, LPCOLESTR name);

// Owns one BSTR and frees it on destruction.
class Bstr {
  public:
    Bstr() = default;
    // Copies text; Get() is null when memory runs out. To copy a BSTR, which
    // may be null, pass BstrView(s); to adopt one, use Reset(s).
    explicit Bstr(std::u16string_view text) : s_(SysAllocString(text)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    ~Bstr() { SysFreeString(s_); }

    // Takes ownership of s, freeing what was held.
    void Reset(BSTR s = nullptr) {
        SysFreeString(s_);
        s_ = s;
    }
    // Gives up ownership.
    BSTR Detach() {
        BSTR s = s_;
        s_ = nullptr;
        return s;
    }
    BSTR Get() const { return s_; }
    // Frees what was held and returns the slot for an out parameter.
    BSTR* Put() {
        Reset();
        return &s_;
    }
    std::u16string_view View() const { return BstrView(s_); }

  private:
    BSTR s_ = nullptr;
};

}  // namespace com
