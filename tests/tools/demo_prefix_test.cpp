// The demo's Wine prefix, laid out by scripts/demo-layout from samples/:
// the client detection finds its PokerStars client, its account folder names
// the demo nickname, and the command-line intake loads today's histories.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "platform/win_paths.h"
#include "platform/wine_registry.h"
#include "rooms/client_detector.h"
#include "rooms/poker_stars_client.h"
#include "tests/rooms/rooms_test_support.h"
#include "tools/intake.h"

namespace {

namespace fs = std::filesystem;

// Runs the layout script into `dest`; its exit status.
int LayOut(const std::string& dest) {
    const std::string command = std::string("'") + SEATWATCH_SOURCE_DIR +
                                "/scripts/demo-layout' '" + SEATWATCH_BINARY_DIR + "' '" + dest +
                                "' > /dev/null";
    return std::system(command.c_str());
}

TEST(DemoPrefix, TheClientIsDetectedAndItsHistoriesLoad) {
    rooms_test::ScratchFolder folder;
    ASSERT_EQ(LayOut(folder.Path()), 0);
    const fs::path prefix = fs::path(folder.Path()) / "prefix";
    const platform::WinPaths paths(prefix);
    platform::WineRegistry registry(prefix, "");
    const rooms::CClientDetector detector(registry, paths, nullptr);
    std::vector<std::string> names;
    EXPECT_EQ(detector.DetectClients(names), 1);
    EXPECT_EQ(names, std::vector<std::string>{"PokerStars"});
    std::string install;
    EXPECT_TRUE(detector.GetInstallFolder("PokerStars", install));
    EXPECT_EQ(install, "C:\\Program Files\\PokerStars");
    std::string logFolder;
    ASSERT_TRUE(detector.GetDefaultLogFolder("PokerStars", logFolder));
    EXPECT_EQ(logFolder, "C:\\Program Files\\PokerStars\\HandHistory");
    const auto host = paths.ToHost(logFolder + "\\SeatwatchUser");
    ASSERT_TRUE(host.has_value());
    EXPECT_EQ(rooms::NicknameFromAccountFolder(*host), "SeatwatchUser");
    EXPECT_FALSE(detector.UsesFourColourDeck("PokerStars"));

    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunLoad({"--wine-prefix", prefix.string(), "--room", "PokerStars", "--nickname",
                       "SeatwatchUser"},
                      out, err),
              0)
        << err.str();
    EXPECT_NE(out.str().find("Files: 3   Hands added: 90"), std::string::npos) << out.str();
}

// The number after `label` in `text`, or -1.
int CountAfter(const std::string& text, const std::string& label) {
    std::smatch match;
    if (!std::regex_search(text, match, std::regex(label + ": ([0-9]+)"))) return -1;
    return std::stoi(match[1]);
}

// What the demo shows: the simulator goes on at the layout's tables and the
// intake takes every new hand once, whenever it reads.
TEST(DemoPrefix, TheSimulatorsLiveHandsAreTakenEachOnce) {
    rooms_test::ScratchFolder folder;
    ASSERT_EQ(LayOut(folder.Path()), 0);
    const fs::path prefix = fs::path(folder.Path()) / "prefix";
    const fs::path history = prefix / "drive_c/Program Files/PokerStars/HandHistory/SeatwatchUser";
    std::thread simulator([&] {
        const std::string command = std::string("'") + SEATWATCH_BINARY_DIR +
                                    "/tools/seatwatch-sim' --folder '" + history.string() +
                                    "' --seed 2026 --resume 90 --rate 0.2 --count 10 --quiet";
        EXPECT_EQ(std::system(command.c_str()), 0);
    });
    std::ostringstream out;
    std::ostringstream err;
    std::atomic<bool> stop{false};
    const int code = RunFollow(
        {"--wine-prefix", prefix.string(), "--room", "PokerStars", "--nickname", "SeatwatchUser"},
        out, err, stop, 3);
    simulator.join();
    ASSERT_EQ(code, 0) << err.str();
    const int first = CountAfter(out.str(), "Hands added");
    const int live = CountAfter(out.str(), "New hands");
    EXPECT_GE(first, 90) << out.str();
    EXPECT_EQ(first + live, 100) << out.str();
}

TEST(DemoPrefix, LayingOutAgainStartsAfreshAndSparesOtherFolders) {
    rooms_test::ScratchFolder folder;
    ASSERT_EQ(LayOut(folder.Path()), 0);
    const fs::path stray = fs::path(folder.Path()) / "prefix" / "stray.txt";
    rooms_test::WriteFile(stray.string(), "x");
    rooms_test::WriteFile(folder / "home/Seatwatch.ini", "[General]\n");
    ASSERT_EQ(LayOut(folder.Path()), 0);
    EXPECT_FALSE(fs::exists(stray));
    EXPECT_TRUE(fs::exists(folder / "home/Seatwatch.ini")) << "the program folder is kept";

    // A prefix the script did not make is never removed.
    rooms_test::ScratchFolder other;
    rooms_test::WriteFile(other / "prefix/system.reg", "mine");
    EXPECT_NE(LayOut(other.Path()), 0);
    EXPECT_TRUE(fs::exists(other / "prefix/system.reg"));
}

}  // namespace
