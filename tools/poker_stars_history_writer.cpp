#include "tools/poker_stars_history_writer.h"

#include <algorithm>
#include <cstdio>

#include "tools/history_text.h"
#include "tools/table_simulator.h"

namespace sim {

namespace {

constexpr const char* kEnd = "\r\n";

std::string Cards(const int* cards, int count) { return CardListText(cards, count); }

const char* const kStreetNames[] = {"Flop", "Turn", "River"};

}  // namespace

std::string PokerStarsFileName(const PlayedHand& hand) {
    const EasternClock day = EasternClockAt(hand.startTime);
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", day.year, day.month, day.day);
    return "HH" + std::string(date) + " " + SafeFileNamePart(hand.table) + " - " +
           DollarText(hand.smallBlind) + "-" + DollarText(hand.bigBlind) +
           " - USD No Limit Hold'em.txt";
}

std::string WritePokerStarsHand(const PlayedHand& hand) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += kEnd;
    };
    auto name = [&hand](int player) -> const std::string& {
        return hand.players[static_cast<std::size_t>(player)].name;
    };
    line("PokerStars Game #" + std::to_string(hand.number) + ":  Hold'em No Limit (" +
         DollarText(hand.smallBlind) + "/" + DollarText(hand.bigBlind) + " USD) - " +
         EasternTimeText(hand.startTime));
    line("Table '" + hand.table + "' " + std::to_string(hand.maxSeats) + "-max Seat #" +
         std::to_string(hand.buttonSeat) + " is the button");
    for (const SeatedPlayer& player : hand.players) {
        line("Seat " + std::to_string(player.seat) + ": " + player.name + " (" +
             DollarText(player.stack) + " in chips) ");
    }
    bool holeCardsWritten = false;
    auto holeCards = [&] {
        if (holeCardsWritten) return;
        holeCardsWritten = true;
        line("*** HOLE CARDS ***");
        for (std::size_t p = 0; p < hand.players.size(); ++p) {
            if (hand.players[p].hero) {
                line("Dealt to " + hand.players[p].name + " " + Cards(hand.holeCards[p].data(), 2));
            }
        }
    };
    for (const HandEvent& event : hand.events) {
        const std::string allIn = event.allIn ? " and is all-in" : "";
        switch (event.kind) {
            case EventKind::kSmallBlind:
                line(name(event.player) + ": posts small blind " + DollarText(event.amount));
                break;
            case EventKind::kBigBlind:
                line(name(event.player) + ": posts big blind " + DollarText(event.amount));
                break;
            case EventKind::kFold:
                holeCards();
                line(name(event.player) + ": folds ");
                break;
            case EventKind::kCheck:
                holeCards();
                line(name(event.player) + ": checks ");
                break;
            case EventKind::kCall:
                holeCards();
                line(name(event.player) + ": calls " + DollarText(event.amount) + allIn);
                break;
            case EventKind::kBet:
                line(name(event.player) + ": bets " + DollarText(event.amount) + allIn);
                break;
            case EventKind::kRaise:
                holeCards();
                line(name(event.player) + ": raises " + DollarText(event.amount) + " to " +
                     DollarText(event.raiseTo) + allIn);
                break;
            case EventKind::kReturned:
                holeCards();
                line("Uncalled bet (" + DollarText(event.amount) + ") returned to " +
                     name(event.player));
                break;
            case EventKind::kStreet:
                holeCards();
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
    if (hand.showdown) {
        line("*** SHOW DOWN ***");
        // Those who showed, then those who mucked.
        std::vector<std::pair<int, bool>> turns;
        for (int p : hand.shown) turns.emplace_back(p, true);
        for (int p : hand.mucked) turns.emplace_back(p, false);
        for (const auto& [player, shown] : turns) {
            if (shown) {
                line(name(player) + ": shows " + Cards(hand.holeCards[player].data(), 2) + " (" +
                     hand.handWords[player] + ")");
            } else {
                line(name(player) + ": mucks hand ");
            }
        }
    }
    const bool sidePots = hand.pots.size() > 1;
    for (std::size_t i = 0; i < hand.pots.size(); ++i) {
        std::string from = "pot";
        if (sidePots) {
            from = i == 0 ? "main pot"
                          : (hand.pots.size() > 2 ? "side pot-" + std::to_string(i) : "side pot");
        }
        for (const auto& [player, amount] : hand.pots[i].shares) {
            line(name(player) + " collected " + DollarText(amount) + " from " + from);
        }
    }
    line("*** SUMMARY ***");
    std::string total = "Total pot " + DollarText(hand.totalPot);
    if (sidePots) {
        total += " Main pot " + DollarText(hand.pots[0].amount) + ".";
        for (std::size_t i = 1; i < hand.pots.size(); ++i) {
            total += " Side pot" +
                     (hand.pots.size() > 2 ? "-" + std::to_string(i) : std::string()) + " " +
                     DollarText(hand.pots[i].amount) + ".";
        }
    }
    line(total + " | Rake " + DollarText(hand.rake) + " ");
    if (hand.boardDealt > 0) line("Board " + Cards(hand.board.data(), hand.boardDealt));
    const BlindSeats blinds = FindBlindSeats(hand);
    for (std::size_t i = 0; i < hand.players.size(); ++i) {
        const int p = static_cast<int>(i);
        std::string text = "Seat " + std::to_string(hand.players[i].seat) + ": " + name(p);
        if (p == blinds.button) text += " (button)";
        if (p == blinds.smallBlind) text += " (small blind)";
        if (p == blinds.bigBlind) text += " (big blind)";
        const bool shown = std::find(hand.shown.begin(), hand.shown.end(), p) != hand.shown.end();
        const bool mucked =
            std::find(hand.mucked.begin(), hand.mucked.end(), p) != hand.mucked.end();
        const std::string cards = Cards(hand.holeCards[i].data(), 2);
        if (hand.foldStreet[i] == 0) {
            const bool put = hand.invested[i] > 0 || p == blinds.smallBlind || p == blinds.bigBlind;
            text += put ? " folded before Flop" : " folded before Flop (didn't bet)";
        } else if (hand.foldStreet[i] > 0) {
            text += std::string(" folded on the ") + kStreetNames[hand.foldStreet[i] - 1];
        } else if (shown) {
            text += " showed " + cards;
            text += hand.won[i] > 0 ? " and won (" + DollarText(hand.won[i]) + ") with "
                                    : std::string(" and lost with ");
            text += hand.handWords[i];
        } else if (mucked) {
            text += " mucked " + cards;
        } else {
            text += " collected (" + DollarText(hand.won[i]) + ")";
        }
        line(text);
    }
    // The client closes every hand with blank lines before the next one.
    out += kEnd;
    out += kEnd;
    out += kEnd;
    return out;
}

}  // namespace sim
