// Today's PokerStars histories ("PokerStars Hand #", fast-fold "PokerStars
// Zoom Hand #", home games): the small histories of
// tests/data/pokerstars-today read whole, one case per history, the games
// that share the header but are not Texas Hold'em rejected with their
// reason, and today's corpus folder balanced hand by hand.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "hands/hand_poker_stars.h"
#include "hands/parse_text.h"
#include "hands/stdio_file_custom.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(SEATWATCH_SOURCE_DIR) / "tests" / "data" / "pokerstars-today";
const fs::path kCorpus =
    fs::path(SEATWATCH_SOURCE_DIR) / ".." / "shared" / "corpus" / "pokerstars-today";

std::int64_t Utc(int y, int mo, int d, int h, int mi, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    return static_cast<std::int64_t>(timegm(&tm));
}

struct ReadResult {
    int result = 0;
    std::string reason;
    std::unique_ptr<CHandPokerStars> hand;
};

// Every hand of a reader, as the log reader takes them.
std::vector<ReadResult> ReadAll(CStdioFileCustom& reader, const std::string& hero) {
    std::vector<ReadResult> hands;
    for (int guard = 0; guard < 100; ++guard) {
        ReadResult read;
        read.hand = std::make_unique<CHandPokerStars>(hero);
        read.result = read.hand->ReadHand(reader);
        if (read.result == CHand::kNoHandStart) break;
        read.reason = read.hand->RejectReason();
        hands.push_back(std::move(read));
    }
    return hands;
}

std::vector<ReadResult> ReadFile(const fs::path& path, const std::string& hero = "Hero") {
    CStdioFileCustom reader;
    EXPECT_TRUE(reader.Open(path.string())) << path;
    return ReadAll(reader, hero);
}

std::vector<ReadResult> ReadText(const std::string& text) {
    CStdioFileCustom reader;
    reader.OpenText(text);
    return ReadAll(reader, "Hero");
}

// Invested less returned less won over all positions: the rake.
std::int64_t Balance(const CHand& hand) {
    std::int64_t sum = 0;
    for (std::size_t p = 0; p < CHand::kPositions; ++p) {
        sum += hand.invested[p] - hand.won[p];
        for (std::size_t s = 0; s < CHand::kStreets; ++s) sum -= hand.returned[p][s];
    }
    return sum;
}

std::int32_t WonBy(const CHand& hand, const std::string& name) {
    int position = hand.PositionOf(name);
    return position < 0 ? -1 : hand.won[static_cast<std::size_t>(position)];
}

class TodayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        if (old != nullptr) oldTz_ = old;
        hadTz_ = old != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) {
            setenv("TZ", oldTz_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

  private:
    bool hadTz_ = false;
    std::string oldTz_;
};

TEST_F(TodayTest, SmallHistoriesReadWhole) {
    struct Winner {
        const char* name;  // qualified
        std::int32_t won;
    };
    const struct {
        const char* file;
        std::size_t hands;  // in the file, all complete
        std::size_t which;  // the hand checked below
        std::uint64_t number;
        int gameKind;
        bool realMoney;
        bool tournament;
        const char* table;
        const char* flop;
        const char* turn;
        const char* river;
        std::int64_t rake;
        std::int64_t time;  // TZ=UTC: the Eastern time plus five hours
        std::vector<Winner> winners;
    } cases[] = {
        {"cash-side-pot.txt",
         1,
         0,
         231456789012,
         2,
         true,
         false,
         "Aludra IV",
         "[2c,7d,Jh]",
         "[9s]",
         "[3d]",
         70,
         Utc(2021, 11, 2, 18, 4, 11),
         {{"Bob (NL)", 1240}, {"Eve (NL)", 360}}},
        {"cash-inr.txt",
         1,
         0,
         244265880601,
         2,
         true,
         false,
         "Moguntia II",
         "[2h,5c,9d]",
         "",
         "",
         350,
         Utc(2023, 6, 14, 15, 40, 2),
         {{"Hero (NL)", 6650}}},
        {"zoom-cash.txt",
         1,
         0,
         152334455667,
         2,
         true,
         false,
         "Donati",
         "[Ks,4d,4c]",
         "[2s]",
         "[Th]",
         40,
         Utc(2016, 5, 1, 13, 15, 40),
         {{"Hero (NL)", 685}}},
        {"zoom-archive.txt",
         2,
         1,
         92033098444,
         2,
         true,
         false,
         "Halley",
         "[Tc,8h,3s]",
         "",
         "",
         0,
         Utc(2013, 1, 8, 21, 31, 40),
         {{"Lina (NL)", 4}}},
        {"tournament-bounty.txt",
         1,
         0,
         250012345678,
         4,
         true,
         true,
         "3712345678 7",
         "[Kd,8c,3h]",
         "[5s]",
         "[Jc]",
         0,
         Utc(2024, 2, 12, 1, 15, 9),
         {{"Hero (T-NL)", 443000}}},
        // Run twice: the first board is the hand's, and both halves count.
        {"run-it-twice.txt",
         1,
         0,
         190011223344,
         2,
         true,
         false,
         "Ophelia III",
         "[8s,8d,2c]",
         "[4h]",
         "[3c]",
         400,
         Utc(2018, 9, 9, 21, 1, 55),
         {{"Hero (NL)", 11775}, {"Jon (NL)", 3925}}},
        {"home-game.txt",
         1,
         0,
         207548112650,
         4,
         false,
         false,
         "Friday Felt 1 {Friday Felt Club (1234567)}",
         "[Qh,9h,2d]",
         "[3c]",
         "[Kh]",
         0,
         Utc(2019, 10, 4, 20, 30, 0),
         {{"Hero (PM)", 34000}}},
        // No time zone: the time is taken as Eastern, as the client writes it.
        {"no-time-zone.txt",
         1,
         0,
         3406000001,
         2,
         true,
         false,
         "#11251690",
         "[Ah,Kd,6s]",
         "",
         "",
         0,
         Utc(2017, 1, 1, 22, 36, 54),
         {{"Hero (NL)", 4000}}},
        {"cr-only.txt",
         2,
         1,
         123456789013,
         1,
         true,
         false,
         "Aquila",
         "",
         "",
         "",
         0,
         Utc(2014, 3, 3, 15, 1, 0),
         {{"Rui", 10}}},
        // A cash-out changes nothing in the hand's money.
        {"cash-out.txt",
         1,
         0,
         219988776655,
         2,
         true,
         false,
         "Hadar V",
         "[9c,4d,2s]",
         "[Jd]",
         "[6h]",
         300,
         Utc(2020, 10, 1, 2, 41, 7),
         {{"Hero (NL)", 29900}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<ReadResult> hands = ReadFile(kData / c.file);
        ASSERT_EQ(hands.size(), c.hands);
        for (const ReadResult& read : hands) {
            EXPECT_EQ(read.result, 0) << read.reason;
            EXPECT_TRUE(read.hand->potAwarded);
            EXPECT_EQ(Balance(*read.hand), c.rake) << read.hand->handNumber;
        }
        const CHandPokerStars& hand = *hands[c.which].hand;
        EXPECT_EQ(hand.handNumber, c.number);
        EXPECT_EQ(hand.gameKind, c.gameKind);
        EXPECT_EQ(hand.realMoney, c.realMoney);
        EXPECT_EQ(hand.tournament, c.tournament);
        EXPECT_EQ(hand.tableName, c.table);
        EXPECT_EQ(hand.flopCards.View(), c.flop);
        EXPECT_EQ(hand.turnCard.View(), c.turn);
        EXPECT_EQ(hand.riverCard.View(), c.river);
        EXPECT_EQ(hand.dateTime, c.time);
        std::int64_t total = 0;
        for (const Winner& winner : c.winners) {
            EXPECT_EQ(WonBy(hand, winner.name), winner.won) << winner.name;
            total += winner.won;
        }
        EXPECT_EQ(hand.TotalWon(), total);
    }
}

TEST_F(TodayTest, LinesOfTodaysCashGame) {
    std::vector<ReadResult> hands = ReadFile(kData / "cash-side-pot.txt");
    ASSERT_EQ(hands.size(), 1u);
    const CHandPokerStars& hand = *hands[0].hand;
    // "posts small & big blinds": dead small blind, live big blind; the
    // call after it tops the live part up to the raise.
    const int dana = hand.PositionOf("Dana (NL)");
    ASSERT_GE(dana, 0);
    EXPECT_EQ(hand.invested[static_cast<std::size_t>(dana)], 45);
    // The sitting-out player is seated but never acts.
    EXPECT_GE(hand.PositionOf("Carl (NL)"), 0);
    EXPECT_FALSE(hand.acted[static_cast<std::size_t>(hand.PositionOf("Carl (NL)"))][0]);
    // The uncalled part of the all-in raise, as the room states it.
    const int hero = hand.PositionOf("Hero (NL)");
    EXPECT_EQ(hand.returned[static_cast<std::size_t>(hero)][1], 400);
    EXPECT_EQ(hand.heroCards.View(), "[Ah,Kh]");
    EXPECT_EQ(hand.holeCards[static_cast<std::size_t>(hand.PositionOf("Bob (NL)"))].View(),
              "[Jd,Jc]");
    // Raise totals: Eve raises to $2 (kind 8), Hero re-raises on the flop.
    const int eve = hand.PositionOf("Eve (NL)");
    ASSERT_EQ(hand.Actions(eve, 0).size(), 2u);  // button marker, raise
    EXPECT_EQ(hand.Actions(eve, 0)[1].kind, 9);
    EXPECT_EQ(hand.Actions(eve, 0)[1].amount, 200);
    EXPECT_EQ(hand.Actions(hero, 1)[0].kind, 8);
    EXPECT_EQ(hand.Actions(hero, 1)[0].amount, 800);
}

TEST_F(TodayTest, OtherGamesAreRejectedWithTheirReason) {
    const std::string tail =
        " - 2019/04/13 18:36:55 CET [2019/04/13 12:36:55 ET]\n"
        "Table 'Bharani II' 6-max Seat #1 is the button\nSeat 1: Hero ($100 in chips)\n"
        "Seat 2: Ann ($100 in chips)\nAnn: posts small blind $1\nHero: posts big blind $2\n"
        "*** HOLE CARDS ***\nAnn: folds\nUncalled bet ($1) returned to Hero\n"
        "Hero collected $2 from pot\n*** SUMMARY ***\nTotal pot $2 | Rake $0\n"
        "Seat 1: Hero (button) (big blind) collected ($2)\n\n";
    const struct {
        const char* game;  // the header's text after the hand number
        const char* reason;
    } cases[] = {
        {"6+ Hold'em No Limit (Button Blind $2 - Ante $2  USD)",
         "not Texas Hold'em: 6+ (short-deck) Hold'em"},
        {"Split Hold'em No Limit ($1/$2 USD)", "not Texas Hold'em: Split Hold'em (two boards)"},
        {"Omaha Pot Limit ($1/$2 USD)", "not Texas Hold'em: Omaha"},
        {"Omaha Hi/Lo Limit ($1/$2 USD)", "not Texas Hold'em: Omaha"},
        {"5 Card Omaha Pot Limit ($1/$2 USD)", "not Texas Hold'em: Omaha"},
        {"Mixed NLH/PLO (Omaha Pot Limit, $1/$2 USD)", "not Texas Hold'em: Omaha"},
        {"Courchevel Pot Limit ($1/$2 USD)", "not Texas Hold'em: Courchevel"},
        {"7 Card Stud Limit ($1/$2 USD)", "not Texas Hold'em: stud"},
        {"Razz Limit ($1/$2 USD)", "not Texas Hold'em: Razz"},
        {"5 Card Draw Pot Limit ($1/$2 USD)", "not Texas Hold'em: draw"},
        {"Triple Draw 2-7 Lowball Limit ($1/$2 USD)", "not Texas Hold'em: draw"},
        {"Badugi Limit ($1/$2 USD)", "not Texas Hold'em: Badugi"},
        {"Tournament #2570765244, $1+$0.10 USD 6+ Hold'em No Limit - Level I (10/20)",
         "not Texas Hold'em: 6+ (short-deck) Hold'em"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.game);
        std::vector<ReadResult> hands =
            ReadText(std::string("PokerStars Hand #199247789909: ") + c.game + tail);
        ASSERT_EQ(hands.size(), 1u);
        EXPECT_EQ(hands[0].result, CHand::kParseRejected);
        EXPECT_EQ(hands[0].reason, c.reason);
    }
    // A mixed game's Hold'em hands are read.
    std::vector<ReadResult> mixed = ReadText(
        "PokerStars Hand #199247789909: Mixed NLH/PLO (Hold'em No Limit, $1/$2 USD)" + tail);
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_EQ(mixed[0].result, 0) << mixed[0].reason;
    EXPECT_TRUE(mixed[0].hand->potAwarded);
    EXPECT_EQ(mixed[0].hand->gameKind, 2);
}

TEST_F(TodayTest, CurrenciesOfTodaysCashGames) {
    const struct {
        const char* sign;  // as written before every amount
        const char* code;
    } cases[] = {
        {"$", "USD"},        {"\xE2\x82\xAC", "EUR"},  // UTF-8
        {"\x80", "EUR"},                               // Windows-1252
        {"\xC2\xA3", "GBP"}, {"\xE2\x82\xB9", "INR"}, {"Rs. ", "INR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code + std::string(" ") + c.sign);
        const std::string s = c.sign;
        const std::string text =
            "PokerStars Hand #244265880496:  Hold'em No Limit (" + s + "1/" + s + "2 " + c.code +
            ") - 2023/06/14 20:33:40 IST [2023/06/14 11:03:40 ET]\n"
            "Table 'Moguntia' 6-max Seat #1 is the button\n"
            "Seat 1: Hero (" +
            s + "200 in chips)\nSeat 2: Ann (" + s +
            "150.50 in chips)\n"
            "Hero: posts small blind " +
            s + "1\nAnn: posts big blind " + s +
            "2\n"
            "*** HOLE CARDS ***\nHero: raises " +
            s + "4.50 to " + s + "6.50\nAnn: calls " + s +
            "4.50\n*** FLOP *** [Ad 8d Qh]\nAnn: bets " + s +
            "10.25\nHero: folds\n"
            "Uncalled bet (" +
            s + "10.25) returned to Ann\nAnn collected " + s +
            "12.35 from pot\n*** SUMMARY ***\nTotal pot " + s + "13 | Rake " + s +
            "0.65\n"
            "Seat 1: Hero (button) (small blind) folded on the Flop\n"
            "Seat 2: Ann (big blind) collected (" +
            s + "12.35)\n";
        std::vector<ReadResult> hands = ReadText(text);
        ASSERT_EQ(hands.size(), 1u);
        ASSERT_EQ(hands[0].result, 0) << hands[0].reason;
        const CHand& hand = *hands[0].hand;
        EXPECT_EQ(hand.smallBlind, 100);
        EXPECT_EQ(hand.bigBlind, 200);
        EXPECT_EQ(WonBy(hand, "Ann (NL)"), 1235);
        EXPECT_EQ(hand.returned[static_cast<std::size_t>(hand.PositionOf("Ann (NL)"))][1], 1025);
        EXPECT_EQ(Balance(hand), 65);
    }
}

TEST_F(TodayTest, HeaderForms) {
    const std::string rest =
        "\nTable 'T' 2-max Seat #1 is the button\nSeat 1: Hero ($5 in chips)\n"
        "Seat 2: Ann ($5 in chips)\nHero: posts small blind $1\nAnn: posts big blind $2\n"
        "*** HOLE CARDS ***\nHero: folds\nUncalled bet ($1) returned to Ann\n"
        "Ann collected $2 from pot\n*** SUMMARY ***\nTotal pot $2 | Rake $0\n"
        "Seat 2: Ann (big blind) collected ($2)\n\n";
    const struct {
        const char* header;
        std::uint64_t number;
        const char* reason;  // empty: read
    } cases[] = {
        {"PokerStars Hand #244265880496:  Hold'em No Limit ($1/$2 USD) - 2023/06/14 11:03:40 ET",
         244265880496, ""},
        {"PokerStars Zoom Hand #18446744073709551615:  Hold'em No Limit ($1/$2) - 2023/06/14 "
         "11:03:40 ET",
         18446744073709551615ull, ""},
        {"\xEF\xBB\xBFPokerStars Hand #7:  Hold'em Limit ($1/$2 USD) - 2023/06/14 11:03:40 ET", 7,
         ""},
        {"PokerStars Home Game Hand #9: {Club - A (1)}  Hold'em No Limit ($1/$2) - 2023/06/14 "
         "20:33:40 CET [2023/06/14 14:33:40 ET]",
         9, ""},
        {"PokerStars Hand #8:  Hold'em No Limit ($1/$2 USD) - 2023/06/14 20:33:40 CET", 8,
         "no Eastern date and time in the header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        std::vector<ReadResult> hands = ReadText(c.header + rest);
        ASSERT_EQ(hands.size(), 1u);
        EXPECT_EQ(hands[0].hand->handNumber, c.number);
        EXPECT_EQ(hands[0].reason, c.reason);
        if (*c.reason == '\0') {
            EXPECT_EQ(hands[0].result, 0);
            EXPECT_TRUE(hands[0].hand->potAwarded);
        }
    }
}

// Each test history read whole, as the parser tool prints every field of
// the hand record, against its golden file beside it: a change of one byte
// of the record shows. (A golden file is refreshed by running the tool the
// same way: TZ=UTC seatwatch-hh --room pokerstars NAME.txt in the folder.)
TEST_F(TodayTest, WholeRecordsMatchTheirGoldenFiles) {
    const fs::path tool = fs::path(SEATWATCH_BINARY_DIR) / "tools" / "seatwatch-hh";
    if (!fs::exists(tool)) GTEST_SKIP() << "the parser tool is not built at " << tool;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(kData)) {
        if (entry.path().extension() != ".txt") continue;
        SCOPED_TRACE(entry.path().filename().string());
        fs::path golden = entry.path();
        golden.replace_extension(".golden.json");
        std::ifstream in(golden, std::ios::binary);
        ASSERT_TRUE(in) << "no golden file " << golden;
        std::stringstream expected;
        expected << in.rdbuf();
        const std::string command = "cd '" + kData.string() + "' && TZ=UTC '" + tool.string() +
                                    "' --room pokerstars '" + entry.path().filename().string() +
                                    "'";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string actual;
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            actual.append(chunk, n);
        EXPECT_EQ(::pclose(pipe), 0);
        EXPECT_EQ(actual, expected.str());
        ++compared;
    }
    EXPECT_EQ(compared, 10);
}

// The name on the first "Dealt to" line of a file: its hero.
std::string HeroOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t at = line.find("Dealt to ");
        std::size_t cards = line.rfind(" [");
        if (at != std::string::npos && cards != std::string::npos && cards > at + 9)
            return line.substr(at + 9, cards - at - 9);
    }
    return "Hero";
}

// The rake of the hand in a file with one hand, as its summary states it.
std::int64_t StatedRake(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::string_view trimmed = hands::Trim(line);
        std::size_t rake = trimmed.find("| Rake ");
        if (!hands::StartsWith(trimmed, "Total pot ") || rake == std::string_view::npos) continue;
        std::size_t amount = rake + 7;
        if (hands::StartsWith(trimmed.substr(amount), "Rs. ")) amount += 4;
        return hands::ReadAmount(trimmed, amount);
    }
    return -1;
}

TEST_F(TodayTest, CorpusOfTodaysClient) {
    if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
    // Every file holds one hand; those that are not Texas Hold'em are
    // rejected for their game.
    const std::map<std::string, std::string> rejected = {
        {"6+Holdem-6max-USD-0.25-0.25.multiple.Cash.Out.txt",
         "not Texas Hold'em: 6+ (short-deck) Hold'em"},
        {"6+Holdem-6max-USD-0.50-0.50-201907.no.break.space.txt",
         "not Texas Hold'em: 6+ (short-deck) Hold'em"},
        {"6+Holdem-6max-USD-2.00-2.00-201904.walk.txt",
         "not Texas Hold'em: 6+ (short-deck) Hold'em"},
        {"6+Holdem-6max-USD-5.00-5.00-201901.txt", "not Texas Hold'em: 6+ (short-deck) Hold'em"},
        {"NLHE-Split-6max-USD-1.00-2.00-201803.txt",
         "not Texas Hold'em: Split Hold'em (two boards)"},
    };
    int files = 0;
    int complete = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::vector<ReadResult> hands = ReadFile(entry.path(), HeroOf(entry.path()));
        ASSERT_EQ(hands.size(), 1u);
        const ReadResult& read = hands[0];
        auto reject = rejected.find(name);
        if (reject != rejected.end()) {
            EXPECT_EQ(read.result, CHand::kParseRejected);
            EXPECT_EQ(read.reason, reject->second);
            continue;
        }
        ASSERT_EQ(read.result, 0) << read.reason;
        ASSERT_TRUE(read.hand->potAwarded);
        ++complete;
        EXPECT_GT(read.hand->handNumber, 0u);
        EXPECT_GT(read.hand->GetPlayerCount(), 1);
        EXPECT_GT(read.hand->dateTime, 1'100'000'000);
        const std::int64_t stated = StatedRake(entry.path());
        ASSERT_GE(stated, 0);
        // Tournaments and play money take no rake.
        if (read.hand->tournament || !read.hand->realMoney) {
            EXPECT_EQ(stated, 0);
        }
        EXPECT_EQ(Balance(*read.hand), stated) << read.hand->handNumber;
    }
    std::cout << files << " files: " << complete << " complete, " << files - complete
              << " rejected\n";
    EXPECT_EQ(complete, files - static_cast<int>(rejected.size()));
}

}  // namespace
