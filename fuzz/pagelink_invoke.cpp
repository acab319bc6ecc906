// Drives BrowserSink's Invoke with random argument blocks: any count, named
// ids, variant types (known and unknown) and string contents, including
// malformed UTF-16. Every input must give an answer, never a crash, a leak or
// an out-of-bounds access.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "com/bstr.h"
#include "com/class_factory.h"
#include "com/dispatch.h"
#include "pagelink/interfaces.h"

using namespace com;

namespace {

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
    std::uint32_t U32() {
        return static_cast<std::uint32_t>(U16() | (static_cast<std::uint32_t>(U16()) << 16));
    }
    std::uint64_t U64() { return U32() | (static_cast<std::uint64_t>(U32()) << 32); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A do-nothing callback that answers its interface.
class CCallback final : public pagelink::IBrowserSinkNoDispatch {
  public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == pagelink::IID_IBrowserSinkNoDispatch) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT DisplayGraph(BSTR s, INT) override { return Touch(s); }
    HRESULT DisplayHand(BSTR s) override { return Touch(s); }
    HRESULT ToggleWindowSize() override { return S_OK; }
    HRESULT DisplayCalc(BSTR s) override { return Touch(s); }
    HRESULT ChangeReportProperties(LONG, BSTR s, LONG) override { return Touch(s); }
    HRESULT ChangeReportProperties2(LONG, BSTR a, BSTR b) override { return Touch(a) | Touch(b); }
    HRESULT DisplayAlerts(BSTR a, BSTR b, LONG, BSTR c) override {
        return Touch(a) | Touch(b) | Touch(c);
    }

  private:
    // Reads the whole string, so that a bad length is caught.
    static HRESULT Touch(BSTR s) {
        volatile char16_t sum = 0;
        for (char16_t c : BstrView(s)) sum = static_cast<char16_t>(sum + c);
        return S_OK;
    }
};

// An object whose value property is a numeric string, and one that answers
// nothing.
class CValueObject final : public IDispatch {
  public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (!result) return E_POINTER;
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(u"12");
        return S_OK;
    }
};

CCallback gCallback;
CValueObject gValue;

pagelink::IBrowserSink* Sink() {
    static pagelink::IBrowserSink* sink = [] {
        IClassFactory* factory = nullptr;
        DllGetClassObject(pagelink::CLSID_BrowserSink, IID_IClassFactory,
                          reinterpret_cast<void**>(&factory));
        pagelink::IBrowserSink* created = nullptr;
        factory->CreateInstance(nullptr, pagelink::IID_IBrowserSink,
                                reinterpret_cast<void**>(&created));
        factory->Release();
        created->SetCallback(&gCallback);
        return created;
    }();
    return sink;
}

constexpr VARTYPE kTypes[] = {VT_EMPTY,    VT_NULL,  VT_I2,   VT_I4,      VT_R8, VT_BSTR,
                              VT_DISPATCH, VT_ERROR, VT_BOOL, VT_UNKNOWN, VT_I8, VT_UI8};

VARIANT MakeArgument(Reader& in) {
    VARIANT v;
    VariantInit(&v);
    const std::uint8_t kind = in.Byte();
    if (kind >= 240) {
        // An unknown type with a payload that must never be touched.
        VARTYPE vt = in.U16();
        if (IsKnownVarType(vt)) vt = 0x7FFF;
        v.vt = vt;
        v.ullVal = in.U64();
        return v;
    }
    v.vt = kTypes[kind % std::size(kTypes)];
    switch (v.vt) {
        case VT_I2:
            v.iVal = static_cast<SHORT>(in.U16());
            break;
        case VT_I4:
            v.lVal = static_cast<LONG>(in.U32());
            break;
        case VT_I8:
        case VT_UI8:
            v.ullVal = in.U64();
            break;
        case VT_R8: {
            const std::uint64_t bits = in.U64();
            std::memcpy(&v.dblVal, &bits, sizeof bits);
            break;
        }
        case VT_BOOL:
            v.boolVal = static_cast<VARIANT_BOOL>(in.U16());
            break;
        case VT_ERROR:
            v.scode = static_cast<SCODE>(in.U32());
            break;
        case VT_BSTR: {
            const std::uint8_t shape = in.Byte();
            if (shape == 0) break;  // a null string
            std::u16string text;
            const std::size_t length = shape == 255 ? in.U16() : shape % 24;
            for (std::size_t i = 0; i < length; ++i) {
                // Mostly digits, signs and letters, sometimes any code unit.
                const std::uint8_t b = in.Byte();
                text += b < 200
                            ? static_cast<char16_t>(u" +-.0123456789eEtrufalsTRUEFALS\t"[b % 32])
                            : static_cast<char16_t>(in.U16());
            }
            v.bstrVal = SysAllocString(std::u16string_view(text));
            break;
        }
        case VT_UNKNOWN: {
            const std::uint8_t which = in.Byte() % 3;
            v.punkVal = which == 0   ? nullptr
                        : which == 1 ? static_cast<IUnknown*>(&gValue)
                                     : &gCallback;
            break;
        }
        case VT_DISPATCH:
            v.pdispVal = (in.Byte() & 1) ? &gValue : nullptr;
            break;
        default:
            break;
    }
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    const std::uint8_t idByte = in.Byte();
    const DISPID id =
        idByte < 240 ? static_cast<DISPID>(idByte % 11) - 1 : static_cast<DISPID>(in.U32());
    const UINT count = in.Byte() % 7;
    const UINT named = in.Byte() % (count + 2);
    const std::uint8_t shape = in.Byte();

    std::vector<VARIANT> args;
    for (UINT i = 0; i < count; ++i) args.push_back(MakeArgument(in));
    std::vector<DISPID> names;
    for (UINT i = 0; i < named; ++i) {
        const std::uint8_t b = in.Byte();
        names.push_back(b < 250 ? static_cast<DISPID>(b % 8) - 3 : static_cast<DISPID>(in.U32()));
    }
    args.resize(count + 1);   // room so that a wrong count never reads past
    names.resize(named + 1);  // the arrays themselves

    DISPPARAMS params{(shape & 1) ? nullptr : args.data(), (shape & 2) ? nullptr : names.data(),
                      count, named};
    VARIANT result;
    result.vt = 0x5555;
    EXCEPINFO info;
    UINT argError = 0;
    Sink()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, (shape & 4) ? nullptr : &params,
                   (shape & 8) ? nullptr : &result, (shape & 16) ? nullptr : &info, &argError);
    if (!(shape & 16)) ClearExcepInfo(&info);
    if (!(shape & 8)) VariantClear(&result);
    for (UINT i = 0; i < count; ++i) {
        if (IsKnownVarType(args[i].vt)) VariantClear(&args[i]);
    }
    // A script may have replaced the callback; put the program's back.
    Sink()->SetCallback(&gCallback);
    return 0;
}
