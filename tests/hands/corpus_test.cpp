// Runs the PokerStars parser over every real history of the corpus: no
// crash, every hand taken or rejected with a reason, and the money of every
// taken hand balances against the rake the hand states itself.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "hands/hand_poker_stars.h"
#include "hands/parse_text.h"
#include "hands/stdio_file_custom.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(SEATWATCH_SOURCE_DIR) / ".." / "shared" / "corpus" / "pokerstars";

// The name on the first "Dealt to" line: the hero of the file.
std::string FindHero(const fs::path& path) {
    CStdioFileCustom reader;
    if (!reader.Open(path.string())) return {};
    std::string buffer;
    while (reader.ReadString(buffer)) {
        std::string_view line = hands::Trim(buffer);
        if (!hands::StartsWith(line, "Dealt to ")) continue;
        std::size_t open = line.rfind('[');
        return open > 9 ? std::string(hands::Trim(line.substr(9, open - 9))) : std::string();
    }
    return {};
}

// Rake stated by each hand's "Total pot ... Rake ..." line, by hand number.
std::map<std::uint64_t, std::int32_t> StatedRakes(const fs::path& path) {
    std::map<std::uint64_t, std::int32_t> rakes;
    CStdioFileCustom reader;
    if (!reader.Open(path.string())) return rakes;
    std::string buffer;
    std::uint64_t number = 0;
    while (reader.ReadString(buffer)) {
        std::string_view line = hands::Trim(buffer);
        if (CHandPokerStars::IsHeaderLine(line)) {
            number = hands::ReadUnsigned(line, line.find('#') + 1);
        } else if (hands::StartsWith(line, "Total pot ")) {
            std::size_t rake = line.find("Rake ");
            if (rake != std::string_view::npos) rakes[number] = hands::ReadAmount(line, rake + 5);
        }
    }
    return rakes;
}

TEST(CorpusTest, PokerStarsHistories) {
    if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
    setenv("TZ", "UTC", 1);
    int files = 0;
    int taken = 0;
    std::map<std::string, int> rejected;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const fs::path& path = entry.path();
        std::string hero = FindHero(path);
        std::map<std::uint64_t, std::int32_t> rakes = StatedRakes(path);
        CStdioFileCustom reader;
        ASSERT_TRUE(reader.Open(path.string())) << path;
        for (;;) {
            CHandPokerStars hand(hero);
            int result = hand.ReadHand(reader);
            if (result == CHand::kNoHandStart) break;
            std::string where = path.filename().string() + " #" + std::to_string(hand.handNumber);
            if (result != CHand::kParseOk || !hand.potAwarded) {
                std::string reason = result == CHand::kParseRejected ? hand.RejectReason()
                                                                     : "result " + std::to_string(result);
                EXPECT_FALSE(reason.empty()) << where;
                ++rejected[reason];
                continue;
            }
            ++taken;
            std::int64_t balance = 0;
            for (std::size_t p = 0; p < CHand::kPositions; ++p) {
                balance += hand.invested[p] - hand.won[p];
                for (std::size_t s = 0; s < 4; ++s) balance -= hand.returned[p][s];
            }
            auto stated = rakes.find(hand.handNumber);
            ASSERT_NE(stated, rakes.end()) << where;
            EXPECT_EQ(balance, stated->second) << where;
            EXPECT_GT(hand.GetPlayerCount(), 0) << where;
            EXPECT_GT(hand.dateTime, 1'100'000'000) << where;
        }
    }
    int total = taken;
    for (const auto& [reason, count] : rejected) total += count;
    std::cout << files << " files, " << total << " hands: " << taken << " complete, " << total - taken
              << " rejected\n";
    for (const auto& [reason, count] : rejected) std::cout << "  rejected " << count << ": " << reason << "\n";
    EXPECT_GT(taken, 0);
}

}  // namespace
