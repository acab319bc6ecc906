#pragma once
// TableSimulator: one no-limit Hold'em cash table whose players play hand
// after hand by simple randomised rules, so that histories of believable
// shape come out: blinds, folds, calls, raises and all-ins, uncalled bets,
// side pots, split pots and show-downs. Each player gets a style (how loose,
// how aggressive) when he sits down, so the statistics tell players apart.
//
// Everything follows from the seed: the same seed and the same calls give
// the same hands on every platform.

#include <cstdint>
#include <string>
#include <vector>

#include "calc/split_mix64.h"
#include "tools/played_hand.h"

namespace sim {

struct TableConfig {
    std::string name;
    int maxSeats = 6;                  // 2..10
    Money smallBlind = 5;              // cents
    Money bigBlind = 10;               // cents
    Money buyIn = 1000;                // a player starts with this and tops up to it
    std::vector<std::string> players;  // 2..maxSeats names, each at most once
    std::string hero;                  // one of `players`, or empty for none
    std::uint64_t seed = 1;
};

class TableSimulator {
  public:
    // Seats the players (at random seats when there are fewer than
    // maxSeats). Expects a valid configuration (see TableConfig).
    explicit TableSimulator(TableConfig config);

    // Plays one hand numbered `number` that starts at `startTime` (seconds
    // since 1970, UTC). The button moves on by one seat each hand; a player
    // whose stack fell below 40 big blinds tops up to the buy-in first.
    PlayedHand PlayHand(std::uint64_t number, std::int64_t startTime);

    const TableConfig& Config() const { return config_; }

  private:
    struct Player {
        std::string name;
        int seat = 0;
        Money stack = 0;
        double looseness = 0.5;   // 0 tight .. 1 loose
        double aggression = 0.5;  // 0 passive .. 1 aggressive
    };
    struct HandState;

    double Random() { return static_cast<double>(rng_.Next() >> 11) * 0x1.0p-53; }
    int Below(int bound) { return static_cast<int>(rng_.Below(static_cast<std::uint32_t>(bound))); }

    // One betting round: every player able to act acts until the bets are
    // matched or one player is left.
    void BettingRound(HandState& hand, int street);
    void Decide(HandState& hand, int street, int player);
    void ReturnUncalled(HandState& hand, int street);
    void Showdown(HandState& hand);
    void AwardPots(HandState& hand);
    // How good the player's cards look now, 0..1.
    double Strength(const HandState& hand, int player, int street) const;

    TableConfig config_;
    calc::SplitMix64 rng_;
    std::vector<Player> seated_;  // in seat order
    int buttonIndex_ = -1;        // index into seated_
};

// Seat order helper for writers: "the button", "the small blind" and "the
// big blind" of a played hand, as indexes into its players (-1 when none).
struct BlindSeats {
    int button = -1;
    int smallBlind = -1;
    int bigBlind = -1;
};
BlindSeats FindBlindSeats(const PlayedHand& hand);

}  // namespace sim
