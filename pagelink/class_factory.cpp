#include "pagelink/class_factory.h"

#include "pagelink/pagelink_module.h"

namespace pagelink {

using namespace com;

HRESULT CClassFactory::QueryInterface(const IID& riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CClassFactory::AddRef() {
    CPagelinkModule::Instance().Lock();
    return ++refs_;
}

ULONG CClassFactory::Release() {
    CPagelinkModule::Instance().Unlock();
    return --refs_;
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, const IID& riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return create_(outer, riid, object);
}

HRESULT CClassFactory::LockServer(bool lock) {
    if (lock) {
        CPagelinkModule::Instance().Lock();
    } else {
        CPagelinkModule::Instance().Unlock();
    }
    return S_OK;
}

}  // namespace pagelink
