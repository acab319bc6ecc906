// The program's command line: what each option fills, and the refusals that
// name the option at fault.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Parsed {
    CommandLineResult result;
    CommandLineOptions options;
    std::string out;
    std::string err;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "seatwatch");
    Parsed p;
    std::ostringstream out;
    std::ostringstream err;
    p.result = ParseCommandLine(static_cast<int>(args.size()), args.data(), p.options, out, err);
    p.out = out.str();
    p.err = err.str();
    return p;
}

TEST(CommandLineTest, FillsEveryOption) {
    const Parsed p =
        Parse({"--home", "/h", "--wine-prefix=/w", "--port", "8123", "--no-browser", "--headless",
               "--room", "PokerStars", "--nickname", "Hero", "--money", "PLAY", "--log-folder",
               "/logs", "--historical-folder", "/old", "--demo"});
    ASSERT_TRUE(p.result.run) << p.err;
    EXPECT_EQ(p.options.home, "/h");
    EXPECT_EQ(p.options.winePrefix, "/w");
    EXPECT_EQ(p.options.port, 8123);
    EXPECT_TRUE(p.options.noBrowser);
    EXPECT_TRUE(p.options.headless);
    EXPECT_TRUE(p.options.demo);
    EXPECT_EQ(p.options.room, "PokerStars");
    EXPECT_EQ(p.options.nickname, "Hero");
    EXPECT_EQ(p.options.money, MoneyMode::kPlay);
    EXPECT_EQ(p.options.logFolder, "/logs");
    EXPECT_EQ(p.options.historicalFolder, "/old");
    const Parsed demo = Parse({"--demo", "--demo-folder", "/d", "--demo-rate", "0.5"});
    ASSERT_TRUE(demo.result.run) << demo.err;
    EXPECT_EQ(demo.options.demoFolder, "/d");
    EXPECT_EQ(demo.options.demoRate, 0.5);
}

TEST(CommandLineTest, NothingGivenRunsWithDefaults) {
    const Parsed p = Parse({});
    ASSERT_TRUE(p.result.run);
    EXPECT_FALSE(p.options.HasRoomOptions());
    EXPECT_EQ(p.options.port, 0);
}

TEST(CommandLineTest, HelpAndVersionPrintAndStop) {
    const Parsed help = Parse({"--help"});
    EXPECT_FALSE(help.result.run);
    EXPECT_EQ(help.result.exitCode, 0);
    for (const char* option :
         {"--home", "--wine-prefix", "--port", "--no-browser", "--headless", "--room", "--nickname",
          "--money", "--log-folder", "--historical-folder", "--demo", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const Parsed version = Parse({"--version"});
    EXPECT_FALSE(version.result.run);
    EXPECT_EQ(version.result.exitCode, 0);
    EXPECT_EQ(version.out, "seatwatch 2.11.03\n");
}

TEST(CommandLineTest, RefusalsNameTheOption) {
    const struct {
        std::vector<const char*> args;
        const char* named;
    } cases[] = {
        {{"--colour"}, "--colour"},
        {{"--port", "http"}, "--port"},
        {{"--port", "70000"}, "--port"},
        {{"--money", "chips"}, "--money"},
        {{"--home"}, "--home"},
        {{"--nickname", "Hero"}, "--room"},
        {{"stray"}, "stray"},
        {{"--demo-folder", "/d"}, "--demo"},
        {{"--demo", "--demo-rate", "0"}, "--demo-rate"},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.args);
        EXPECT_FALSE(p.result.run) << c.args[0];
        EXPECT_EQ(p.result.exitCode, 2) << c.args[0];
        EXPECT_NE(p.err.find(c.named), std::string::npos) << c.args[0] << ": " << p.err;
    }
}

}  // namespace
