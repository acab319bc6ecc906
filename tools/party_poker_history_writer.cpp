#include "tools/party_poker_history_writer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "calc/card_index.h"
#include "tools/history_text.h"

namespace sim {

namespace {

constexpr const char* kEnd = "\r\n";
// The client ignores a "wins" line this long, so the hand's words are left
// out of a line that would reach it.
constexpr std::size_t kLongestWonLine = 119;

const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

std::string Card(int card) {
    static constexpr char kRanks[] = "A23456789TJQK";
    static constexpr char kSuits[] = "schd";
    return {kRanks[calc::RankOf(card)], kSuits[calc::SuitOf(card)]};
}

// "[ 7c, 5h, 2d ]": board and shown cards, comma separated.
std::string CommaCards(const int* cards, int count) {
    std::string text = "[ ";
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ", ";
        text += Card(cards[i]);
    }
    return text + " ]";
}

// "[$0.25 USD]".
std::string Amount(Money cents) { return "[" + DollarText(cents) + " USD]"; }

// The Eastern date and time with its weekday and zone:
// "Monday, August 30, 16:08:09 EDT 2010".
std::string GameTime(std::int64_t utc) {
    const EasternClock clock = EasternClockAt(utc);
    std::tm wall{};
    wall.tm_year = clock.year - 1900;
    wall.tm_mon = clock.month - 1;
    wall.tm_mday = clock.day;
    wall.tm_hour = clock.hour;
    wall.tm_min = clock.minute;
    wall.tm_sec = clock.second;
    const std::int64_t asUtc = static_cast<std::int64_t>(timegm(&wall));  // fills tm_wday
    const bool daylight = asUtc - utc == -4 * 3600;
    char text[80];
    std::snprintf(text, sizeof text, "%s, %s %02d, %02d:%02d:%02d %s %04d", kWeekdays[wall.tm_wday],
                  kMonths[clock.month - 1], clock.day, clock.hour, clock.minute, clock.second,
                  daylight ? "EDT" : "EST", clock.year);
    return text;
}

}  // namespace

std::string PartyPokerFileName(const PlayedHand& hand) {
    const EasternClock day = EasternClockAt(hand.startTime);
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", day.year, day.month, day.day);
    return std::string(date) + " " + SafeFileNamePart(hand.table) + " - NL Texas Hold'em " +
           DollarText(hand.smallBlind) + "-" + DollarText(hand.bigBlind) + ".txt";
}

std::string WritePartyPokerHand(const PlayedHand& hand) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += kEnd;
    };
    auto name = [&hand](int player) -> const std::string& {
        return hand.players[static_cast<std::size_t>(player)].name;
    };
    const std::string number = std::to_string(hand.number);
    line("Game #" + number + " starts.");
    line("");
    line("#Game No : " + number + " ");
    line("***** Hand History for Game " + number + " *****");
    // The game is named by its buy-in of a hundred big blinds.
    line(DollarText(hand.bigBlind * 100) + " USD NL Texas Hold'em - " + GameTime(hand.startTime));
    line("Table " + hand.table + " (Real Money)");
    line("Seat " + std::to_string(hand.buttonSeat) + " is the button");
    line("Total number of players : " + std::to_string(hand.players.size()) + "/" +
         std::to_string(hand.maxSeats) + " ");
    for (const SeatedPlayer& player : hand.players) {
        line("Seat " + std::to_string(player.seat) + ": " + player.name + " ( " +
             DollarText(player.stack) + " USD )");
    }
    // What each player has put in on the current street: a raise line says
    // what the raiser adds now.
    std::vector<Money> committed(hand.players.size(), 0);
    std::vector<Money> returned(hand.players.size(), 0);
    bool holeCardsWritten = false;
    auto holeCards = [&] {
        if (holeCardsWritten) return;
        holeCardsWritten = true;
        line("** Dealing down cards **");
        for (std::size_t p = 0; p < hand.players.size(); ++p) {
            if (!hand.players[p].hero) continue;
            const auto& cards = hand.holeCards[p];
            line("Dealt to " + hand.players[p].name + " [  " + Card(cards[0]) + " " +
                 Card(cards[1]) + " ]");
        }
    };
    for (const HandEvent& event : hand.events) {
        const std::size_t p = static_cast<std::size_t>(std::max(event.player, 0));
        switch (event.kind) {
            case EventKind::kSmallBlind:
                line(name(event.player) + " posts small blind " + Amount(event.amount) + ".");
                committed[p] += event.amount;
                break;
            case EventKind::kBigBlind:
                line(name(event.player) + " posts big blind " + Amount(event.amount) + ".");
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
                const char* verb = event.allIn                      ? " is all-In  "
                                   : event.kind == EventKind::kCall ? " calls "
                                   : event.kind == EventKind::kBet  ? " bets "
                                                                    : " raises ";
                line(name(event.player) + verb + Amount(paid));
                break;
            }
            case EventKind::kReturned:
                holeCards();
                committed[p] -= event.amount;
                returned[p] += event.amount;
                break;
            case EventKind::kStreet:
                holeCards();
                std::fill(committed.begin(), committed.end(), 0);
                if (event.street == 1) {
                    line("** Dealing Flop ** " + CommaCards(hand.board.data(), 3));
                } else if (event.street == 2) {
                    line("** Dealing Turn ** " + CommaCards(hand.board.data() + 3, 1));
                } else {
                    line("** Dealing River ** " + CommaCards(hand.board.data() + 4, 1));
                }
                break;
        }
    }
    holeCards();
    if (hand.showdown) {
        for (int p : hand.shown) {
            line(name(p) + " shows " +
                 CommaCards(hand.holeCards[static_cast<std::size_t>(p)].data(), 2) +
                 hand.handWords[static_cast<std::size_t>(p)] + ".");
        }
        for (int p : hand.mucked) line(name(p) + " does not show cards.");
    } else if (!hand.pots.empty()) {
        line(name(hand.pots.front().shares.front().first) + " does not show cards.");
    }
    // Money going back to a player who wins no pot.
    std::vector<bool> wins(hand.players.size(), false);
    for (const PotAward& pot : hand.pots) {
        for (const auto& share : pot.shares) wins[static_cast<std::size_t>(share.first)] = true;
    }
    for (std::size_t p = 0; p < hand.players.size(); ++p) {
        if (returned[p] > 0 && !wins[p]) {
            line(name(static_cast<int>(p)) + " wins " + DollarText(returned[p]) + " USD");
        }
    }
    // Side pots first, then the main pot; a returned bet goes with the
    // first pot its player wins.
    for (std::size_t i = hand.pots.size(); i-- > 0;) {
        for (const auto& [player, amount] : hand.pots[i].shares) {
            const std::size_t p = static_cast<std::size_t>(player);
            const Money total = amount + returned[p];
            returned[p] = 0;
            std::string text = name(player) + " wins " + DollarText(total) + " USD";
            if (hand.showdown) {
                text += i == 0 ? " from the main pot" : " from the side pot " + std::to_string(i);
                const std::string words = " with " + hand.handWords[p] + ".";
                if (!hand.handWords[p].empty() && text.size() + words.size() <= kLongestWonLine) {
                    text += words;
                }
            }
            line(text);
        }
    }
    line("");
    return out;
}

}  // namespace sim
