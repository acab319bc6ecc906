#include "tools/intake.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/rooms/rooms_test_support.h"
#include "tests/rooms/stars_history.h"

namespace {

using namespace rooms_test;

struct RunResult {
    int code;
    std::string out;
    std::string err;
};

RunResult Load(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunLoad(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(Intake, WrongArgumentsGiveClearMessages) {
    ScratchFolder folder;
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--room", "Poker Starz", "--nickname", "me", folder.Path()},
         "unknown room \"Poker Starz\"; the rooms are"},
        {{"--room", "Eurobet", "--nickname", "me", folder.Path()},
         "Eurobet has no hand-history reader"},
        {{"--nickname", "me", folder.Path()}, "--room is required"},
        {{"--room", "PokerStars", folder.Path()}, "--nickname is required"},
        {{"--room", "PokerStars", "--nickname", "me", folder / "missing"}, "folder not found: "},
        {{"--room", "PokerStars", "--nickname", "me", "--money", "fake", folder.Path()},
         "--money must be real or play"},
        {{"--room", "PokerStars", "--nickname", "me", "--wine-prefix", folder / "nowhere"},
         "Wine prefix not found"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        SCOPED_TRACE(joined);
        const RunResult run = Load(c.args);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST(Intake, LoadPrintsTheSummary) {
    ScratchFolder folder;
    std::string text;
    for (int i = 0; i < 25; ++i) text += StarsHandWithGap(1000 + i, i * 60);
    WriteFile(folder / "HH20100305 Alcyone III.txt", text);
    WriteFile(folder / "notes.doc", "not a history");
    // Room names are also found without regard to case and blanks.
    const RunResult run =
        Load({"--room", "pokerstars", "--nickname", "SeatwatchUser", folder.Path()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Room: PokerStars (real money), nickname SeatwatchUser"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Files: 1   Hands added: 25   Players: 2"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Opponents with the most hands:"), std::string::npos);
    // Both opponents played all 25 hands; RiverRat77 raised every time.
    EXPECT_NE(run.out.find("RiverRat77 (NL)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("    25  100.0%  100.0%    0.0%"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("SeatwatchUser (NL)  "), std::string::npos) << "the user is no opponent";
}

TEST(Intake, FollowPrintsNewHandsAsTheyArrive) {
    ScratchFolder folder;
    const std::string file = folder / "HH.txt";
    WriteFile(file, StarsHandWithGap(1));
    std::ostringstream out;
    std::ostringstream err;
    std::atomic<bool> stop{false};
    std::thread client([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        AppendFile(file, StarsHandWithGap(2, 75));
    });
    const int code = RunFollow(
        {"--room", "PokerStars", "--nickname", "SeatwatchUser", folder.Path()}, out, err, stop, 1);
    client.join();
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_NE(out.str().find("Hands added: 1"), std::string::npos) << out.str();
    // Times are shown in local time (UTC in tests); the history says 00:01:15 ET.
    EXPECT_NE(out.str().find("#2  2010-03-05 05:01:15  Alcyone III           3 players  pot 0.70  "
                             "won by SeatwatchUser (NL)"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("New hands: 1"), std::string::npos);
}

TEST(Intake, HelpVersionAndValuesThatBeginWithADash) {
    const RunResult help = Load({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, IntakeUsage());
    EXPECT_EQ(help.err, "");
    const RunResult version = Load({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("seatwatch-hh ", 0), 0u) << version.out;

    ScratchFolder folder;
    std::string text;
    for (int i = 0; i < 3; ++i) text += StarsHandWithGap(1000 + i, i * 60);
    WriteFile(folder / "HH20100305 Alcyone III.txt", text);
    // A screen name may begin with a dash; it is the value all the same.
    const RunResult dashed = Load({"--room", "PokerStars", "--nickname", "-Bob-", folder.Path()});
    EXPECT_EQ(dashed.code, 0) << dashed.err;
    EXPECT_NE(dashed.out.find("nickname -Bob-"), std::string::npos) << dashed.out;
    // A missing value is named; an unknown option is named with the usage.
    const RunResult missing = Load({"--room", "PokerStars", "--top"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.err, "seatwatch-hh: --top needs a number\n");
    const RunResult unknown = Load({"--room", "PokerStars", "-q"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, std::string("seatwatch-hh: unknown option -q\n") + IntakeUsage());
}

}  // namespace
