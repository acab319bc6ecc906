#include "tools/history_simulator.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "analysis/net_result.h"
#include "hands/hand_factory.h"
#include "hands/stdio_file_custom.h"
#include "tests/rooms/rooms_test_support.h"
#include "tools/poker_stars_history_writer.h"

namespace {

using rooms_test::ScratchFolder;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Plays `count` hands and returns them by hand number.
std::map<std::uint64_t, sim::PlayedHand> Play(
    const std::string& folder, std::uint64_t seed, int count, int tables = 3, int players = 6,
    sim::HistoryFamily family = sim::HistoryFamily::kPokerStars) {
    sim::SimulatorOptions options;
    options.family = family;
    options.folder = folder;
    options.seed = seed;
    options.tables = tables;
    options.players = players;
    sim::HistorySimulator simulator(options);
    std::map<std::uint64_t, sim::PlayedHand> hands;
    sim::WrittenHand written;
    std::string error;
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(simulator.PlayNext(1291500000 + i * 30, written, error)) << error;
        hands[written.hand.number] = written.hand;
    }
    return hands;
}

// The kind the parsers record for a played action. An all-in may be read
// as a call, bet or raise: some formats leave that to the parser.
constexpr int kAnyBet = -2;
int KindOf(const sim::HandEvent& event) {
    if (event.allIn) return kAnyBet;
    switch (event.kind) {
        case sim::EventKind::kSmallBlind:
            return kActionSmallBlind;
        case sim::EventKind::kBigBlind:
            return kActionBigBlind;
        case sim::EventKind::kFold:
            return kActionFold;
        case sim::EventKind::kCheck:
            return kActionCheck;
        case sim::EventKind::kCall:
            return kActionCall;
        case sim::EventKind::kBet:
            return kActionBet;
        default:
            return kActionRaise;
    }
}

// The parsed actions of `position` are the player's actions as played,
// street by street: the blinds, then every fold, check, call, bet and raise
// with the money it put in.
void ExpectSameActions(const CHand& hand, int position, const sim::PlayedHand& truth, int player) {
    std::vector<sim::Money> committed(truth.players.size(), 0);
    std::array<std::vector<std::pair<int, sim::Money>>, 4> played;
    for (const sim::HandEvent& event : truth.events) {
        if (event.kind == sim::EventKind::kStreet) {
            std::fill(committed.begin(), committed.end(), 0);
            continue;
        }
        const std::size_t p = static_cast<std::size_t>(event.player);
        if (event.kind == sim::EventKind::kReturned) {
            committed[p] -= event.amount;
            continue;
        }
        const sim::Money paid =
            event.kind == sim::EventKind::kRaise ? event.raiseTo - committed[p] : event.amount;
        committed[p] += paid;
        if (event.player == player) {
            played[static_cast<std::size_t>(event.street)].push_back({KindOf(event), paid});
        }
    }
    for (std::size_t street = 0; street < played.size(); ++street) {
        std::vector<std::pair<int, sim::Money>> parsed;
        for (const CAction& action : hand.Actions(position, static_cast<int>(street))) {
            if (action.kind == kActionButton || action.kind == kActionUncalledBet) continue;
            int kind = action.kind == kActionReraise ? kActionRaise : action.kind;
            const std::size_t i = parsed.size();
            if (kind >= kActionCall && kind <= kActionRaise && i < played[street].size() &&
                played[street][i].first == kAnyBet) {
                kind = kAnyBet;
            }
            parsed.push_back({kind, action.amount});
        }
        EXPECT_EQ(parsed, played[street])
            << truth.players[static_cast<std::size_t>(player)].name << " on street " << street;
    }
}

// Every simulated hand is read complete by the room's real parser, and
// what it reads adds up to what was played: each player's result to the
// cent, the pot less the rake.
void CheckParsedAgainstPlayed(const std::string& folder,
                              const std::map<std::uint64_t, sim::PlayedHand>& played,
                              sim::HistoryFamily family = sim::HistoryFamily::kPokerStars,
                              bool compareActions = false) {
    static const std::map<sim::HistoryFamily, const char*> kParsers{
        {sim::HistoryFamily::kPokerStars, "pokerstars"},
        {sim::HistoryFamily::kFullTilt, "fulltilt"},
        {sim::HistoryFamily::kAbsolutePoker, "absolute"},
        {sim::HistoryFamily::kPartyPoker, "party"},
        {sim::HistoryFamily::kInterPoker, "interpoker"},
        {sim::HistoryFamily::kTruePoker, "truepoker"},
    };
    const char* parser = kParsers.at(family);
    std::set<std::uint64_t> seen;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        CStdioFileCustom reader;
        ASSERT_TRUE(reader.Open(entry.path().string()));
        reader.SetTextEnd(TextEnd::kComplete);
        HandParserOptions parserOptions;
        parserOptions.filePath = entry.path().string();
        for (;;) {
            std::unique_ptr<CHand> hand = CreateHandParser(parser, "SeatwatchUser", parserOptions);
            const int result = hand->ReadHand(reader);
            if (result == CHand::kNoHandStart) break;
            ASSERT_EQ(result, CHand::kParseOk) << hand->RejectReason();
            ASSERT_TRUE(hand->potAwarded) << hand->handNumber;
            const auto it = played.find(hand->handNumber);
            ASSERT_NE(it, played.end()) << hand->handNumber;
            const sim::PlayedHand& truth = it->second;
            SCOPED_TRACE(sim::HistoryText(family, truth));
            EXPECT_TRUE(seen.insert(hand->handNumber).second);
            EXPECT_EQ(hand->tableName, truth.table);
            EXPECT_FALSE(hand->heroCards.empty());
            std::int64_t sum = 0;
            for (std::size_t p = 0; p < truth.players.size(); ++p) {
                const int position = hand->PositionOf(truth.players[p].name + " (NL)");
                ASSERT_GE(position, 0) << truth.players[p].name;
                const std::int64_t net = analysis::NetResult(*hand, position);
                EXPECT_EQ(net, truth.won[p] - truth.invested[p]) << truth.players[p].name;
                sum += net;
                if (compareActions) ExpectSameActions(*hand, position, truth, static_cast<int>(p));
            }
            EXPECT_EQ(sum, -truth.rake);
        }
    }
    EXPECT_EQ(seen.size(), played.size());
}

TEST(HistorySimulator, EveryHandParsesCompleteAndTheMoneyBalances) {
    ScratchFolder folder;
    const auto played = Play(folder.Path(), 11, 600);
    ASSERT_EQ(played.size(), 600u);
    CheckParsedAgainstPlayed(folder.Path(), played);
    // The run covers the shapes worth checking.
    int showdowns = 0, sidePots = 0, splits = 0, allIns = 0, returned = 0;
    for (const auto& [number, hand] : played) {
        showdowns += hand.showdown;
        sidePots += hand.pots.size() > 1;
        for (const sim::PotAward& pot : hand.pots) splits += pot.shares.size() > 1;
        for (const sim::HandEvent& event : hand.events) {
            allIns += event.allIn;
            returned += event.kind == sim::EventKind::kReturned;
        }
    }
    EXPECT_GT(showdowns, 30);
    EXPECT_GT(sidePots, 0);
    EXPECT_GT(splits, 0);
    EXPECT_GT(allIns, 10);
    EXPECT_GT(returned, 100);
}

TEST(HistorySimulator, FullTiltHistoriesParseCompleteAndBalanceToo) {
    for (int players : {2, 6, 9}) {
        SCOPED_TRACE(players);
        ScratchFolder folder;
        const auto played =
            Play(folder.Path(), 20 + players, 300, 2, players, sim::HistoryFamily::kFullTilt);
        CheckParsedAgainstPlayed(folder.Path(), played, sim::HistoryFamily::kFullTilt);
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            EXPECT_EQ(entry.path().filename().string().rfind("FT", 0), 0u);
            EXPECT_EQ(ReadAll(entry.path()).rfind("Full Tilt Poker Game #", 0), 0u)
                << "no byte-order mark";
        }
    }
    EXPECT_EQ(sim::FindHistoryFamily("FullTilt"), sim::HistoryFamily::kFullTilt);
    EXPECT_EQ(sim::FindHistoryFamily("Absolute"), sim::HistoryFamily::kAbsolutePoker);
    EXPECT_EQ(sim::FindHistoryFamily("party"), std::nullopt);
}

TEST(HistorySimulator, AbsolutePokerHistoriesParseCompleteAndBalanceToo) {
    for (int players : {2, 6, 9}) {
        SCOPED_TRACE(players);
        ScratchFolder folder;
        const auto played =
            Play(folder.Path(), 40 + players, 300, 2, players, sim::HistoryFamily::kAbsolutePoker);
        CheckParsedAgainstPlayed(folder.Path(), played, sim::HistoryFamily::kAbsolutePoker);
    }
}

// The PartyPoker, InterPoker and TruePoker formats: every hand parses
// complete with the project's parser, each player's actions and result as
// played, at short, middling and full tables.
TEST(HistorySimulator, PartyInterAndTruePokerHistoriesReadBackHandForHand) {
    const struct {
        sim::HistoryFamily family;
        const char* name;
        const char* firstLine;
    } families[] = {
        {sim::HistoryFamily::kPartyPoker, "partypoker", "Game #"},
        {sim::HistoryFamily::kInterPoker, "interpoker", "Game #"},
        {sim::HistoryFamily::kTruePoker, "truepoker", "Game Started on "},
    };
    for (const auto& f : families) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(sim::FindHistoryFamily(f.name), f.family);
        for (int players : {2, 6, 9}) {
            SCOPED_TRACE(players);
            ScratchFolder folder;
            const auto played = Play(folder.Path(), 60 + players, 300, 2, players, f.family);
            CheckParsedAgainstPlayed(folder.Path(), played, f.family, true);
            int files = 0;
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
                ++files;
                EXPECT_EQ(ReadAll(entry.path()).rfind(f.firstLine, 0), 0u);
            }
            EXPECT_GE(files, 2);
        }
    }
}

TEST(HistorySimulator, ShortAndFullTablesParseToo) {
    for (int players : {2, 3, 9}) {
        SCOPED_TRACE(players);
        ScratchFolder folder;
        const auto played = Play(folder.Path(), 5 + players, 200, 2, players);
        CheckParsedAgainstPlayed(folder.Path(), played);
    }
}

TEST(HistorySimulator, TheSameSeedWritesTheSameHistories) {
    ScratchFolder a;
    ScratchFolder b;
    Play(a.Path(), 42, 50);
    Play(b.Path(), 42, 50);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(a.Path())) {
        ++files;
        EXPECT_EQ(ReadAll(entry.path()),
                  ReadAll(std::filesystem::path(b.Path()) / entry.path().filename()));
    }
    EXPECT_EQ(files, 3);
}

TEST(HistorySimulator, ARunResumedWithItsSeedGoesOnWhereTheFirstStopped) {
    ScratchFolder whole;
    ScratchFolder parts;
    Play(whole.Path(), 9, 30);
    sim::SimulatorOptions options;
    options.folder = parts.Path();
    options.seed = 9;
    {
        sim::HistorySimulator first(options);
        sim::WrittenHand written;
        std::string error;
        for (int i = 0; i < 12; ++i)
            ASSERT_TRUE(first.PlayNext(1291500000 + i * 30, written, error));
    }
    sim::HistorySimulator second(options);
    for (int i = 0; i < 12; ++i) second.SkipNext(0);
    sim::WrittenHand written;
    std::string error;
    for (int i = 12; i < 30; ++i) ASSERT_TRUE(second.PlayNext(1291500000 + i * 30, written, error));
    for (const auto& entry : std::filesystem::directory_iterator(whole.Path())) {
        EXPECT_EQ(ReadAll(entry.path()),
                  ReadAll(std::filesystem::path(parts.Path()) / entry.path().filename()));
    }
}

TEST(HistorySimulator, HandsAreAppendedWholeAfterOneByteOrderMark) {
    ScratchFolder folder;
    const std::filesystem::path file = std::filesystem::path(folder.Path()) / "HH.txt";
    std::string error;
    const auto mark = sim::ByteOrderMark::kUtf8;
    ASSERT_TRUE(sim::AppendWhole(file, "first\r\n\r\n\r\n", mark, error)) << error;
    ASSERT_TRUE(sim::AppendWhole(file, "second\r\n\r\n\r\n", mark, error)) << error;
    EXPECT_EQ(ReadAll(file),
              "\xEF\xBB\xBF"
              "first\r\n\r\n\r\nsecond\r\n\r\n\r\n");
    EXPECT_FALSE(
        sim::AppendWhole(std::filesystem::path(folder.Path()) / "no" / "such", "x", mark, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(HistorySimulator, EachHandEndsWithItsBlankLines) {
    ScratchFolder folder;
    const auto played = Play(folder.Path(), 3, 20, 1);
    const std::string text = ReadAll(std::filesystem::path(folder.Path()) /
                                     sim::PokerStarsFileName(played.begin()->second));
    EXPECT_EQ(text.rfind("\r\n\r\n\r\n"), text.size() - 6);
    EXPECT_EQ(text.find("\n\r\n\r\n\r\nPokerStars Game #") == std::string::npos, false);
}

TEST(PokerStarsHistoryWriter, EasternTimeFollowsTheUsDaylightRules) {
    const struct {
        std::int64_t utc;
        const char* text;
    } cases[] = {
        {1267841411, "2010/03/05 21:10:11 ET"},  // winter: UTC-5
        {1268549999, "2010/03/14 01:59:59 ET"},  // last second of standard time
        {1268550000, "2010/03/14 03:00:00 ET"},  // daylight time begins
        {1289109599, "2010/11/07 01:59:59 ET"},  // last second of daylight time
        {1289109600, "2010/11/07 01:00:00 ET"},  // standard time again
        {1798761600, "2026/12/31 19:00:00 ET"},  // New Year in UTC, still the old year
    };
    for (const auto& c : cases) EXPECT_EQ(sim::EasternTimeText(c.utc), c.text) << c.utc;
}

TEST(PokerStarsHistoryWriter, MoneyAndFileNames) {
    EXPECT_EQ(sim::DollarText(5), "$0.05");
    EXPECT_EQ(sim::DollarText(140), "$1.40");
    EXPECT_EQ(sim::DollarText(1000), "$10");
    sim::PlayedHand hand;
    hand.table = "Alcyone III";
    hand.smallBlind = 5;
    hand.bigBlind = 10;
    hand.startTime = 1267841411;
    EXPECT_EQ(sim::PokerStarsFileName(hand),
              "HH20100305 Alcyone III - $0.05-$0.10 - USD No Limit Hold'em.txt");
    // A table name never reaches another folder.
    for (const char* hostile : {"../../etc/x", "a\\b:c", "..", "bad\nname"}) {
        hand.table = hostile;
        const std::string name = sim::PokerStarsFileName(hand);
        EXPECT_EQ(name.find_first_of("/\\:\n"), std::string::npos) << name;
        EXPECT_NE(name.substr(0, 5), "HH..") << name;
    }
}

}  // namespace
