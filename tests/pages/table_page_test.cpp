#include "pages/table_page.h"

#include <gtest/gtest.h>

#include "analysis/table_record.h"
#include "pages/page_parts.h"
#include "tests/pages/pages_fixture.h"

namespace pagetest {
namespace {

TEST_F(PagesTest, TablePageBeforeAnyHandOfTheUser) {
    // A hand the user sat out: he is seated but not dealt in.
    testing_hands::Table t = SixSeats();
    Play(5001, t, FoldAroundHand(t));
    std::string path = analyzer->WriteTablePage("Test Table");
    ASSERT_EQ(path, (folder / "Table_Test Table.htm").string());
    ExpectGolden(Portable(ReadFile(path), folder.string()), "table_one_hand");
}

TEST_F(PagesTest, TablePageWithRecentHands) {
    testing_hands::Table t = SixSeats();
    Play(5001, t, FoldAroundHand(t));
    Play(5002, t, ShowdownHand(t));
    std::string path = analyzer->WriteTablePage("Test Table");
    std::string text = ReadFile(path);
    // The newest hand is the right-most column; the user's row is last.
    EXPECT_NE(text.find("DisplayHand('5002')\">01</a>"), std::string::npos);
    EXPECT_NE(text.find("DisplayHand('5001')\">02</a>"), std::string::npos);
    EXPECT_LT(text.find("'PN', 'P5')"), text.find("'PN', 'Hero')"));
    EXPECT_LT(text.find("'PN', 'Btn')"), text.find("'PN', 'P3')"));
    EXPECT_EQ(text.find("Hand details will be displayed"), std::string::npos);
    ExpectGolden(Portable(text, folder.string()), "table_two_hands");
}

TEST_F(PagesTest, TablePageOfANoLimitTable) {
    testing_hands::Table t = SixSeats();
    t.game = "Hold'em No Limit ($0.50/$1 USD)";
    Play(5001, t, ShowdownHand(t));
    std::string text = ReadFile(analyzer->WriteTablePage("Test Table"));
    // No-limit tables end with the table itself: no logo row below it.
    EXPECT_EQ(text.find("<P><table border=\"0\""), std::string::npos);
    EXPECT_NE(text.find("'PN', 'P3')\">P3 (NL)</a>"), std::string::npos);
    ExpectGolden(Portable(text, folder.string()), "table_no_limit");
}

TEST_F(PagesTest, TablePageOfARoomWithoutHandColumns) {
    EXPECT_EQ(pages::HandColumnsOfRoom(100), 21);
    EXPECT_EQ(pages::HandColumnsOfRoom(101), 17);
    EXPECT_EQ(pages::HandColumnsOfRoom(119), 17);
    EXPECT_EQ(pages::HandColumnsOfRoom(120), 21);
    EXPECT_EQ(pages::HandColumnsOfRoom(121), 0);
    testing_hands::Table t = SixSeats();
    const CHand* hand = Play(5001, t, ShowdownHand(t));
    ASSERT_NE(hand, nullptr);
    CTableRecord table("Test Table", 121, false, kHandTime);
    table.UpdateFromHand(*hand, kHandTime);
    std::vector<const CPlayerStats*> records;
    for (const std::string& name : table.SeatNames())
        records.push_back(name.empty() ? nullptr : analyzer->FindPlayer(name));
    pages::TablePageFiles files = pages::BuildTablePage({.table = table,
                                                         .outputFolder = folder.string(),
                                                         .tag = "",
                                                         .seatRecords = records,
                                                         .userRecord = analyzer->UserRecord(),
                                                         .now = clock.UnixSeconds(),
                                                         .reference = reference});
    EXPECT_EQ(files.page.text.find("DisplayHand"), std::string::npos);
    EXPECT_EQ(files.page.text.find("'CENTER'  WIDTH=22"), std::string::npos);
    EXPECT_NE(files.page.text.find("Hand details will be displayed once you complete a hand"),
              std::string::npos);
}

TEST(TablePageCells, ScoresByHandsAndScore) {
    struct Case {
        int hands, score;
        const char* lt;
        const char* ltColour;
        const char* pa;
        const char* paColour;
    };
    const Case cases[] = {
        {0, 0, "?", "", "?", ""},
        {19, 8, "?", "", "?", ""},
        {25, 8, "L?", "", "A?", ""},
        {25, 5, "<BR>", "", "<BR>", ""},
        {45, 8, "L8", "#80FF80", "A8", "#FF9999"},
        {45, 1, "T1", "#FF9999", "P1", "#80FF80"},
        {40, 4, "<BR>", "", "<BR>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hands) + " hands, score " + std::to_string(c.score));
        pages::ScoreCell lt = pages::LooseTightCell(c.hands, c.score);
        pages::ScoreCell pa = pages::PassiveAggressiveCell(c.hands, c.score);
        EXPECT_EQ(lt.text, c.lt);
        EXPECT_EQ(lt.background, c.ltColour);
        EXPECT_EQ(pa.text, c.pa);
        EXPECT_EQ(pa.background, c.paColour);
    }
}

TEST_F(PagesTest, UnchangedPagesAreNotWrittenAgain) {
    testing_hands::Table t = SixSeats();
    Play(5001, t, ShowdownHand(t));
    std::string path = analyzer->WriteTablePage("Test Table");
    std::size_t written = pages.WriteCount();
    EXPECT_EQ(analyzer->WriteTablePage("Test Table"), path);
    EXPECT_EQ(pages.WriteCount(), written);
    // A page removed behind its back is written again.
    std::filesystem::remove(path);
    EXPECT_EQ(analyzer->WriteTablePage("Test Table"), path);
    EXPECT_TRUE(std::filesystem::exists(path));
    // A page that cannot be written (here its temporary file cannot be made)
    // leaves the old page whole.
    const std::string before = ReadFile(path);
    std::filesystem::create_directory(path + ".tmp~");
    Play(5002, t, ShowdownHand(t));
    EXPECT_EQ(analyzer->WriteTablePage("Test Table"), "");
    EXPECT_EQ(ReadFile(path), before);
    std::filesystem::remove(path + ".tmp~");
    EXPECT_EQ(analyzer->WriteTablePage("Test Table"), path);
    EXPECT_NE(ReadFile(path), before);
    // Without its folder the page is not written, and no path is given.
    std::filesystem::remove_all(folder);
    EXPECT_EQ(analyzer->WriteTablePage("Test Table"), "");
    EXPECT_EQ(analyzer->ShowHand(5001), "");
}

}  // namespace
}  // namespace pagetest
