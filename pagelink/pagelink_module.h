#pragma once
// CPagelinkModule: the library's process-wide state, one static instance.
// It counts live objects and locks (for DllCanUnloadNow), owns the class
// objects and the singleton BrowserSink, and loads the type library once it
// is registered.

#include <atomic>
#include <mutex>
#include <string>

#include "com/class_factory.h"
#include "com/type_info.h"
#include "pagelink/class_factory.h"
#include "pagelink/singleton_class_factory.h"

namespace pagelink {

class CPagelinkModule {
  public:
    // The one module of the library.
    static CPagelinkModule& Instance();

    // Counts a live object or lock (objects, class object references,
    // LockServer) and its end.
    void Lock() { ++locks_; }
    void Unlock() { --locks_; }
    // True when nothing is outstanding.
    bool CanUnload() const { return locks_.load() == 0; }

    // The class object for clsid, with a reference taken, in *factory;
    // CLASS_E_CLASSNOTAVAILABLE for a class the library does not serve.
    com::HRESULT GetClassObject(const com::CLSID& clsid, com::IClassFactory** factory);

    // The type information of guid (an interface or class of the library),
    // with a reference taken. TYPE_E_LIBNOTREGISTERED while the type library
    // is not registered in the registry set with com::SetRegistry.
    com::HRESULT LoadTypeInfo(const com::GUID& guid, com::ITypeInfo** info);

    // The description of the type library ("Pagelink 1.0 Type Library").
    static com::TypeLibDescription TypeLibrary();

    // The absolute path of this library file; empty when it cannot be found.
    static std::string LibraryPath();

    ~CPagelinkModule();

  private:
    CPagelinkModule();

    std::atomic<long> locks_{0};
    std::mutex typeLibLock_;
    com::ITypeLib* typeLib_ = nullptr;  // made on first use, released at unload
    CSingletonClassFactory browserSinkFactory_;
    CClassFactory noDispatchFactory_;
};

}  // namespace pagelink
