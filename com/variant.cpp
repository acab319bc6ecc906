#include "com/variant.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "com/bstr.h"
#include "com/dispatch.h"

namespace com {

namespace {

// A number read from text or taken from a variant: exact as an integer when
// it is one and fits 64 bits, else as a double.
struct Number {
    bool isInteger = false;
    bool isUnsigned = false;  // integer above the signed range, in u
    bool overflowed = false;  // text beyond the double range; d is infinite
    std::int64_t i = 0;
    std::uint64_t u = 0;
    double d = 0;
};

Number FromInt(std::int64_t i) {
    Number n;
    n.isInteger = true;
    n.i = i;
    n.d = static_cast<double>(i);
    return n;
}

Number FromUnsigned(std::uint64_t u) {
    if (u <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return FromInt(static_cast<std::int64_t>(u));
    }
    Number n;
    n.isInteger = true;
    n.isUnsigned = true;
    n.u = u;
    n.d = static_cast<double>(u);
    return n;
}

Number FromDouble(double d) {
    Number n;
    n.d = d;
    return n;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

// For a well-formed decimal number out of the double range: true when it is
// too large rather than too small, judged by the position of its first
// significant digit relative to the decimal point.
bool IsHugeMagnitude(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    std::int64_t position = 0;  // power of ten of the first significant digit, plus one
    bool seenSignificant = false;
    bool afterPoint = false;
    for (; pos < text.size() && text[pos] != 'e' && text[pos] != 'E'; ++pos) {
        if (text[pos] == '.') {
            afterPoint = true;
        } else if (!seenSignificant) {
            if (text[pos] != '0') {
                seenSignificant = true;
            } else if (afterPoint) {
                --position;
            }
            if (seenSignificant && !afterPoint) ++position;
        } else if (!afterPoint) {
            ++position;
        }
    }
    std::int64_t exponent = 0;
    if (pos < text.size()) {
        ++pos;
        bool negativeExponent = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            negativeExponent = text[pos++] == '-';
        for (; pos < text.size(); ++pos) {
            if (exponent < 100000) exponent = exponent * 10 + (text[pos] - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    return position + exponent > 0;
}

// Reads a decimal number: optional sign, digits with an optional fraction,
// optional exponent, blanks around it. Nothing for anything else.
std::optional<Number> ParseNumber(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    // Anything longer is not a number a script would send; the bound keeps
    // the narrow copy small.
    constexpr std::size_t kMaxNumberText = 400;
    if (text.empty() || text.size() > kMaxNumberText) return std::nullopt;
    std::string narrow;
    narrow.reserve(text.size());
    for (char16_t c : text) {
        if (c > 0x7F) return std::nullopt;
        narrow += static_cast<char>(c);
    }
    std::size_t pos = 0;
    bool negative = false;
    if (narrow[pos] == '+' || narrow[pos] == '-') {
        negative = narrow[pos] == '-';
        ++pos;
    }
    const std::size_t digitsStart = pos;
    while (pos < narrow.size() && narrow[pos] >= '0' && narrow[pos] <= '9') ++pos;
    std::size_t digits = pos - digitsStart;
    bool integral = true;
    if (pos < narrow.size() && narrow[pos] == '.') {
        integral = false;
        ++pos;
        const std::size_t fractionStart = pos;
        while (pos < narrow.size() && narrow[pos] >= '0' && narrow[pos] <= '9') ++pos;
        digits += pos - fractionStart;
    }
    if (digits == 0) return std::nullopt;
    if (pos < narrow.size() && (narrow[pos] == 'e' || narrow[pos] == 'E')) {
        integral = false;
        ++pos;
        if (pos < narrow.size() && (narrow[pos] == '+' || narrow[pos] == '-')) ++pos;
        const std::size_t exponentStart = pos;
        while (pos < narrow.size() && narrow[pos] >= '0' && narrow[pos] <= '9') ++pos;
        if (pos == exponentStart) return std::nullopt;
    }
    if (pos != narrow.size()) return std::nullopt;

    if (integral) {
        std::uint64_t magnitude = 0;
        const char* first = narrow.data() + digitsStart;
        const char* last = narrow.data() + narrow.size();
        auto [ptr, ec] = std::from_chars(first, last, magnitude);
        if (ec == std::errc() && ptr == last) {
            if (!negative) return FromUnsigned(magnitude);
            if (magnitude <=
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1) {
                return FromInt(static_cast<std::int64_t>(0 - magnitude));
            }
        }
        // Too large for 64 bits: fall through to the double reading.
    }
    double d = 0;
    const char* first = narrow.data() + (narrow[0] == '+' ? 1 : 0);
    auto [ptr, ec] = std::from_chars(first, narrow.data() + narrow.size(), d);
    if (ptr != narrow.data() + narrow.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves d alone here: tell an overflow (an infinity, so
        // that range checks report it) from an underflow (zero).
        if (IsHugeMagnitude(narrow)) {
            Number n = FromDouble(negative ? -HUGE_VAL : HUGE_VAL);
            n.overflowed = true;
            return n;
        }
        d = 0.0;
    } else if (ec != std::errc()) {
        return std::nullopt;
    }
    return FromDouble(d);
}

// Rounds half to even, the rule of the standard conversion (nearbyint in the
// default rounding mode, which the program never changes).
double RoundHalfEven(double d) { return std::nearbyint(d); }

// The integer value of n within [lo, hi]; DISP_E_OVERFLOW outside.
HRESULT ToInteger(const Number& n, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    if (n.isInteger) {
        if (n.isUnsigned) return DISP_E_OVERFLOW;
        if (n.i < lo || n.i > hi) return DISP_E_OVERFLOW;
        out = n.i;
        return S_OK;
    }
    const double r = RoundHalfEven(n.d);
    if (std::isnan(r)) return DISP_E_OVERFLOW;
    // Compare as doubles against bounds that are exact powers of two, so the
    // conversion back to an integer is defined.
    if (r < static_cast<double>(lo) || r >= static_cast<double>(hi) + 1.0) return DISP_E_OVERFLOW;
    out = static_cast<std::int64_t>(r);
    return S_OK;
}

HRESULT ToUnsigned(const Number& n, std::uint64_t& out) {
    if (n.isInteger) {
        if (n.isUnsigned) {
            out = n.u;
            return S_OK;
        }
        if (n.i < 0) return DISP_E_OVERFLOW;
        out = static_cast<std::uint64_t>(n.i);
        return S_OK;
    }
    const double r = RoundHalfEven(n.d);
    if (std::isnan(r) || r < 0 || r >= 18446744073709551616.0) return DISP_E_OVERFLOW;
    out = static_cast<std::uint64_t>(r);
    return S_OK;
}

std::string FormatDouble(double d) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d < 0 ? "-Infinity" : "Infinity";
    char buffer[400];
    // Whole numbers below 1e21 are written out in full, as scripts write
    // them, so that a large identifier such as a hand number keeps its digits.
    const bool whole = d == std::trunc(d) && std::fabs(d) < 1e21;
    auto [ptr, ec] =
        whole ? std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, d);
    if (ec != std::errc()) return "NaN";
    std::string text(buffer, ptr);
    return text == "-0" ? "0" : text;
}

std::optional<std::string> FormatNumber(const Number& n) {
    if (n.isInteger) return n.isUnsigned ? std::to_string(n.u) : std::to_string(n.i);
    return FormatDouble(n.d);
}

bool EqualsNoCaseAscii(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return true;
}

// The numeric value of a scalar variant; DISP_E_TYPEMISMATCH for null,
// errors, objects and non-numeric strings.
HRESULT NumberOf(const VARIANT& v, Number& out) {
    switch (v.vt) {
        case VT_EMPTY:
            out = FromInt(0);
            return S_OK;
        case VT_I2:
            out = FromInt(v.iVal);
            return S_OK;
        case VT_I4:
            out = FromInt(v.lVal);
            return S_OK;
        case VT_I8:
            out = FromInt(v.llVal);
            return S_OK;
        case VT_UI8:
            out = FromUnsigned(v.ullVal);
            return S_OK;
        case VT_R8:
            out = FromDouble(v.dblVal);
            return S_OK;
        case VT_BOOL:
            out = FromInt(v.boolVal ? -1 : 0);
            return S_OK;
        case VT_BSTR: {
            std::optional<Number> n;
            try {
                n = ParseNumber(BstrView(v.bstrVal));
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
            if (!n) return DISP_E_TYPEMISMATCH;
            out = *n;
            return S_OK;
        }
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

// Converts a scalar (non-object) variant to scalar type vt into out, which
// is assumed empty.
HRESULT ChangeScalar(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT& out) {
    if (src.vt == VT_NULL || src.vt == VT_ERROR) return DISP_E_TYPEMISMATCH;
    if (vt == VT_BSTR) {
        if (src.vt == VT_BSTR) {
            out.bstrVal = SysAllocString(BstrView(src.bstrVal));
            if (!out.bstrVal) return E_OUTOFMEMORY;
            out.vt = VT_BSTR;
            return S_OK;
        }
        std::string text;
        try {
            if (src.vt == VT_BOOL) {
                if (flags & VARIANT_ALPHABOOL) {
                    text = src.boolVal ? "True" : "False";
                } else {
                    text = src.boolVal ? "-1" : "0";
                }
            } else if (src.vt != VT_EMPTY) {
                Number n;
                const HRESULT hr = NumberOf(src, n);
                if (Failed(hr)) return hr;
                text = *FormatNumber(n);
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        out.bstrVal = BstrFromUtf8(text);
        if (!out.bstrVal) return E_OUTOFMEMORY;
        out.vt = VT_BSTR;
        return S_OK;
    }
    if (vt == VT_BOOL) {
        if (src.vt == VT_BSTR) {
            const std::u16string_view text = BstrView(src.bstrVal);
            std::u16string_view trimmed = text;
            while (!trimmed.empty() && IsBlank(trimmed.front())) trimmed.remove_prefix(1);
            while (!trimmed.empty() && IsBlank(trimmed.back())) trimmed.remove_suffix(1);
            if (EqualsNoCaseAscii(trimmed, u"true")) {
                out.boolVal = VARIANT_TRUE;
                out.vt = VT_BOOL;
                return S_OK;
            }
            if (EqualsNoCaseAscii(trimmed, u"false")) {
                out.boolVal = VARIANT_FALSE;
                out.vt = VT_BOOL;
                return S_OK;
            }
        }
        Number n;
        const HRESULT hr = NumberOf(src, n);
        if (Failed(hr)) return hr;
        const bool value = n.isInteger ? (n.isUnsigned ? n.u != 0 : n.i != 0) : n.d != 0.0;
        out.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        out.vt = VT_BOOL;
        return S_OK;
    }
    Number n;
    HRESULT hr = NumberOf(src, n);
    if (Failed(hr)) return hr;
    std::int64_t i = 0;
    switch (vt) {
        case VT_I2:
            hr = ToInteger(n, std::numeric_limits<SHORT>::min(), std::numeric_limits<SHORT>::max(),
                           i);
            if (Failed(hr)) return hr;
            out.iVal = static_cast<SHORT>(i);
            break;
        case VT_I4:
            hr =
                ToInteger(n, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max(), i);
            if (Failed(hr)) return hr;
            out.lVal = static_cast<LONG>(i);
            break;
        case VT_I8:
            hr = ToInteger(n, std::numeric_limits<std::int64_t>::min(),
                           std::numeric_limits<std::int64_t>::max(), i);
            if (Failed(hr)) return hr;
            out.llVal = i;
            break;
        case VT_UI8:
            hr = ToUnsigned(n, out.ullVal);
            if (Failed(hr)) return hr;
            break;
        case VT_R8:
            if (n.overflowed) return DISP_E_OVERFLOW;
            out.dblVal = n.d;
            break;
        default:
            return DISP_E_BADVARTYPE;
    }
    out.vt = vt;
    return S_OK;
}

bool IsSupportedTarget(VARTYPE vt) {
    switch (vt) {
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_UI8:
        case VT_R8:
        case VT_BOOL:
        case VT_BSTR:
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return true;
        default:
            return false;
    }
}

// The conversion proper; out is empty on entry and stays empty on failure.
HRESULT Change(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT& out) {
    if (!IsKnownVarType(src.vt) || !IsSupportedTarget(vt)) return DISP_E_BADVARTYPE;
    if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
        if (src.vt != VT_UNKNOWN && src.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
        IUnknown* object = src.vt == VT_UNKNOWN ? src.punkVal : src.pdispVal;
        if (src.vt == vt || (object == nullptr && vt == VT_UNKNOWN)) {
            if (object) object->AddRef();
            out.punkVal = object;
            out.vt = vt;
            return S_OK;
        }
        if (!object) return DISP_E_TYPEMISMATCH;
        void* converted = nullptr;
        const HRESULT hr =
            object->QueryInterface(vt == VT_UNKNOWN ? IID_IUnknown : IID_IDispatch, &converted);
        if (Failed(hr) || !converted) return DISP_E_TYPEMISMATCH;
        if (vt == VT_UNKNOWN) {
            out.punkVal = static_cast<IUnknown*>(converted);
        } else {
            out.pdispVal = static_cast<IDispatch*>(converted);
        }
        out.vt = vt;
        return S_OK;
    }
    if (src.vt == VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    if (src.vt == VT_DISPATCH) {
        if (!src.pdispVal) return DISP_E_TYPEMISMATCH;
        // The object's value property stands for the object; a value that is
        // itself an object is not followed further, so a cycle cannot loop.
        DISPPARAMS none;
        VARIANT value;
        VariantInit(&value);
        HRESULT hr = src.pdispVal->Invoke(DISPID_VALUE, IID_NULL, LOCALE_EN_US,
                                          DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
        if (Failed(hr) || value.vt == VT_UNKNOWN || value.vt == VT_DISPATCH ||
            !IsKnownVarType(value.vt)) {
            if (IsKnownVarType(value.vt)) VariantClear(&value);
            return DISP_E_TYPEMISMATCH;
        }
        hr = ChangeScalar(value, flags, vt, out);
        VariantClear(&value);
        return hr;
    }
    return ChangeScalar(src, flags, vt, out);
}

}  // namespace

bool IsKnownVarType(VARTYPE vt) {
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_R8:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_UNKNOWN:
        case VT_I8:
        case VT_UI8:
            return true;
        default:
            return false;
    }
}

void VariantInit(VARIANT* v) {
    if (!v) return;
    std::memset(static_cast<void*>(v), 0, sizeof *v);
    v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_POINTER;
    switch (v->vt) {
        case VT_BSTR:
            SysFreeString(v->bstrVal);
            break;
        case VT_UNKNOWN:
            if (v->punkVal) v->punkVal->Release();
            break;
        case VT_DISPATCH:
            if (v->pdispVal) v->pdispVal->Release();
            break;
        default:
            if (!IsKnownVarType(v->vt)) return DISP_E_BADVARTYPE;
            break;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src) return E_POINTER;
    if (!IsKnownVarType(src->vt)) return DISP_E_BADVARTYPE;
    if (dest == src) return S_OK;
    const HRESULT cleared = VariantClear(dest);
    if (Failed(cleared)) return cleared;
    VARIANT copy = *src;
    switch (src->vt) {
        case VT_BSTR:
            if (src->bstrVal) {
                copy.bstrVal = SysAllocString(BstrView(src->bstrVal));
                if (!copy.bstrVal) return E_OUTOFMEMORY;
            }
            break;
        case VT_UNKNOWN:
            if (copy.punkVal) copy.punkVal->AddRef();
            break;
        case VT_DISPATCH:
            if (copy.pdispVal) copy.pdispVal->AddRef();
            break;
        default:
            break;
    }
    *dest = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
    if (!dest || !src) return E_POINTER;
    VARIANT out;
    VariantInit(&out);
    const HRESULT hr = Change(*src, flags, vt, out);
    if (Failed(hr)) {
        if (dest != src) VariantClear(dest);
        return hr;
    }
    const HRESULT cleared = VariantClear(dest);
    if (Failed(cleared)) {
        VariantClear(&out);
        return cleared;
    }
    *dest = out;
    return S_OK;
}

}  // namespace com
