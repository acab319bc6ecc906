#include "com/runtime.h"

#include <dlfcn.h>

#include <atomic>
#include <map>
#include <mutex>

#include "platform/registry.h"

namespace com {

namespace {

std::atomic<platform::Registry*> gRegistry{nullptr};

struct LoadedLibrary {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

// Libraries loaded by the runtime, by registered path.
std::mutex gLibrariesLock;
std::map<std::string, LoadedLibrary>& Libraries() {
    static auto* libraries =
        new std::map<std::string, LoadedLibrary>();  // never destroyed: servers outlive statics
    return *libraries;
}

// Finds or loads the library; null getClassObject with the reason in hr.
HRESULT Load(const std::string& path, DllGetClassObjectFn& getClassObject) {
    std::lock_guard lock(gLibrariesLock);
    auto& libraries = Libraries();
    if (auto it = libraries.find(path); it != libraries.end()) {
        getClassObject = it->second.getClassObject;
        return S_OK;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return CO_E_DLLNOTFOUND;
    LoadedLibrary library;
    library.handle = handle;
    library.getClassObject =
        reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    library.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    if (!library.getClassObject) {
        dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    libraries.emplace(path, library);
    getClassObject = library.getClassObject;
    return S_OK;
}

}  // namespace

void SetRegistry(platform::Registry* registry) { gRegistry.store(registry); }

platform::Registry* GetRegistry() { return gRegistry.load(); }

HRESULT CoGetClassObject(REFCLSID clsid, CLSCTX context, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    platform::Registry* registry = GetRegistry();
    if (!registry) return REGDB_E_CLASSNOTREG;
    std::string path;
    try {
        const std::string key = "CLSID\\" + clsid.ToString();
        if (!registry->KeyExists(platform::RegRoot::kClassesRoot, key)) return REGDB_E_CLASSNOTREG;
        const auto value =
            registry->QueryString(platform::RegRoot::kClassesRoot, key + "\\InprocServer32", "");
        if (!value || value->empty()) return REGDB_E_CLASSNOTREG;
        path = *value;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // Only an absolute path: a bare name would be searched for along the
    // library path, which a registry entry should not be able to steer.
    if (path.front() != '/' || path.find('\0') != std::string::npos) return CO_E_DLLNOTFOUND;
    DllGetClassObjectFn getClassObject = nullptr;
    const HRESULT hr = Load(path, getClassObject);
    if (Failed(hr)) return hr;
    return getClassObject(clsid, riid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, CLSCTX context, REFIID riid,
                         void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr =
        CoGetClassObject(clsid, context, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (Failed(hr)) return hr;
    if (!factory) return E_UNEXPECTED;
    hr = factory->CreateInstance(outer, riid, object);
    factory->Release();
    if (Failed(hr)) *object = nullptr;
    return hr;
}

int CoFreeUnusedLibraries() {
    std::lock_guard lock(gLibrariesLock);
    auto& libraries = Libraries();
    int unloaded = 0;
    for (auto it = libraries.begin(); it != libraries.end();) {
        if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK) {
            dlclose(it->second.handle);
            it = libraries.erase(it);
            ++unloaded;
        } else {
            ++it;
        }
    }
    return unloaded;
}

bool IsServerLoaded(const std::string& path) {
    std::lock_guard lock(gLibrariesLock);
    return Libraries().count(path) != 0;
}

}  // namespace com
