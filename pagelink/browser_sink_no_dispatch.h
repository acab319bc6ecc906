#pragma once
// CBrowserSinkNoDispatch: a do-nothing implementation of the callback
// interface, creatable on its own or as part of an aggregate. Every method
// answers S_OK.

#include <atomic>

#include "com/provide_class_info.h"
#include "pagelink/interfaces.h"

namespace pagelink {

class CBrowserSinkNoDispatch final : public IBrowserSinkNoDispatch, public com::IProvideClassInfo {
  public:
    // Makes an object with one reference and stores its interface riid in
    // *object. With outer, the object is aggregated: riid must be IID_IUnknown
    // (CLASS_E_NOAGGREGATION otherwise) and *object receives the inner,
    // non-delegating IUnknown.
    static com::HRESULT Create(com::IUnknown* outer, const com::IID& riid, void** object);

    // IUnknown, delegating to the outer object when aggregated. Answers
    // IUnknown, IBrowserSinkNoDispatch and IProvideClassInfo.
    com::HRESULT QueryInterface(const com::IID& riid, void** object) override;
    com::ULONG AddRef() override;
    com::ULONG Release() override;

    com::HRESULT DisplayGraph(com::BSTR, com::INT) override { return com::S_OK; }
    com::HRESULT DisplayHand(com::BSTR) override { return com::S_OK; }
    com::HRESULT ToggleWindowSize() override { return com::S_OK; }
    com::HRESULT DisplayCalc(com::BSTR) override { return com::S_OK; }
    com::HRESULT ChangeReportProperties(com::LONG, com::BSTR, com::LONG) override {
        return com::S_OK;
    }
    com::HRESULT ChangeReportProperties2(com::LONG, com::BSTR, com::BSTR) override {
        return com::S_OK;
    }
    com::HRESULT DisplayAlerts(com::BSTR, com::BSTR, com::LONG, com::BSTR) override {
        return com::S_OK;
    }

    // IProvideClassInfo: the BrowserSinkNoDispatch class's type information.
    com::HRESULT GetClassInfo(com::ITypeInfo** info) override;

  private:
    // The object's own IUnknown, which owns the reference count; the public
    // one forwards to it, or to the outer object when aggregated.
    class CInner final : public com::IUnknown {
      public:
        explicit CInner(CBrowserSinkNoDispatch* owner) : owner_(owner) {}
        com::HRESULT QueryInterface(const com::IID& riid, void** object) override;
        com::ULONG AddRef() override;
        com::ULONG Release() override;

      private:
        CBrowserSinkNoDispatch* owner_;
    };

    explicit CBrowserSinkNoDispatch(com::IUnknown* outer);
    ~CBrowserSinkNoDispatch();

    CInner inner_{this};
    com::IUnknown* controlling_;  // the outer object, or inner_
    std::atomic<com::ULONG> refs_{0};
};

}  // namespace pagelink
