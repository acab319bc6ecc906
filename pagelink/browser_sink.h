#pragma once
// CBrowserSink: the scriptable BrowserSink object. One instance per process
// (the class object hands out the same one to every client), so the callback
// the program sets is the one every page's calls reach.

#include <atomic>

#include "com/provide_class_info.h"
#include "pagelink/interfaces.h"

namespace pagelink {

class CBrowserSink final : public IBrowserSink, public com::IProvideClassInfo {
  public:
    CBrowserSink() = default;
    ~CBrowserSink();
    CBrowserSink(const CBrowserSink&) = delete;
    CBrowserSink& operator=(const CBrowserSink&) = delete;

    // IUnknown. Answers IUnknown, IDispatch, IBrowserSink and
    // IProvideClassInfo. The object is never deleted by Release: it lives
    // until the library is unloaded, keeping its callback; while referenced it
    // keeps the library loaded.
    com::HRESULT QueryInterface(const com::IID& riid, void** object) override;
    com::ULONG AddRef() override;
    com::ULONG Release() override;

    // IDispatch. GetTypeInfoCount answers 1 once the type library is
    // registered. GetIDsOfNames matches names without regard to ASCII case:
    // names[0] among the methods, the others among that method's parameters
    // (ids are their 0-based positions). Invoke is written by hand (see the
    // .cpp for its rules) and never trusts the shape of its arguments.
    com::HRESULT GetTypeInfoCount(com::UINT* count) override;
    com::HRESULT GetTypeInfo(com::UINT index, com::LCID lcid, com::ITypeInfo** info) override;
    com::HRESULT GetIDsOfNames(const com::IID& riid, com::LPOLESTR* names, com::UINT count,
                               com::LCID lcid, com::DISPID* ids) override;
    com::HRESULT Invoke(com::DISPID id, const com::IID& riid, com::LCID lcid, com::WORD flags,
                        com::DISPPARAMS* params, com::VARIANT* result, com::EXCEPINFO* excepInfo,
                        com::UINT* argError) override;

    // IBrowserSink.
    com::HRESULT SetCallback(com::IUnknown* pIBrowserSinkNoDispatch) override;
    com::HRESULT DisplayGraph(com::BSTR bstrPlayerName, com::INT nOptions) override;
    com::HRESULT DisplayHand(com::BSTR bstrHandNumber) override;
    com::HRESULT ToggleWindowSize() override;
    com::HRESULT DisplayCalc(com::BSTR bstrTableName) override;
    com::HRESULT ChangeReportProperties(com::LONG lReportNumber, com::BSTR bstrPropertyName,
                                        com::LONG lPropertyValue) override;
    com::HRESULT ChangeReportProperties2(com::LONG lReportNumber, com::BSTR bstrPropertyName,
                                         com::BSTR bstrPropertyValue) override;
    com::HRESULT DisplayAlerts(com::BSTR bstrTableName, com::BSTR bstrHints, com::LONG lAlertType,
                               com::BSTR bstrFilename) override;

    // IProvideClassInfo: the BrowserSink class's type information.
    com::HRESULT GetClassInfo(com::ITypeInfo** info) override;

  private:
    // SetCallback as a script reaches it: the pointer must answer
    // IBrowserSinkNoDispatch (E_NOINTERFACE otherwise, E_POINTER for null),
    // and the object keeps a reference to it, since a script's object has no
    // owner that promises to keep it alive.
    com::HRESULT SetCallbackFromScript(com::IUnknown* object);
    // Drops the reference kept by SetCallbackFromScript, if any.
    void ReleaseOwnedCallback();

    std::atomic<com::ULONG> refs_{0};
    IBrowserSinkNoDispatch* callback_ = nullptr;
    bool callbackOwned_ = false;
};

}  // namespace pagelink
