#include "rooms/intake_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/hand_reference.h"
#include "platform/clock.h"
#include "platform/memory_profile.h"
#include "rooms/poker_room_profile_party_poker.h"
#include "tests/rooms/rooms_test_support.h"
#include "tests/rooms/stars_history.h"

namespace {

using namespace rooms_test;

const char* OutcomeName(IntakeOutcome outcome) {
    switch (outcome) {
        case IntakeOutcome::kRan:
            return "ran";
        case IntakeOutcome::kBusy:
            return "busy";
        case IntakeOutcome::kTooSoon:
            return "too soon";
        case IntakeOutcome::kOutOfTurn:
            return "out of turn";
    }
    return "?";
}

// A session of `roomId` for the user "Hero" (PokerStars: "SeatwatchUser")
// over `folder`, on a manual clock at the real time (the files are new).
struct SessionRig {
    SessionRig(int roomId, const std::string& folder, std::vector<std::string> historical = {}) {
        IntakeSessionSettings start;
        start.roomId = roomId;
        start.nickname = Nickname(roomId);
        start.loggingFolder = folder;
        start.historicalFolders = std::move(historical);
        session = std::make_unique<CIntakeSession>(settings, reference, clock, start);
    }
    static std::string Nickname(int roomId) { return roomId == 113 ? "SeatwatchUser" : "Hero"; }

    platform::ManualClock clock{Now()};
    platform::MemoryProfile settings;
    CHandReference reference;
    std::unique_ptr<CIntakeSession> session;
};

TEST(IntakeSession, RoomWithoutProfileIsRefused) {
    platform::ManualClock clock;
    platform::MemoryProfile settings;
    CHandReference reference;
    IntakeSessionSettings start;
    start.roomId = 106;  // Eurobet: no hand histories
    EXPECT_THROW(CIntakeSession(settings, reference, clock, start), std::invalid_argument);
}

// The PartyPoker time-zone setting: a zone in range is used, anything else
// (not a number, out of range) reads as the computer's own zone.
TEST(IntakeSession, PartyTimeZoneOutOfRangeReadsAsTheComputersZone) {
    const struct {
        const char* entry;
        int zone;
    } cases[] = {{"3", 3},   {"-11", -11},   {"15", 15},   {"16", -100},  {"-12", -100},
                 {"", -100}, {"east", -100}, {"2h", -100}, {"-100", -100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        platform::ManualClock clock;
        platform::MemoryProfile settings;
        ASSERT_TRUE(settings.WriteString("Config", "TimeZone", c.entry));
        CHandReference reference;
        IntakeSessionSettings start;
        start.roomId = 101;  // Party Poker
        start.nickname = "Hero";
        CIntakeSession session(settings, reference, clock, start);
        auto* party = dynamic_cast<CPokerRoomProfilePartyPoker*>(&session.RoomProfile());
        ASSERT_NE(party, nullptr);
        EXPECT_EQ(party->timeZone, c.zone);
    }
}

TEST(IntakeSession, StepsRunInTurnAndLivePassesKeepTheirSpacing) {
    ScratchFolder folder;
    WriteFile(folder / "HH.txt", StarsHandWithGap(1));
    SessionRig rig(113, folder.Path());
    CIntakeSession& session = *rig.session;
    const struct {
        const char* what;
        std::function<IntakeStepResult()> step;
        std::int64_t advanceMsBefore;
        IntakeOutcome outcome;
        int handsAdded;
    } steps[] = {
        {"live pass before the first loading", [&] { return session.LivePass(); }, 0,
         IntakeOutcome::kOutOfTurn, 0},
        {"first loading", [&] { return session.FirstLoading(); }, 0, IntakeOutcome::kRan, 1},
        {"second first loading", [&] { return session.FirstLoading(); }, 0,
         IntakeOutcome::kOutOfTurn, 0},
        {"live pass at once", [&] { return session.LivePass(); }, 0, IntakeOutcome::kTooSoon, 0},
        {"live pass 1.999 s later", [&] { return session.LivePass(); }, 1999,
         IntakeOutcome::kTooSoon, 0},
        {"live pass 2 s later", [&] { return session.LivePass(); }, 1, IntakeOutcome::kRan, 0},
        {"hand appended, 1 s later",
         [&] {
             AppendFile(folder / "HH.txt", StarsHandWithGap(2));
             return session.LivePass();
         },
         1000, IntakeOutcome::kTooSoon, 0},
        {"2 s after the last pass", [&] { return session.LivePass(); }, 1000, IntakeOutcome::kRan,
         1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        rig.clock.Advance(s.advanceMsBefore);
        const IntakeStepResult result = s.step();
        EXPECT_STREQ(OutcomeName(result.outcome), OutcomeName(s.outcome));
        EXPECT_EQ(result.handsAdded, s.handsAdded);
    }
    EXPECT_TRUE(session.IsLive());
    EXPECT_EQ(session.NewHands(), 1);
    EXPECT_EQ(session.FileCount(), 1);
    EXPECT_EQ(session.Analyzer().HandCount(), 2u);
}

TEST(IntakeSession, StepsAskedForFromTheMessagePumpAreRefused) {
    ScratchFolder folder;
    WriteFile(folder / "HH.txt", StarsHandWithGap(1) + StarsHandWithGap(2));
    SessionRig rig(113, folder.Path());
    CIntakeSession& session = *rig.session;
    std::vector<IntakeOutcome> nested;
    session.SetMessagePump([&] {
        // A timer message delivered while a step reads or folds hands.
        nested.push_back(session.LivePass().outcome);
        nested.push_back(session.FirstLoading().outcome);
    });
    EXPECT_EQ(session.FirstLoading().handsAdded, 2);
    AppendFile(folder / "HH.txt", StarsHandWithGap(3));
    rig.clock.Advance(CIntakeSession::kPassIntervalMs);
    const std::size_t duringLoading = nested.size();
    EXPECT_EQ(session.LivePass().handsAdded, 1);
    ASSERT_GT(duringLoading, 0u);
    ASSERT_GT(nested.size(), duringLoading) << "the live pass pumps messages too";
    for (IntakeOutcome outcome : nested) EXPECT_STREQ(OutcomeName(outcome), "busy");
}

TEST(IntakeSession, FirstLoadingReadsTheHistoricalFolderOnce) {
    ScratchFolder logging;
    ScratchFolder historical;
    WriteFile(logging / "HH.txt", StarsHandWithGap(1));
    WriteFile(historical / "HH.txt", StarsHandWithGap(2) + StarsHandWithGap(3));
    // An empty entry and the logging folder itself are not read again.
    SessionRig rig(113, logging.Path(), {historical.Path(), "", logging.Path()});
    CIntakeSession& session = *rig.session;
    const IntakeStepResult loaded = session.FirstLoading();
    EXPECT_EQ(loaded.handsAdded, 3);
    EXPECT_EQ(loaded.filesRead, 2);
    EXPECT_EQ(session.Analyzer().Start().historicalFolder, historical.Path());

    // Live passes watch the logging folder alone.
    AppendFile(historical / "HH.txt", StarsHandWithGap(4));
    AppendFile(logging / "HH.txt", StarsHandWithGap(5));
    rig.clock.Advance(CIntakeSession::kPassIntervalMs);
    const IntakeStepResult pass = session.LivePass();
    EXPECT_EQ(pass.handsAdded, 1);
    EXPECT_EQ(pass.filesRead, 1);
    EXPECT_EQ(session.Analyzer().FindHand(4), nullptr);
    EXPECT_NE(session.Analyzer().FindHand(5), nullptr);
}

// Hands of the two families whose hands end on an empty line, which the
// client writes only when the next hand begins.
std::string PartyHand(std::uint64_t number) {
    const std::string n = std::to_string(number);
    return "Game #" + n + " starts.\r\n\r\n#Game No : " + n + "\r\n***** Hand History for Game " +
           n +
           " *****\r\n$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010\r\n"
           "Table Speed #1769729 (Real Money)\r\nSeat 6 is the button\r\n"
           "Total number of players : 3/9\r\nSeat 6: Tort ( $2.14 USD )\r\n"
           "Seat 8: Hero ( $2.06 USD )\r\nSeat 7: Suic ( $1.44 USD )\r\n"
           "Suic posts small blind [$0.01 USD].\r\nHero posts big blind [$0.02 USD].\r\n"
           "** Dealing down cards **\r\nDealt to Hero [  Js Th ]\r\nTort calls [$0.02 USD]\r\n"
           "Suic calls [$0.01 USD]\r\nHero checks\r\n** Dealing Flop ** [ As, 6h, Qc ]\r\n"
           "Suic bets [$0.06 USD]\r\nHero calls [$0.06 USD]\r\nTort folds\r\n"
           "** Dealing Turn ** [ Td ]\r\n** Dealing River ** [ Ac ]\r\n"
           "Hero shows [ Js, Th ]two pairs, Aces and Tens.\r\n"
           "Suic shows [ Qh, Jd ]two pairs, Aces and Queens.\r\n"
           "Suic wins $0.18 USD from the main pot with two pairs, Aces and Queens.\r\n";
}

std::string AbsoluteHand(std::uint64_t number) {
    return "Stage #" + std::to_string(number) +
           ": Holdem  No Limit $0.02 - 2009-06-10 03:10:00 (ET)\r\n"
           "Table: CHILE (Real Money) Seat #1 is the dealer\r\n"
           "Seat 1 - Hero ($1 in chips)\r\nSeat 2 - B ($1 in chips)\r\nSeat 3 - C ($1 in chips)\r\n"
           "B - Posts small blind $0.01\r\nC - Posts big blind $0.02\r\n*** POCKET CARDS ***\r\n"
           "Dealt to Hero [Ah Kd]\r\nHero - Raises $0.06 to $0.06\r\nB - Folds\r\nC - Folds\r\n"
           "Hero - returned ($0.04) : not called\r\n*** SHOW DOWN ***\r\nHero - Does not show\r\n"
           "Hero Collects $0.05 from main pot\r\n*** SUMMARY ***\r\nTotal Pot($0.05)\r\n"
           "Seat 1: Hero (dealer) won Total ($0.05)\r\n"
           "Seat 2: B (small blind) Folded on the POCKET CARDS\r\n"
           "Seat 3: C (big blind) Folded on the POCKET CARDS\r\n";
}

// A live file whose last hand arrives in two writes, the first one ending
// inside the summary: the hand is taken only once it is whole and the file
// has not grown for a whole pass.
TEST(IntakeSession, LastHandOfALiveFileIsTakenOnceTheFileIsQuiet) {
    const struct {
        const char* family;
        int roomId;
        std::function<std::string(std::uint64_t)> hand;
        const char* secondWrite;  // where the second write begins
    } families[] = {
        {"PartyPoker", 101, PartyHand, "Suic wins "},
        {"Absolute", 121, AbsoluteHand, "*** SUMMARY ***"},
    };
    for (const auto& f : families) {
        SCOPED_TRACE(f.family);
        ScratchFolder folder;
        const std::string file = folder / "history.txt";
        const std::string hand2 = f.hand(2);
        const std::size_t cut = hand2.find(f.secondWrite);
        ASSERT_NE(cut, std::string::npos);
        // The file as the client left it when the program started: the last
        // hand lacks only its closing empty line.
        WriteFile(file, f.hand(1));
        SessionRig rig(f.roomId, folder.Path());
        CIntakeSession& session = *rig.session;
        ASSERT_EQ(session.FirstLoading().handsAdded, 1) << "a first loading takes it at once";

        const struct {
            const char* what;
            std::string append;
            int handsAdded;
        } passes[] = {
            {"next hand up to the middle of its summary", "\r\n" + hand2.substr(0, cut), 0},
            {"quiet, but the summary is not whole", "", 0},
            {"rest of the summary", hand2.substr(cut), 0},
            {"quiet for a whole pass", "", 1},
            {"quiet again", "", 0},
            {"a third hand closed by its empty line", "\r\n" + f.hand(3) + "\r\n", 1},
        };
        for (const auto& p : passes) {
            SCOPED_TRACE(p.what);
            if (!p.append.empty()) AppendFile(file, p.append);
            rig.clock.Advance(CIntakeSession::kPassIntervalMs);
            const IntakeStepResult result = session.LivePass();
            EXPECT_STREQ(OutcomeName(result.outcome), "ran");
            EXPECT_EQ(result.handsAdded, p.handsAdded);
        }
        EXPECT_EQ(session.Analyzer().HandCount(), 3u);
        ASSERT_NE(session.Analyzer().FindHand(2), nullptr);
        EXPECT_TRUE(session.Analyzer().FindHand(2)->potAwarded);
        EXPECT_EQ(session.NewHands(), 2);
    }
}

// The client's folder is renamed away and back, and a file is rotated
// (started again, shorter) or replaced by a text that repeats known hands:
// the session goes on, takes every new hand, and counts none twice.
TEST(IntakeSession, FoldersThatVanishAndFilesThatAreReplacedLoseNothing) {
    ScratchFolder root;
    const std::string folder = root / "histories";
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/HH20100305 Alcyone III.txt";
    const auto hands = [](std::initializer_list<std::uint64_t> numbers) {
        std::string text;
        for (std::uint64_t n : numbers) text += StarsHandWithGap(n, static_cast<int>(n) * 10);
        return text;
    };
    WriteFile(file, hands({1, 2}));
    SessionRig rig(113, folder);
    CIntakeSession& session = *rig.session;
    ASSERT_EQ(session.FirstLoading().handsAdded, 2);
    const auto pass = [&](const char* what, int handsAdded) {
        SCOPED_TRACE(what);
        rig.clock.Advance(CIntakeSession::kPassIntervalMs);
        const IntakeStepResult result = session.LivePass();
        EXPECT_STREQ(OutcomeName(result.outcome), "ran");
        EXPECT_EQ(result.handsAdded, handsAdded);
    };
    std::filesystem::rename(folder, root / "moved");
    pass("the folder is gone", 0);
    std::filesystem::rename(root / "moved", folder);
    AppendFile(file, hands({3}));
    pass("the folder is back with one hand more", 1);
    WriteFile(file, hands({2, 4}));
    pass("the file started again, shorter", 1);
    WriteFile(file, hands({1, 2, 3, 4, 5}));
    pass("the file replaced by a longer text", 1);
    pass("nothing changed", 0);
    EXPECT_EQ(session.Analyzer().HandCount(), 5u);
    EXPECT_EQ(session.NewHands(), 3);
}

}  // namespace
