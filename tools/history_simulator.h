#pragma once
// HistorySimulator: several tables of simulated players whose hands are
// appended, hand by hand, to the tables' live history files, the way a poker
// client writes them: each hand whole, in one write, with the blank lines
// that close it, so a reader never meets half a hand that will not grow.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/table_simulator.h"

namespace sim {

// The room families whose history format the simulator writes.
enum class HistoryFamily {
    kPokerStars,
    kFullTilt,
    kAbsolutePoker,
    kPartyPoker,
    kInterPoker,
    kTruePoker,
};

// The family named "pokerstars", "fulltilt", "absolute", "partypoker",
// "interpoker" or "truepoker" (letter case ignored).
std::optional<HistoryFamily> FindHistoryFamily(std::string_view name);
// The names FindHistoryFamily knows, for messages.
const std::vector<std::string>& HistoryFamilyNames();
// A hand's history file name and text in the family's format.
std::string HistoryFileName(HistoryFamily family, const PlayedHand& hand);
std::string HistoryText(HistoryFamily family, const PlayedHand& hand);

struct SimulatorOptions {
    std::filesystem::path folder;  // where the history files are written
    int tables = 3;                // 1..8
    int players = 6;               // at each table, the hero included; 2..9
    std::uint64_t seed = 1;
    std::string hero = "SeatwatchUser";
    HistoryFamily family = HistoryFamily::kPokerStars;
};

// One hand written: where, and what was played.
struct WrittenHand {
    std::filesystem::path file;
    PlayedHand hand;
};

class HistorySimulator {
  public:
    // Sets the tables up; writes nothing yet. Expects valid options.
    explicit HistorySimulator(SimulatorOptions options);

    // Plays the next hand at a table picked at random, started at
    // `startTime` (seconds since 1970, UTC), and appends it to that table's
    // file, creating the file (and the folder) when missing. False with a
    // reason in `error` when the file cannot be written.
    bool PlayNext(std::int64_t startTime, WrittenHand& written, std::string& error);

    // Plays the next hand as PlayNext does but writes nothing, so that a run
    // with the same seed can go on where an earlier one stopped.
    void SkipNext(std::int64_t startTime);

    const SimulatorOptions& Options() const { return options_; }

  private:
    PlayedHand Play(std::int64_t startTime);

    SimulatorOptions options_;
    calc::SplitMix64 rng_;
    std::vector<std::unique_ptr<TableSimulator>> tables_;
    std::uint64_t nextNumber_ = 0;
};

// Whether a new file starts with a byte-order mark.
enum class ByteOrderMark { kNone, kUtf8 };

// Appends `text` to `file` with one write (more only if the system writes
// less than asked), creating the file when missing; a new file starts with
// `mark`. False with a reason in `error`.
bool AppendWhole(const std::filesystem::path& file, const std::string& text, ByteOrderMark mark,
                 std::string& error);

// The names the simulator seats: tables, then players (never the hero's).
const std::vector<std::string>& TableNames();
const std::vector<std::string>& PlayerNames();

}  // namespace sim
