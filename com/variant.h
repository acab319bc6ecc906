#pragma once
// VARIANT: the tagged value that carries script arguments, with the types a
// script call can carry, and the standard conversion between them.

#include "com/hresult.h"
#include "com/types.h"

namespace com {

class IUnknown;
class IDispatch;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_NULL = 1;
inline constexpr VARTYPE VT_I2 = 2;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_DISPATCH = 9;
inline constexpr VARTYPE VT_ERROR = 10;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_UNKNOWN = 13;
inline constexpr VARTYPE VT_I8 = 20;
inline constexpr VARTYPE VT_UI8 = 21;

// Flag of VariantChangeType: booleans become "True"/"False" instead of the
// default "-1"/"0".
inline constexpr USHORT VARIANT_ALPHABOOL = 0x2;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;        // VT_I8
        ULONGLONG ullVal;      // VT_UI8
        LONG lVal;             // VT_I4
        SHORT iVal;            // VT_I2
        double dblVal;         // VT_R8
        VARIANT_BOOL boolVal;  // VT_BOOL: VARIANT_TRUE or VARIANT_FALSE
        SCODE scode;           // VT_ERROR
        BSTR bstrVal;          // VT_BSTR, owned by the variant
        IUnknown* punkVal;     // VT_UNKNOWN, one reference owned by the variant
        IDispatch* pdispVal;   // VT_DISPATCH, one reference owned by the variant
    };
};
using VARIANTARG = VARIANT;

// True when vt is one of the types above (the only ones this runtime knows).
bool IsKnownVarType(VARTYPE vt);

// Makes v empty without looking at what it held (for fresh variables).
void VariantInit(VARIANT* v);
// Frees what v holds (string, interface reference) and makes it empty.
// DISP_E_BADVARTYPE, leaving v untouched, for an unknown type; E_POINTER for
// null.
HRESULT VariantClear(VARIANT* v);
// Clears dest, then makes it a deep copy of src (a string is copied, an
// interface gets a reference). E_OUTOFMEMORY leaves dest empty.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);

// Converts src to type vt into dest (which may be src itself; otherwise dest
// is cleared first and must be initialised). The standard rules:
// - empty gives 0, false, an empty string; null and error values convert to
//   nothing but themselves (DISP_E_TYPEMISMATCH);
// - numbers convert between each other, a fraction rounding half to even, a
//   value out of range giving DISP_E_OVERFLOW; booleans are -1 and 0;
// - a string converts to a number when it is a decimal number (sign,
//   fraction and exponent allowed, surrounding blanks ignored) and gives
//   DISP_E_TYPEMISMATCH otherwise; to a boolean also from "True"/"False";
// - numbers convert to their decimal text, booleans to "-1"/"0" (or
//   "True"/"False" with VARIANT_ALPHABOOL);
// - an IDispatch converts to a value through its value property (DISPID 0)
//   when that is not itself an object; IUnknown and IDispatch convert to
//   each other through QueryInterface; other conversions of objects give
//   DISP_E_TYPEMISMATCH.
// Supported targets: VT_I2, VT_I4, VT_I8, VT_UI8, VT_R8, VT_BOOL, VT_BSTR,
// VT_UNKNOWN, VT_DISPATCH (other targets, and unknown source types, give
// DISP_E_BADVARTYPE). On failure dest is left as it was when it is src and
// empty otherwise.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

}  // namespace com
