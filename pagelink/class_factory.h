#pragma once
// CClassFactory: an ordinary class object, making a new object per
// CreateInstance through the class's creation function. Its references count
// as locks on the library.

#include <atomic>

#include "com/class_factory.h"

namespace pagelink {

class CClassFactory final : public com::IClassFactory {
  public:
    using CreateFn = com::HRESULT (*)(com::IUnknown* outer, const com::IID& riid, void** object);

    explicit CClassFactory(CreateFn create) : create_(create) {}

    // Answers IUnknown and IClassFactory. The object is static: references
    // only lock the library, Release never deletes it.
    com::HRESULT QueryInterface(const com::IID& riid, void** object) override;
    com::ULONG AddRef() override;
    com::ULONG Release() override;
    // Calls the creation function (which decides about aggregation).
    com::HRESULT CreateInstance(com::IUnknown* outer, const com::IID& riid, void** object) override;
    // Locks or unlocks the library (DllCanUnloadNow answers S_FALSE while
    // locked).
    com::HRESULT LockServer(bool lock) override;

  private:
    CreateFn create_;
    std::atomic<com::ULONG> refs_{0};
};

}  // namespace pagelink
