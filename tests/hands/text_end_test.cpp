// A finished last hand that lacks only its closing empty line: taken when the
// end of the text is final, left unfinished while the text may still grow,
// and never taken when its summary is not whole.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "hands/hand_absolute_poker.h"
#include "hands/hand_factory.h"
#include "hands/hand_party_poker.h"
#include "hands/stdio_file_custom.h"
#include "tests/hands/room_corpus_util.h"

namespace {

namespace fs = std::filesystem;

const std::string kPartyHead =
    "#Game No : 9582251255\n***** Hand History for Game 9582251255 *****\n"
    "$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010\n"
    "Table Speed #1769729 (Real Money)\nSeat 6 is the button\nTotal number of players : 3/9\n"
    "Seat 6: Tort ( $2.14 USD )\nSeat 8: Hero ( $2.06 USD )\nSeat 7: Suic ( $1.44 USD )\n"
    "Suic posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n"
    "** Dealing down cards **\nDealt to Hero [  Js Th ]\nTort calls [$0.02 USD]\n"
    "Suic calls [$0.01 USD]\nHero checks\n** Dealing Flop ** [ As, 6h, Qc ]\n"
    "Suic bets [$0.06 USD]\nHero calls [$0.06 USD]\nTort is all-In  [$0.04 USD]\n"
    "** Dealing Turn ** [ Td ]\n** Dealing River ** [ Ac ]\n"
    "Hero shows [ Js, Th ]two pairs, Aces and Tens.\n"
    "Suic shows [ Qh, Jd ]two pairs, Aces and Queens.\n";
const std::string kPartySidePot = "Suic wins $0.04 USD from the side pot 1 with two pairs.\n";
const std::string kPartyMainPot = "Suic wins $0.18 USD from the main pot with two pairs.\n";

const std::string kAbsoluteHead =
    "Stage #1: Holdem  No Limit $0.02 - 2009-06-10 03:10:00 (ET)\n"
    "Table: CHILE (Real Money) Seat #1 is the dealer\n"
    "Seat 1 - Hero ($1 in chips)\nSeat 2 - B ($1 in chips)\nSeat 3 - C ($1 in chips)\n"
    "Seat 4 - D ($1 in chips)\nB - Posts small blind $0.01\nC - Posts big blind $0.02\n"
    "D - sitout (wait for BB)\n*** POCKET CARDS ***\nDealt to Hero [Ah Kd]\n"
    "Hero - Raises $0.06 to $0.06\nB - Folds\nC - Folds\n"
    "Hero - returned ($0.04) : not called\n*** SHOW DOWN ***\nHero - Does not show\n"
    "Hero Collects $0.05 from main pot\n";
const std::string kAbsoluteSummary =
    "*** SUMMARY ***\nTotal Pot($0.05)\nSeat 1: Hero (dealer) won Total ($0.05)\n"
    "Seat 2: B (small blind) Folded on the POCKET CARDS\n";
const std::string kAbsoluteLastSeat = "Seat 3: C (big blind) Folded on the POCKET CARDS\n";

std::unique_ptr<CHand> Parser(const std::string& family, const std::string& hero,
                              const std::string& path = {}) {
    HandParserOptions options;
    options.filePath = path;
    return CreateHandParser(family, hero, options);
}

// Reads every hand of `text` with the family's parser; the number of
// complete hands.
int CompleteHands(const std::string& family, const std::string& hero, const std::string& path,
                  const std::string& text, TextEnd end) {
    CStdioFileCustom reader;
    reader.OpenText(text);
    reader.SetTextEnd(end);
    int complete = 0;
    for (int guard = 0; guard < 100000; ++guard) {
        std::unique_ptr<CHand> hand = Parser(family, hero, path);
        const std::uint64_t before = reader.GetPosition();
        const int result = hand->ReadHand(reader);
        if (result == CHand::kNoHandStart || reader.GetPosition() == before) break;
        if (result == CHand::kParseOk && hand->potAwarded) ++complete;
    }
    return complete;
}

TEST(TextEnd, LastHandWithoutItsClosingLine) {
    const struct {
        const char* what;
        std::string family;
        std::string text;
        int mayGrow;   // result while the text may still grow
        int complete;  // result once its end is final
    } cases[] = {
        {"Party, main pot reported", "party", kPartyHead + kPartySidePot + kPartyMainPot,
         CHand::kEndBeforeBlankLine, CHand::kParseOk},
        {"Party, closed by its empty line", "party", kPartyHead + kPartyMainPot + "\n",
         CHand::kParseOk, CHand::kParseOk},
        {"Party, no winner yet", "party", kPartyHead, CHand::kEndBeforeBlankLine,
         CHand::kEndBeforeBlankLine},
        {"Party, side pot but not yet the main pot", "party", kPartyHead + kPartySidePot,
         CHand::kEndBeforeBlankLine, CHand::kEndBeforeBlankLine},
        {"Absolute, whole summary", "absolute",
         kAbsoluteHead + kAbsoluteSummary + kAbsoluteLastSeat, CHand::kEndBeforeBlankLine,
         CHand::kParseOk},
        {"Absolute, closed by its empty line", "absolute",
         kAbsoluteHead + kAbsoluteSummary + kAbsoluteLastSeat + "\n", CHand::kParseOk,
         CHand::kParseOk},
        {"Absolute, summary not begun", "absolute", kAbsoluteHead, CHand::kEndBeforeBlankLine,
         CHand::kEndBeforeBlankLine},
        {"Absolute, summary missing a player who took part", "absolute",
         kAbsoluteHead + kAbsoluteSummary, CHand::kEndBeforeBlankLine, CHand::kEndBeforeBlankLine},
    };
    for (const auto& c : cases) {
        for (const TextEnd end : {TextEnd::kMayGrow, TextEnd::kComplete}) {
            SCOPED_TRACE(std::string(c.what) +
                         (end == TextEnd::kComplete ? ", end final" : ", may grow") + "\n" +
                         c.text);
            std::unique_ptr<CHand> hand = Parser(c.family, "Hero");
            CStdioFileCustom reader;
            reader.OpenText(c.text);
            reader.SetTextEnd(end);
            const int result = hand->ReadHand(reader);
            EXPECT_EQ(result, end == TextEnd::kComplete ? c.complete : c.mayGrow)
                << hand->RejectReason();
            if (result == CHand::kParseOk) {
                EXPECT_TRUE(hand->potAwarded);
            }
        }
    }
}

TEST(TextEnd, TakenHandIsTheSameAsWithItsClosingLine) {
    for (const auto& [family, text] :
         {std::pair<std::string, std::string>{"party", kPartyHead + kPartySidePot + kPartyMainPot},
          {"absolute", kAbsoluteHead + kAbsoluteSummary + kAbsoluteLastSeat}}) {
        SCOPED_TRACE(family);
        std::unique_ptr<CHand> atEnd = Parser(family, "Hero");
        std::unique_ptr<CHand> closed = Parser(family, "Hero");
        EXPECT_EQ(roomtest::ParseText(*closed, text + "\n"), CHand::kParseOk);
        CStdioFileCustom reader;
        reader.OpenText(text);
        reader.SetTextEnd(TextEnd::kComplete);
        ASSERT_EQ(atEnd->ReadHand(reader), CHand::kParseOk) << atEnd->RejectReason();
        EXPECT_EQ(atEnd->handNumber, closed->handNumber);
        EXPECT_EQ(atEnd->won, closed->won);
        EXPECT_EQ(atEnd->invested, closed->invested);
        EXPECT_EQ(atEnd->returned, closed->returned);
        EXPECT_EQ(atEnd->holeCards, closed->holeCards);
    }
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every family on real files: with its closing empty lines cut off, a file
// whose end is final gives as many complete hands as the whole file.
TEST(TextEnd, EveryFamilyTakesTheLastHandOfAFinalText) {
    const fs::path source = SEATWATCH_SOURCE_DIR;
    const fs::path corpus = source / ".." / "shared" / "corpus";
    const struct {
        std::string family;
        fs::path folder;
    } folders[] = {
        {"pokerstars", corpus / "pokerstars"},
        {"pokerstars", corpus / "pokerstars-today"},
        {"fulltilt", corpus / "fulltilt"},
        {"party", corpus / "partypoker"},
        {"absolute", corpus / "absolute"},
        {"interpoker", source / "tests" / "data" / "interpoker" / "PK_logs" / "2006-07-04"},
        {"truepoker", source / "tests" / "data" / "truepoker"},
    };
    int files = 0;
    for (const auto& f : folders) {
        if (!fs::is_directory(f.folder)) continue;
        for (const auto& entry : fs::directory_iterator(f.folder)) {
            const std::string path = entry.path().string();
            SCOPED_TRACE(f.family + ": " + path);
            std::string text = ReadWhole(entry.path());
            // Characters are one byte, or two in a file with a UTF-16LE mark.
            const bool utf16 = text.starts_with("\xFF\xFE");
            const std::size_t width = utf16 ? 2 : 1;
            auto blankAtEnd = [&] {
                if (text.size() < width + (utf16 ? 2 : 0)) return false;
                const char c = text[text.size() - width];
                if (utf16 && text.back() != '\0') return false;
                return c == '\n' || c == '\r' || c == ' ' || c == '\0';
            };
            while (blankAtEnd()) text.resize(text.size() - width);
            const std::string closingLines =
                utf16 ? std::string("\r\0\n\0\r\0\n\0", 8) : std::string("\r\n\r\n");
            const std::string hero = roomtest::HeroOf(path);
            const int closed =
                CompleteHands(f.family, hero, path, text + closingLines, TextEnd::kMayGrow);
            EXPECT_EQ(CompleteHands(f.family, hero, path, text, TextEnd::kComplete), closed);
            ++files;
        }
    }
    if (files == 0) GTEST_SKIP() << "no history files";
}

}  // namespace
