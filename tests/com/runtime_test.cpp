#include "com/runtime.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/memory_registry.h"

namespace com {
namespace {

constexpr CLSID kClsid = MakeGuid("{11111111-2222-3333-4444-555555555555}");

class RuntimeTest : public testing::Test {
  protected:
    void SetUp() override { SetRegistry(&registry_); }
    void TearDown() override { SetRegistry(nullptr); }

    void RegisterServer(const std::string& path) {
        registry_.SetValue(platform::RegRoot::kClassesRoot,
                           "CLSID\\" + kClsid.ToString() + "\\InprocServer32", "",
                           platform::RegValue::String(path));
    }

    platform::MemoryRegistry registry_;
};

// The path of a real shared library that is no server: the C maths library.
std::string MathLibraryPath() {
    Dl_info info{};
    double (*cosine)(double) = &::cos;
    if (!dladdr(reinterpret_cast<void*>(cosine), &info) || !info.dli_fname) return {};
    return info.dli_fname;
}

TEST_F(RuntimeTest, ReportsWhyAClassCannotBeMade) {
    struct Case {
        const char* name;
        std::string path;  // empty: nothing registered
        CLSCTX context;
        HRESULT hr;
    };
    const std::string mathLibrary = MathLibraryPath();
    ASSERT_FALSE(mathLibrary.empty());
    const Case cases[] = {
        {"not registered", "", CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG},
        {"relative path", "libpagelink.so", CLSCTX_INPROC_SERVER, CO_E_DLLNOTFOUND},
        {"missing file", "/nonexistent/libpagelink.so", CLSCTX_INPROC_SERVER, CO_E_DLLNOTFOUND},
        {"not a server", mathLibrary, CLSCTX_INPROC_SERVER, CO_E_ERRORINDLL},
        {"out-of-process context", mathLibrary, 0x4, REGDB_E_CLASSNOTREG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        registry_.DeleteKeyTree(platform::RegRoot::kClassesRoot, "CLSID");
        if (!c.path.empty()) RegisterServer(c.path);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CoCreateInstance(kClsid, nullptr, c.context, IID_IUnknown, &object), c.hr);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_FALSE(IsServerLoaded(mathLibrary));
}

TEST_F(RuntimeTest, NeedsARegistryAndAnOutPointer) {
    SetRegistry(nullptr);
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr),
              E_POINTER);
    EXPECT_EQ(CoGetClassObject(kClsid, CLSCTX_INPROC_SERVER, IID_IClassFactory, nullptr),
              E_POINTER);
}

}  // namespace
}  // namespace com
