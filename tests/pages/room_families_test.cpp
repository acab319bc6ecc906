// The hand page of a hand of each room family, read by that room's parser
// from the test histories, compared whole.

#include <gtest/gtest.h>

#include "hands/hand_factory.h"
#include "hands/stdio_file_custom.h"
#include "pages/hand_page.h"
#include "tests/pages/pages_fixture.h"

namespace pagetest {
namespace {

// The first complete hand of a history of the source tree.
// The text is read whole, with a closing empty line for histories that end
// without one.
std::unique_ptr<CHand> FirstCompleteHand(const std::string& room, const std::string& path,
                                         const std::string& hero) {
    HandParserOptions options;
    options.filePath = std::string(SEATWATCH_SOURCE_DIR) + "/" + path;
    CStdioFileCustom reader;
    reader.OpenText(ReadFile(options.filePath) + "\r\n");
    reader.SetTextEnd(TextEnd::kComplete);
    for (int guard = 0; guard < 100; ++guard) {
        std::unique_ptr<CHand> hand = CreateHandParser(room, hero, options);
        if (hand == nullptr) return nullptr;
        std::uint64_t before = reader.GetPosition();
        int result = hand->ReadHand(reader);
        if (result == CHand::kParseOk && hand->potAwarded) return hand;
        if (result == CHand::kNoHandStart || reader.GetPosition() == before) break;
    }
    return nullptr;
}

TEST(RoomFamilyHandPages, OneHandOfEachFamily) {
    struct Case {
        const char* room;
        const char* path;
        const char* hero = "Hero";
    };
    const Case cases[] = {
        {"pokerstars", "tests/data/pokerstars-today/cash-side-pot.txt"},
        {"fulltilt", "tests/data/faults/fulltilt/second_dealt_to.txt"},
        {"party", "tests/data/faults/party/names_with_blanks.txt"},
        {"absolute", "tests/data/faults/absolute/dead_post.txt", "HERO"},
        {"interpoker", "tests/data/interpoker/PK_logs/2006-07-04/session.txt"},
        {"truepoker", "tests/data/truepoker/session.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.room);
        std::unique_ptr<CHand> hand = FirstCompleteHand(c.room, c.path, c.hero);
        ASSERT_NE(hand, nullptr) << c.path;
        const std::string folder = "/pages";
        std::string text = pages::HandPageText({.hand = *hand, .outputFolder = folder});
        // Every seated player's money is shown, and the page is whole.
        EXPECT_NE(text.find("Money Won"), std::string::npos);
        EXPECT_TRUE(text.ends_with("</table></BODY>\n</HTML>\n"));
        ExpectGolden(text, std::string("hand_room_") + c.room);
    }
}

}  // namespace
}  // namespace pagetest
