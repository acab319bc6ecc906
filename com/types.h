#pragma once
// The basic scalar types of the component object model, with the widths that
// interfaces shared between binaries rely on. On Linux `long` is 64 bits, so
// every 32-bit quantity is spelled with a fixed-width type here.

#include <cstdint>

namespace com {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT = std::int32_t;
using UINT = std::uint32_t;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using MEMBERID = DISPID;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;

// Strings are UTF-16 code units, as in the wider COM world.
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

// A BSTR points at the first code unit of a length-prefixed, zero-terminated
// UTF-16 string allocated by SysAllocString and friends (see com/bstr.h). A
// null BSTR is a valid empty string.
using BSTR = OLECHAR*;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// The neutral and US English locales.
inline constexpr LCID LOCALE_NEUTRAL = 0x0000;
inline constexpr LCID LOCALE_EN_US = 0x0409;

}  // namespace com
