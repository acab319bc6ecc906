#include "tools/inter_poker_history_writer.h"

#include <algorithm>
#include <cstdio>

#include "tools/history_text.h"
#include "tools/table_simulator.h"

namespace sim {

namespace {

constexpr const char* kEnd = "\r\n";
const char* const kStreetWords[] = {"before Flop", "on the Flop", "on the Turn", "on the River"};

std::string UsDollars(Money cents) { return "US" + DollarText(cents); }

std::string Cards(const int* cards, int count) { return CardListText(cards, count); }

bool Contains(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

std::string InterPokerFileName(const PlayedHand& hand) {
    const EasternClock day = EasternClockAt(hand.startTime);
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", day.year, day.month, day.day);
    return std::string(date) + " " + SafeFileNamePart(hand.table) + ".txt";
}

std::string WriteInterPokerHand(const PlayedHand& hand) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += kEnd;
    };
    auto name = [&hand](int player) -> const std::string& {
        return hand.players[static_cast<std::size_t>(player)].name;
    };
    auto cards = [&hand](int player) {
        return Cards(hand.holeCards[static_cast<std::size_t>(player)].data(), 2);
    };
    const EasternClock clock = EasternClockAt(hand.startTime);
    char when[40];
    std::snprintf(when, sizeof when, "%04d/%02d/%02d - %02d:%02d:%02d", clock.year, clock.month,
                  clock.day, clock.hour, clock.minute, clock.second);
    line("Game #" + std::to_string(hand.number) + ": Texas Hold'em No Limit (" +
         UsDollars(hand.smallBlind) + "/" + UsDollars(hand.bigBlind) + ") - " + when);
    line("Table \"" + hand.table + "\" (Real Money) Seat #" + std::to_string(hand.buttonSeat) +
         " is the button");
    for (const SeatedPlayer& player : hand.players) {
        line("Seat " + std::to_string(player.seat) + ": " + player.name + " (" +
             UsDollars(player.stack) + ")");
    }
    bool holeCardsWritten = false;
    auto holeCards = [&] {
        if (holeCardsWritten) return;
        holeCardsWritten = true;
        line("----- HOLE CARDS -----");
        for (std::size_t p = 0; p < hand.players.size(); ++p) {
            if (hand.players[p].hero)
                line("dealt to " + hand.players[p].name + " " + cards(static_cast<int>(p)));
        }
    };
    for (const HandEvent& event : hand.events) {
        const std::string allIn = event.allIn ? " and is all-in" : "";
        switch (event.kind) {
            case EventKind::kSmallBlind:
                line(name(event.player) + ": posts small blind " + UsDollars(event.amount));
                break;
            case EventKind::kBigBlind:
                line(name(event.player) + ": posts big blind " + UsDollars(event.amount));
                break;
            case EventKind::kFold:
                holeCards();
                line(name(event.player) + ": folds");
                break;
            case EventKind::kCheck:
                holeCards();
                line(name(event.player) + ": checks");
                break;
            case EventKind::kCall:
                holeCards();
                line(name(event.player) + ": calls " + UsDollars(event.amount) + allIn);
                break;
            case EventKind::kBet:
                holeCards();
                line(name(event.player) + ": bets " + UsDollars(event.amount) + allIn);
                break;
            case EventKind::kRaise:
                holeCards();
                line(name(event.player) + ": raises " + UsDollars(event.amount) + " to " +
                     UsDollars(event.raiseTo) + allIn);
                break;
            case EventKind::kReturned:
                holeCards();
                line("Returned uncalled bet (" + UsDollars(event.amount) + ") to " +
                     name(event.player));
                break;
            case EventKind::kStreet:
                holeCards();
                if (event.street == 1) {
                    line("----- FLOP ----- " + Cards(hand.board.data(), 3));
                } else if (event.street == 2) {
                    line("----- TURN ----- " + Cards(hand.board.data(), 3) + " " +
                         Cards(hand.board.data() + 3, 1));
                } else {
                    line("----- RIVER ----- " + Cards(hand.board.data(), 4) + " " +
                         Cards(hand.board.data() + 4, 1));
                }
                break;
        }
    }
    holeCards();
    if (hand.showdown) {
        line("----- SHOW DOWN -----");
        for (int p : hand.shown) {
            line(name(p) + ": shows " + cards(p) + " (" +
                 hand.handWords[static_cast<std::size_t>(p)] + ")");
        }
        for (int p : hand.mucked) line(name(p) + ": mucks hand");
    }
    line("----- SUMMARY -----");
    line("Total pot " + UsDollars(hand.totalPot) + " | Rake " + UsDollars(hand.rake));
    if (hand.boardDealt > 0) line("Board " + Cards(hand.board.data(), hand.boardDealt));
    const BlindSeats blinds = FindBlindSeats(hand);
    for (std::size_t i = 0; i < hand.players.size(); ++i) {
        const int p = static_cast<int>(i);
        std::string text = "Seat " + std::to_string(hand.players[i].seat) + ": " + name(p);
        if (p == blinds.button) text += " (button)";
        if (p == blinds.smallBlind) text += " (small blind)";
        if (p == blinds.bigBlind) text += " (big blind)";
        if (hand.foldStreet[i] >= 0) {
            text += std::string(" folded ") + kStreetWords[hand.foldStreet[i]];
        } else if (Contains(hand.shown, p)) {
            text += " showed " + cards(p);
            text += hand.won[i] > 0 ? " and won (" + UsDollars(hand.won[i]) + ") with "
                                    : std::string(" and lost with ");
            text += hand.handWords[i];
        } else if (Contains(hand.mucked, p)) {
            text += " mucked";
        } else {
            text += " collected (" + UsDollars(hand.won[i]) + ")";
        }
        line(text);
    }
    line("");
    return out;
}

}  // namespace sim
