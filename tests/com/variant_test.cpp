#include "com/variant.h"

#include <gtest/gtest.h>

#include <string>

#include "com/bstr.h"
#include "com/dispatch.h"

namespace com {
namespace {

using namespace std::string_view_literals;

VARIANT I4(LONG v) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_I4;
    r.lVal = v;
    return r;
}

VARIANT R8(double v) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_R8;
    r.dblVal = v;
    return r;
}

VARIANT Bool(bool v) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_BOOL;
    r.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    return r;
}

VARIANT Of(VARTYPE vt) {
    VARIANT r;
    VariantInit(&r);
    r.vt = vt;
    return r;
}

// A variant owning a copy of text; the test clears it.
VARIANT Str(std::u16string_view text) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_BSTR;
    r.bstrVal = SysAllocString(text);
    return r;
}

std::string Describe(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY:
            return "empty";
        case VT_NULL:
            return "null";
        case VT_I2:
            return "i2:" + std::to_string(v.iVal);
        case VT_I4:
            return "i4:" + std::to_string(v.lVal);
        case VT_I8:
            return "i8:" + std::to_string(v.llVal);
        case VT_UI8:
            return "ui8:" + std::to_string(v.ullVal);
        case VT_R8:
            return "r8:" + std::to_string(v.dblVal);
        case VT_BOOL:
            return v.boolVal ? "bool:true" : "bool:false";
        case VT_BSTR:
            return "bstr:" + Utf8FromBstr(v.bstrVal);
        default:
            return "vt" + std::to_string(v.vt);
    }
}

struct Case {
    VARIANT (*make)();
    VARTYPE target;
    HRESULT hr;
    std::string expected;  // Describe() of the result on success
};

TEST(VariantTest, StandardConversions) {
    const Case cases[] = {
        // Numeric strings convert, others fail.
        {[] { return Str(u"42"); }, VT_I4, S_OK, "i4:42"},
        {[] { return Str(u"  -7\t"); }, VT_I4, S_OK, "i4:-7"},
        {[] { return Str(u"+3"); }, VT_I4, S_OK, "i4:3"},
        {[] { return Str(u"1.5"); }, VT_I4, S_OK, "i4:2"},
        {[] { return Str(u"2.5"); }, VT_I4, S_OK, "i4:2"},
        {[] { return Str(u"-2.5"); }, VT_I4, S_OK, "i4:-2"},
        {[] { return Str(u"1e3"); }, VT_I4, S_OK, "i4:1000"},
        {[] { return Str(u"abc"); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Str(u""); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Str(u"   "); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Str(u"12abc"); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Str(u"1e"); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Str(u"."); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Str(u"\uFF11"); }, VT_I4, DISP_E_TYPEMISMATCH, ""},  // full-width digit
        {[] { return Str(u"2147483647"); }, VT_I4, S_OK, "i4:2147483647"},
        {[] { return Str(u"-2147483648"); }, VT_I4, S_OK, "i4:-2147483648"},
        {[] { return Str(u"2147483648"); }, VT_I4, DISP_E_OVERFLOW, ""},
        {[] { return Str(u"99999999999999999999999"); }, VT_I4, DISP_E_OVERFLOW, ""},
        {[] { return Str(u"1e999"); }, VT_I4, DISP_E_OVERFLOW, ""},
        {[] { return Str(u"1e999"); }, VT_R8, DISP_E_OVERFLOW, ""},
        {[] { return Str(u"1e-999"); }, VT_I4, S_OK, "i4:0"},
        {[] { return Str(u"40000"); }, VT_I2, DISP_E_OVERFLOW, ""},
        {[] { return Str(u"true"); }, VT_BOOL, S_OK, "bool:true"},
        {[] { return Str(u"False"); }, VT_BOOL, S_OK, "bool:false"},
        {[] { return Str(u"0"); }, VT_BOOL, S_OK, "bool:false"},
        {[] { return Str(u"yes"); }, VT_BOOL, DISP_E_TYPEMISMATCH, ""},
        // Hand numbers beyond 32 bits stay exact in 64 bits and as text.
        {[] { return Str(u"123456789012"); }, VT_I8, S_OK, "i8:123456789012"},
        {[] { return Str(u"18446744073709551615"); }, VT_UI8, S_OK, "ui8:18446744073709551615"},
        {[] { return Str(u"18446744073709551615"); }, VT_I8, DISP_E_OVERFLOW, ""},
        {[] { return R8(123456789012.0); }, VT_BSTR, S_OK, "bstr:123456789012"},
        {[] { return R8(0.1); }, VT_BSTR, S_OK, "bstr:0.1"},
        {[] { return R8(-0.0); }, VT_BSTR, S_OK, "bstr:0"},
        {[] { return R8(1e300); }, VT_I4, DISP_E_OVERFLOW, ""},
        {[] { return R8(-1.5); }, VT_I4, S_OK, "i4:-2"},
        {[] { return R8(2147483647.4); }, VT_I4, S_OK, "i4:2147483647"},
        {[] { return R8(2147483647.5); }, VT_I4, DISP_E_OVERFLOW, ""},
        // Numbers and booleans to text.
        {[] { return I4(-17); }, VT_BSTR, S_OK, "bstr:-17"},
        {[] { return Bool(true); }, VT_BSTR, S_OK, "bstr:-1"},
        {[] { return Bool(true); }, VT_I4, S_OK, "i4:-1"},
        {[] { return I4(5); }, VT_BOOL, S_OK, "bool:true"},
        {[] { return I4(70000); }, VT_I2, DISP_E_OVERFLOW, ""},
        // Empty converts to zero values; null and errors to nothing.
        {[] { return Of(VT_EMPTY); }, VT_I4, S_OK, "i4:0"},
        {[] { return Of(VT_EMPTY); }, VT_BSTR, S_OK, "bstr:"},
        {[] { return Of(VT_NULL); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Of(VT_NULL); }, VT_BSTR, DISP_E_TYPEMISMATCH, ""},
        {[] { return Of(VT_ERROR); }, VT_BSTR, DISP_E_TYPEMISMATCH, ""},
        {[] { return Of(VT_UNKNOWN); }, VT_BSTR, DISP_E_TYPEMISMATCH, ""},
        {[] { return Of(VT_DISPATCH); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
        {[] { return Of(VT_I4); }, VT_UNKNOWN, DISP_E_TYPEMISMATCH, ""},
        // Unknown types, as source or target.
        {[] { return Of(0x4003); }, VT_I4, DISP_E_BADVARTYPE, ""},
        {[] { return Of(0xFFFF); }, VT_BSTR, DISP_E_BADVARTYPE, ""},
        {[] { return I4(1); }, 0x7, DISP_E_BADVARTYPE, ""},
    };
    for (const Case& c : cases) {
        VARIANT src = c.make();
        SCOPED_TRACE(Describe(src) + " -> vt" + std::to_string(c.target));
        VARIANT dest;
        VariantInit(&dest);
        EXPECT_EQ(VariantChangeType(&dest, &src, 0, c.target), c.hr);
        if (c.hr == S_OK) {
            EXPECT_EQ(Describe(dest), c.expected);
        } else {
            EXPECT_EQ(dest.vt, VT_EMPTY);
        }
        VariantClear(&dest);
        if (IsKnownVarType(src.vt)) VariantClear(&src);
    }
}

TEST(VariantTest, AlphaBoolFlagSpellsBooleans) {
    VARIANT b = Bool(false);
    ASSERT_EQ(VariantChangeType(&b, &b, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
    EXPECT_EQ(Describe(b), "bstr:False");
    VariantClear(&b);
}

TEST(VariantTest, ConvertsInPlaceAndKeepsSourceOnFailure) {
    VARIANT v = Str(u"12");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);  // the string is freed
    EXPECT_EQ(Describe(v), "i4:12");
    VARIANT w = Str(u"twelve");
    EXPECT_EQ(VariantChangeType(&w, &w, 0, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Describe(w), "bstr:twelve");
    VariantClear(&w);
}

TEST(VariantTest, CopyDuplicatesStrings) {
    VARIANT a = Str(u"Ah Kd");
    VARIANT b = I4(3);
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_NE(a.bstrVal, b.bstrVal);
    EXPECT_EQ(Describe(b), "bstr:Ah Kd");
    VariantClear(&a);
    VariantClear(&b);
}

// An object with a value property, counting its references.
class ValueObject final : public IDispatch {
  public:
    explicit ValueObject(VARIANT value) : value_(value) {}
    ~ValueObject() { VariantClear(&value_); }
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (id != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        return VariantCopy(result, &value_);
    }
    ULONG refs = 1;

  private:
    VARIANT value_;
};

TEST(VariantTest, ObjectsConvertThroughTheirValueProperty) {
    ValueObject numeric(Str(u"31"));
    VARIANT v = Of(VT_DISPATCH);
    v.pdispVal = &numeric;
    VARIANT dest;
    VariantInit(&dest);
    EXPECT_EQ(VariantChangeType(&dest, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(Describe(dest), "i4:31");

    // A value that is itself an object is not followed.
    ValueObject nested(Of(VT_EMPTY));
    VARIANT self = Of(VT_DISPATCH);
    self.pdispVal = &nested;
    nested.AddRef();
    ValueObject outer(self);
    v.pdispVal = &outer;
    EXPECT_EQ(VariantChangeType(&dest, &v, 0, VT_BSTR), DISP_E_TYPEMISMATCH);

    // IDispatch to IUnknown takes a reference, released by VariantClear.
    v.pdispVal = &numeric;
    ASSERT_EQ(VariantChangeType(&dest, &v, 0, VT_UNKNOWN), S_OK);
    EXPECT_EQ(dest.punkVal, static_cast<IUnknown*>(&numeric));
    EXPECT_EQ(numeric.refs, 2u);
    VariantClear(&dest);
    EXPECT_EQ(numeric.refs, 1u);
}

TEST(VariantTest, ClearRefusesUnknownTypes) {
    VARIANT v = Of(0x1234);
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
    EXPECT_EQ(v.vt, 0x1234);
    EXPECT_EQ(VariantClear(nullptr), E_POINTER);
}

}  // namespace
}  // namespace com
