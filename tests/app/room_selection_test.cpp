// The room choice the command line makes without a dialog: which room, which
// folders, and the refusals a user sees.
#include "app/room_selection.h"

#include <gtest/gtest.h>

#include "tests/rooms/rooms_test_support.h"

namespace {

TEST(RoomSelectionTest, FillsTheChoiceOrSaysWhy) {
    rooms_test::ScratchFolder scratch;
    const std::string logs = scratch / "logs";
    const std::string old = scratch / "old";
    std::filesystem::create_directories(logs);
    std::filesystem::create_directories(old);
    const platform::WinPaths noPrefix(std::nullopt);

    const struct {
        const char* name;
        std::string room;
        std::optional<MoneyMode> money;
        std::string logFolder;
        std::string historicalFolder;
        std::vector<std::string> detected;
        int roomId;         // 0: refused
        const char* error;  // start of the refusal
    } cases[] = {
        {"folder given stands in for detection", "PokerStars", {}, logs, "", {}, 113, ""},
        {"name without regard to case and blanks",
         "poker stars",
         MoneyMode::kReal,
         logs + "/",
         old,
         {},
         113,
         ""},
        {"play money may leave the folder out",
         "PokerStars",
         MoneyMode::kPlay,
         "",
         "",
         {"PokerStars"},
         113,
         ""},
        {"unknown room", "Nowhere Poker", {}, logs, "", {}, 0, "The room 'Nowhere Poker'"},
        {"room without a reader", "Eurobet", {}, logs, "", {}, 0, "The room 'Eurobet'"},
        {"not detected and no folder",
         "PokerStars",
         {},
         "",
         "",
         {},
         0,
         "The room 'PokerStars' was"},
        {"missing folder", "PokerStars", {}, logs + "/gone", "", {}, 0, "The folder '"},
        {"missing historical folder", "PokerStars", {}, logs, old + "/gone", {}, 0, "The folder '"},
        {"Windows path without a prefix",
         "PokerStars",
         {},
         "C:\\Histories",
         "",
         {},
         0,
         "The folder 'C:\\Histories' is not on a drive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandLineOptions options;
        options.room = c.room;
        options.nickname = "Hero";
        options.money = c.money;
        options.logFolder = c.logFolder;
        options.historicalFolder = c.historicalFolder;
        const RoomSelectionResult result =
            SelectRoomFromOptions(options, c.detected, nullptr, noPrefix);
        if (c.roomId == 0) {
            EXPECT_FALSE(result.choice);
            EXPECT_EQ(result.error.rfind(c.error, 0), 0u) << result.error;
            continue;
        }
        ASSERT_TRUE(result.choice) << result.error;
        EXPECT_EQ(result.choice->roomId, c.roomId);
        EXPECT_EQ(result.choice->nickname, "Hero");
        EXPECT_EQ(result.choice->money, c.money.value_or(MoneyMode::kReal));
        EXPECT_EQ(result.choice->loggingFolder, c.logFolder.empty() ? "" : logs);
        EXPECT_EQ(result.choice->historicalFolder, c.historicalFolder);
    }
}

}  // namespace
