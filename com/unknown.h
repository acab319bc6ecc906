#pragma once
// IUnknown: reference counting and interface discovery, the base of every
// interface. Interfaces are C++ classes with pure virtual functions; all our
// binaries are built by one compiler, so their tables of functions agree.

#include "com/guid.h"
#include "com/hresult.h"
#include "com/types.h"

namespace com {

class IUnknown {
  public:
    // Stores in *object the interface riid of this object, with a reference
    // taken, and returns S_OK; or stores null and returns E_NOINTERFACE.
    // E_POINTER when object is null.
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    // Takes a reference; returns the new count (for diagnostics only).
    virtual ULONG AddRef() = 0;
    // Drops a reference, destroying the object at zero; returns the new count.
    virtual ULONG Release() = 0;

  protected:
    // Objects are destroyed through Release, never through delete.
    ~IUnknown() = default;
};

}  // namespace com
