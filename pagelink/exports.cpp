// The four functions the library exports; everything else is hidden (see
// pagelink.map), so two servers in one process never mix their symbols.

#include "com/runtime.h"
#include "pagelink/interfaces.h"
#include "pagelink/pagelink_module.h"
#include "pagelink/registrar.h"

using namespace com;
using pagelink::CPagelinkModule;
using pagelink::CRegistrar;

extern "C" {

HRESULT DllGetClassObject(const CLSID& clsid, const IID& riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = nullptr;
    const HRESULT hr = CPagelinkModule::Instance().GetClassObject(clsid, &factory);
    if (Failed(hr)) return hr;
    const HRESULT queried = factory->QueryInterface(riid, object);
    factory->Release();
    return queried;
}

HRESULT DllCanUnloadNow() { return CPagelinkModule::Instance().CanUnload() ? S_OK : S_FALSE; }

HRESULT DllRegisterServer() {
    platform::Registry* registry = GetRegistry();
    if (!registry) return E_UNEXPECTED;
    const std::string path = CPagelinkModule::LibraryPath();
    if (path.empty()) return SELFREG_E_CLASS;
    return CRegistrar::Register(*registry, path);
}

HRESULT DllUnregisterServer() {
    platform::Registry* registry = GetRegistry();
    if (!registry) return E_UNEXPECTED;
    return CRegistrar::Unregister(*registry);
}

}  // extern "C"
