#include "pagelink/singleton_class_factory.h"

#include <new>

#include "pagelink/pagelink_module.h"

namespace pagelink {

using namespace com;

HRESULT CSingletonClassFactory::QueryInterface(const IID& riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CSingletonClassFactory::AddRef() {
    CPagelinkModule::Instance().Lock();
    return ++refs_;
}

ULONG CSingletonClassFactory::Release() {
    CPagelinkModule::Instance().Unlock();
    return --refs_;
}

HRESULT CSingletonClassFactory::CreateInstance(IUnknown* outer, const IID& riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    std::lock_guard guard(lock_);
    if (!instance_) {
        instance_.reset(new (std::nothrow) CBrowserSink());
        if (!instance_) return E_OUTOFMEMORY;
    }
    return instance_->QueryInterface(riid, object);
}

HRESULT CSingletonClassFactory::LockServer(bool lock) {
    if (lock) {
        CPagelinkModule::Instance().Lock();
    } else {
        CPagelinkModule::Instance().Unlock();
    }
    return S_OK;
}

}  // namespace pagelink
