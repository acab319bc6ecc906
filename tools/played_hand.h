#pragma once
// PlayedHand: everything that happened in one hand the table simulator
// played, in the order it happened, for a history writer to put into a
// room's words. Money is in cents; players are indexes into `players`.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sim {

using Money = std::int64_t;  // cents

struct SeatedPlayer {
    std::string name;
    int seat = 0;       // 1..maxSeats
    Money stack = 0;    // at the start of the hand
    bool hero = false;  // the user: his cards are dealt to him in the history
};

enum class EventKind {
    kSmallBlind,
    kBigBlind,
    kFold,
    kCheck,
    kCall,
    kBet,
    kRaise,
    kStreet,    // the board cards of `street` (1 flop, 2 turn, 3 river) are dealt
    kReturned,  // an uncalled bet goes back to its player
};

struct HandEvent {
    EventKind kind = EventKind::kFold;
    int street = 0;     // 0 preflop .. 3 river
    int player = -1;    // -1 for kStreet
    Money amount = 0;   // paid by this action (a raise: the increment over the bet)
    Money raiseTo = 0;  // kRaise: the player's total on the street after it
    bool allIn = false;
};

// One pot and how it was shared: the main pot first, then each side pot.
struct PotAward {
    Money amount = 0;                           // after the rake
    std::vector<std::pair<int, Money>> shares;  // player, amount won
};

struct PlayedHand {
    std::uint64_t number = 0;
    std::string table;
    int maxSeats = 6;
    int buttonSeat = 1;
    Money smallBlind = 0;
    Money bigBlind = 0;
    std::int64_t startTime = 0;  // seconds since 1970, UTC
    std::vector<SeatedPlayer> players;
    std::vector<std::array<int, 2>> holeCards;  // per player, card numbers 0..51
    std::array<int, 5> board{};                 // card numbers; `boardDealt` of them dealt
    int boardDealt = 0;
    std::vector<HandEvent> events;
    // The show-down, when two or more players reached it: who showed and
    // who mucked, in the order they did, with the words for each hand shown.
    bool showdown = false;
    std::vector<int> shown;
    std::vector<int> mucked;
    std::vector<std::string> handWords;  // per player; empty unless shown
    // Per player: what he won, what he put in (after returns), and the
    // street he folded on (-1 when he did not fold).
    std::vector<Money> won;
    std::vector<Money> invested;
    std::vector<int> foldStreet;
    std::vector<PotAward> pots;
    Money totalPot = 0;  // everything put in after returns
    Money rake = 0;

    // The index of the player at `seat`, or -1.
    int PlayerAtSeat(int seat) const {
        for (std::size_t i = 0; i < players.size(); ++i) {
            if (players[i].seat == seat) return static_cast<int>(i);
        }
        return -1;
    }
};

}  // namespace sim
