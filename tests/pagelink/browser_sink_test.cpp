// The BrowserSink object and its class objects, through the real library.

#include <array>
#include <string>

#include "com/dispatch.h"
#include "com/provide_class_info.h"
#include "com/type_info.h"
#include "pagelink_fixture.h"

namespace pagelink::testing {
namespace {

using namespace com;

TEST_F(PagelinkTest, EveryClientGetsTheSameObjectAndCallback) {
    CRecordingCallback callback;
    ComPtr<IBrowserSink> first = CreateSink();
    ASSERT_TRUE(first);
    first->SetCallback(&callback);
    // A page creates the object again, asking for IDispatch as scripts do.
    ComPtr<IDispatch> second;
    ASSERT_EQ(CoCreateInstance(CLSID_BrowserSink, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               second.PutVoid()),
              S_OK);
    EXPECT_EQ(static_cast<IDispatch*>(first.Get()), second.Get());
    ComPtr<IBrowserSink> third = CreateSink();
    third->DisplayHand(nullptr);
    ASSERT_EQ(callback.calls.size(), 1u);
    EXPECT_EQ(callback.calls[0], "DisplayHand(<null>)");
    EXPECT_EQ(callback.refs, 1u);  // the program's callback is not referenced
}

TEST_F(PagelinkTest, CallsBeforeAnyCallbackDoNothing) {
    ComPtr<IBrowserSink> sink = CreateSink();
    ASSERT_TRUE(sink);
    Bstr name(u"Bob");
    EXPECT_EQ(sink->DisplayGraph(name.Get(), 1), S_OK);
    EXPECT_EQ(sink->DisplayHand(name.Get()), S_OK);
    EXPECT_EQ(sink->ToggleWindowSize(), S_OK);
    EXPECT_EQ(sink->DisplayCalc(name.Get()), S_OK);
    EXPECT_EQ(sink->ChangeReportProperties(1, name.Get(), 1), S_OK);
    EXPECT_EQ(sink->ChangeReportProperties2(1, name.Get(), name.Get()), S_OK);
    EXPECT_EQ(sink->DisplayAlerts(name.Get(), name.Get(), 1, name.Get()), S_OK);
    EXPECT_EQ(sink->SetCallback(nullptr), S_OK);
    EXPECT_EQ(sink->ToggleWindowSize(), S_OK);
}

TEST_F(PagelinkTest, ForwardsCopiesAndIgnoresTheCallbacksAnswer) {
    CRecordingCallback callback;
    callback.answer = E_FAIL;
    ComPtr<IBrowserSink> sink = CreateSink();
    sink->SetCallback(&callback);
    Bstr table(u"Table 1");
    Bstr hints(u"Bob");
    Bstr file(u"x.htm");
    EXPECT_EQ(sink->DisplayCalc(table.Get()), S_OK);
    ASSERT_EQ(callback.lastStrings.size(), 1u);
    EXPECT_NE(callback.lastStrings[0], table.Get());  // a fresh copy
    EXPECT_EQ(sink->ChangeReportProperties2(0, table.Get(), nullptr), S_OK);
    EXPECT_NE(callback.lastStrings[0], table.Get());
    EXPECT_EQ(callback.lastStrings[1], nullptr);  // null stays null
    // DisplayAlerts passes its strings through as received.
    EXPECT_EQ(sink->DisplayAlerts(table.Get(), hints.Get(), 1, file.Get()), S_OK);
    EXPECT_EQ(callback.lastStrings, (std::vector<BSTR>{table.Get(), hints.Get(), file.Get()}));
    EXPECT_EQ(callback.calls.back(), "DisplayAlerts(Table 1,Bob,1,x.htm)");
}

TEST_F(PagelinkTest, AnswersItsInterfacesOnly) {
    ComPtr<IBrowserSink> sink = CreateSink();
    struct Case {
        const char* name;
        IID iid;
        HRESULT hr;
    };
    const Case cases[] = {
        {"IUnknown", IID_IUnknown, S_OK},
        {"IDispatch", IID_IDispatch, S_OK},
        {"IBrowserSink", IID_IBrowserSink, S_OK},
        {"IProvideClassInfo", IID_IProvideClassInfo, S_OK},
        {"IBrowserSinkNoDispatch", IID_IBrowserSinkNoDispatch, E_NOINTERFACE},
        {"IClassFactory", IID_IClassFactory, E_NOINTERFACE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        void* object = nullptr;
        EXPECT_EQ(sink->QueryInterface(c.iid, &object), c.hr);
        if (object) static_cast<IUnknown*>(object)->Release();
    }
    EXPECT_EQ(sink->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(PagelinkTest, MatchesNamesWithoutRegardToCase) {
    ComPtr<IBrowserSink> sink = CreateSink();
    struct Case {
        std::vector<std::u16string> names;
        HRESULT hr;
        std::vector<DISPID> ids;
    };
    const Case cases[] = {
        {{u"displayhand"}, S_OK, {3}},
        {{u"DISPLAYGRAPH", u"nOptions", u"BSTRPLAYERNAME"}, S_OK, {2, 1, 0}},
        {{u"SetCallback", u"pIBrowserSinkNoDispatch"}, S_OK, {1, 0}},
        {{u"DisplayAlerts", u"bstrFilename", u"lalerttype", u"bstrHints"}, S_OK, {8, 3, 2, 1}},
        {{u"ChangeReportProperties2", u"bstrPropertyValue"}, S_OK, {7, 2}},
        {{u"toggleWindowSize"}, S_OK, {4}},
        {{u"DisplayHands"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{u"DisplayHan"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{u""}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        // A parameter name is no member name, and belongs to its own method.
        {{u"bstrHints"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{u"DisplayGraph", u"bstrHints", u"nOptions"}, DISP_E_UNKNOWNNAME, {2, DISPID_UNKNOWN, 1}},
        {{u"DisplayH\u00C4nd"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.names[0]));
        std::vector<std::u16string> copies = c.names;
        std::vector<LPOLESTR> names;
        for (std::u16string& n : copies) names.push_back(n.data());
        std::vector<DISPID> ids(names.size(), 99);
        EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), 0,
                                      ids.data()),
                  c.hr);
        EXPECT_EQ(ids, c.ids);
    }
    DISPID id = 0;
    LPOLESTR none = nullptr;
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, &none, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_POINTER);
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, &none, 0, 0, &id), E_INVALIDARG);
}

TEST_F(PagelinkTest, DescribesItselfOnceTheTypeLibraryIsRegistered) {
    ComPtr<IBrowserSink> sink = CreateSink();
    UINT count = 9;
    ASSERT_EQ(sink->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(sink->GetTypeInfo(1, 0, info.Put()), DISP_E_BADINDEX);
    ASSERT_EQ(sink->GetTypeInfo(0, 0, info.Put()), S_OK);
    TYPEATTR attr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr.guid, IID_IBrowserSink);
    EXPECT_EQ(attr.cFuncs, 8);
    EXPECT_TRUE(attr.wTypeFlags & TYPEFLAG_FDUAL);
    Bstr name;
    Bstr doc;
    ASSERT_EQ(info->GetDocumentation(DISPID_DisplayAlerts, name.Put(), doc.Put()), S_OK);
    EXPECT_EQ(Utf8FromBstr(name.Get()), "DisplayAlerts");
    EXPECT_EQ(Utf8FromBstr(doc.Get()), "method DisplayAlerts");
    std::array<BSTR, 6> names{};
    UINT got = 0;
    ASSERT_EQ(info->GetNames(DISPID_ChangeReportProperties, names.data(), 6, &got), S_OK);
    ASSERT_EQ(got, 4u);
    EXPECT_EQ(Utf8FromBstr(names[3]), "lPropertyValue");
    for (UINT i = 0; i < got; ++i) SysFreeString(names[i]);
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(info->GetContainingTypeLib(lib.Put(), nullptr), S_OK);
    ASSERT_EQ(lib->GetDocumentation(-1, nullptr, doc.Put()), S_OK);
    EXPECT_EQ(Utf8FromBstr(doc.Get()), "Pagelink 1.0 Type Library");

    // The class information names the default interface.
    ComPtr<IProvideClassInfo> provide;
    ASSERT_EQ(sink->QueryInterface(IID_IProvideClassInfo, provide.PutVoid()), S_OK);
    ComPtr<ITypeInfo> classInfo;
    ASSERT_EQ(provide->GetClassInfo(classInfo.Put()), S_OK);
    ASSERT_EQ(classInfo->GetDocumentation(MEMBERID_NIL, nullptr, doc.Put()), S_OK);
    EXPECT_EQ(Utf8FromBstr(doc.Get()), "BrowserSink Class");
    ComPtr<ITypeInfo> defaultInterface;
    INT flags = 0;
    ASSERT_EQ(classInfo->GetImplType(0, defaultInterface.Put(), &flags), S_OK);
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    ASSERT_EQ(defaultInterface->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr.guid, IID_IBrowserSink);

    ASSERT_EQ(unregisterServer_(), S_OK);
    EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(sink->GetTypeInfo(0, 0, info.Put()), TYPE_E_LIBNOTREGISTERED);
}

TEST_F(PagelinkTest, RefusesAggregationOfTheSingleton) {
    CRecordingCallback outer;
    void* object = nullptr;
    EXPECT_EQ(
        CoCreateInstance(CLSID_BrowserSink, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
        CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST_F(PagelinkTest, NoDispatchObjectsAnswerOkAndAggregate) {
    ComPtr<IBrowserSinkNoDispatch> plain;
    ASSERT_EQ(CoCreateInstance(CLSID_BrowserSinkNoDispatch, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IBrowserSinkNoDispatch, plain.PutVoid()),
              S_OK);
    EXPECT_EQ(plain->DisplayGraph(nullptr, 0), S_OK);
    EXPECT_EQ(plain->DisplayAlerts(nullptr, nullptr, 0, nullptr), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    plain.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);

    // As part of an aggregate: the inner IUnknown, whose interfaces delegate
    // their reference counting to the outer object.
    CRecordingCallback outer;
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_BrowserSinkNoDispatch, &outer, CLSCTX_INPROC_SERVER,
                               IID_IBrowserSinkNoDispatch, &object),
              CLASS_E_NOAGGREGATION);
    ASSERT_EQ(CoCreateInstance(CLSID_BrowserSinkNoDispatch, &outer, CLSCTX_INPROC_SERVER,
                               IID_IUnknown, &object),
              S_OK);
    auto* inner = static_cast<IUnknown*>(object);
    IBrowserSinkNoDispatch* delegating = nullptr;
    ASSERT_EQ(
        inner->QueryInterface(IID_IBrowserSinkNoDispatch, reinterpret_cast<void**>(&delegating)),
        S_OK);
    EXPECT_EQ(outer.refs, 2u);
    delegating->AddRef();
    EXPECT_EQ(outer.refs, 3u);
    delegating->Release();
    delegating->Release();
    EXPECT_EQ(outer.refs, 1u);
    inner->Release();
}

TEST_F(PagelinkTest, ClassObjectsAndLocksKeepTheLibraryLoaded) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_BrowserSink, CLSCTX_INPROC_SERVER, IID_IClassFactory,
                               factory.PutVoid()),
              S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    factory->LockServer(true);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    ASSERT_EQ(CoGetClassObject(CLSID_BrowserSink, CLSCTX_INPROC_SERVER, IID_IClassFactory,
                               factory.PutVoid()),
              S_OK);
    factory->LockServer(false);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);

    // A class the library does not serve, registered to it all the same.
    const CLSID other = MakeGuid("{00000000-1111-2222-3333-444444444444}");
    registry_.SetValue(platform::RegRoot::kClassesRoot,
                       "CLSID\\" + other.ToString() + "\\InprocServer32", "",
                       platform::RegValue::String(SEATWATCH_PAGELINK_PATH));
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(PagelinkTest, UnusedLibraryIsUnloadedAndComesBackFresh) {
    CRecordingCallback callback;
    {
        ComPtr<IBrowserSink> sink = CreateSink();
        sink->SetCallback(&callback);
        ComPtr<IBrowserSink> held = sink;
        EXPECT_EQ(CoFreeUnusedLibraries(), 0);  // still in use
    }
    dlclose(library_);
    library_ = nullptr;
    EXPECT_EQ(CoFreeUnusedLibraries(), 1);
    EXPECT_FALSE(IsServerLoaded(SEATWATCH_PAGELINK_PATH));
    // Loaded again, the singleton is new and has no callback.
    ComPtr<IBrowserSink> sink = CreateSink();
    ASSERT_TRUE(sink);
    EXPECT_EQ(sink->ToggleWindowSize(), S_OK);
    EXPECT_TRUE(callback.calls.empty());
}

}  // namespace
}  // namespace pagelink::testing
