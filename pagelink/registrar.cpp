#include "pagelink/registrar.h"

#include <string_view>
#include <vector>

#include "pagelink/interfaces.h"

namespace pagelink {

using namespace com;
using platform::RegRoot;
using platform::RegValue;

namespace {

constexpr RegRoot kRoot = RegRoot::kClassesRoot;

constexpr GUID kCatidSafeForScripting = MakeGuid("{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
constexpr GUID kCatidSafeForInitializing = MakeGuid("{7DD95802-9882-11CF-9FA9-00AA006C42C4}");
// The standard proxy of dual interfaces.
constexpr GUID kPSOAInterface = MakeGuid("{00020424-0000-0000-C000-000000000046}");

constexpr std::string_view kTypeLibVersion = "1.0";
constexpr std::string_view kTypeLibLocale = "409";
constexpr std::string_view kTypeLibPlatform = "win64";

struct ClassEntry {
    CLSID clsid;
    std::string_view progId;
    std::string_view versionIndependentProgId;
    std::string_view description;
    bool safeForScripting;
};

constexpr ClassEntry kClasses[] = {
    {CLSID_BrowserSink, "Pagelink.BrowserSink.1", "Pagelink.BrowserSink", "CBrowserSink Object",
     true},
    {CLSID_BrowserSinkNoDispatch, "Pagelink.BrowserSinkNoDispatch.1",
     "Pagelink.BrowserSinkNoDispatch", "CBrowserSinkNoDispatch Object", false},
};

// One entry to write: a key, and a string value of it unless name is unset.
struct Write {
    std::string key;
    bool hasValue;
    std::string name;
    std::string value;
};

Write Key(std::string key) { return {std::move(key), false, {}, {}}; }
Write Value(std::string key, std::string name, std::string value) {
    return {std::move(key), true, std::move(name), std::move(value)};
}

std::string AppIdKey() { return "AppID\\" + APPID_Pagelink.ToString(); }
std::string TypeLibKey() { return "TypeLib\\" + LIBID_Pagelink.ToString(); }
std::string TypeLibVersionKey() { return TypeLibKey() + "\\" + std::string(kTypeLibVersion); }
std::string InterfaceKey() { return "Interface\\" + IID_IBrowserSink.ToString(); }

std::vector<Write> ClassWrites(const std::string& libraryPath) {
    std::vector<Write> writes;
    writes.push_back(Value(AppIdKey(), "", "Pagelink"));
    writes.push_back(Value("AppID\\Pagelink.DLL", "AppID", APPID_Pagelink.ToString()));
    for (const ClassEntry& c : kClasses) {
        const std::string clsid = c.clsid.ToString();
        const std::string progId(c.progId);
        const std::string viProgId(c.versionIndependentProgId);
        const std::string description(c.description);
        writes.push_back(Value(progId, "", description));
        writes.push_back(Value(progId + "\\CLSID", "", clsid));
        writes.push_back(Value(viProgId, "", description));
        writes.push_back(Value(viProgId + "\\CLSID", "", clsid));
        writes.push_back(Value(viProgId + "\\CurVer", "", progId));
        const std::string key = "CLSID\\" + clsid;
        writes.push_back(Value(key, "", description));
        writes.push_back(Value(key, "AppID", APPID_Pagelink.ToString()));
        writes.push_back(Value(key + "\\ProgID", "", progId));
        writes.push_back(Value(key + "\\VersionIndependentProgID", "", viProgId));
        writes.push_back(Key(key + "\\Programmable"));
        writes.push_back(Value(key + "\\InprocServer32", "", libraryPath));
        writes.push_back(Value(key + "\\InprocServer32", "ThreadingModel", "apartment"));
        writes.push_back(Value(key + "\\TypeLib", "", LIBID_Pagelink.ToString()));
        if (c.safeForScripting) {
            const std::string categories = key + "\\Implemented Categories\\";
            writes.push_back(Key(categories + kCatidSafeForScripting.ToString()));
            writes.push_back(Key(categories + kCatidSafeForInitializing.ToString()));
        }
    }
    return writes;
}

std::vector<Write> TypeLibWrites(const std::string& libraryPath) {
    std::string folder = libraryPath.substr(0, libraryPath.find_last_of('/') + 1);
    if (folder.size() > 1) folder.pop_back();
    const std::string version = TypeLibVersionKey();
    const std::string libid = LIBID_Pagelink.ToString();
    return {
        Value(version, "", "Pagelink 1.0 Type Library"),
        Value(version + "\\" + std::string(kTypeLibLocale) + "\\" + std::string(kTypeLibPlatform),
              "", libraryPath),
        Value(version + "\\FLAGS", "", "0"),
        Value(version + "\\HELPDIR", "", folder),
        Value(InterfaceKey(), "", "IBrowserSink"),
        Value(InterfaceKey() + "\\ProxyStubClsid", "", kPSOAInterface.ToString()),
        Value(InterfaceKey() + "\\ProxyStubClsid32", "", kPSOAInterface.ToString()),
        Value(InterfaceKey() + "\\TypeLib", "", libid),
        Value(InterfaceKey() + "\\TypeLib", "Version", std::string(kTypeLibVersion)),
    };
}

bool Apply(platform::Registry& registry, const std::vector<Write>& writes) {
    for (const Write& w : writes) {
        const bool ok = w.hasValue
                            ? registry.SetValue(kRoot, w.key, w.name, RegValue::String(w.value))
                            : registry.CreateKey(kRoot, w.key);
        if (!ok) return false;
    }
    return true;
}

// Deletes key with its tree when present; false when it stays.
bool Remove(platform::Registry& registry, std::string_view key) {
    if (!registry.KeyExists(kRoot, key)) return true;
    registry.DeleteKeyTree(kRoot, key);
    return !registry.KeyExists(kRoot, key);
}

// Deletes key when it has no sub-key and no value left.
void RemoveIfEmpty(platform::Registry& registry, std::string_view key) {
    if (!registry.KeyExists(kRoot, key)) return;
    if (registry.EnumSubKeys(kRoot, key).empty() && registry.EnumValueNames(kRoot, key).empty()) {
        registry.DeleteKeyTree(kRoot, key);
    }
}

}  // namespace

HRESULT CRegistrar::Register(platform::Registry& registry, const std::string& libraryPath) {
    try {
        if (!Apply(registry, ClassWrites(libraryPath))) {
            Unregister(registry);
            return SELFREG_E_CLASS;
        }
        if (!Apply(registry, TypeLibWrites(libraryPath))) {
            Unregister(registry);
            return SELFREG_E_TYPELIB;
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        Unregister(registry);
        return E_OUTOFMEMORY;
    }
}

HRESULT CRegistrar::Unregister(platform::Registry& registry) {
    try {
        bool ok = true;
        // The reverse of the order of registration: type library first.
        ok &= Remove(registry, InterfaceKey());
        ok &= Remove(registry, TypeLibVersionKey());
        RemoveIfEmpty(registry, TypeLibKey());
        for (auto it = std::rbegin(kClasses); it != std::rend(kClasses); ++it) {
            ok &= Remove(registry, "CLSID\\" + it->clsid.ToString());
            ok &= Remove(registry, it->versionIndependentProgId);
            ok &= Remove(registry, it->progId);
        }
        ok &= Remove(registry, "AppID\\Pagelink.DLL");
        ok &= Remove(registry, AppIdKey());
        // Parents left empty go too: they were made by the registration (a
        // real prefix always has them filled).
        for (std::string_view parent : {"AppID", "CLSID", "TypeLib", "Interface"})
            RemoveIfEmpty(registry, parent);
        return ok ? S_OK : SELFREG_E_CLASS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

bool CRegistrar::IsTypeLibRegistered(const platform::Registry& registry) {
    try {
        const std::string key = TypeLibVersionKey() + "\\" + std::string(kTypeLibLocale) + "\\" +
                                std::string(kTypeLibPlatform);
        const auto path = registry.QueryString(kRoot, key, "");
        return path && !path->empty();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace pagelink
