#pragma once
// CSingletonClassFactory: the class object of BrowserSink. The first
// CreateInstance makes the one CBrowserSink; every later one, from any client
// in the process, answers that same object. It refuses aggregation. The
// object lives as long as this factory, which lives until the library is
// unloaded.

#include <memory>
#include <mutex>

#include "pagelink/browser_sink.h"
#include "pagelink/static_class_object.h"

namespace pagelink {

class CSingletonClassFactory final : public CStaticClassObject {
  public:
    CSingletonClassFactory() = default;

    // CLASS_E_NOAGGREGATION with outer; else the singleton's interface riid.
    com::HRESULT CreateInstance(com::IUnknown* outer, const com::IID& riid, void** object) override;

  private:
    std::mutex lock_;
    std::unique_ptr<CBrowserSink> instance_;
};

}  // namespace pagelink
