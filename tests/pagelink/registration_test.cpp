// DllRegisterServer and DllUnregisterServer against an in-memory store.

#include <map>
#include <string>

#include "pagelink_fixture.h"

namespace pagelink::testing {
namespace {

using namespace com;
using platform::RegRoot;
using platform::RegValue;

// Every key and value of the store as lines "key" and "key|name=value", in
// order, so that two snapshots compare whole.
void Dump(const platform::RegTree::Key& key, const std::string& path, std::string& out) {
    out += path + "\n";
    for (const auto& [name, value] : key.values) out += path + "|" + name + "=" + value.text + "\n";
    for (const auto& [name, sub] : key.subKeys) Dump(*sub, path + "\\" + name, out);
}

std::string Snapshot(const platform::MemoryRegistry& registry) {
    std::string out;
    Dump(registry.Machine().Root(), "HKLM", out);
    Dump(registry.User().Root(), "HKCU", out);
    return out;
}

// The classes root as the registry interface shows it, in the same form.
void DumpClasses(const platform::Registry& registry, const std::string& key, std::string& out) {
    out += key + "\n";
    for (const std::string& name : registry.EnumValueNames(RegRoot::kClassesRoot, key)) {
        out += key + "|" + name + "=" +
               registry.QueryString(RegRoot::kClassesRoot, key, name).value_or("?") + "\n";
    }
    for (const std::string& sub : registry.EnumSubKeys(RegRoot::kClassesRoot, key)) {
        DumpClasses(registry, key.empty() ? sub : key + "\\" + sub, out);
    }
}

std::string ClassesSnapshot(const platform::Registry& registry) {
    std::string out;
    DumpClasses(registry, "", out);
    return out;
}

class RegistrationTest : public PagelinkTest {
  protected:
    std::optional<std::string> Read(const std::string& key, const std::string& name = "") {
        return registry_.QueryString(RegRoot::kClassesRoot, key, name);
    }
};

TEST_F(RegistrationTest, WritesTheClassesTypeLibraryAndAppId) {
    const std::string path = SEATWATCH_PAGELINK_PATH;
    const std::string sink = "CLSID\\{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}";
    const std::string noDispatch = "CLSID\\{99205D3B-FDB3-4802-8339-9571A5FA24C9}";
    const std::string typeLib = "TypeLib\\{859D794B-AFEF-4566-B3AB-BBFDB5C0F4FB}\\1.0";
    const std::string iface = "Interface\\{670917D8-627F-4703-8321-60604B82A0D4}";
    struct Case {
        std::string key;
        std::string name;
        std::string value;
    };
    const Case cases[] = {
        {"AppID\\{859D794B-AFEF-4566-B3AB-BBFDB5C0F4FB}", "", "Pagelink"},
        {"AppID\\Pagelink.DLL", "AppID", "{859D794B-AFEF-4566-B3AB-BBFDB5C0F4FB}"},
        {"Pagelink.BrowserSink.1", "", "CBrowserSink Object"},
        {"Pagelink.BrowserSink.1\\CLSID", "", "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}"},
        {"Pagelink.BrowserSink", "", "CBrowserSink Object"},
        {"Pagelink.BrowserSink\\CLSID", "", "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}"},
        {"Pagelink.BrowserSink\\CurVer", "", "Pagelink.BrowserSink.1"},
        {sink, "", "CBrowserSink Object"},
        {sink, "AppID", "{859D794B-AFEF-4566-B3AB-BBFDB5C0F4FB}"},
        {sink + "\\ProgID", "", "Pagelink.BrowserSink.1"},
        {sink + "\\VersionIndependentProgID", "", "Pagelink.BrowserSink"},
        {sink + "\\InprocServer32", "", path},
        {sink + "\\InprocServer32", "ThreadingModel", "apartment"},
        {sink + "\\TypeLib", "", "{859D794B-AFEF-4566-B3AB-BBFDB5C0F4FB}"},
        {"Pagelink.BrowserSinkNoDispatch.1", "", "CBrowserSinkNoDispatch Object"},
        {"Pagelink.BrowserSinkNoDispatch\\CurVer", "", "Pagelink.BrowserSinkNoDispatch.1"},
        {noDispatch, "", "CBrowserSinkNoDispatch Object"},
        {noDispatch + "\\InprocServer32", "", path},
        {typeLib, "", "Pagelink 1.0 Type Library"},
        {typeLib + "\\409\\win64", "", path},
        {typeLib + "\\FLAGS", "", "0"},
        {iface, "", "IBrowserSink"},
        {iface + "\\TypeLib", "Version", "1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + "|" + c.name);
        EXPECT_EQ(Read(c.key, c.name), c.value);
    }
    for (const char* key :
         {"\\Programmable", "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}",
          "\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}"}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(registry_.KeyExists(RegRoot::kClassesRoot, sink + key));
    }
    EXPECT_FALSE(
        registry_.KeyExists(RegRoot::kClassesRoot, noDispatch + "\\Implemented Categories"));
}

TEST_F(RegistrationTest, UnregisteringRestoresTheStoreExactly) {
    // From an empty classes root, and from a store holding other classes'
    // keys under the same parents.
    ASSERT_EQ(unregisterServer_(), S_OK);
    EXPECT_EQ(ClassesSnapshot(registry_), "\n");

    registry_.SetValue(RegRoot::kClassesRoot,
                       "CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32", "",
                       RegValue::String("/usr/lib/other.so"));
    registry_.SetValue(RegRoot::kClassesRoot, "AppID\\Other.DLL", "AppID", RegValue::String("{x}"));
    registry_.SetValue(RegRoot::kClassesRoot, "Interface\\{00000000-0000-0000-0000-000000000002}",
                       "", RegValue::String("IOther"));
    registry_.SetValue(RegRoot::kCurrentUser, "Software\\Seatwatch", "Home",
                       RegValue::String("/home/u"));
    const std::string before = Snapshot(registry_);
    ASSERT_EQ(registerServer_(), S_OK);
    ASSERT_EQ(registerServer_(), S_OK);  // twice is once
    EXPECT_NE(Snapshot(registry_), before);
    ASSERT_EQ(unregisterServer_(), S_OK);
    EXPECT_EQ(Snapshot(registry_), before);
    ASSERT_EQ(unregisterServer_(), S_OK);  // nothing left to remove is no error
    EXPECT_EQ(Snapshot(registry_), before);
}

TEST_F(RegistrationTest, FailsCleanlyOnAReadOnlyStoreOrWithoutOne) {
    ASSERT_EQ(unregisterServer_(), S_OK);
    registry_.SetReadOnly(true);
    EXPECT_EQ(registerServer_(), SELFREG_E_CLASS);
    registry_.SetReadOnly(false);
    EXPECT_EQ(ClassesSnapshot(registry_), "\n");

    SetRegistry(nullptr);
    EXPECT_EQ(registerServer_(), E_UNEXPECTED);
    EXPECT_EQ(unregisterServer_(), E_UNEXPECTED);
    SetRegistry(&registry_);
}

TEST_F(RegistrationTest, RegisteredLibraryIsFoundByClassId) {
    ComPtr<IBrowserSink> sink = CreateSink();
    ASSERT_TRUE(sink);
    EXPECT_TRUE(IsServerLoaded(SEATWATCH_PAGELINK_PATH));
    sink.Reset();
    ASSERT_EQ(unregisterServer_(), S_OK);
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_BrowserSink, nullptr, CLSCTX_INPROC_SERVER, IID_IBrowserSink,
                               &object),
              REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace pagelink::testing
