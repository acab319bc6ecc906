#include "tools/true_poker_history_writer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "tools/history_text.h"

namespace sim {

namespace {

constexpr const char* kEnd = "\r\n";
constexpr const char* kSeparator = "*******************************************";

std::string Cards(const int* cards, int count) { return CardListText(cards, count); }

std::tm LocalTime(std::int64_t utc) {
    const std::time_t time = static_cast<std::time_t>(utc);
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

}  // namespace

std::string TruePokerFileName(const PlayedHand& hand) {
    const std::tm day = LocalTime(hand.startTime);
    char date[16];
    std::strftime(date, sizeof date, "%Y%m%d", &day);
    return "TP" + std::string(date) + " " + SafeFileNamePart(hand.table) + ".txt";
}

std::string WriteTruePokerHand(const PlayedHand& hand) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += kEnd;
    };
    auto name = [&hand](int player) -> const std::string& {
        return hand.players[static_cast<std::size_t>(player)].name;
    };
    // "Game Started on Tue Jul 04, 2006 at 18:00": minutes only.
    const std::tm local = LocalTime(hand.startTime);
    char started[64];
    std::strftime(started, sizeof started, "Game Started on %a %b %d, %Y at %H:%M", &local);
    line(started);
    const std::string number = std::to_string(hand.number);
    line("Table " + hand.table + " - Holdem - NL - Real Money - " + DollarText(hand.smallBlind) +
         "/" + DollarText(hand.bigBlind) + " - " + number);
    line("Players sit down");
    line("**Game " + number + " begins**");
    const int button = hand.PlayerAtSeat(hand.buttonSeat);
    if (button >= 0) line(name(button) + " has the dealer button");

    // What each player has put in on the current street: all-in lines say
    // what the player adds now.
    std::vector<Money> committed(hand.players.size(), 0);
    bool holeCardsWritten = false;
    auto holeCards = [&] {
        if (holeCardsWritten) return;
        holeCardsWritten = true;
        for (std::size_t p = 0; p < hand.players.size(); ++p) {
            if (hand.players[p].hero) {
                line("You are dealt " + Cards(hand.holeCards[p].data(), 2));
            }
        }
    };
    for (const HandEvent& event : hand.events) {
        const std::size_t p = static_cast<std::size_t>(std::max(event.player, 0));
        switch (event.kind) {
            case EventKind::kSmallBlind:
                line(name(event.player) + " posts small blind " + DollarText(event.amount));
                committed[p] += event.amount;
                break;
            case EventKind::kBigBlind:
                line(name(event.player) + " posts big blind " + DollarText(event.amount));
                committed[p] += event.amount;
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
            case EventKind::kBet:
            case EventKind::kRaise: {
                holeCards();
                const Money paid =
                    event.kind == EventKind::kRaise ? event.raiseTo - committed[p] : event.amount;
                committed[p] += paid;
                if (event.allIn) {
                    line(name(event.player) + " goes all in, " + DollarText(paid));
                } else if (event.kind == EventKind::kCall) {
                    line(name(event.player) + " calls " + DollarText(paid));
                } else if (event.kind == EventKind::kBet) {
                    line(name(event.player) + " bets " + DollarText(paid));
                } else {
                    line(name(event.player) + " raises to " + DollarText(event.raiseTo));
                }
                break;
            }
            case EventKind::kReturned:
                holeCards();
                committed[p] -= event.amount;
                line(name(event.player) + " was returned " + DollarText(event.amount));
                break;
            case EventKind::kStreet:
                holeCards();
                std::fill(committed.begin(), committed.end(), 0);
                if (event.street == 1) {
                    line("Flop is dealt " + Cards(hand.board.data(), 3));
                } else if (event.street == 2) {
                    line("Turn is dealt " + Cards(hand.board.data(), 3) + " " +
                         Cards(hand.board.data() + 3, 1));
                } else {
                    line("River is dealt " + Cards(hand.board.data(), 4) + " " +
                         Cards(hand.board.data() + 4, 1));
                }
                break;
        }
    }
    holeCards();
    if (hand.showdown) {
        for (int p : hand.shown) {
            line(name(p) + "'s pocket cards were " +
                 Cards(hand.holeCards[static_cast<std::size_t>(p)].data(), 2));
        }
        for (int p : hand.mucked) line(name(p) + " mucks");
    }
    for (std::size_t i = 0; i < hand.pots.size(); ++i) {
        const std::string from = i == 0 ? "main pot" : "side pot " + std::to_string(i);
        for (const auto& [player, amount] : hand.pots[i].shares) {
            line(name(player) + " wins money from " + from + ": " + DollarText(amount));
        }
    }
    line(kSeparator);
    return out;
}

}  // namespace sim
