#pragma once
// CStaticClassObject: what every class object of the library shares. Class
// objects are static: their references only lock the library, Release never
// deletes them. Subclasses decide what CreateInstance makes.

#include <atomic>

#include "com/class_factory.h"

namespace pagelink {

class CStaticClassObject : public com::IClassFactory {
  public:
    // Answers IUnknown and IClassFactory.
    com::HRESULT QueryInterface(const com::IID& riid, void** object) override;
    com::ULONG AddRef() override;
    com::ULONG Release() override;
    // Locks or unlocks the library (DllCanUnloadNow answers S_FALSE while
    // locked).
    com::HRESULT LockServer(bool lock) override;

  protected:
    CStaticClassObject() = default;
    ~CStaticClassObject() = default;

  private:
    std::atomic<com::ULONG> refs_{0};
};

}  // namespace pagelink
