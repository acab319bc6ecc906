#include "pagelink/browser_sink.h"

#include <array>
#include <string_view>

#include "com/bstr.h"
#include "pagelink/pagelink_module.h"

namespace pagelink {

using namespace com;

namespace {

// No method takes more arguments than this.
constexpr UINT kMaxArgs = 4;

struct MethodInfo {
    DISPID id;
    std::string_view name;
    UINT argCount;
    std::array<VARTYPE, kMaxArgs> types;
    std::array<std::string_view, kMaxArgs> params;
};

constexpr MethodInfo kMethods[] = {
    {DISPID_SetCallback, "SetCallback", 1, {VT_UNKNOWN}, {"pIBrowserSinkNoDispatch"}},
    {DISPID_DisplayGraph, "DisplayGraph", 2, {VT_BSTR, VT_I4}, {"bstrPlayerName", "nOptions"}},
    {DISPID_DisplayHand, "DisplayHand", 1, {VT_BSTR}, {"bstrHandNumber"}},
    {DISPID_ToggleWindowSize, "ToggleWindowSize", 0, {}, {}},
    {DISPID_DisplayCalc, "DisplayCalc", 1, {VT_BSTR}, {"bstrTableName"}},
    {DISPID_ChangeReportProperties,
     "ChangeReportProperties",
     3,
     {VT_I4, VT_BSTR, VT_I4},
     {"lReportNumber", "bstrPropertyName", "lPropertyValue"}},
    {DISPID_ChangeReportProperties2,
     "ChangeReportProperties2",
     3,
     {VT_I4, VT_BSTR, VT_BSTR},
     {"lReportNumber", "bstrPropertyName", "bstrPropertyValue"}},
    {DISPID_DisplayAlerts,
     "DisplayAlerts",
     4,
     {VT_BSTR, VT_BSTR, VT_I4, VT_BSTR},
     {"bstrTableName", "bstrHints", "lAlertType", "bstrFilename"}},
};

const MethodInfo* FindMethod(DISPID id) {
    for (const MethodInfo& m : kMethods) {
        if (m.id == id) return &m;
    }
    return nullptr;
}

// A copy of s for the callback, freed when the holder goes; null stays null.
// ok is false when the copy could not be made.
struct StringCopy {
    explicit StringCopy(BSTR s) {
        if (s) copy.Reset(SysAllocString(BstrView(s)));
        ok = !s || copy.Get();
    }
    Bstr copy;
    bool ok = false;
};

// The converted arguments of one Invoke, released on every path out.
class Arguments {
  public:
    Arguments() {
        for (VARIANT& v : converted_) VariantInit(&v);
    }
    ~Arguments() {
        for (VARIANT& v : converted_) VariantClear(&v);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    // Makes parameter position hold src as type vt: src itself when it has
    // that type, else its converted copy.
    HRESULT Set(UINT position, const VARIANT& src, VARTYPE vt) {
        if (src.vt == vt) {
            args_[position] = &src;
            return S_OK;
        }
        const HRESULT hr = VariantChangeType(&converted_[position], &src, 0, vt);
        if (Failed(hr)) return hr;
        args_[position] = &converted_[position];
        return S_OK;
    }
    const VARIANT& operator[](UINT position) const { return *args_[position]; }

  private:
    std::array<VARIANT, kMaxArgs> converted_;
    std::array<const VARIANT*, kMaxArgs> args_{};
};

void FillExcepInfo(EXCEPINFO* info, HRESULT hr) {
    *info = EXCEPINFO{};
    info->scode = hr;
    info->bstrSource = BstrFromUtf8("Pagelink.BrowserSink");
    info->bstrDescription = BstrFromUtf8(HResultDescription(hr));
}

}  // namespace

CBrowserSink::~CBrowserSink() { ReleaseOwnedCallback(); }

HRESULT CBrowserSink::QueryInterface(const IID& riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IBrowserSink) {
        *object = static_cast<IBrowserSink*>(this);
    } else if (riid == IID_IProvideClassInfo) {
        *object = static_cast<IProvideClassInfo*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CBrowserSink::AddRef() {
    const ULONG count = ++refs_;
    if (count == 1) CPagelinkModule::Instance().Lock();
    return count;
}

ULONG CBrowserSink::Release() {
    const ULONG count = --refs_;
    if (count == 0) CPagelinkModule::Instance().Unlock();
    return count;
}

HRESULT CBrowserSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    ITypeInfo* info = nullptr;
    *count = Succeeded(CPagelinkModule::Instance().LoadTypeInfo(IID_IBrowserSink, &info)) ? 1 : 0;
    if (info) info->Release();
    return S_OK;
}

HRESULT CBrowserSink::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return CPagelinkModule::Instance().LoadTypeInfo(IID_IBrowserSink, info);
}

HRESULT CBrowserSink::GetIDsOfNames(const IID&, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const MethodInfo* method = nullptr;
    for (const MethodInfo& m : kMethods) {
        if (NameEquals(m.name, names[0])) {
            method = &m;
            break;
        }
    }
    if (!method) return DISP_E_UNKNOWNNAME;
    ids[0] = method->id;
    // Parameter names are looked up among the named method's parameters
    // only: a parameter name given as a member name must not turn into the
    // member id equal to its position.
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        for (UINT p = 0; p < method->argCount; ++p) {
            if (NameEquals(method->params[p], names[i])) ids[i] = static_cast<DISPID>(p);
        }
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

// The rules, in order:
// 1. The result, when asked for, is made empty (it is never read: callers
//    may pass an uninitialised variant). No argument block:
//    DISP_E_BADVARTYPE. More than four arguments: DISP_E_BADPARAMCOUNT. A block whose
//    counts and arrays disagree is refused (E_INVALIDARG, E_POINTER).
// 2. Arguments are put in parameter order. rgvarg holds them last first,
//    named ones first; a named argument goes to the position its id names (a
//    leading DISPID_PROPERTYPUT means the last position). A position outside
//    0 .. cArgs-1, or one already taken, gives DISP_E_PARAMNOTFOUND with
//    *argError = that named argument's index. The positional arguments fill
//    the remaining positions in order.
// 3. Unknown id: DISP_E_MEMBERNOTFOUND. Wrong count: DISP_E_BADPARAMCOUNT.
//    An argument of another type is converted by the standard conversion;
//    when that fails, *argError = its index in rgvarg and the result is
//    DISP_E_TYPEMISMATCH (E_OUTOFMEMORY stays what it is).
// 4. The method is called; on failure a supplied EXCEPINFO is filled and the
//    answer is DISP_E_EXCEPTION.
// Flags, interface id and locale are not examined.
HRESULT CBrowserSink::Invoke(DISPID id, const IID&, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* excepInfo, UINT* argError) {
    // The result is made empty first, so that it is defined on every path.
    if (result) VariantInit(result);
    if (!params) return DISP_E_BADVARTYPE;
    if (params->cArgs > kMaxArgs) return DISP_E_BADPARAMCOUNT;
    const UINT count = params->cArgs;
    const UINT named = params->cNamedArgs;
    if (named > count) return E_INVALIDARG;
    if ((count > 0 && !params->rgvarg) || (named > 0 && !params->rgdispidNamedArgs))
        return E_POINTER;

    // source[p]: index in rgvarg of the argument for parameter position p.
    std::array<UINT, kMaxArgs> source{};
    std::array<bool, kMaxArgs> filled{};
    for (UINT n = 0; n < named; ++n) {
        DISPID position = params->rgdispidNamedArgs[n];
        if (n == 0 && position == DISPID_PROPERTYPUT) position = static_cast<DISPID>(count) - 1;
        if (position < 0 || static_cast<UINT>(position) >= count ||
            filled[static_cast<UINT>(position)]) {
            if (argError) *argError = n;
            return DISP_E_PARAMNOTFOUND;
        }
        source[static_cast<UINT>(position)] = n;
        filled[static_cast<UINT>(position)] = true;
    }
    UINT next = count;  // positional arguments are taken from the end of rgvarg
    for (UINT p = 0; p < count; ++p) {
        if (!filled[p]) source[p] = --next;
    }

    const MethodInfo* method = FindMethod(id);
    if (!method) return DISP_E_MEMBERNOTFOUND;
    if (count != method->argCount) return DISP_E_BADPARAMCOUNT;

    Arguments args;
    for (UINT p = 0; p < count; ++p) {
        const HRESULT hr = args.Set(p, params->rgvarg[source[p]], method->types[p]);
        if (Failed(hr)) {
            if (hr == E_OUTOFMEMORY) return hr;
            if (argError) *argError = source[p];
            return DISP_E_TYPEMISMATCH;
        }
    }

    HRESULT hr = S_OK;
    switch (id) {
        case DISPID_SetCallback:
            hr = SetCallbackFromScript(args[0].punkVal);
            break;
        case DISPID_DisplayGraph:
            hr = DisplayGraph(args[0].bstrVal, args[1].lVal);
            break;
        case DISPID_DisplayHand:
            hr = DisplayHand(args[0].bstrVal);
            break;
        case DISPID_ToggleWindowSize:
            hr = ToggleWindowSize();
            break;
        case DISPID_DisplayCalc:
            hr = DisplayCalc(args[0].bstrVal);
            break;
        case DISPID_ChangeReportProperties:
            hr = ChangeReportProperties(args[0].lVal, args[1].bstrVal, args[2].lVal);
            break;
        case DISPID_ChangeReportProperties2:
            hr = ChangeReportProperties2(args[0].lVal, args[1].bstrVal, args[2].bstrVal);
            break;
        case DISPID_DisplayAlerts:
            hr = DisplayAlerts(args[0].bstrVal, args[1].bstrVal, args[2].lVal, args[3].bstrVal);
            break;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
    if (Failed(hr) && excepInfo) {
        FillExcepInfo(excepInfo, hr);
        return DISP_E_EXCEPTION;
    }
    return hr;
}

HRESULT CBrowserSink::SetCallback(IUnknown* pIBrowserSinkNoDispatch) {
    ReleaseOwnedCallback();
    callback_ = static_cast<IBrowserSinkNoDispatch*>(pIBrowserSinkNoDispatch);
    return S_OK;
}

HRESULT CBrowserSink::SetCallbackFromScript(IUnknown* object) {
    if (!object) return E_POINTER;
    void* queried = nullptr;
    const HRESULT hr = object->QueryInterface(IID_IBrowserSinkNoDispatch, &queried);
    if (Failed(hr) || !queried) return E_NOINTERFACE;
    ReleaseOwnedCallback();
    callback_ = static_cast<IBrowserSinkNoDispatch*>(queried);
    callbackOwned_ = true;
    return S_OK;
}

void CBrowserSink::ReleaseOwnedCallback() {
    if (callbackOwned_ && callback_) {
        IBrowserSinkNoDispatch* old = callback_;
        callback_ = nullptr;
        callbackOwned_ = false;
        old->Release();
    }
    callbackOwned_ = false;
}

HRESULT CBrowserSink::DisplayGraph(BSTR bstrPlayerName, INT nOptions) {
    if (!callback_) return S_OK;
    StringCopy name(bstrPlayerName);
    if (!name.ok) return E_OUTOFMEMORY;
    callback_->DisplayGraph(name.copy.Get(), nOptions);
    return S_OK;
}

HRESULT CBrowserSink::DisplayHand(BSTR bstrHandNumber) {
    if (!callback_) return S_OK;
    StringCopy number(bstrHandNumber);
    if (!number.ok) return E_OUTOFMEMORY;
    callback_->DisplayHand(number.copy.Get());
    return S_OK;
}

HRESULT CBrowserSink::ToggleWindowSize() {
    if (callback_) callback_->ToggleWindowSize();
    return S_OK;
}

HRESULT CBrowserSink::DisplayCalc(BSTR bstrTableName) {
    if (!callback_) return S_OK;
    StringCopy name(bstrTableName);
    if (!name.ok) return E_OUTOFMEMORY;
    callback_->DisplayCalc(name.copy.Get());
    return S_OK;
}

HRESULT CBrowserSink::ChangeReportProperties(LONG lReportNumber, BSTR bstrPropertyName,
                                             LONG lPropertyValue) {
    if (!callback_) return S_OK;
    StringCopy property(bstrPropertyName);
    if (!property.ok) return E_OUTOFMEMORY;
    callback_->ChangeReportProperties(lReportNumber, property.copy.Get(), lPropertyValue);
    return S_OK;
}

HRESULT CBrowserSink::ChangeReportProperties2(LONG lReportNumber, BSTR bstrPropertyName,
                                              BSTR bstrPropertyValue) {
    if (!callback_) return S_OK;
    StringCopy property(bstrPropertyName);
    StringCopy value(bstrPropertyValue);
    if (!property.ok || !value.ok) return E_OUTOFMEMORY;
    callback_->ChangeReportProperties2(lReportNumber, property.copy.Get(), value.copy.Get());
    return S_OK;
}

HRESULT CBrowserSink::DisplayAlerts(BSTR bstrTableName, BSTR bstrHints, LONG lAlertType,
                                    BSTR bstrFilename) {
    // The strings are the caller's and outlive the call: passed through.
    if (callback_) callback_->DisplayAlerts(bstrTableName, bstrHints, lAlertType, bstrFilename);
    return S_OK;
}

HRESULT CBrowserSink::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    return CPagelinkModule::Instance().LoadTypeInfo(CLSID_BrowserSink, info);
}

}  // namespace pagelink
