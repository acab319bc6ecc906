// Invoke as page scripts reach it: every argument shape, through the real
// library.

#include <string>
#include <vector>

#include "com/dispatch.h"
#include "pagelink_fixture.h"

namespace pagelink::testing {
namespace {

using namespace com;

constexpr UINT kNoArgError = 0xFFFF;

// One argument as a case writes it.
struct Arg {
    VARTYPE vt = VT_EMPTY;
    std::u16string text;
    LONG i = 0;
    double d = 0;
    bool nullString = false;
    DISPID name = 0;  // for named arguments: the parameter id

    VARIANT Make() const {
        VARIANT v;
        VariantInit(&v);
        v.vt = vt;
        if (vt == VT_BSTR)
            v.bstrVal = nullString ? nullptr : SysAllocString(std::u16string_view(text));
        if (vt == VT_I4) v.lVal = i;
        if (vt == VT_I2) v.iVal = static_cast<SHORT>(i);
        if (vt == VT_R8) v.dblVal = d;
        if (vt == VT_BOOL) v.boolVal = i ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
};

Arg Of(VARTYPE vt) {
    Arg a;
    a.vt = vt;
    return a;
}
Arg S(std::u16string text) {
    Arg a = Of(VT_BSTR);
    a.text = std::move(text);
    return a;
}
Arg NullString() {
    Arg a = Of(VT_BSTR);
    a.nullString = true;
    return a;
}
Arg I(LONG i) {
    Arg a = Of(VT_I4);
    a.i = i;
    return a;
}
Arg I2(SHORT i) {
    Arg a = Of(VT_I2);
    a.i = i;
    return a;
}
Arg D(double d) {
    Arg a = Of(VT_R8);
    a.d = d;
    return a;
}
Arg B(bool b) {
    Arg a = Of(VT_BOOL);
    a.i = b ? 1 : 0;
    return a;
}
Arg Named(DISPID name, Arg a) {
    a.name = name;
    return a;
}

struct Case {
    const char* label;
    DISPID id;
    std::vector<Arg> named;       // in rgvarg order (they come first in it)
    std::vector<Arg> positional;  // in script order (first parameter first)
    HRESULT hr;
    UINT argError;
    std::string call;  // what the callback saw; empty when not called
};

class InvokeTest : public PagelinkTest {
  protected:
    // Runs one case: builds DISPPARAMS as a script engine does and invokes.
    void Run(const Case& c) {
        SCOPED_TRACE(c.label);
        callback_.calls.clear();
        std::vector<VARIANT> args;
        std::vector<DISPID> names;
        for (const Arg& a : c.named) {
            args.push_back(a.Make());
            names.push_back(a.name);
        }
        for (auto it = c.positional.rbegin(); it != c.positional.rend(); ++it)
            args.push_back(it->Make());
        DISPPARAMS params{args.data(), names.data(), static_cast<UINT>(args.size()),
                          static_cast<UINT>(names.size())};
        VARIANT result;
        result.vt = 0x7777;  // garbage: must be overwritten, never freed
        UINT argError = kNoArgError;
        EXPECT_EQ(sink_->Invoke(c.id, IID_NULL, LOCALE_EN_US, DISPATCH_METHOD, &params, &result,
                                nullptr, &argError),
                  c.hr);
        EXPECT_EQ(argError, c.argError);
        EXPECT_EQ(result.vt, VT_EMPTY);
        if (c.call.empty()) {
            EXPECT_TRUE(callback_.calls.empty()) << callback_.calls.front();
        } else {
            ASSERT_EQ(callback_.calls.size(), 1u);
            EXPECT_EQ(callback_.calls[0], c.call);
        }
        for (VARIANT& v : args) {
            if (IsKnownVarType(v.vt)) VariantClear(&v);
        }
    }

    void SetUp() override {
        PagelinkTest::SetUp();
        sink_ = CreateSink();
        ASSERT_TRUE(sink_);
        sink_->SetCallback(&callback_);
    }
    void TearDown() override {
        sink_.Reset();
        PagelinkTest::TearDown();
    }

    CRecordingCallback callback_;
    ComPtr<IBrowserSink> sink_;
};

TEST_F(InvokeTest, CallsAsPagesWriteThem) {
    const Case cases[] = {
        {"graph",
         DISPID_DisplayGraph,
         {},
         {S(u"Bob"), I(-1)},
         S_OK,
         kNoArgError,
         "DisplayGraph(Bob,-1)"},
        {"hand", DISPID_DisplayHand, {}, {S(u"4021")}, S_OK, kNoArgError, "DisplayHand(4021)"},
        {"toggle", DISPID_ToggleWindowSize, {}, {}, S_OK, kNoArgError, "ToggleWindowSize()"},
        {"calc",
         DISPID_DisplayCalc,
         {},
         {S(u"Seatwatch Manual Calculator")},
         S_OK,
         kNoArgError,
         "DisplayCalc(Seatwatch Manual Calculator)"},
        {"report",
         DISPID_ChangeReportProperties,
         {},
         {I(1), S(u"GT"), I(1)},
         S_OK,
         kNoArgError,
         "ChangeReportProperties(1,GT,1)"},
        {"report2",
         DISPID_ChangeReportProperties2,
         {},
         {I(2), S(u"PN"), S(u"Al (NL)")},
         S_OK,
         kNoArgError,
         "ChangeReportProperties2(2,PN,Al (NL))"},
        {"alerts",
         DISPID_DisplayAlerts,
         {},
         {S(u"Table 1"), S(u"Bob (NL)"), I(1), S(u"C:\\a.htm")},
         S_OK,
         kNoArgError,
         "DisplayAlerts(Table 1,Bob (NL),1,C:\\a.htm)"},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(InvokeTest, ConvertsArgumentsOfOtherTypes) {
    const Case cases[] = {
        {"numeric string to int",
         DISPID_DisplayGraph,
         {},
         {S(u"Bob"), S(u"7")},
         S_OK,
         kNoArgError,
         "DisplayGraph(Bob,7)"},
        {"number to string",
         DISPID_DisplayGraph,
         {},
         {I(42), I(0)},
         S_OK,
         kNoArgError,
         "DisplayGraph(42,0)"},
        {"short to int",
         DISPID_DisplayGraph,
         {},
         {S(u"Bob"), I2(-3)},
         S_OK,
         kNoArgError,
         "DisplayGraph(Bob,-3)"},
        {"fraction rounds to even",
         DISPID_ChangeReportProperties,
         {},
         {D(2.5), S(u"TP"), S(u"3.5")},
         S_OK,
         kNoArgError,
         "ChangeReportProperties(2,TP,4)"},
        {"boolean to int",
         DISPID_ChangeReportProperties,
         {},
         {B(true), S(u"FT"), B(false)},
         S_OK,
         kNoArgError,
         "ChangeReportProperties(-1,FT,0)"},
        {"empty to string and int",
         DISPID_DisplayGraph,
         {},
         {Of(VT_EMPTY), Of(VT_EMPTY)},
         S_OK,
         kNoArgError,
         "DisplayGraph(,0)"},
        {"null string stays null",
         DISPID_DisplayCalc,
         {},
         {NullString()},
         S_OK,
         kNoArgError,
         "DisplayCalc(<null>)"},
        {"hand number beyond 32 bits as text",
         DISPID_DisplayHand,
         {},
         {S(u"18446744073709551615")},
         S_OK,
         kNoArgError,
         "DisplayHand(18446744073709551615)"},
        {"hand number beyond 32 bits as a number",
         DISPID_DisplayHand,
         {},
         {D(123456789012.0)},
         S_OK,
         kNoArgError,
         "DisplayHand(123456789012)"},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(InvokeTest, ReportsEachDispatchError) {
    const Case cases[] = {
        {"unknown member", 9, {}, {}, DISP_E_MEMBERNOTFOUND, kNoArgError, ""},
        {"member zero", 0, {}, {}, DISP_E_MEMBERNOTFOUND, kNoArgError, ""},
        {"negative member", -5, {}, {S(u"x")}, DISP_E_MEMBERNOTFOUND, kNoArgError, ""},
        {"toggle with an argument",
         DISPID_ToggleWindowSize,
         {},
         {I(1)},
         DISP_E_BADPARAMCOUNT,
         kNoArgError,
         ""},
        {"graph with one argument",
         DISPID_DisplayGraph,
         {},
         {S(u"Bob")},
         DISP_E_BADPARAMCOUNT,
         kNoArgError,
         ""},
        {"alerts with three",
         DISPID_DisplayAlerts,
         {},
         {S(u"a"), S(u"b"), I(1)},
         DISP_E_BADPARAMCOUNT,
         kNoArgError,
         ""},
        {"five arguments",
         DISPID_DisplayAlerts,
         {},
         {S(u"a"), S(u"b"), I(1), S(u"c"), S(u"d")},
         DISP_E_BADPARAMCOUNT,
         kNoArgError,
         ""},
        {"set callback without argument",
         DISPID_SetCallback,
         {},
         {},
         DISP_E_BADPARAMCOUNT,
         kNoArgError,
         ""},
        {"non-numeric int",
         DISPID_DisplayGraph,
         {},
         {S(u"Bob"), S(u"x")},
         DISP_E_TYPEMISMATCH,
         0,
         ""},
        {"int out of range",
         DISPID_DisplayGraph,
         {},
         {S(u"Bob"), S(u"4294967296")},
         DISP_E_TYPEMISMATCH,
         0,
         ""},
        {"null as string",
         DISPID_DisplayGraph,
         {},
         {Of(VT_NULL), I(1)},
         DISP_E_TYPEMISMATCH,
         1,
         ""},
        {"object as string", DISPID_DisplayCalc, {}, {Of(VT_UNKNOWN)}, DISP_E_TYPEMISMATCH, 0, ""},
        {"unknown variant type", DISPID_DisplayCalc, {}, {Of(0x1234)}, DISP_E_TYPEMISMATCH, 0, ""},
        {"by-reference variant", DISPID_DisplayCalc, {}, {Of(0x4008)}, DISP_E_TYPEMISMATCH, 0, ""},
        {"error value as int",
         DISPID_ChangeReportProperties,
         {},
         {I(1), S(u"GT"), Of(VT_ERROR)},
         DISP_E_TYPEMISMATCH,
         0,
         ""},
        {"third of four parameters",
         DISPID_DisplayAlerts,
         {},
         {S(u"a"), S(u"b"), S(u"abc"), S(u"c")},
         DISP_E_TYPEMISMATCH,
         1,
         ""},
        {"number as callback", DISPID_SetCallback, {}, {I(5)}, DISP_E_TYPEMISMATCH, 0, ""},
        {"string as callback", DISPID_SetCallback, {}, {S(u"x")}, DISP_E_TYPEMISMATCH, 0, ""},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(InvokeTest, PlacesNamedArguments) {
    const Case cases[] = {
        {"named second, positional first",
         DISPID_DisplayGraph,
         {Named(1, I(5))},
         {S(u"Bob")},
         S_OK,
         kNoArgError,
         "DisplayGraph(Bob,5)"},
        {"all named, any order",
         DISPID_DisplayGraph,
         {Named(1, I(3)), Named(0, S(u"Al"))},
         {},
         S_OK,
         kNoArgError,
         "DisplayGraph(Al,3)"},
        {"named first of three",
         DISPID_ChangeReportProperties2,
         {Named(0, I(2))},
         {S(u"PN"), S(u"Cy")},
         S_OK,
         kNoArgError,
         "ChangeReportProperties2(2,PN,Cy)"},
        {"property-put name is the last",
         DISPID_DisplayGraph,
         {Named(DISPID_PROPERTYPUT, I(9))},
         {S(u"Bob")},
         S_OK,
         kNoArgError,
         "DisplayGraph(Bob,9)"},
        {"position beyond the arguments",
         DISPID_DisplayGraph,
         {Named(2, I(3))},
         {S(u"Al")},
         DISP_E_PARAMNOTFOUND,
         0,
         ""},
        {"second named argument unknown",
         DISPID_DisplayGraph,
         {Named(1, I(3)), Named(7, S(u"Al"))},
         {},
         DISP_E_PARAMNOTFOUND,
         1,
         ""},
        {"negative position",
         DISPID_DisplayCalc,
         {Named(-2, S(u"T"))},
         {},
         DISP_E_PARAMNOTFOUND,
         0,
         ""},
        {"property-put not leading",
         DISPID_DisplayGraph,
         {Named(0, S(u"Al")), Named(DISPID_PROPERTYPUT, I(3))},
         {},
         DISP_E_PARAMNOTFOUND,
         1,
         ""},
        {"same position twice",
         DISPID_DisplayGraph,
         {Named(0, S(u"Al")), Named(0, S(u"Bo"))},
         {},
         DISP_E_PARAMNOTFOUND,
         1,
         ""},
        {"named argument of wrong type",
         DISPID_DisplayGraph,
         {Named(1, S(u"x"))},
         {S(u"Bob")},
         DISP_E_TYPEMISMATCH,
         0,
         ""},
        {"positional argument of wrong type",
         DISPID_DisplayGraph,
         {Named(0, S(u"Bob"))},
         {S(u"x")},
         DISP_E_TYPEMISMATCH,
         1,
         ""},
        {"bad position beats unknown member",
         42,
         {Named(3, I(1))},
         {},
         DISP_E_PARAMNOTFOUND,
         0,
         ""},
    };
    for (const Case& c : cases) Run(c);
}

TEST_F(InvokeTest, PassesHugeAndMalformedStringsUnchanged) {
    std::u16string huge(1u << 22, u'x');
    std::u16string malformed = u"a";
    malformed += char16_t(0xD800);  // lone high surrogate
    malformed += char16_t(0xDFFF);  // lone low surrogate, wrong order
    malformed += char16_t(0);
    malformed += u"b";
    for (const std::u16string& text : {huge, malformed}) {
        SCOPED_TRACE(text.size());
        callback_.calls.clear();
        VARIANT arg = S(text).Make();
        DISPPARAMS params{&arg, nullptr, 1, 0};
        EXPECT_EQ(sink_->Invoke(DISPID_DisplayCalc, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                                nullptr, nullptr),
                  S_OK);
        ASSERT_EQ(callback_.calls.size(), 1u);
        ASSERT_EQ(callback_.lastStrings.size(), 1u);
        // The callback got its own copy (freed after the call, which the leak
        // checker confirms), equal unit for unit.
        EXPECT_NE(callback_.lastStrings[0], arg.bstrVal);
        VariantClear(&arg);
    }
}

TEST_F(InvokeTest, RefusesMalformedArgumentBlocks) {
    VARIANT arg = S(u"T").Make();
    DISPID name = 0;
    struct BlockCase {
        const char* label;
        DISPPARAMS params;
        HRESULT hr;
    };
    const BlockCase cases[] = {
        {"more names than arguments", {&arg, &name, 1, 2}, E_INVALIDARG},
        {"arguments without array", {nullptr, nullptr, 1, 0}, E_POINTER},
        {"names without array", {&arg, nullptr, 1, 1}, E_POINTER},
        {"huge count", {&arg, nullptr, 0xFFFFFFFFu, 0}, DISP_E_BADPARAMCOUNT},
    };
    for (BlockCase c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(sink_->Invoke(DISPID_DisplayCalc, IID_NULL, 0, DISPATCH_METHOD, &c.params,
                                nullptr, nullptr, nullptr),
                  c.hr);
    }
    EXPECT_EQ(sink_->Invoke(DISPID_DisplayCalc, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                            nullptr, nullptr),
              DISP_E_BADVARTYPE);
    EXPECT_TRUE(callback_.calls.empty());
    VariantClear(&arg);
}

// An object that is not a callback.
class CPlainObject final : public IUnknown {
  public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    ULONG refs = 1;
};

TEST_F(InvokeTest, SetCallbackFromScriptChecksAndHoldsTheObject) {
    CPlainObject plain;
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_UNKNOWN;
    arg.punkVal = &plain;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    EXCEPINFO info;
    EXPECT_EQ(sink_->Invoke(DISPID_SetCallback, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                            &info, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_NOINTERFACE);
    EXPECT_EQ(Utf8FromBstr(info.bstrSource), "Pagelink.BrowserSink");
    ClearExcepInfo(&info);
    EXPECT_EQ(sink_->Invoke(DISPID_SetCallback, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                            nullptr, nullptr),
              E_NOINTERFACE);
    EXPECT_EQ(plain.refs, 1u);

    // A real callback is accepted and held until replaced.
    CRecordingCallback second;
    arg.punkVal = &second;
    ASSERT_EQ(sink_->Invoke(DISPID_SetCallback, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                            nullptr, nullptr),
              S_OK);
    EXPECT_EQ(second.refs, 2u);
    sink_->ToggleWindowSize();
    EXPECT_EQ(second.calls.size(), 1u);
    EXPECT_TRUE(callback_.calls.empty());
    sink_->SetCallback(&callback_);
    EXPECT_EQ(second.refs, 1u);
}

}  // namespace
}  // namespace pagelink::testing
