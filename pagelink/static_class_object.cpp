#include "pagelink/static_class_object.h"

#include "pagelink/pagelink_module.h"

namespace pagelink {

using namespace com;

HRESULT CStaticClassObject::QueryInterface(const IID& riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CStaticClassObject::AddRef() {
    CPagelinkModule::Instance().Lock();
    return ++refs_;
}

ULONG CStaticClassObject::Release() {
    CPagelinkModule::Instance().Unlock();
    return --refs_;
}

HRESULT CStaticClassObject::LockServer(bool lock) {
    if (lock) {
        CPagelinkModule::Instance().Lock();
    } else {
        CPagelinkModule::Instance().Unlock();
    }
    return S_OK;
}

}  // namespace pagelink
