#pragma once
// IDispatch: late-bound calls by name, as scripts make them, with the
// argument block DISPPARAMS and the error block EXCEPINFO.

#include "com/unknown.h"
#include "com/variant.h"

namespace com {

class ITypeInfo;

inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

// The arguments of a call. rgvarg holds cArgs arguments in reverse order (the
// last argument first); the first cNamedArgs of them are named, their
// parameter ids in rgdispidNamedArgs. The caller owns everything.
struct DISPPARAMS {
    VARIANTARG* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};

// Error details returned by Invoke with DISP_E_EXCEPTION. The strings are
// owned by the caller once filled in; ClearExcepInfo frees them.
struct EXCEPINFO {
    WORD wCode = 0;
    WORD wReserved = 0;
    BSTR bstrSource = nullptr;
    BSTR bstrDescription = nullptr;
    BSTR bstrHelpFile = nullptr;
    DWORD dwHelpContext = 0;
    void* pvReserved = nullptr;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*) = nullptr;
    SCODE scode = 0;
};

// Frees the strings of info and resets every field.
void ClearExcepInfo(EXCEPINFO* info);

class IDispatch : public IUnknown {
  public:
    // Stores 1 in *count when type information is available, else 0.
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    // Stores the type information of index 0 in *info; DISP_E_BADINDEX for
    // another index.
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    // Maps names[0] to a member id and names[1..] to that member's parameter
    // ids, into ids[0 .. count-1]. DISP_E_UNKNOWNNAME when any name is
    // unknown (its id is DISPID_UNKNOWN).
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                  DISPID* ids) = 0;
    // Calls member id with params. result (may be null) receives the return
    // value; excepInfo (may be null) the details of DISP_E_EXCEPTION;
    // argError (may be null) the index in rgvarg of the argument at fault
    // for DISP_E_TYPEMISMATCH and DISP_E_PARAMNOTFOUND.
    virtual HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* excepInfo, UINT* argError) = 0;

  protected:
    ~IDispatch() = default;
};

}  // namespace com
