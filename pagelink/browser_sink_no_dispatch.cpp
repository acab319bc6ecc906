#include "pagelink/browser_sink_no_dispatch.h"

#include <new>

#include "pagelink/pagelink_module.h"

namespace pagelink {

using namespace com;

CBrowserSinkNoDispatch::CBrowserSinkNoDispatch(IUnknown* outer)
    : controlling_(outer ? outer : &inner_) {
    CPagelinkModule::Instance().Lock();
}

CBrowserSinkNoDispatch::~CBrowserSinkNoDispatch() { CPagelinkModule::Instance().Unlock(); }

HRESULT CBrowserSinkNoDispatch::Create(IUnknown* outer, const IID& riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    // An aggregate asks for the inner IUnknown only: any other interface
    // would hand it a delegating pointer it could never release correctly.
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    auto* created = new (std::nothrow) CBrowserSinkNoDispatch(outer);
    if (!created) return E_OUTOFMEMORY;
    created->inner_.AddRef();
    const HRESULT hr = created->inner_.QueryInterface(riid, object);
    created->inner_.Release();  // leaves the object alive only when the query took a reference
    return hr;
}

HRESULT CBrowserSinkNoDispatch::CInner::QueryInterface(const IID& riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown) {
        *object = static_cast<IUnknown*>(this);
    } else if (riid == IID_IBrowserSinkNoDispatch) {
        *object = static_cast<IBrowserSinkNoDispatch*>(owner_);
    } else if (riid == IID_IProvideClassInfo) {
        *object = static_cast<IProvideClassInfo*>(owner_);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
}

ULONG CBrowserSinkNoDispatch::CInner::AddRef() { return ++owner_->refs_; }

ULONG CBrowserSinkNoDispatch::CInner::Release() {
    const ULONG left = --owner_->refs_;
    if (left == 0) delete owner_;
    return left;
}

HRESULT CBrowserSinkNoDispatch::QueryInterface(const IID& riid, void** object) {
    return controlling_->QueryInterface(riid, object);
}

ULONG CBrowserSinkNoDispatch::AddRef() { return controlling_->AddRef(); }

ULONG CBrowserSinkNoDispatch::Release() { return controlling_->Release(); }

HRESULT CBrowserSinkNoDispatch::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    return CPagelinkModule::Instance().LoadTypeInfo(CLSID_BrowserSinkNoDispatch, info);
}

}  // namespace pagelink
