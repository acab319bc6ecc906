#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "hands/eastern_time.h"
#include "hands/hand_poker_stars.h"
#include "hands/parse_error.h"
#include "hands/stdio_file_custom.h"
#include "tests/hands/golden_util.h"

using namespace std::string_view_literals;

namespace {

// Pins the time zone for the duration of a test.
class ScopedTz {
public:
    explicit ScopedTz(const char* tz) {
        const char* old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        setenv("TZ", tz, 1);
        ReloadTimeZone();
    }
    ~ScopedTz() {
        if (hadOld_) {
            setenv("TZ", old_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        ReloadTimeZone();
    }

private:
    bool hadOld_ = false;
    std::string old_;
};

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

struct Parsed {
    int result;
    std::string reason;
    CHandPokerStars hand{"Hero"};
};

// Parses the first hand of `text` with hero "Hero".
void ParseText(const std::string& text, Parsed& out) {
    CStdioFileCustom reader;
    reader.OpenText(text);
    out.result = out.hand.ReadHand(reader);
    out.reason = out.hand.RejectReason();
}

// Parses every hand of `text`; returns the result codes in order.
std::vector<int> ParseAll(const std::string& text, std::vector<std::uint64_t>* numbers = nullptr) {
    CStdioFileCustom reader;
    reader.OpenText(text);
    std::vector<int> results;
    for (int guard = 0; guard < 100; ++guard) {
        CHandPokerStars hand("Hero");
        int result = hand.ReadHand(reader);
        if (result == CHand::kNoHandStart) break;
        results.push_back(result);
        if (numbers != nullptr) numbers->push_back(hand.handNumber);
    }
    return results;
}

const std::string kRingHand =
    "PokerStars Game #42875758685:  Hold'em No Limit ($0.05/$0.10 USD) - 2010/04/19 0:19:11 WET [2010/04/18 19:19:11 ET]\n"
    "Table 'gimick VI' 9-max Seat #4 is the button\n"
    "Seat 3: Player1 ($5.55 in chips) \n"
    "Seat 4: Hero ($2.40 in chips) \n"
    "Seat 8: Player2 ($3.90 in chips) \n"
    "Player2: posts small blind $0.05\n"
    "Player1: posts big blind $0.10\n"
    "*** HOLE CARDS ***\n"
    "Dealt to Hero [7d 8d]\n"
    "Hero: raises $0.30 to $0.40\n"
    "Player2: calls $0.35\n"
    "Player1: folds \n"
    "*** FLOP *** [2h 2d Qd]\n"
    "Player2: checks \n"
    "Hero: bets $0.60\n"
    "Player2: raises $0.60 to $1.20\n"
    "Hero: calls $0.60\n"
    "*** TURN *** [2h 2d Qd] [5d]\n"
    "Player2: bets $0.90\n"
    "Hero: calls $0.80 and is all-in\n"
    "Uncalled bet ($0.10) returned to Player2\n"
    "*** RIVER *** [2h 2d Qd 5d] [4d]\n"
    "*** SHOW DOWN ***\n"
    "Player2: shows [9d As] (a flush, Queen high)\n"
    "Hero: shows [7d 8d] (a flush, Queen high - lower cards)\n"
    "Player2 collected $4.70 from pot\n"
    "*** SUMMARY ***\n"
    "Total pot $4.90 | Rake $0.20 \n"
    "Board [2h 2d Qd 5d 4d]\n"
    "Seat 3: Player1 (big blind) folded before Flop\n"
    "Seat 4: Hero (button) showed [7d 8d] and lost with a flush, Queen high\n"
    "Seat 8: Player2 (small blind) showed [9d As] and won ($4.70) with a flush, Queen high\n"
    "\n";

TEST(HandPokerStarsTest, RingHandWhole) {
    ScopedTz tz("UTC");
    Parsed p;
    ParseText(kRingHand, p);
    ASSERT_EQ(p.result, 0) << p.reason;
    const CHandPokerStars& h = p.hand;
    EXPECT_TRUE(h.potAwarded);
    EXPECT_EQ(h.handNumber, 42875758685u);  // eleven digits, read whole
    EXPECT_EQ(h.tableName, "gimick VI");
    EXPECT_EQ(h.gameKind, 2);
    EXPECT_TRUE(h.realMoney);
    EXPECT_FALSE(h.tournament);
    EXPECT_EQ(h.buttonSeat, 4);
    EXPECT_EQ(h.dateTime, Utc(2010, 4, 18, 23, 19, 11));  // bracketed Eastern summer time + 4 h
    EXPECT_EQ(h.PositionOf("Hero (NL)"), 0);
    EXPECT_EQ(h.PositionOf("Player2 (NL)"), 4);
    EXPECT_EQ(h.PositionOf("Player1 (NL)"), 9);
    EXPECT_EQ(h.bigBlindName, "Player1 (NL)");
    EXPECT_EQ(h.flopCards, "[2h,2d,Qd]");
    EXPECT_EQ(h.turnCard, "[5d]");
    EXPECT_EQ(h.riverCard, "[4d]");
    EXPECT_EQ(h.heroCards, "[7d,8d]");
    EXPECT_EQ(h.holeCards[0], "[7d,8d]");
    EXPECT_EQ(h.holeCards[4], "[9d,As]");
    EXPECT_EQ(h.invested[0], 240);
    EXPECT_EQ(h.invested[4], 250);
    EXPECT_EQ(h.invested[9], 10);
    EXPECT_EQ(h.returned[4][2], 10);  // derived: the turn bet of 90 met a call of 80
    EXPECT_EQ(h.won[4], 470);
    EXPECT_TRUE(h.collected[4]);
    EXPECT_FALSE(h.wonAtShowdown[4]);  // no river action
    // Preflop: raise to 0.40 from the button (first in), the small blind's call.
    EXPECT_EQ(h.Actions(0, 0)[0].kind, kActionButton);
    EXPECT_EQ(h.Actions(0, 0)[1], CAction(kActionRaise, true, 40, false));
    EXPECT_EQ(h.Actions(4, 0)[1], CAction(kActionCall, false, 35, true));
    // Flop: check, bet, raise to 1.20 (amount 1.20, nothing in before), call.
    EXPECT_EQ(h.Actions(4, 1)[1], CAction(kActionRaise, false, 120, false));
    EXPECT_EQ(h.Actions(0, 1)[1], CAction(kActionCall, false, 60, true));
    EXPECT_EQ(h.GetPlayerCount(), 3);
}

TEST(HandPokerStarsTest, HeaderTimeLayouts) {
    struct Case {
        const char* header;
        CWallClock wall;
    };
    const Case cases[] = {
        {"PokerStars Game #1: Tournament #2, $5.00+$0.50 Hold'em No Limit - Level II (15/30) - 2007/10/15 - 05:34:03 (ET)",
         {2007, 10, 15, 5, 34, 3}},
        {"PokerStars Game #1:  Hold'em Limit ($1/$2 USD) - 2005/08/31 18:55:54 ET", {2005, 8, 31, 18, 55, 54}},
        {"PokerStars Game #1:  Hold'em Limit ($0.02/$0.04 USD) - 2010/08/20 5:01:22 MSK [2010/08/19 21:01:22 ET]",
         {2010, 8, 19, 21, 1, 22}},
        {"PokerStars Game #1:  Hold'em No Limit ($0.25/$0.50 - $10 Cap -  USD) - 2010/11/01 12:20:00 CET [2010/11/01 7:20:00 ET]",
         {2010, 11, 1, 7, 20, 0}},
        {"PokerStars Game #1: Tournament #2, $10+$1 USD Hold'em No Limit - Level IV (50/100) - 2005/12/16 21:02:28 ET",
         {2005, 12, 16, 21, 2, 28}},
        {"PokerStars Hand #1:  Hold'em No Limit ($0.01/$0.02) - 2020/01/02 3:04:05 ET", {2020, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        CWallClock wall = CHandPokerStars::ReadHeaderTime(c.header);
        EXPECT_EQ(wall.year, c.wall.year) << c.header;
        EXPECT_EQ(wall.month, c.wall.month) << c.header;
        EXPECT_EQ(wall.day, c.wall.day) << c.header;
        EXPECT_EQ(wall.hour, c.wall.hour) << c.header;
        EXPECT_EQ(wall.minute, c.wall.minute) << c.header;
        EXPECT_EQ(wall.second, c.wall.second) << c.header;
    }
    const char* rejected[] = {
        "PokerStars Game #1:  Hold'em Limit ($1/$2) - 2005/13/31 - 18:55:54 (ET)",   // month 13
        "PokerStars Game #1:  Hold'em Limit ($1/$2) - 2005/12/31 - 24:00:00 (ET)",   // hour 24
        "PokerStars Game #1:  Hold'em Limit ($1/$2) - 1899/12/31 - 10:00:00 (ET)",   // year
        "PokerStars Game #1:  Hold'em Limit ($1/$2) - 2005/12/31 18:55:54 CET",      // not Eastern
        "PokerStars Game #1:  Hold'em Limit ($1/$2) - 2005/12/31 18:61:54 ET",
        "PokerStars Game #1:  Hold'em Limit ($1/$2)",
        "PokerStars Game #1:  Hold'em Limit ($1/$2) - x [2010/08/19 21:01 ET]",
    };
    for (const char* header : rejected) EXPECT_THROW(CHandPokerStars::ReadHeaderTime(header), CParseError) << header;
}

TEST(HandPokerStarsTest, EasternTimeFollowsNewYorkOnEveryMachine) {
    // ET is the time of New York with the daylight saving of the hand's
    // date, whatever the machine's zone and season.
    const struct {
        CWallClock wall;
        std::int64_t utc;
    } cases[] = {
        {{2010, 8, 19, 21, 1, 22}, Utc(2010, 8, 20, 1, 1, 22)},  // summer: four hours
        {{2010, 1, 19, 21, 1, 22}, Utc(2010, 1, 20, 2, 1, 22)},  // winter: five
        // The rules before 2007: daylight saving from April to October.
        {{2006, 4, 1, 12, 0, 0}, Utc(2006, 4, 1, 17, 0, 0)},
        {{2006, 4, 2, 12, 0, 0}, Utc(2006, 4, 2, 16, 0, 0)},
        {{2006, 10, 29, 12, 0, 0}, Utc(2006, 10, 29, 17, 0, 0)},
        // Since 2007: from the second Sunday of March to the first of November.
        {{2007, 3, 11, 1, 59, 59}, Utc(2007, 3, 11, 6, 59, 59)},
        {{2007, 3, 11, 3, 0, 0}, Utc(2007, 3, 11, 7, 0, 0)},
        {{2007, 11, 4, 1, 30, 0}, Utc(2007, 11, 4, 5, 30, 0)},  // shown twice: the earlier
        {{2007, 11, 4, 2, 0, 0}, Utc(2007, 11, 4, 7, 0, 0)},
        {{2023, 6, 14, 11, 3, 40}, Utc(2023, 6, 14, 15, 3, 40)},
    };
    for (const char* zone : {"UTC", "America/New_York", "Europe/Berlin", "Asia/Kolkata"}) {
        ScopedTz tz(zone);
        for (const auto& c : cases) {
            EXPECT_EQ(EasternToUtc(c.wall), c.utc)
                << zone << " " << c.wall.year << "-" << c.wall.month << "-" << c.wall.day << " "
                << c.wall.hour << ":" << c.wall.minute;
        }
    }
}

TEST(HandPokerStarsTest, HeaderVariants) {
    ScopedTz tz("UTC");
    struct Case {
        std::string header;
        std::string tableLine;
        int gameKind;
        bool realMoney;
        bool tournament;
        std::uint64_t number;
    };
    const Case cases[] = {
        {"PokerStars Game #2467687491:  Hold'em Limit ($1/$2 USD) - 2005/08/31 18:55:54 ET",
         "Table 'Sekanina' Seat #1 is the button", 1, true, false, 2467687491u},
        {"PokerStars Game #123456789012345: Hold'em Pot Limit ($1/$2 USD) - 2005/08/31 18:55:54 ET",
         "Table 'Pot' 6-max Seat #1 is the button", 2, true, false, 123456789012345u},
        {"PokerStars Game #7: Tournament #1, 300+20 Hold'em No Limit - Level I (10/20) - 2011/04/05 4:00:18 CET [2011/04/04 22:00:18 ET]",
         "Table '382394766 1' 9-max Seat #1 is the button", 4, true, true, 7u},
        {"PokerStars Game #8: Tournament #1, 50FPP Hold'em Limit - Level I (20/40) - 2010/07/10 22:09:50 CET [2010/07/10 16:09:50 ET]",
         "Table '288463329 7' 9-max Seat #1 is the button", 3, true, true, 8u},
        {"PokerStars Game #9:  Hold'em No Limit (10/20) - 2010/07/10 16:09:50 ET",
         "Table 'Play' 9-max (Play Money) Seat #1 is the button", 4, false, false, 9u},
        {"PokerStars Game #10:  Hold'em Limit (10/20) - 2010/07/10 16:09:50 ET",
         "Table 'Play' 9-max (Play Money) Seat #1 is the button", 3, false, false, 10u},
        // A header continued on a second line is joined with a blank.
        {"PokerStars Game #11:  Hold'em No Limit ($0.25/$0.50 USD) -\n2008/01/07 - 22:59:37 (ET)",
         "Table 'Juno' 9-max Seat #1 is the button", 2, true, false, 11u},
    };
    for (const Case& c : cases) {
        std::string text = c.header + "\n" + c.tableLine + "\nSeat 1: Hero (1500 in chips)\n*** HOLE CARDS ***\n"
                           "Hero: checks\n*** SUMMARY ***\nSeat 1: Hero collected (0)\n";
        Parsed p;
        ParseText(text, p);
        ASSERT_EQ(p.result, 0) << c.header << ": " << p.reason;
        EXPECT_EQ(p.hand.gameKind, c.gameKind) << c.header;
        EXPECT_EQ(p.hand.realMoney, c.realMoney) << c.header;
        EXPECT_EQ(p.hand.tournament, c.tournament) << c.header;
        EXPECT_EQ(p.hand.handNumber, c.number) << c.header;
        EXPECT_TRUE(p.hand.potAwarded) << c.header;
    }
}

// A tournament hand with antes: the blinds are still recorded as blinds, the
// antes go to the extra posts, and a raise total counts neither the ante nor
// anything but the player's own blind.
const std::string kAnteHand =
    "PokerStars Game #12637565869: Tournament #63858762, $5.00+$0.50 Hold'em No Limit - Level XIX (1000/2000) - 2007/10/15 - 05:34:03 (ET)\n"
    "Table '63858762 18' 9-max Seat #1 is the button\n"
    "Seat 1: Alice (30000 in chips) \n"
    "Seat 2: Bob (30000 in chips) \n"
    "Seat 3: Hero (30000 in chips) \n"
    "Seat 4: Dan (30000 in chips) is sitting out\n"
    "Alice: posts the ante 100\n"
    "Bob: posts the ante 100\n"
    "Hero: posts the ante 100\n"
    "Dan: posts the ante 100\n"
    "Bob: posts small blind 1000\n"
    "Hero: posts big blind 2000\n"
    "*** HOLE CARDS ***\n"
    "Dealt to Hero [Ah Ad]\n"
    "Dan: folds \n"
    "Alice: raises 4000 to 6000\n"
    "Bob: folds \n"
    "Hero: raises 12000 to 18000\n"
    "Alice: calls 12000\n"
    "*** FLOP *** [2c 7d 9s]\n"
    "Hero: bets 11900 and is all-in\n"
    "Alice: folds \n"
    "Uncalled bet (11900) returned to Hero\n"
    "Hero collected 37400 from pot\n"
    "*** SUMMARY ***\n"
    "Total pot 37400 | Rake 0 \n"
    "Board [2c 7d 9s]\n"
    "Seat 1: Alice (button) folded on the Flop\n"
    "Seat 2: Bob (small blind) folded before Flop\n"
    "Seat 3: Hero (big blind) collected (37400)\n"
    "Seat 4: Dan folded before Flop (didn't bet)\n";

TEST(HandPokerStarsTest, AntesBlindsAndRaiseTotals) {
    ScopedTz tz("UTC");
    Parsed p;
    ParseText(kAnteHand, p);
    ASSERT_EQ(p.result, 0) << p.reason;
    const CHandPokerStars& h = p.hand;
    EXPECT_EQ(h.gameKind, 4);
    EXPECT_EQ(h.ante, 10000);
    EXPECT_EQ(h.smallBlind, 100000);
    EXPECT_EQ(h.bigBlind, 200000);
    EXPECT_EQ(h.extraPosts.Size(), 4u);
    EXPECT_EQ(h.dateTime, Utc(2007, 10, 15, 9, 34, 3));
    // Alice (button): raise to 6000 with only an ante in: 6000.
    EXPECT_EQ(h.Actions(0, 0)[1], CAction(kActionRaise, true, 600000, false));
    // Hero (big blind): raise to 18000 over his 2000 blind: 16000.
    EXPECT_EQ(h.Actions(2, 0)[1], CAction(kActionReraise, false, 1600000, false));
    EXPECT_EQ(h.invested[0], 10000 + 1800000);
    EXPECT_EQ(h.invested[2], 10000 + 1800000 + 1190000);
    EXPECT_EQ(h.returned[2][1], 1190000);
    EXPECT_EQ(h.GetPlayerCount(), 4);  // Dan posted an ante and folded
    // The money balances: invested - returned - won = 0 in a tournament.
    std::int64_t balance = 0;
    for (int position = 0; position < CHand::kPositions; ++position) {
        auto pos = static_cast<std::size_t>(position);
        balance += h.invested[pos] - h.won[pos];
        for (int street = 0; street < 4; ++street) balance -= h.returned[pos][static_cast<std::size_t>(street)];
    }
    EXPECT_EQ(balance, 0);
}

TEST(HandPokerStarsTest, ExtraBlindPosts) {
    ScopedTz tz("UTC");
    // A new player's big blind counts towards his raise total; the dead
    // small blind of a returning player does not.
    std::string text =
        "PokerStars Game #1:  Hold'em No Limit ($0.05/$0.10 USD) - 2009/11/25 6:21:05 ET\n"
        "Table 'May IV' 6-max Seat #1 is the button\n"
        "Seat 1: A ($10 in chips)\nSeat 2: B ($10 in chips)\nSeat 3: C ($10 in chips)\n"
        "Seat 4: D ($10 in chips)\nSeat 5: E ($10 in chips)\n"
        "B: posts small blind $0.05\nC: posts big blind $0.10\n"
        "D: posts big blind $0.10\nE: posts small & big blinds $0.15\n"
        "*** HOLE CARDS ***\n"
        "D: raises $0.20 to $0.30\n"
        "E: raises $0.60 to $0.90\n"
        "A: folds\nB: folds\nC: folds\nD: folds\n"
        "Uncalled bet ($0.60) returned to E\n"
        "E collected $0.80 from pot\n"
        "*** SUMMARY ***\nTotal pot $0.80 | Rake $0\n"
        "Seat 5: E collected ($0.80)\n";
    Parsed p;
    ParseText(text, p);
    ASSERT_EQ(p.result, 0) << p.reason;
    const CHandPokerStars& h = p.hand;
    EXPECT_EQ(h.Actions(3, 0).front().amount, 20);  // D: 30 - 10 live blind
    EXPECT_EQ(h.Actions(4, 0).front().amount, 80);  // E: 90 - 10 live of his 15
    EXPECT_EQ(h.invested[3], 30);
    EXPECT_EQ(h.invested[4], 95);
    // The stated uncalled bet; the 5 dead cents would make a derived one 65.
    EXPECT_EQ(h.returned[4][0], 60);
    EXPECT_EQ(h.Rake(), 140 - 80);
}

TEST(HandPokerStarsTest, CurrencySigns) {
    ScopedTz tz("UTC");
    struct Case {
        const char* what;
        std::string sign;
    };
    const Case cases[] = {{"dollar", "$"}, {"euro UTF-8", "\xE2\x82\xAC"}, {"pound UTF-8", "\xC2\xA3"},
                          {"euro 1252", "\x80"}, {"pound 1252", "\xA3"}};
    for (const Case& c : cases) {
        const std::string& s = c.sign;
        std::string text = "PokerStars Game #35602019775:  Hold'em No Limit (" + s + "0.05/" + s +
                           "0.10 EUR) - 2009/11/20 7:12:10 ET\n"
                           "Table 'Lampland' 6-max Seat #1 is the button\n"
                           "Seat 1: A (" + s + "2 in chips)\nSeat 2: B (" + s + "10 in chips)\n"
                           "A: posts small blind " + s + "0.05\nB: posts big blind " + s + "0.10\n"
                           "*** HOLE CARDS ***\nA: raises " + s + "0.20 to " + s + "0.30\nB: calls " + s +
                           "0.20\n*** FLOP *** [2c 3c 4c]\nB: bets " + s + "0.25\nA: folds\n"
                           "*** SUMMARY ***\nTotal pot " + s + "0.60 | Rake " + s + "0\n"
                           "Seat 2: B (big blind) collected (" + s + "0.85)\n";
        Parsed p;
        ParseText(text, p);
        ASSERT_EQ(p.result, 0) << c.what << ": " << p.reason;
        EXPECT_EQ(p.hand.smallBlind, 5) << c.what;
        EXPECT_EQ(p.hand.Actions(0, 0).back().amount, 25) << c.what;
        EXPECT_EQ(p.hand.Actions(1, 0).back().amount, 20) << c.what;
        EXPECT_EQ(p.hand.Actions(1, 1).back().amount, 25) << c.what;
        EXPECT_EQ(p.hand.won[1], 85) << c.what;
    }
}

TEST(HandPokerStarsTest, LineOperations) {
    CHandPokerStars hand("Hero");
    hand.gameKind = 1;
    hand.realMoney = true;
    struct NameCase {
        const char* line;
        const char* name;
    };
    const NameCase actors[] = {
        {"Seat 3: Player (button) (small blind) folded before Flop", "Player"},
        {"Seat 5: Player (big blind) collected ($4.50)", "Player"},
        {"Seat 2: hero showed [2c 4d] and won ($0.38) with a straight", "hero"},
        {"Seat 10: Mr. X: Y collected ($1)", "Mr. X: Y"},
        {"Player: calls $1", "Player"},
        {"a: b: folds", "a: b"},
        {"Returned uncalled bet to Somebody", "Somebody"},
        {"no colon at all", ""},
    };
    for (const NameCase& c : actors) EXPECT_EQ(hand.ParseActorName(c.line), c.name) << c.line;

    const NameCase shown[] = {
        {"Dealt to Hero [Ah Kd]", "Hero"},
        {"Seat 1: player1 (big blind) mucked [4h Jh]", "player1"},
        {"Seat 4: X (button) (small blind) showed [7d 8d] and lost", "X"},
        {"Seat 4: X (big blind) showed [7d 8d] and won ($1)", "X"},
        {"Player2: shows [9d As] (a flush, Queen high)", "Player2"},
    };
    for (const NameCase& c : shown) EXPECT_EQ(hand.ParseShownCards(c.line).name, c.name) << c.line;
    EXPECT_EQ(hand.ParseShownCards("Seat 1: p mucked [4h Jh]").cards, "[4h,Jh]");

    struct WonCase {
        const char* line;
        const char* name;
        std::int32_t amount;
    };
    const WonCase wins[] = {
        {"Seat 5: Player (big blind) collected ($4.50)", "Player", 450},
        {"Seat 2: hero showed [2c 4d] and won ($0.38) with a straight", "hero", 38},
        {"Seat 2: player2 (small blind) collected (120)", "player2", 12000},
        {"Seat 2: p collected", "p", 0},
    };
    for (const WonCase& c : wins) {
        auto won = hand.ParseWonAmount(c.line);
        EXPECT_EQ(won.name, c.name) << c.line;
        EXPECT_EQ(won.amount, c.amount) << c.line;
    }

    struct ActionCase {
        const char* line;
        int kind;
        std::int32_t amount;
    };
    const ActionCase lines[] = {
        {"P: folds", kActionFold, 0},
        {"P: checks", kActionCheck, 0},
        {"P: calls $0.02", kActionCall, 2},
        {"P: bets $1.50 and is all-in", kActionBet, 150},
        {"P: raises $1 to $2", kActionRaise, 200},
        {"P: raises $2 to $4", kActionReraise, 400},
        {"P said, \"folds\"", -1, 0},
        {"P: mucks hand", -1, 0},
    };
    for (const ActionCase& c : lines) {
        auto action = hand.ParseAction(c.line, 1);
        EXPECT_EQ(action.kind, c.kind) << c.line;
        EXPECT_EQ(action.amount, c.amount) << c.line;
    }
    EXPECT_THROW(hand.ParseAction("P: raises $1", 1), CParseError);
}

TEST(HandPokerStarsTest, ActionLinesOfEveryShape) {
    // Plain action lines, a name holding ": ", names with the capitals that
    // begin "Returned uncalled" and "Table Closed", and a player missing
    // from the seat list who acts after a seated one and is placed after
    // him.
    ScopedTz tz("UTC");
    std::string text =
        "PokerStars Game #7: Hold'em No Limit ($0.05/$0.10 USD) - 2009/11/25 6:21:05 ET\n"
        "Table 'T' 9-max Seat #1 is the button\n"
        "Seat 1: Hero ($5 in chips) \n"
        "Seat 3: Table Rob ($5 in chips) \n"
        "Seat 5: Bee ($5 in chips) \n"
        "Seat 7: Mr: X ($5 in chips) \n"
        "Table Rob: posts small blind $0.05\n"
        "Bee: posts big blind $0.10\n"
        "*** HOLE CARDS ***\n"
        "Dealt to Hero [Ah Kd]\n"
        "Mr: X: calls $0.10\n"
        "Hero: calls $0.10\n"
        "Ghost: raises $0.20 to $0.30\n"
        "Table Rob: calls $0.25\n"
        "Bee: calls $0.20\n"
        "Mr: X: calls $0.20\n"
        "Hero: calls $0.20\n"
        "*** FLOP *** [2h 7d Qc]\n"
        "Table Rob: checks \n"
        "Bee: bets $0.50\n"
        "Mr: X: folds \n"
        "Hero: folds \n"
        "Ghost: mucks hand \n"
        "Ghost: folds \n"
        "Table Rob: folds \n"
        "Uncalled bet ($0.50) returned to Bee\n"
        "Bee collected $1.50 from pot\n"
        "*** SUMMARY ***\n"
        "Total pot $1.50 | Rake $0 \n"
        "Seat 5: Bee (big blind) collected ($1.50)\n"
        "\n";
    Parsed parsed;
    ParseText(text, parsed);
    ASSERT_EQ(parsed.result, 0) << parsed.reason;
    const CHandPokerStars& hand = parsed.hand;
    EXPECT_EQ(hand.PositionOf("Hero (NL)"), 0);
    EXPECT_EQ(hand.PositionOf("Ghost (NL)"), 1);
    EXPECT_EQ(hand.PositionOf("Table Rob (NL)"), 2);
    EXPECT_EQ(hand.PositionOf("Bee (NL)"), 4);
    EXPECT_EQ(hand.PositionOf("Mr: X (NL)"), 6);
    auto kinds = [&](int position, int street) {
        std::vector<std::pair<int, std::int32_t>> out;
        for (const CAction& action : hand.Actions(position, street)) out.emplace_back(action.kind, action.amount);
        return out;
    };
    using List = std::vector<std::pair<int, std::int32_t>>;
    EXPECT_EQ(kinds(0, 0), (List{{kActionButton, 0}, {kActionCall, 10}, {kActionCall, 20}}));
    EXPECT_EQ(kinds(1, 0), (List{{kActionRaise, 30}}));
    EXPECT_EQ(kinds(2, 0), (List{{kActionSmallBlind, 5}, {kActionCall, 25}}));
    EXPECT_EQ(kinds(4, 0), (List{{kActionBigBlind, 10}, {kActionCall, 20}}));
    EXPECT_EQ(kinds(6, 0), (List{{kActionCall, 10}, {kActionCall, 20}}));
    EXPECT_EQ(kinds(2, 1), (List{{kActionCheck, 0}, {kActionFold, 0}}));
    EXPECT_EQ(kinds(4, 1), (List{{kActionBet, 50}}));
    EXPECT_EQ(kinds(1, 1), (List{{kActionFold, 0}}));
    EXPECT_EQ(hand.returned[4][1], 50);
    EXPECT_EQ(hand.won[4], 150);
}

TEST(HandPokerStarsTest, SeatNames) {
    ScopedTz tz("UTC");
    std::string text =
        "PokerStars Game #1: Tournament #2, $10+$1 USD Hold'em No Limit - Level IV (50/100) - 2005/12/16 21:02:28 ET\n"
        "Table '16609627 1' Seat #1 is the button\n"
        "Seat 1: Hero (950 in chips) \n"
        "Seat 2: Mr (Big) Time (1865 in chips) is sitting out\n"
        "Seat 4: OverTheWell (280030 in chips) out of hand (moved from another table into small blind)\n"
        "Seat 5: Quiet sits out\n"
        "Seat 6: Bob (100 in chips)\n"
        "Seat 6: Carl (200 in chips)\n"
        "*** HOLE CARDS ***\n*** SUMMARY ***\n";
    Parsed p;
    ParseText(text, p);
    ASSERT_EQ(p.result, 0) << p.reason;
    std::vector<std::string> names;
    p.hand.NamesByPosition(names, true);
    EXPECT_EQ(names, (std::vector<std::string>{"Hero (T-NL)", "Mr (Big) Time (T-NL)", "", "OverTheWell (T-NL)",
                                               "Quiet (T-NL)", "Carl (T-NL)", "", "", "", ""}));
    EXPECT_FALSE(p.hand.potAwarded);
}

TEST(HandPokerStarsTest, RejectedHands) {
    ScopedTz tz("UTC");
    const std::string head = "PokerStars Game #5:  Hold'em Limit ($1/$2 USD) - 2005/08/31 18:55:54 ET\n";
    const std::string table = "Table 'T' Seat #1 is the button\n";
    const std::string seats = "Seat 1: Hero ($5 in chips)\nSeat 2: Bob ($5 in chips)\n";
    struct Case {
        const char* what;
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"not Hold'em", "PokerStars Game #5:  Omaha Limit ($1/$2 USD) - 2005/08/31 18:55:54 ET\n" + table,
         "not a Hold'em hand"},
        {"bad table line", head + "Table T Seat #1\n\n", "table line does not begin with \"Table '\""},
        {"button seat", head + "Table 'T' Seat #0 is the button\n", "button seat out of range"},
        {"seat number", head + table + "Seat 11: X ($1 in chips)\n", "seat number out of range"},
        {"other hero", head + table + seats + "*** HOLE CARDS ***\nDealt to Bob [Ah Kd]\n",
         "cards dealt to a player other than the hero"},
        {"stranger on the flop", head + table + seats + "*** HOLE CARDS ***\n*** FLOP *** [2c 3c 4c]\nZed: checks\n",
         "action by a player who is not seated"},
        {"no summary", head + table + seats + "*** HOLE CARDS ***\n*** SHOW DOWN ***\nHero: shows [Ah Kd]\n",
         "hand ends before its summary"},
        {"huge amount", head + table + seats + "*** HOLE CARDS ***\nHero: bets $99999999999\n", "amount out of range"},
    };
    for (const Case& c : cases) {
        Parsed p;
        ParseText(c.text, p);
        EXPECT_EQ(p.result, CHand::kParseRejected) << c.what;
        EXPECT_EQ(p.reason, c.reason) << c.what;
    }
}

TEST(HandPokerStarsTest, TruncatedHandsGiveTheirCodes) {
    ScopedTz tz("UTC");
    // Cut the ring hand after every line; each prefix gives the code of the
    // section it ends in.
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < kRingHand.size()) {
        std::size_t end = kRingHand.find('\n', start);
        lines.push_back(kRingHand.substr(start, end - start + 1));
        start = end + 1;
    }
    std::string prefix;
    std::vector<int> codes;
    for (const std::string& line : lines) {
        Parsed p;
        ParseText(prefix, p);
        codes.push_back(p.result);
        prefix += line;
    }
    const std::vector<int> expected = {
        -101, -202, -202, -202, -202, -202, -202, -202,  // up to the hole cards
        -301, -301, -301, -301, -301,                    // preflop
        -401, -401, -401, -401, -401,                    // flop
        -501, -501, -501, -501, -501,                    // turn and river
        -1, -1, -1, -1,                                  // show down without a summary
        0, 0, 0, 0, 0, 0};
    EXPECT_EQ(codes, expected);
}

TEST(HandPokerStarsTest, BadInputIsRejectedAndReadingGoesOn) {
    ScopedTz tz("UTC");
    const std::string cut = kRingHand.substr(0, kRingHand.find("Hero: calls $0.60") + 12);  // mid-line
    struct Case {
        const char* what;
        std::string text;
        std::vector<int> results;
    };
    const Case cases[] = {
        {"garbage before", std::string("\x01\xFF\xFE garbage \0\0 line\n"sv) + kRingHand, {0}},
        {"hand cut mid-line, next hand follows", cut + "\n" + kRingHand, {-401, 0}},
        {"hand cut without line end, next hand follows", cut + kRingHand, {-401, 0}},
        {"header only", kRingHand.substr(0, kRingHand.find('\n') + 1) + kRingHand, {-202, 0}},
        {"1 MB line inside", kRingHand.substr(0, kRingHand.find("Player1: folds")) + std::string(1 << 20, 'x') +
                                 "\n" + kRingHand.substr(kRingHand.find("Player1: folds")) + kRingHand,
         {0, 0}},
        {"NUL bytes in names", [] {
             std::string t = kRingHand;
             for (std::size_t at = t.find("Player2"); at != std::string::npos; at = t.find("Player2", at + 1)) t[at + 3] = '\0';
             return t;
         }(), {0}},
        {"1 MB name", [] {
             std::string t = kRingHand;
             std::string big(1 << 20, 'n');
             for (std::size_t at = t.find("Player1"); at != std::string::npos; at = t.find("Player1", at + big.size())) t.replace(at, 7, big);
             return t;
         }(), {0}},
        {"binary only", std::string("\0\xFF\n\n\x80\x80\r\n"sv), {}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint64_t> numbers;
        EXPECT_EQ(ParseAll(c.text, &numbers), c.results) << c.what;
    }
}

TEST(HandPokerStarsTest, SummaryAtEndOfFileWithoutBlankLine) {
    ScopedTz tz("UTC");
    std::string text = kRingHand.substr(0, kRingHand.size() - 2);  // no last line end, no blank line
    Parsed p;
    ParseText(text, p);
    EXPECT_EQ(p.result, 0);
    EXPECT_TRUE(p.hand.potAwarded);
    EXPECT_EQ(p.hand.won[4], 470);
}

TEST(HandPokerStarsTest, WholeRecordsMatchGolden) {
    ScopedTz tz("UTC");
    roomtest::ExpectGoldenHands(
        "pokerstars",
        {{"ring", kRingHand},
         {"antes", kAnteHand},
         {"cancelled", "", "Hero", "tests/data/faults/pokerstars/cancelled_hand.txt"},
         {"second-dealt-to", "", "Hero", "tests/data/faults/pokerstars/second_dealt_to.txt"},
         {"single-card", "", "Hero", "tests/data/faults/pokerstars/single_card_shown.txt"},
         {"cut-show", "", "Hero", "tests/data/faults/pokerstars/cut_in_showed_line.txt"}},
        "poker_stars");
}

TEST(HandPokerStarsTest, APlayerNamedLikeASeatPostsTheFirstBlind) {
    // "Seat Filler: posts small blind" right after the seat list is a post.
    std::string text = kRingHand;
    std::size_t at;
    while ((at = text.find("Player2")) != std::string::npos) text.replace(at, 7, "Seat Filler");
    Parsed parsed;
    ParseText(text, parsed);
    ASSERT_EQ(parsed.result, 0) << parsed.reason;
    const int position = parsed.hand.PositionOf("Seat Filler (NL)");
    EXPECT_EQ(position, 4);
    EXPECT_EQ(parsed.hand.won[position], 470);
}

}  // namespace
