#include "pagelink/pagelink_module.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "com/runtime.h"
#include "com/variant.h"
#include "pagelink/browser_sink_no_dispatch.h"
#include "pagelink/registrar.h"
#include "platform/registry.h"

namespace pagelink {

using namespace com;

CPagelinkModule& CPagelinkModule::Instance() {
    // Destroyed when the library is unloaded, releasing the type library and
    // the singleton.
    static CPagelinkModule module;
    return module;
}

CPagelinkModule::CPagelinkModule() : noDispatchFactory_(&CBrowserSinkNoDispatch::Create) {}

CPagelinkModule::~CPagelinkModule() {
    if (typeLib_) typeLib_->Release();
}

HRESULT CPagelinkModule::GetClassObject(const CLSID& clsid, IClassFactory** factory) {
    if (!factory) return E_POINTER;
    *factory = nullptr;
    if (clsid == CLSID_BrowserSink) {
        *factory = &browserSinkFactory_;
    } else if (clsid == CLSID_BrowserSinkNoDispatch) {
        *factory = &noDispatchFactory_;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    (*factory)->AddRef();
    return S_OK;
}

HRESULT CPagelinkModule::LoadTypeInfo(const GUID& guid, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    platform::Registry* registry = GetRegistry();
    if (!registry || !CRegistrar::IsTypeLibRegistered(*registry)) return TYPE_E_LIBNOTREGISTERED;
    std::lock_guard guard(typeLibLock_);
    if (!typeLib_) {
        try {
            const HRESULT hr = CreateTypeLib(TypeLibrary(), &typeLib_);
            if (Failed(hr)) return hr;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    return typeLib_->GetTypeInfoOfGuid(guid, info);
}

TypeLibDescription CPagelinkModule::TypeLibrary() {
    // The callback's methods, shared by both interfaces.
    const std::vector<FuncDescription> sinkMethods = {
        {0, "DisplayGraph", "", {{"bstrPlayerName", VT_BSTR}, {"nOptions", VT_I4}}},
        {0, "DisplayHand", "", {{"bstrHandNumber", VT_BSTR}}},
        {0, "ToggleWindowSize", "", {}},
        {0, "DisplayCalc", "", {{"bstrTableName", VT_BSTR}}},
        {0,
         "ChangeReportProperties",
         "",
         {{"lReportNumber", VT_I4}, {"bstrPropertyName", VT_BSTR}, {"lPropertyValue", VT_I4}}},
        {0,
         "ChangeReportProperties2",
         "",
         {{"lReportNumber", VT_I4}, {"bstrPropertyName", VT_BSTR}, {"bstrPropertyValue", VT_BSTR}}},
        {0,
         "DisplayAlerts",
         "",
         {{"bstrTableName", VT_BSTR},
          {"bstrHints", VT_BSTR},
          {"lAlertType", VT_I4},
          {"bstrFilename", VT_BSTR}}},
    };

    TypeDescription noDispatch;
    noDispatch.kind = TypeKind::kInterface;
    noDispatch.guid = IID_IBrowserSinkNoDispatch;
    noDispatch.name = "IBrowserSinkNoDispatch";
    noDispatch.helpString = "IBrowserSinkNoDispatch Interface";
    noDispatch.baseInterface = IID_IUnknown;
    // Member ids of a plain interface count from the first method after
    // IUnknown's three, in table order.
    noDispatch.funcs = sinkMethods;
    for (std::size_t i = 0; i < noDispatch.funcs.size(); ++i) {
        noDispatch.funcs[i].memid = static_cast<MEMBERID>(0x60010000 + i);
        noDispatch.funcs[i].helpString = "method " + noDispatch.funcs[i].name;
    }

    TypeDescription sink;
    sink.kind = TypeKind::kDispatch;
    sink.guid = IID_IBrowserSink;
    sink.name = "IBrowserSink";
    sink.helpString = "IBrowserSink Interface";
    sink.flags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;
    sink.baseInterface = IID_IDispatch;
    sink.funcs.push_back(
        {DISPID_SetCallback, "SetCallback", "", {{"pIBrowserSinkNoDispatch", VT_UNKNOWN}}});
    for (const FuncDescription& f : sinkMethods) sink.funcs.push_back(f);
    for (std::size_t i = 0; i < sink.funcs.size(); ++i) {
        sink.funcs[i].memid = static_cast<MEMBERID>(i + 1);
        sink.funcs[i].helpString = "method " + sink.funcs[i].name;
    }

    TypeDescription sinkClass;
    sinkClass.kind = TypeKind::kCoClass;
    sinkClass.guid = CLSID_BrowserSink;
    sinkClass.name = "BrowserSink";
    sinkClass.helpString = "BrowserSink Class";
    sinkClass.flags = TYPEFLAG_FCANCREATE | TYPEFLAG_FAGGREGATABLE;
    sinkClass.implTypes = {{IID_IBrowserSink, IMPLTYPEFLAG_FDEFAULT}};

    TypeDescription noDispatchClass;
    noDispatchClass.kind = TypeKind::kCoClass;
    noDispatchClass.guid = CLSID_BrowserSinkNoDispatch;
    noDispatchClass.name = "BrowserSinkNoDispatch";
    noDispatchClass.helpString = "BrowserSinkNoDispatch Class";
    noDispatchClass.flags = TYPEFLAG_FCANCREATE;
    noDispatchClass.implTypes = {{IID_IBrowserSinkNoDispatch, IMPLTYPEFLAG_FDEFAULT}};

    TypeLibDescription lib;
    lib.libid = LIBID_Pagelink;
    lib.name = "Pagelink";
    lib.helpString = "Pagelink 1.0 Type Library";
    lib.majorVersion = 1;
    lib.minorVersion = 0;
    lib.lcid = LOCALE_EN_US;
    lib.types = {noDispatch, sink, sinkClass, noDispatchClass};
    return lib;
}

std::string CPagelinkModule::LibraryPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&CPagelinkModule::Instance), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved)) return {};
    return resolved;
}

}  // namespace pagelink
