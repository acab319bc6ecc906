#pragma once
// CSingletonClassFactory: the class object of BrowserSink. The first
// CreateInstance makes the one CBrowserSink; every later one, from any client
// in the process, answers that same object. It refuses aggregation. The
// object lives as long as this factory, which lives until the library is
// unloaded.

#include <atomic>
#include <memory>
#include <mutex>

#include "com/class_factory.h"
#include "pagelink/browser_sink.h"

namespace pagelink {

class CSingletonClassFactory final : public com::IClassFactory {
  public:
    CSingletonClassFactory() = default;

    // Answers IUnknown and IClassFactory. The object is static: references
    // only lock the library, Release never deletes it.
    com::HRESULT QueryInterface(const com::IID& riid, void** object) override;
    com::ULONG AddRef() override;
    com::ULONG Release() override;
    // CLASS_E_NOAGGREGATION with outer; else the singleton's interface riid.
    com::HRESULT CreateInstance(com::IUnknown* outer, const com::IID& riid, void** object) override;
    // Locks or unlocks the library (DllCanUnloadNow answers S_FALSE while
    // locked).
    com::HRESULT LockServer(bool lock) override;

  private:
    std::atomic<com::ULONG> refs_{0};
    std::mutex lock_;
    std::unique_ptr<CBrowserSink> instance_;
};

}  // namespace pagelink
