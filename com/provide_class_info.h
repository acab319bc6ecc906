#pragma once
// IProvideClassInfo: lets a client ask an object for the type information of
// its class.

#include "com/unknown.h"

namespace com {

class ITypeInfo;

class IProvideClassInfo : public IUnknown {
  public:
    // Stores the type information of the object's class (with a reference
    // taken) in *info. E_POINTER when info is null; the error of loading the
    // type library otherwise.
    virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;

  protected:
    ~IProvideClassInfo() = default;
};

}  // namespace com
