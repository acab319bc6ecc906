#include "platform/wine_registry.h"

#include <gtest/gtest.h>

#include "platform/log.h"
#include "platform/reg_file.h"
#include "test_util.h"

namespace platform {
namespace {

using testing::TempDir;

constexpr const char* kSystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Classes\\.htm] 1600000000
#time=1d6f0b2c3a4e5f6
@="htmlfile"
"Content Type"="text/html"

[Software\\Classes\\Applications\\iexplore.exe\\shell\\open\\command] 1600000000
@="\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" %1"

[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Poker Room] 1600000001
"DisplayName"="Poker Room \x00e9t\x00e9"
"InstallLocation"=str(2):"%ProgramFiles%\\Poker Room"
"EstimatedSize"=dword:0000abcd
"Raw"=hex:01,02,03,\
  04,05
"Paths"=hex(7):41,00,00,00,42,00,43,00,00,00,00,00
"Expand"=hex(2):25,00,54,00,25,00,00,00
"Size4"=hex(4):78,56,34,12
"Quad"=hex(b):01,00,00,00,00,00,00,00
"Line\"Break"="a\nb\tc"
)";

constexpr const char* kUserReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

[Software\\Classes\\.htm] 1600000000
@="userhtml"

[Software\\Room\\Settings] 1600000000
"Nick"="hero"
)";

class WineRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("prefix/system.reg", kSystemReg);
        dir.Write("prefix/user.reg", kUserReg);
    }
    TempDir dir;
};

TEST_F(WineRegistryTest, ReadsEveryValueFormOfWineFiles) {
    WineRegistry reg(dir.Path() / "prefix", dir.Path() / "store.reg");
    ASSERT_TRUE(reg.HasPrefix());
    const std::string key = "SOFTWARE\\microsoft\\Windows\\CurrentVersion\\Uninstall\\poker room";
    EXPECT_EQ(reg.QueryString(RegRoot::kLocalMachine, key, "displayname"), "Poker Room \xC3\xA9t\xC3\xA9");
    auto expand = reg.QueryValue(RegRoot::kLocalMachine, key, "InstallLocation");
    ASSERT_TRUE(expand);
    EXPECT_EQ(expand->type, RegType::kExpandString);
    EXPECT_EQ(expand->text, "%ProgramFiles%\\Poker Room");
    EXPECT_EQ(reg.QueryValue(RegRoot::kLocalMachine, key, "EstimatedSize"), RegValue::DWord(0xabcd));
    EXPECT_EQ(reg.QueryValue(RegRoot::kLocalMachine, key, "Raw")->binary,
              (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(reg.QueryValue(RegRoot::kLocalMachine, key, "Paths")->strings,
              (std::vector<std::string>{"A", "BC"}));
    EXPECT_EQ(reg.QueryString(RegRoot::kLocalMachine, key, "Expand"), "%T%");
    EXPECT_EQ(reg.QueryValue(RegRoot::kLocalMachine, key, "Size4"), RegValue::DWord(0x12345678));
    EXPECT_EQ(reg.QueryValue(RegRoot::kLocalMachine, key, "Quad")->type, RegType::kBinary);
    EXPECT_EQ(reg.QueryString(RegRoot::kLocalMachine, key, "Line\"Break"), "a\nb\tc");
    EXPECT_EQ(reg.QueryString(RegRoot::kClassesRoot, "Applications\\iexplore.exe\\shell\\open\\command", ""),
              "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" %1");
    EXPECT_EQ(reg.QueryString(RegRoot::kCurrentUser, "software\\room\\settings", "NICK"), "hero");
    EXPECT_FALSE(reg.KeyExists(RegRoot::kCurrentUser, "Software\\Microsoft"));
}

TEST_F(WineRegistryTest, ClassesRootMergesUserOverMachine) {
    WineRegistry reg(dir.Path() / "prefix", {});
    EXPECT_EQ(reg.QueryString(RegRoot::kClassesRoot, ".htm", ""), "userhtml");
    EXPECT_EQ(reg.QueryString(RegRoot::kClassesRoot, ".htm", "Content Type"), "text/html");
    EXPECT_EQ(reg.EnumSubKeys(RegRoot::kClassesRoot, ""), (std::vector<std::string>{".htm", "Applications"}));
}

TEST_F(WineRegistryTest, StoreOverlaysPrefixAndSurvivesReopening) {
    const auto store = dir.Path() / "store.reg";
    {
        WineRegistry reg(dir.Path() / "prefix", store);
        ASSERT_TRUE(reg.SetValue(RegRoot::kClassesRoot, ".htm", "", RegValue::String("ours")));
        ASSERT_TRUE(reg.SetValue(RegRoot::kClassesRoot, "CLSID\\{A0DC81A6}\\InprocServer32", "",
                                 RegValue::String("/opt/lib/libpagelink.so")));
        RegValue multi;
        multi.type = RegType::kMultiString;
        multi.strings = {"x", "\xC3\xA9\\\"]"};
        ASSERT_TRUE(reg.SetValue(RegRoot::kCurrentUser, "AppEvents\\Schemes", "list", multi));
        RegValue bin;
        bin.type = RegType::kBinary;
        bin.binary.assign(100, 0xAB);
        ASSERT_TRUE(reg.SetValue(RegRoot::kCurrentUser, "AppEvents\\Schemes", "bin", bin));
        ASSERT_TRUE(reg.CreateKey(RegRoot::kLocalMachine, "Software\\Empty\\Key"));
        ASSERT_TRUE(reg.Flush());
        EXPECT_EQ(reg.QueryString(RegRoot::kClassesRoot, ".htm", ""), "ours");
    }
    // The prefix files are never written.
    EXPECT_EQ(testing::ReadText(dir.Path() / "prefix/system.reg"), kSystemReg);
    WineRegistry again(dir.Path() / "prefix", store);
    EXPECT_EQ(again.QueryString(RegRoot::kLocalMachine, "Software\\Classes\\CLSID\\{a0dc81a6}\\InprocServer32", ""),
              "/opt/lib/libpagelink.so");
    EXPECT_EQ(again.QueryValue(RegRoot::kCurrentUser, "AppEvents\\Schemes", "list")->strings,
              (std::vector<std::string>{"x", "\xC3\xA9\\\"]"}));
    EXPECT_EQ(again.QueryValue(RegRoot::kCurrentUser, "AppEvents\\Schemes", "bin")->binary.size(), 100u);
    EXPECT_TRUE(again.KeyExists(RegRoot::kLocalMachine, "software\\empty\\key"));
    ASSERT_TRUE(again.DeleteKeyTree(RegRoot::kClassesRoot, "CLSID"));
    EXPECT_FALSE(again.KeyExists(RegRoot::kClassesRoot, "CLSID\\{A0DC81A6}"));
    EXPECT_EQ(again.QueryString(RegRoot::kClassesRoot, ".htm", ""), "ours");
}

TEST(WineRegistryBadInput, CorruptFilesGiveAbsentValuesAndALogLine) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"not a registry", "hello\n[Software\\\\X]\n\"a\"=\"b\"\n"},
        {"binary", std::string("\x00\x01\x02WINE", 7)},
        {"empty", ""},
        {"header only", "WINE REGISTRY Version 2\n"},
        {"unterminated", "WINE REGISTRY Version 2\n[Software\\\\X\n\"a\"=\"b\n\"c\"=dword:zz\n\"d\"=hex:0g\n"},
        {"value first", "WINE REGISTRY Version 2\n\"a\"=\"b\"\n[\\\\\\\\]\n@=dword:123456789\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.Write("p/system.reg", c.text);
        ScopedLogCapture log;
        WineRegistry reg(dir.Path() / "p", {});
        EXPECT_FALSE(reg.QueryValue(RegRoot::kLocalMachine, "Software\\X", "a"));
        EXPECT_TRUE(log.Contains("Registry:")) << log.Text();
    }
    ScopedLogCapture log;
    WineRegistry missing("/nonexistent/prefix", {});
    EXPECT_FALSE(missing.HasPrefix());
    EXPECT_TRUE(log.Contains("Wine prefix not found"));
}

TEST(RegFile, EscapedNamesRoundTrip) {
    const std::string names[] = {"plain", "back\\slash", "quote\"", "br[ack]et", "tab\tnl\n", "\xE2\x82\xAC" "1f",
                                 "\xF0\x9F\x82\xA1 card"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        RegTree tree;
        // Key names cannot hold a backslash; value names and data can.
        std::string keyName = name;
        for (char& c : keyName) {
            if (c == '\\') c = '/';
        }
        tree.FindOrCreate("Top\\" + keyName)->values.emplace(name, RegValue::String(name));
        RegTree back;
        const RegParseResult r = ParseRegFile(WriteRegFile(tree, "\\Registry"), back);
        EXPECT_EQ(r.badLines, 0u);
        const RegTree::Key* k = back.Find("Top\\" + keyName);
        ASSERT_NE(k, nullptr);
        ASSERT_EQ(k->values.count(name), 1u);
        EXPECT_EQ(k->values.at(name).text, name);
    }
}

}  // namespace
}  // namespace platform
