#pragma once
// IClassFactory: the class object an in-process server hands out for each of
// its classes, which makes the class's objects.

#include "com/unknown.h"

namespace com {

class IClassFactory : public IUnknown {
  public:
    // Makes an object (or, for a singleton class, finds the one object) and
    // stores its interface riid in *object. With a non-null outer the object
    // is made as part of that aggregate and riid must be IID_IUnknown;
    // classes that cannot be aggregated answer CLASS_E_NOAGGREGATION.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
    // Locks (true) or unlocks (false) the server in memory, as an object would.
    virtual HRESULT LockServer(bool lock) = 0;

  protected:
    ~IClassFactory() = default;
};

}  // namespace com
