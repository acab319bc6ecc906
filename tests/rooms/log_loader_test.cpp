#include "rooms/log_loader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "rooms/poker_room_profile_absolute_poker.h"
#include "rooms/poker_room_profile_full_tilt.h"
#include "rooms/poker_room_profile_inter_poker.h"
#include "rooms/poker_room_profile_party_poker.h"
#include "rooms/poker_room_profile_poker_stars.h"
#include "rooms/poker_room_profile_true_poker.h"
#include "tests/rooms/rooms_test_support.h"
#include "tests/rooms/stars_history.h"

namespace {

using namespace rooms_test;
using Numbers = std::vector<std::uint64_t>;

constexpr std::int64_t kDay = 24 * 60 * 60;

LogLoaderSettings Settings(MoneyMode money = MoneyMode::kReal) {
    LogLoaderSettings settings;
    settings.nickname = "SeatwatchUser";
    settings.money = money;
    settings.installDate = 0;
    return settings;
}

// The text of hand `number` cut before its summary's collected line.
std::string HandUpToSummary(std::uint64_t number) {
    const std::string hand = StarsHand(number);
    return hand.substr(0, hand.find("Seat 2: SeatwatchUser (small blind) collected"));
}

// One step of a live session: what the client does to the file, then what
// the next pass must add.
struct LiveStep {
    const char* what;
    std::function<void(const std::string& file)> client;
    Numbers expected;
};

TEST(LogLoaderLive, TakesExactlyTheHandsTheClientHasFinished) {
    ScratchFolder folder;
    const std::string file = folder / "HH20100305 Alcyone III.txt";
    const std::string hand3 = StarsHand(3);
    const std::size_t half3 = hand3.find("*** FLOP ***");
    const std::string hand4 = StarsHand(4);
    const std::size_t cut4 = hand4.rfind("collected ($0.") + 14;  // inside the amount

    const std::vector<LiveStep> steps = {
        {"two hands and half of a third",
         [&](const std::string& f) {
             WriteFile(f, StarsHandWithGap(1) + StarsHandWithGap(2) + hand3.substr(0, half3));
         },
         {1, 2}},
        {"nothing changed", [](const std::string&) {}, {}},
        {"third hand completed up to its last summary line, no blank line yet",
         [&](const std::string& f) { AppendFile(f, hand3.substr(half3)); },
         {}},
        {"file did not grow for a whole pass: the third hand is taken",
         [](const std::string&) {},
         {3}},
        {"fourth hand written up to a half-written amount",
         [&](const std::string& f) {
             AppendFile(f, std::string(kHandGap) + hand4.substr(0, cut4));
         },
         {}},
        {"still half-written: not a line yet", [](const std::string&) {}, {}},
        {"amount finished and the hand closed by its blank lines",
         [&](const std::string& f) { AppendFile(f, hand4.substr(cut4) + kHandGap); },
         {4}},
        {"client rewrote the file shorter: known hands skipped, new one read",
         [&](const std::string& f) { WriteFile(f, StarsHandWithGap(2) + StarsHandWithGap(5)); },
         {5}},
        {"client rewrote the file longer from scratch",
         [&](const std::string& f) {
             WriteFile(f, StarsHandWithGap(6) + StarsHandWithGap(7) + StarsHandWithGap(5) +
                              StarsHandWithGap(2));
         },
         {6, 7}},
        {"a new hand appended after the rewrite",
         [&](const std::string& f) { AppendFile(f, StarsHandWithGap(8)); },
         {8}},
    };

    platform::ManualClock clock(Now());
    CountingProfile<CPokerRoomProfilePokerStars> profile;
    RecordingSink sink;
    CLogLoader loader(profile, sink, Settings(), clock);
    for (const LiveStep& step : steps) {
        SCOPED_TRACE(step.what);
        step.client(file);
        const bool added = loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path());
        EXPECT_EQ(sink.TakeAdded(), step.expected);
        EXPECT_EQ(added, !step.expected.empty());
    }
    EXPECT_EQ(sink.hands.size(), 8u);
    EXPECT_EQ(loader.NewHands(), 8);
    // The held hand was shown on its table while it waited.
    EXPECT_NE(std::find(sink.tableUpdates.begin(), sink.tableUpdates.end(), 3u),
              sink.tableUpdates.end());
}

TEST(LogLoaderLive, HalfWrittenAmountNeverBecomesTheWonAmount) {
    ScratchFolder folder;
    const std::string file = folder / "HH1.txt";
    const std::string hand = StarsHand(9);
    const std::size_t cut = hand.rfind("0.70)");  // "collected ($" then nothing
    platform::ManualClock clock(Now());
    CountingProfile<CPokerRoomProfilePokerStars> profile;
    RecordingSink sink;
    CLogLoader loader(profile, sink, Settings(), clock);

    WriteFile(file, hand.substr(0, cut + 2));  // "... collected ($0."
    EXPECT_FALSE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    AppendFile(file, hand.substr(cut + 2) + kHandGap);
    ASSERT_TRUE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    ASSERT_EQ(sink.hands.count(9), 1u);
    const CHand& stored = *sink.hands[9];
    EXPECT_EQ(stored.won[1], 70) << "the small blind (position 1) collected 70 cents";
}

TEST(LogLoaderLive, UnchangedFilesAreNotOpenedAgain) {
    ScratchFolder folder;
    // A text file without hands is not read again either.
    WriteFile(folder / "notes.txt", "nothing to see here\r\n");
    for (int i = 0; i < 5; ++i)
        WriteFile(folder / ("HH" + std::to_string(i) + ".txt"), StarsHandWithGap(100 + i));
    platform::ManualClock clock(Now());
    CountingProfile<CPokerRoomProfilePokerStars> profile;
    RecordingSink sink;
    CLogLoader loader(profile, sink, Settings(), clock);
    EXPECT_TRUE(loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder.Path()));
    EXPECT_EQ(sink.added.size(), 5u);
    const int created = profile.created;
    EXPECT_FALSE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    EXPECT_FALSE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    EXPECT_EQ(profile.created, created) << "no hand read from unchanged files";
    EXPECT_EQ(loader.FileCount(), 6);
}

TEST(LogLoaderFirstLoading, TakesALastHandThatRunsIntoTheEndOfTheFile) {
    ScratchFolder folder;
    WriteFile(folder / "HH.txt", StarsHandWithGap(1) + StarsHand(2));
    WriteFile(folder / "HH-cut.txt", StarsHandWithGap(3) + HandUpToSummary(4).substr(0, 200));
    platform::ManualClock clock(Now());
    CountingProfile<CPokerRoomProfilePokerStars> profile;
    RecordingSink sink;
    CLogLoader loader(profile, sink, Settings(), clock);
    EXPECT_TRUE(loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder.Path()));
    // Name order: "HH-cut.txt" comes before "HH.txt".
    EXPECT_EQ(sink.TakeAdded(), (Numbers{3, 1, 2}));
    EXPECT_EQ(sink.processCalls, std::vector<LoadPass>{LoadPass::kFirstLoading});
    EXPECT_TRUE(sink.tableUpdates.empty()) << "tables are updated by live passes only";

    // The cut hand is read whole once the client completes it.
    AppendFile(folder / "HH-cut.txt",
               HandUpToSummary(4).substr(200) +
                   "Seat 2: SeatwatchUser (small blind) collected ($0.70)\r\n" + kHandGap);
    EXPECT_TRUE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    EXPECT_EQ(sink.TakeAdded(), (Numbers{4}));
}

// Which hands a session takes from a file, by money mode and pass kind.
struct MoneyCase {
    const char* fileName;
    Money handMoney;
    MoneyMode session;
    LoadPass pass;
    std::size_t expected;
};

TEST(LogLoaderFilters, MoneyModeOfFileNamesAndHands) {
    constexpr LoadPass kFirst = LoadPass::kFirstLoading;
    constexpr LoadPass kLive = LoadPass::kLive;
    const MoneyCase cases[] = {
        {"HH Alcyone - USD.txt", Money::kReal, MoneyMode::kReal, kFirst, 1},
        {"HH Alcyone - USD.txt", Money::kReal, MoneyMode::kReal, kLive, 1},
        {"HH Alcyone - Play Money.txt", Money::kPlay, MoneyMode::kPlay, kLive, 1},
        // The first loading never takes play-money hands.
        {"HH Alcyone - Play Money.txt", Money::kPlay, MoneyMode::kPlay, kFirst, 0},
        // A file without "Play Money" in its name is never read in play money.
        {"HH Alcyone - Chips.txt", Money::kPlay, MoneyMode::kPlay, kLive, 0},
        // ... and a play-money file is skipped in a real-money session.
        {"HH Alcyone - Play Money.txt", Money::kReal, MoneyMode::kReal, kLive, 0},
        // A hand whose money type differs from the session's is dropped.
        {"HH Alcyone - USD.txt", Money::kPlay, MoneyMode::kReal, kLive, 0},
    };
    for (const MoneyCase& c : cases) {
        SCOPED_TRACE(std::string(c.fileName) +
                     (c.pass == LoadPass::kLive ? " live" : " first loading") +
                     (c.session == MoneyMode::kReal ? " real session" : " play session"));
        ScratchFolder folder;
        WriteFile(folder / c.fileName, StarsHandWithGap(7, 0, c.handMoney));
        platform::ManualClock clock(Now());
        CountingProfile<CPokerRoomProfilePokerStars> profile;
        RecordingSink sink;
        CLogLoader loader(profile, sink, Settings(c.session), clock);
        loader.LoadFolder(c.pass, FolderKind::kLogging, folder.Path());
        EXPECT_EQ(sink.added.size(), c.expected);
    }
}

TEST(LogLoaderFilters, FullTiltPlayMoneyFilesNeedPlayInTheirName) {
    const struct {
        const char* name;
        MoneyMode session;
        bool read;
    } cases[] = {
        {"FT20100305 Alcyone (Play Money).txt", MoneyMode::kPlay, false},
        {"FT20100305 Alcyone - 5/10 - Play Hold'em.txt", MoneyMode::kPlay, true},
        {"FT20100305 Alcyone - 5/10 - Play Hold'em.txt", MoneyMode::kReal, false},
        {"FT20100305 Alcyone - $0.05-$0.10.txt", MoneyMode::kReal, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        WriteFile(folder / c.name, StarsHandWithGap(7));
        platform::ManualClock clock(Now());
        CountingProfile<CPokerRoomProfileFullTilt> profile;
        RecordingSink sink;
        CLogLoader loader(profile, sink, Settings(c.session), clock);
        loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path());
        EXPECT_EQ(profile.created > 0, c.read);
    }
}

TEST(LogLoaderFilters, ExtensionsAndIgnoredFiles) {
    const struct {
        const char* name;
        int profileKind;  // 0 PokerStars, 1 PartyPoker real, 2 PartyPoker play, 3 Absolute
        bool read;
    } cases[] = {
        {"a.txt", 0, true},          {"a.TXT", 0, true},
        {"a.log", 0, true},          {"a.Log", 0, true},
        {"a.hhf", 0, false},         {"a.txt.bak", 0, false},
        {"txt", 0, false},           {"a.", 0, false},
        {"a.txt", 1, true},          {"a.hhf", 1, false},
        {"a.hhf", 2, true},          {"a.HHF", 2, true},
        {"a.txt", 2, false},         {"a.txt", 3, true},
        {"a_test.txt", 3, false},    {"sub_test/a.txt", 3, false},
        {"sub_test/a.txt", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " profile " + std::to_string(c.profileKind));
        ScratchFolder folder;
        WriteFile(folder / c.name, StarsHandWithGap(7));
        platform::ManualClock clock(Now());
        RecordingSink sink;
        RoomProfileOptions options;
        options.money = c.profileKind == 2 ? MoneyMode::kPlay : MoneyMode::kReal;
        const int roomIds[] = {113, 101, 101, 121};
        auto profile = CreateRoomProfile(roomIds[c.profileKind], options);
        CLogLoader loader(*profile, sink, Settings(options.money), clock);
        loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path());
        // A file that passes the name filters gets a reader.
        EXPECT_EQ(loader.FindReader(folder / c.name) != nullptr, c.read);
    }
}

TEST(LogLoaderFilters, OneHandPerFileRoomsReadEachFileOnce) {
    ScratchFolder folder;
    const std::string file = folder / "log/hand1.log";
    WriteFile(file, StarsHandWithGap(1) + StarsHandWithGap(2));
    platform::ManualClock clock(Now());
    CountingProfile<CPokerRoomProfileInterPoker> profile(108, true, folder.Path(), "SeatwatchUser",
                                                         Now());
    RecordingSink sink;
    CLogLoader loader(profile, sink, Settings(), clock);
    EXPECT_TRUE(loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder.Path()));
    EXPECT_EQ(sink.TakeAdded(), (Numbers{1}));
    AppendFile(file, StarsHandWithGap(3));
    EXPECT_FALSE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    EXPECT_EQ(profile.created, 1);
    ASSERT_NE(loader.FindReader(file), nullptr);
    EXPECT_TRUE(loader.FindReader(file)->IsForgotten());
}

TEST(LogLoaderFilters, OneHandPerFileMetHalfWrittenIsReadOnceComplete) {
    ScratchFolder folder;
    const std::string file = folder / "hand1.log";
    const std::string hand = StarsHand(1);
    WriteFile(file, hand.substr(0, 300));
    platform::ManualClock clock(Now());
    CountingProfile<CPokerRoomProfileInterPoker> profile(108, true, folder.Path(), "SeatwatchUser",
                                                         Now());
    RecordingSink sink;
    CLogLoader loader(profile, sink, Settings(), clock);
    EXPECT_FALSE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    AppendFile(file, hand.substr(300) + kHandGap);
    EXPECT_TRUE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    EXPECT_EQ(sink.TakeAdded(), (Numbers{1}));
}

// File dates against the installation date, the extended setting, the
// historical cut-off and the database's earliest date.
TEST(LogLoaderFilters, FileAge) {
    constexpr FolderKind kLogging = FolderKind::kLogging;
    constexpr FolderKind kHistorical = FolderKind::kHistorical;
    const std::int64_t now = Now();
    const struct {
        const char* what;
        std::int64_t lastWrite;
        std::int64_t installDate;
        bool extended;
        FolderKind kind;
        std::int64_t sinkEarliest;
        bool read;
    } cases[] = {
        {"recent file", now, now, false, kLogging, 0, true},
        {"written 2 days before installation", now - 2 * kDay, now, false, kLogging, 0, true},
        {"written 4 days before installation", now - 4 * kDay, now, false, kLogging, 0, false},
        {"4 days before installation, extended", now - 4 * kDay, now, true, kLogging, 0, true},
        {"31 days before installation, extended", now - 31 * kDay, now, true, kLogging, 0, false},
        {"older than the database's earliest date", now - kDay, 0, false, kLogging, now, false},
        {"historical file of 2005-08-14", 1124000000, 0, false, kHistorical, 0, false},
        {"historical file of 2006", 1150000000, 0, false, kHistorical, 0, true},
        {"same file, not historical", 1124000000, 0, false, kLogging, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        WriteFile(folder / "a.txt", StarsHandWithGap(7));
        SetLastWrite(folder / "a.txt", c.lastWrite);
        platform::ManualClock clock(now);
        CountingProfile<CPokerRoomProfileTruePoker> profile(100);
        RecordingSink sink;
        sink.earliest = c.sinkEarliest;
        LogLoaderSettings settings = Settings();
        settings.installDate = c.installDate;
        settings.extendedHistory = c.extended;
        CLogLoader loader(profile, sink, settings, clock);
        loader.LoadFolder(LoadPass::kFirstLoading, c.kind, folder.Path());
        EXPECT_EQ(profile.created > 0, c.read);
    }
}

// Hand dates against the profile's, the database's and the installation date.
TEST(LogLoaderFilters, HandDates) {
    // The generated hands are dated 2010-03-05 (Eastern time).
    const std::int64_t handTime = 1267841400;  // 2010-03-06 02:10 UTC, within a day of the hands
    const struct {
        const char* what;
        std::int64_t installDate;
        std::int64_t sinkEarliest;
        std::size_t expected;
    } cases[] = {
        {"no limits", 0, 0, 1},
        {"installed 3 days after the hand", handTime + 3 * kDay, 0, 1},
        {"installed 6 days after the hand", handTime + 6 * kDay, 0, 0},
        {"database keeps hands after a later date", 0, handTime + kDay, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        WriteFile(folder / "a.txt", StarsHandWithGap(7, 0));
        SetLastWrite(folder / "a.txt", Now());
        platform::ManualClock clock(Now());
        CountingProfile<CPokerRoomProfilePokerStars> profile;
        RecordingSink sink;
        sink.earliest = c.sinkEarliest;
        LogLoaderSettings settings = Settings();
        settings.installDate = c.installDate;
        CLogLoader loader(profile, sink, settings, clock);
        // The file is recent, so only the hand dates differ between cases.
        loader.LoadFile(folder / "a.txt", LoadPass::kLive, MoneyMode::kReal, FolderKind::kLogging);
        EXPECT_EQ(sink.added.size(), c.expected);
    }
}

TEST(LogLoaderFolders, OldFilesAreReadOnceExceptForTruePoker) {
    for (const bool truePoker : {false, true}) {
        SCOPED_TRACE(truePoker ? "TruePoker" : "PokerStars");
        ScratchFolder folder;
        WriteFile(folder / "a.txt", StarsHandWithGap(1));
        // Four days from now the file counts as created more than 3 days ago.
        platform::ManualClock clock(Now() + 4 * kDay);
        RecordingSink sink;
        std::unique_ptr<CPokerRoomProfile> profile;
        if (truePoker) {
            profile = std::make_unique<CountingProfile<CPokerRoomProfileTruePoker>>(100);
        } else {
            profile = std::make_unique<CountingProfile<CPokerRoomProfilePokerStars>>();
        }
        LogLoaderSettings settings = Settings();
        CLogLoader loader(*profile, sink, settings, clock);
        loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder.Path());
        AppendFile(folder / "a.txt", StarsHandWithGap(2));
        loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path());
        EXPECT_EQ(sink.added, truePoker ? (Numbers{1, 2}) : (Numbers{1}));
    }
}

TEST(LogLoaderFolders, LivePassesSkipStaleFoldersAndWalkInNameOrder) {
    ScratchFolder folder;
    WriteFile(folder / "b/x.txt", StarsHandWithGap(2));
    WriteFile(folder / "a/y.txt", StarsHandWithGap(1));
    WriteFile(folder / "c.txt", StarsHandWithGap(3));
    platform::ManualClock clock(Now() + 4 * kDay);
    CountingProfile<CPokerRoomProfilePokerStars> profile;
    RecordingSink sink;
    LogLoaderSettings settings = Settings();
    {
        CLogLoader loader(profile, sink, settings, clock);
        EXPECT_TRUE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
        // The sub-folders are stale; the file at the top is read.
        EXPECT_EQ(sink.TakeAdded(), (Numbers{3}));
    }
    sink.hands.clear();
    CLogLoader loader(profile, sink, settings, clock);
    EXPECT_TRUE(loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder.Path()));
    EXPECT_EQ(sink.TakeAdded(), (Numbers{1, 2, 3}));
}

}  // namespace
