#include "tools/absolute_poker_history_writer.h"

#include <algorithm>
#include <cstdio>

#include "calc/card_index.h"
#include "tools/history_text.h"
#include "tools/table_simulator.h"

namespace sim {

namespace {

constexpr const char* kEnd = "\r\n";
const char* const kStreetWords[] = {"POCKET CARDS", "FLOP", "TURN", "RIVER"};

// Cards as this client writes them: a Ten is "10".
std::string Cards(const int* cards, int count) {
    static constexpr const char* kRanks[] = {"A", "2", "3",  "4", "5", "6", "7",
                                             "8", "9", "10", "J", "Q", "K"};
    static constexpr char kSuits[] = "schd";
    std::string text = "[";
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        text += kRanks[calc::RankOf(cards[i])];
        text += kSuits[calc::SuitOf(cards[i])];
    }
    return text + "]";
}

bool Contains(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

std::string AbsolutePokerFileName(const PlayedHand& hand) {
    const EasternClock day = EasternClockAt(hand.startTime);
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", day.year, day.month, day.day);
    return "AP" + std::string(date) + " " + SafeFileNamePart(hand.table) + " - Hold'em No Limit " +
           DollarText(hand.bigBlind) + "(Real Money).txt";
}

std::string WriteAbsolutePokerHand(const PlayedHand& hand) {
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
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d (ET)", clock.year, clock.month,
                  clock.day, clock.hour, clock.minute, clock.second);
    line("Stage #" + std::to_string(hand.number) + ": Holdem  No Limit " +
         DollarText(hand.bigBlind) + " - " + when);
    line("Table: " + hand.table + " (Real Money) Seat #" + std::to_string(hand.buttonSeat) +
         " is the dealer");
    for (const SeatedPlayer& player : hand.players) {
        line("Seat " + std::to_string(player.seat) + " - " + player.name + " (" +
             DollarText(player.stack) + " in chips)");
    }
    // What each player has put in on the current street: a raise line says
    // what the player adds now and the total it comes to.
    std::vector<Money> committed(hand.players.size(), 0);
    bool holeCardsWritten = false;
    auto holeCards = [&] {
        if (holeCardsWritten) return;
        holeCardsWritten = true;
        line("*** POCKET CARDS ***");
        for (std::size_t p = 0; p < hand.players.size(); ++p) {
            if (hand.players[p].hero) {
                line("Dealt to " + hand.players[p].name + " " + cards(static_cast<int>(p)) + " ");
            }
        }
    };
    for (const HandEvent& event : hand.events) {
        const std::size_t p = static_cast<std::size_t>(std::max(event.player, 0));
        switch (event.kind) {
            case EventKind::kSmallBlind:
                line(name(event.player) + " - Posts small blind " + DollarText(event.amount));
                committed[p] += event.amount;
                break;
            case EventKind::kBigBlind:
                line(name(event.player) + " - Posts big blind " + DollarText(event.amount));
                committed[p] += event.amount;
                break;
            case EventKind::kFold:
                holeCards();
                line(name(event.player) + " - Folds");
                break;
            case EventKind::kCheck:
                holeCards();
                line(name(event.player) + " - Checks");
                break;
            case EventKind::kCall:
                holeCards();
                line(name(event.player) + " - Calls " + DollarText(event.amount));
                committed[p] += event.amount;
                break;
            case EventKind::kBet:
                line(name(event.player) + (event.allIn ? " - All-In(Bet) " : " - Bets ") +
                     DollarText(event.amount));
                committed[p] += event.amount;
                break;
            case EventKind::kRaise:
                holeCards();
                line(name(event.player) + (event.allIn ? " - All-In(Raise) " : " - Raises ") +
                     DollarText(event.raiseTo - committed[p]) + " to " + DollarText(event.raiseTo));
                committed[p] = event.raiseTo;
                break;
            case EventKind::kReturned:
                holeCards();
                line(name(event.player) + " - returned (" + DollarText(event.amount) +
                     ") : not called");
                committed[p] -= event.amount;
                break;
            case EventKind::kStreet:
                holeCards();
                std::fill(committed.begin(), committed.end(), 0);
                if (event.street == 1) {
                    line("*** FLOP *** " + Cards(hand.board.data(), 3));
                } else if (event.street == 2) {
                    line("*** TURN *** " + Cards(hand.board.data(), 3) + " " +
                         Cards(hand.board.data() + 3, 1));
                } else {
                    line("*** RIVER *** " + Cards(hand.board.data(), 4) + " " +
                         Cards(hand.board.data() + 4, 1));
                }
                break;
        }
    }
    holeCards();
    // The client writes the show-down section for every hand.
    line("*** SHOW DOWN ***");
    if (hand.showdown) {
        for (int p : hand.shown) {
            line(name(p) + " - Shows " + cards(p) + " (" + hand.handWords[p] + ")");
        }
        for (int p : hand.mucked) line(name(p) + " - Mucks");
    } else if (!hand.pots.empty()) {
        line(name(hand.pots.front().shares.front().first) + " - Does not show");
    }
    for (std::size_t i = 0; i < hand.pots.size(); ++i) {
        const std::string from = i == 0 ? "main pot" : "side pot-" + std::to_string(i);
        for (const auto& [player, amount] : hand.pots[i].shares) {
            line(name(player) + " Collects " + DollarText(amount) + " from " + from);
        }
    }
    line("*** SUMMARY ***");
    line("Total Pot(" + DollarText(hand.totalPot) + ")" +
         (hand.rake > 0 ? " | Rake (" + DollarText(hand.rake) + ")" : std::string()));
    if (hand.boardDealt > 0) line("Board " + Cards(hand.board.data(), hand.boardDealt));
    const BlindSeats blinds = FindBlindSeats(hand);
    for (std::size_t i = 0; i < hand.players.size(); ++i) {
        const int p = static_cast<int>(i);
        std::string text = "Seat " + std::to_string(hand.players[i].seat) + ": " + name(p);
        if (p == blinds.button) text += " (dealer)";
        if (p == blinds.smallBlind) text += " (small blind)";
        if (p == blinds.bigBlind) text += " (big blind)";
        if (hand.foldStreet[i] >= 0) {
            text += std::string(" Folded on the ") + kStreetWords[hand.foldStreet[i]];
        } else if (Contains(hand.shown, p)) {
            text += hand.won[i] > 0 ? " won Total (" + DollarText(hand.won[i]) + ") HI:(" +
                                          DollarText(hand.won[i]) + ") with "
                                    : std::string(" HI:lost with ");
            text += hand.handWords[i] + " " + cards(p);
        } else if (Contains(hand.mucked, p)) {
            text += " HI:lost [Mucked]";
        } else {
            text += " collected Total (" + DollarText(hand.won[i]) + ") ";
        }
        line(text);
    }
    out += kEnd;
    out += kEnd;
    return out;
}

}  // namespace sim
