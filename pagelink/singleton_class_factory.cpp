#include "pagelink/singleton_class_factory.h"

#include <new>

#include "pagelink/pagelink_module.h"

namespace pagelink {

using namespace com;

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

}  // namespace pagelink
