// seatwatch-regsvr end to end: registers the built plug-in into a store file
// in a fresh program folder, and unregisters it again.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "pagelink_fixture.h"
#include "platform/wine_registry.h"

namespace pagelink::testing {
namespace {

using namespace com;

class RegsvrToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = std::filesystem::temp_directory_path() /
                ("seatwatch-regsvr-" + std::to_string(getpid()));
        std::filesystem::remove_all(home_);
    }
    void TearDown() override { std::filesystem::remove_all(home_); }

    int Run(const std::string& arguments) {
        const std::string command =
            std::string(SEATWATCH_REGSVR_PATH) + " " + arguments + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::filesystem::path home_;
};

TEST_F(RegsvrToolTest, RegistersIntoTheStoreAndUnregisters) {
    const std::string library = SEATWATCH_PAGELINK_PATH;
    ASSERT_EQ(Run("--home " + home_.string() + " " + library), 0);
    {
        platform::WineRegistry registry("", home_ / "registry.reg");
        EXPECT_EQ(
            registry.QueryString(platform::RegRoot::kClassesRoot,
                                 "CLSID\\" + CLSID_BrowserSink.ToString() + "\\InprocServer32", ""),
            std::filesystem::canonical(library).string());
        // The store is what the program will read: the class can be made.
        SetRegistry(&registry);
        ComPtr<IBrowserSink> sink;
        EXPECT_EQ(CoCreateInstance(CLSID_BrowserSink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IBrowserSink, sink.PutVoid()),
                  S_OK);
        sink.Reset();
        CoFreeUnusedLibraries();
        SetRegistry(nullptr);
    }
    ASSERT_EQ(Run("-u --home " + home_.string() + " " + library), 0);
    platform::WineRegistry registry("", home_ / "registry.reg");
    EXPECT_FALSE(registry.KeyExists(platform::RegRoot::kClassesRoot, "CLSID"));
    EXPECT_FALSE(registry.KeyExists(platform::RegRoot::kClassesRoot, "Pagelink.BrowserSink"));
}

TEST_F(RegsvrToolTest, ReportsBadUsageAndNonServers) {
    struct Case {
        std::string arguments;
        int exitCode;
    };
    const Case cases[] = {
        {"", 2},
        {"--home", 2},
        {"--bogus " + std::string(SEATWATCH_PAGELINK_PATH), 2},
        {"a.so b.so", 2},
        {"--home " + home_.string() + " /nonexistent/libx.so", 3},
        {"--home " + home_.string() + " /etc/hostname", 3},  // not a library
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(Run(c.arguments), c.exitCode);
    }
}

}  // namespace
}  // namespace pagelink::testing
