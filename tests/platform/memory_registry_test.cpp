#include "platform/memory_registry.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(MemoryRegistry, KeysAndValuesMatchWithoutRegardToCase) {
    MemoryRegistry reg;
    ASSERT_TRUE(reg.SetValue(RegRoot::kLocalMachine, "Software\\Maker\\App", "InstallDir",
                             RegValue::String("C:\\Games\\App")));
    struct Case { std::string key, name; };
    for (const Case& c : {Case{"software\\maker\\app", "installdir"},
                          Case{"SOFTWARE\\MAKER\\APP", "INSTALLDIR"},
                          Case{"\\Software\\Maker\\App\\", "InstallDir"}}) {
        SCOPED_TRACE(c.key + " / " + c.name);
        EXPECT_TRUE(reg.KeyExists(RegRoot::kLocalMachine, c.key));
        EXPECT_EQ(reg.QueryString(RegRoot::kLocalMachine, c.key, c.name), "C:\\Games\\App");
    }
    EXPECT_FALSE(reg.KeyExists(RegRoot::kCurrentUser, "Software\\Maker\\App"));
    EXPECT_FALSE(reg.QueryValue(RegRoot::kLocalMachine, "Software\\Maker\\App", "Other"));
    EXPECT_FALSE(reg.KeyExists(RegRoot::kLocalMachine, "Software\\\\Maker"));
}

TEST(MemoryRegistry, SubKeysKeepFirstSpellingAndSortWithoutCase) {
    MemoryRegistry reg;
    for (const char* k : {"Root\\beta", "Root\\Alpha", "Root\\BETA\\x", "Root\\gamma"}) {
        ASSERT_TRUE(reg.CreateKey(RegRoot::kCurrentUser, k)) << k;
    }
    EXPECT_EQ(reg.EnumSubKeys(RegRoot::kCurrentUser, "root"),
              (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_TRUE(reg.EnumSubKeys(RegRoot::kCurrentUser, "Missing").empty());
}

TEST(MemoryRegistry, ClassesRootWritesLandInMachineClassesAndUserOverrides) {
    MemoryRegistry reg;
    ASSERT_TRUE(reg.SetValue(RegRoot::kClassesRoot, "CLSID\\{1}\\InprocServer32", "",
                             RegValue::String("/usr/lib/a.so")));
    EXPECT_EQ(reg.QueryString(RegRoot::kLocalMachine, "Software\\Classes\\CLSID\\{1}\\InprocServer32", ""),
              "/usr/lib/a.so");
    ASSERT_TRUE(reg.SetValue(RegRoot::kCurrentUser, "Software\\Classes\\CLSID\\{1}\\InprocServer32", "",
                             RegValue::String("/home/u/a.so")));
    reg.CreateKey(RegRoot::kCurrentUser, "Software\\Classes\\CLSID\\{2}");
    EXPECT_EQ(reg.QueryString(RegRoot::kClassesRoot, "CLSID\\{1}\\InprocServer32", ""), "/home/u/a.so");
    EXPECT_EQ(reg.EnumSubKeys(RegRoot::kClassesRoot, "CLSID"), (std::vector<std::string>{"{1}", "{2}"}));
    ASSERT_TRUE(reg.DeleteKeyTree(RegRoot::kClassesRoot, "CLSID\\{1}"));
    EXPECT_FALSE(reg.KeyExists(RegRoot::kLocalMachine, "Software\\Classes\\CLSID\\{1}"));
    EXPECT_TRUE(reg.DeleteKeyTree(RegRoot::kClassesRoot, "CLSID\\{1}")) << "deleting twice succeeds";
}

TEST(MemoryRegistry, ReadOnlyRefusesWrites) {
    MemoryRegistry reg;
    reg.SetReadOnly(true);
    EXPECT_FALSE(reg.CreateKey(RegRoot::kLocalMachine, "A"));
    EXPECT_FALSE(reg.SetValue(RegRoot::kLocalMachine, "A", "v", RegValue::DWord(1)));
    EXPECT_FALSE(reg.Flush());
    reg.SetReadOnly(false);
    EXPECT_TRUE(reg.SetValue(RegRoot::kLocalMachine, "A", "v", RegValue::DWord(1)));
    EXPECT_TRUE(reg.Flush());
    EXPECT_EQ(reg.FlushCount(), 1);
    EXPECT_EQ(reg.EnumValueNames(RegRoot::kLocalMachine, "a"), (std::vector<std::string>{"v"}));
    EXPECT_TRUE(reg.DeleteValue(RegRoot::kLocalMachine, "A", "V"));
    EXPECT_TRUE(reg.EnumValueNames(RegRoot::kLocalMachine, "a").empty());
}

}  // namespace
}  // namespace platform
