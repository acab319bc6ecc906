#pragma once
// The in-process server runtime: finds a class in the registry, loads the
// library that serves it and asks it for its class object.
//
// Why this library is shared (libseatwatch_com.so): a server library such as
// libpagelink.so is loaded with dlopen into a program that links this runtime
// too. Were the runtime static, the program and every server would each carry
// a copy of its globals, so the registry the program set here would be unset
// in the server's copy and DllRegisterServer would write nowhere. As one
// shared library, loaded once per process, there is one registry pointer and
// one table of loaded servers, seen alike by the program and the servers.
//
// Threads: every function may be called from any thread; the table of loaded
// libraries is guarded by a lock. The registry itself is not locked here:
// callers that write to it from several threads must serialise themselves.

#include <string>

#include "com/class_factory.h"
#include "com/unknown.h"

namespace platform {
class Registry;
}

namespace com {

using CLSCTX = DWORD;
inline constexpr CLSCTX CLSCTX_INPROC_SERVER = 0x1;

// Sets the registry the runtime and the servers it loads use (not owned; it
// must outlive every use). Null unsets it. Hosts call this before
// CoCreateInstance or a server's DllRegisterServer.
void SetRegistry(platform::Registry* registry);
// The registry set last, or null.
platform::Registry* GetRegistry();

// The signatures of the functions an in-process server exports.
using DllGetClassObjectFn = HRESULT (*)(const CLSID& clsid, const IID& riid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();

// The class object of clsid: reads the absolute library path from
// "CLSID\{clsid}\InprocServer32" under the classes root, loads it (once; it
// stays loaded until CoFreeUnusedLibraries finds it unused) and calls its
// DllGetClassObject. Errors: E_POINTER; REGDB_E_CLASSNOTREG (no registry set,
// class not registered, no in-process server, context other than
// CLSCTX_INPROC_SERVER); CO_E_DLLNOTFOUND (path not absolute, library cannot
// be loaded); CO_E_ERRORINDLL (no DllGetClassObject); or the server's error.
HRESULT CoGetClassObject(REFCLSID clsid, CLSCTX context, REFIID riid, void** object);

// Makes an object of clsid through its class object's CreateInstance and
// stores its interface riid in *object (null on failure).
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, CLSCTX context, REFIID riid,
                         void** object);

// Unloads every library loaded by the runtime whose DllCanUnloadNow answers
// S_OK (a library without that export stays loaded). Returns how many were
// unloaded.
int CoFreeUnusedLibraries();

// True when the library at path (as registered) is loaded by the runtime.
bool IsServerLoaded(const std::string& path);

}  // namespace com
