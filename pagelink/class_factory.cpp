#include "pagelink/class_factory.h"

namespace pagelink {

using namespace com;

HRESULT CClassFactory::CreateInstance(IUnknown* outer, const IID& riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return create_(outer, riid, object);
}

}  // namespace pagelink
