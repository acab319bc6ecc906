#include "tools/full_tilt_history_writer.h"

#include <algorithm>
#include <cstdio>

#include "tools/history_text.h"
#include "tools/table_simulator.h"

namespace sim {

namespace {

constexpr const char* kEnd = "\r\n";
const char* const kStreetNames[] = {"Flop", "Turn", "River"};

bool Contains(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

std::string FullTiltFileName(const PlayedHand& hand) {
    const EasternClock day = EasternClockAt(hand.startTime);
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", day.year, day.month, day.day);
    return "FT" + std::string(date) + " " + SafeFileNamePart(hand.table) + " - " +
           DollarText(hand.smallBlind) + "-" + DollarText(hand.bigBlind) +
           " - No Limit Hold'em.txt";
}

std::string WriteFullTiltHand(const PlayedHand& hand) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += kEnd;
    };
    auto name = [&hand](int player) -> const std::string& {
        return hand.players[static_cast<std::size_t>(player)].name;
    };
    auto cards = [&hand](int player) {
        return CardListText(hand.holeCards[static_cast<std::size_t>(player)].data(), 2);
    };
    const EasternClock clock = EasternClockAt(hand.startTime);
    char when[48];
    std::snprintf(when, sizeof when, "%02d:%02d:%02d ET - %04d/%02d/%02d", clock.hour, clock.minute,
                  clock.second, clock.year, clock.month, clock.day);
    line("Full Tilt Poker Game #" + std::to_string(hand.number) + ": Table " + hand.table + " - " +
         DollarText(hand.smallBlind) + "/" + DollarText(hand.bigBlind) + " - No Limit Hold'em - " +
         when);
    for (const SeatedPlayer& player : hand.players) {
        line("Seat " + std::to_string(player.seat) + ": " + player.name + " (" +
             DollarText(player.stack) + ")");
    }
    bool holeCardsWritten = false;
    auto holeCards = [&] {
        if (holeCardsWritten) return;
        holeCardsWritten = true;
        line("The button is in seat #" + std::to_string(hand.buttonSeat));
        line("*** HOLE CARDS ***");
        for (std::size_t p = 0; p < hand.players.size(); ++p) {
            if (hand.players[p].hero) {
                line("Dealt to " + hand.players[p].name + " " + cards(static_cast<int>(p)));
            }
        }
    };
    for (const HandEvent& event : hand.events) {
        const std::string allIn = event.allIn ? ", and is all in" : "";
        switch (event.kind) {
            case EventKind::kSmallBlind:
                line(name(event.player) + " posts the small blind of " + DollarText(event.amount));
                break;
            case EventKind::kBigBlind:
                line(name(event.player) + " posts the big blind of " + DollarText(event.amount));
                break;
            case EventKind::kFold:
                holeCards();
                line(name(event.player) + " folds");
                break;
            case EventKind::kCheck:
                holeCards();
                line(name(event.player) + " checks");
                break;
            case EventKind::kCall:
                holeCards();
                line(name(event.player) + " calls " + DollarText(event.amount) + allIn);
                break;
            case EventKind::kBet:
                line(name(event.player) + " bets " + DollarText(event.amount) + allIn);
                break;
            case EventKind::kRaise:
                holeCards();
                line(name(event.player) + " raises to " + DollarText(event.raiseTo) + allIn);
                break;
            case EventKind::kReturned:
                holeCards();
                line("Uncalled bet of " + DollarText(event.amount) + " returned to " +
                     name(event.player));
                break;
            case EventKind::kStreet:
                holeCards();
                if (event.street == 1) {
                    line("*** FLOP *** " + CardListText(hand.board.data(), 3));
                } else if (event.street == 2) {
                    line("*** TURN *** " + CardListText(hand.board.data(), 3) + " " +
                         CardListText(hand.board.data() + 3, 1));
                } else {
                    line("*** RIVER *** " + CardListText(hand.board.data(), 4) + " " +
                         CardListText(hand.board.data() + 4, 1));
                }
                break;
        }
    }
    holeCards();
    if (hand.showdown) {
        line("*** SHOW DOWN ***");
        for (int p : hand.shown) line(name(p) + " shows " + cards(p) + " " + hand.handWords[p]);
        for (int p : hand.mucked) line(name(p) + " mucks");
    }
    const bool sidePots = hand.pots.size() > 1;
    for (std::size_t i = 0; i < hand.pots.size(); ++i) {
        const PotAward& pot = hand.pots[i];
        std::string which = "the pot";
        if (sidePots) which = i == 0 ? "the main pot" : "the side pot";
        if (!hand.showdown) line(name(pot.shares.front().first) + " mucks");
        for (const auto& [player, amount] : pot.shares) {
            std::string text = name(player) + (pot.shares.size() > 1 ? " ties for " : " wins ") +
                               which + " (" + DollarText(amount) + ")";
            if (hand.showdown) text += " with " + hand.handWords[player];
            line(text);
        }
    }
    line("*** SUMMARY ***");
    std::string total = "Total pot " + DollarText(hand.totalPot);
    if (sidePots) {
        total += " Main pot " + DollarText(hand.pots[0].amount) + ".";
        for (std::size_t i = 1; i < hand.pots.size(); ++i) {
            total += " Side pot " + DollarText(hand.pots[i].amount) + ".";
        }
    }
    line(total + " | Rake " + DollarText(hand.rake));
    if (hand.boardDealt > 0) line("Board: " + CardListText(hand.board.data(), hand.boardDealt));
    const BlindSeats blinds = FindBlindSeats(hand);
    for (std::size_t i = 0; i < hand.players.size(); ++i) {
        const int p = static_cast<int>(i);
        std::string text = "Seat " + std::to_string(hand.players[i].seat) + ": " + name(p);
        if (p == blinds.button) text += " (button)";
        if (p == blinds.smallBlind) text += " (small blind)";
        if (p == blinds.bigBlind) text += " (big blind)";
        if (hand.foldStreet[i] == 0) {
            const bool put = hand.invested[i] > 0 || p == blinds.smallBlind || p == blinds.bigBlind;
            text += put ? " folded before the Flop" : " didn't bet (folded)";
        } else if (hand.foldStreet[i] > 0) {
            text += std::string(" folded on the ") + kStreetNames[hand.foldStreet[i] - 1];
        } else if (Contains(hand.shown, p)) {
            text += " showed " + cards(p);
            text += hand.won[i] > 0 ? " and won (" + DollarText(hand.won[i]) + ") with "
                                    : std::string(" and lost with ");
            text += hand.handWords[i];
        } else if (Contains(hand.mucked, p)) {
            text += " mucked " + cards(p);
        } else {
            text += " collected (" + DollarText(hand.won[i]) + "), mucked";
        }
        line(text);
    }
    out += kEnd;
    out += kEnd;
    out += kEnd;
    return out;
}

}  // namespace sim
