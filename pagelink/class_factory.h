#pragma once
// CClassFactory: an ordinary class object, making a new object per
// CreateInstance through the class's creation function. Its references count
// as locks on the library.

#include "pagelink/static_class_object.h"

namespace pagelink {

class CClassFactory final : public CStaticClassObject {
  public:
    using CreateFn = com::HRESULT (*)(com::IUnknown* outer, const com::IID& riid, void** object);

    explicit CClassFactory(CreateFn create) : create_(create) {}

    // Calls the creation function (which decides about aggregation).
    com::HRESULT CreateInstance(com::IUnknown* outer, const com::IID& riid, void** object) override;

  private:
    CreateFn create_;
};

}  // namespace pagelink
