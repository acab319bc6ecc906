#pragma once
// CRegistrar: the registry entries of the library, written by
// DllRegisterServer and removed by DllUnregisterServer, all under the
// classes root:
//   AppID\{859D794B-...} = "Pagelink"
//   AppID\Pagelink.DLL, value AppID = "{859D794B-...}"
//   for each class: <ProgID> = description, with CLSID;
//     <version-independent ProgID> = description, with CLSID and CurVer;
//     CLSID\{clsid} = description, value AppID, with ProgID,
//     VersionIndependentProgID, Programmable, InprocServer32 (= the library
//     path, value ThreadingModel = "apartment") and TypeLib;
//     for BrowserSink also Implemented Categories\{safe for scripting} and
//     \{safe for initialising}, so that hosts may script it;
//   TypeLib\{LIBID}\1.0 = "Pagelink 1.0 Type Library", with 409\win64 (the
//     library path), FLAGS and HELPDIR;
//   Interface\{IBrowserSink} = "IBrowserSink", with ProxyStubClsid,
//     ProxyStubClsid32 and TypeLib (value Version = "1.0").

#include <string>

#include "com/hresult.h"
#include "platform/registry.h"

namespace pagelink {

class CRegistrar {
  public:
    // Writes every entry with libraryPath as the server's file; on a failed
    // write removes what was written and returns SELFREG_E_CLASS (or
    // SELFREG_E_TYPELIB for the type library's entries).
    static com::HRESULT Register(platform::Registry& registry, const std::string& libraryPath);
    // Removes every entry, then the parent keys (AppID, CLSID, TypeLib,
    // Interface) when that leaves them empty, so that registering and then
    // unregistering leaves the store as it was. Absent entries are no error;
    // SELFREG_E_CLASS when an existing key cannot be removed.
    static com::HRESULT Unregister(platform::Registry& registry);
    // True when the type library's registration is present.
    static bool IsTypeLibRegistered(const platform::Registry& registry);
};

}  // namespace pagelink
