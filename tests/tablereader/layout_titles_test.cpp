#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "platform/memory_profile.h"
#include "reader_fixture.h"
#include "tablereader/table_titles.h"

namespace {

using tablereader_test::ShippedLayouts;

// The shipped file: 23 layouts keyed 100 to 122, reading exactly where a
// reader exists, every point inside its window, one second-card offset per
// layout, and no two seats of a table sharing a place.
TEST(TableLayoutTest, ShippedLayoutsAreWholeAndConsistent) {
    const TableLayouts& layouts = ShippedLayouts();
    ASSERT_EQ(layouts.error, "");
    ASSERT_EQ(layouts.byKey.size(), 23u);
    const std::set<int> reading{101, 102, 108, 109, 110, 111, 113, 114,
                                115, 116, 117, 118, 119, 121, 122};
    for (int key = 100; key <= 122; ++key) {
        const TableLayout* l = layouts.Find(key);
        ASSERT_NE(l, nullptr) << key;
        EXPECT_EQ(l->reading, reading.count(key) == 1) << key;
        if (!l->reading) continue;
        std::optional<std::pair<int, int>> offset;
        int seats = 0;
        for (int j = 0; j < kTableSizes; ++j) {
            std::set<std::pair<int, int>> places;
            for (int k = 0; k < kSeats; ++k) {
                const auto& p = l->pocket[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
                if (p.x1 < 0) continue;
                EXPECT_LE(k, j) << key;
                ++seats;
                const std::pair<int, int> d{p.x2 - p.x1, p.y2 - p.y1};
                if (!offset) offset = d;
                EXPECT_EQ(d, *offset) << key << " size " << j << " seat " << k;
                EXPECT_TRUE(places.insert({p.x1, p.y1}).second) << key;
                EXPECT_GE(p.x1 - 3, 0);
                EXPECT_LE(p.x2 - 3 + l->cardWidth, l->windowWidth - 6) << key;
                EXPECT_LE(p.y1 - l->frameHeight + l->cardHeight,
                          l->windowHeight - l->frameHeight - 3)
                    << key;
                EXPECT_GE(l->marker[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)].x, 0)
                    << key;
            }
        }
        EXPECT_GT(seats, 0) << key;
    }
}

TEST(TableLayoutTest, BadLinesRejectTheWholeFile) {
    for (const char* text :
         {"[99]\n", "[113]\nreading = 2\n", "[113]\ncard = 50 30 60 0\n", "[113]\nboard = 1 2 3\n",
          "[113]\npocket 10 = 1 2 3 4\n", "[113]\npocket 1 = 1 2 3 / 4 5 6 7\n", "reading = 1\n",
          "[113]\n[113]\n", "[113]\nreading = 1\n", "[113]\nwidth: 3\n"}) {
        const TableLayouts l = ParseTableLayouts(text, "test");
        EXPECT_NE(l.error, "") << text;
        EXPECT_TRUE(l.byKey.empty()) << text;
    }
    const TableLayouts ok =
        ParseTableLayouts("; note\n[113]\nname = x\npocket 1 = 5 6 7 8 / 9 10 11 12\n", "t");
    ASSERT_EQ(ok.error, "");
    EXPECT_EQ(ok.Find(113)->pocket[1][1], (TableLayout::Pocket{9, 10, 11, 12}));
    EXPECT_EQ(ok.Find(113)->pocket[1][2].x1, -1);
    EXPECT_EQ(LayoutKey(113, true), 122);
}

// The client's theme (from its User.ini) picks PokerStars' second layout;
// the settings override it; a room whose "+ 9" key is another room's never
// takes that room's layout; a bad setting falls back to the client's choice.
TEST(TableLayoutTest, ThemeChoosesTheLayout) {
    const TableLayouts& layouts = ShippedLayouts();
    const auto key = [&](int room, std::string_view theme, const char* settingsText) {
        platform::MemoryProfile settings(settingsText);
        const TableLayout* l = ChooseTableLayout(layouts, room, theme, &settings);
        return l != nullptr ? l->key : 0;
    };
    EXPECT_EQ(key(113, "", ""), 113);
    EXPECT_EQ(key(113, "shiny", ""), 122);
    EXPECT_EQ(key(113, "Shiny Theme", ""), 122);
    EXPECT_EQ(key(113, "Stars Theme", ""), 113);
    EXPECT_EQ(key(113, "Some New Theme", ""), 113);
    EXPECT_EQ(key(113, "", "[Advanced]\nTable Theme=2\n"), 122);
    EXPECT_EQ(key(113, "shiny", "[Advanced]\nTable Theme=1\n"), 113);
    EXPECT_EQ(key(113, "shiny", "[Advanced]\nTable Theme=7\n"), 122);
    EXPECT_EQ(key(101, "shiny", "[Advanced]\nTable Theme=2\n"), 101);
    EXPECT_EQ(key(107, "", "[Advanced]\nTable Theme=2\n"), 107);
    EXPECT_EQ(key(99, "", ""), 0);
    // Room layouts carry their client's second theme, never another room's.
    ASSERT_NE(layouts.Find(113)->secondTheme, nullptr);
    EXPECT_EQ(layouts.Find(113)->secondTheme->key, 122);
    EXPECT_EQ(layouts.Find(104)->secondTheme, nullptr);

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("seatwatch-theme-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "user.INI") << "[themes]\r\n0=Shiny Theme;themes\\shiny\r\n";
    EXPECT_EQ(ClientTableTheme(113, folder.string()), "Shiny Theme");
    EXPECT_EQ(ClientTableTheme(114, folder.string()), "");
    EXPECT_EQ(ClientTableTheme(113, (folder / "missing").string()), "");
    std::filesystem::remove_all(folder);

    EXPECT_NE(ParseTableLayouts("[122]\nthemes = a, , b\n", "t").error, "");
}

TEST(TableTitleTest, EachRoomsRuleAndTheInfoWindowsTitle) {
    const struct {
        int room;
        const char* name;
        const char* title;
        bool matches;
    } cases[] = {
        {100, "Aurora", "Aurora, 2/4 Limit", true},
        {100, "Aurora", "the Aurora, 2/4", true},
        {100, "Aurora", "Aurora II, 2/4", false},
        {101, "Aurora", "Aurora - $2/$4 - Good Luck!", true},
        {101, "Aurora", "Aurora - $2/$4", false},
        {104, "Aurora", "Aurora (2/4)", true},
        {108, "Aurora", "InterPoker - Aurora (2/4)", true},
        {110, "Aurora", "William Hill Poker 2004 - Aurora", true},
        {110, "Aurora", "William Hill Poker - Aurora", true},
        {113, "Aurora", "Aurora - $2/$4 - Limit Hold'em", true},
        {113, "Aurora", "Auroras - $2/$4", false},
        {113, "12345 7", "Tournament 12345 Table 7 - Blinds", true},
        {114, "Aurora", "Aurora - $2/$4", true},
        {114, "Aurora", "Aurora $2/$4", false},
        {116, "Aurora", "PokerPlex - Aurora", true},
        {119, "Aurora", "totalbet poker - Aurora", true},
        {121, "17~Aurora", "TABLE 17 - GOOD LUCK (Aurora)", true},
        {121, "17~Aurora", "TABLE 17 - GOOD LUCK (Borealis)", false},
        {121, "Aurora, 2/4", "Aurora - GOOD LUCK", true},
        {112, "Aurora", "Aurora (2/4)", false},
        {122, "Aurora", "Aurora - $2/$4", false},
        {113, "Aurora", "Reefscan - xA*urora Table Info", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TableTitleMatches(c.room, c.name, c.title), c.matches)
            << c.room << " " << c.name << " / " << c.title;
    for (int room = 100; room <= 121; ++room) {
        const std::string title = ClientTableTitle(room, "Aurora");
        if (!title.empty()) {
            EXPECT_TRUE(TableTitleMatches(room, "Aurora", title)) << room;
        }
    }
    EXPECT_EQ(TableInfoTitle("Aurora"), "Reefscan - xA*urora Table Info");
    EXPECT_EQ(TableInfoTitle("\xc3\x89toile"), "Reefscan - x\xc3\x89*toile Table Info");
}

}  // namespace
