#include "tools/poker_stars_history_writer.h"

#include <algorithm>
#include <cstdio>

#include "calc/card_index.h"
#include "tools/table_simulator.h"

namespace sim {

namespace {

constexpr const char* kEnd = "\r\n";

std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The day number of the n-th Sunday of a month.
std::int64_t NthSunday(std::int64_t year, int month, int n) {
    const std::int64_t first = DaysFromCivil(year, month, 1);
    const std::int64_t weekday = ((first % 7) + 11) % 7;  // 0 Sunday
    return first + (7 - weekday) % 7 + 7 * (n - 1);
}

// Eastern time's offset from UTC in seconds at an instant.
std::int64_t EasternOffset(std::int64_t utc) {
    const Civil date = CivilFromDays(FloorDiv(utc, 86400));
    const std::int64_t start = NthSunday(date.year, 3, 2) * 86400 + 7 * 3600;  // 2:00 EST
    const std::int64_t end = NthSunday(date.year, 11, 1) * 86400 + 6 * 3600;   // 2:00 EDT
    return (utc >= start && utc < end) ? -4 * 3600 : -5 * 3600;
}

std::string CardText(int card) {
    static constexpr char kRanks[] = "A23456789TJQK";
    static constexpr char kSuits[] = "schd";
    return {kRanks[calc::RankOf(card)], kSuits[calc::SuitOf(card)]};
}

std::string Cards(const int* cards, int count) {
    std::string text = "[";
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        text += CardText(cards[i]);
    }
    return text + "]";
}

const char* const kStreetNames[] = {"Flop", "Turn", "River"};

}  // namespace

std::string PokerStarsMoney(Money cents) {
    char text[32];
    if (cents % 100 == 0) {
        std::snprintf(text, sizeof text, "$%lld", static_cast<long long>(cents / 100));
    } else {
        std::snprintf(text, sizeof text, "$%lld.%02lld", static_cast<long long>(cents / 100),
                      static_cast<long long>(cents % 100));
    }
    return text;
}

std::string EasternTimeText(std::int64_t utcSeconds) {
    const std::int64_t local = utcSeconds + EasternOffset(utcSeconds);
    const std::int64_t days = FloorDiv(local, 86400);
    const std::int64_t rest = local - days * 86400;
    const Civil date = CivilFromDays(days);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld/%02d/%02d %02d:%02d:%02d ET",
                  static_cast<long long>(date.year), date.month, date.day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60));
    return text;
}

std::string PokerStarsFileName(const PlayedHand& hand) {
    std::string table;
    for (char c : hand.table) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unsafe = c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
                            c == '<' || c == '>' || c == '|' || byte < 0x20;
        table += unsafe ? '_' : c;
    }
    // No name of dots only, and nothing that could reach a parent folder.
    if (table.find_first_not_of(". ") == std::string::npos) table = "Table";
    if (table.size() > 64) table.resize(64);
    const std::string date = EasternTimeText(hand.startTime).substr(0, 10);
    std::string name = "HH";
    for (char c : date) {
        if (c != '/') name += c;
    }
    return name + " " + table + " - " + PokerStarsMoney(hand.smallBlind) + "-" +
           PokerStarsMoney(hand.bigBlind) + " - USD No Limit Hold'em.txt";
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
         PokerStarsMoney(hand.smallBlind) + "/" + PokerStarsMoney(hand.bigBlind) + " USD) - " +
         EasternTimeText(hand.startTime));
    line("Table '" + hand.table + "' " + std::to_string(hand.maxSeats) + "-max Seat #" +
         std::to_string(hand.buttonSeat) + " is the button");
    for (const SeatedPlayer& player : hand.players) {
        line("Seat " + std::to_string(player.seat) + ": " + player.name + " (" +
             PokerStarsMoney(player.stack) + " in chips) ");
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
                line(name(event.player) + ": posts small blind " + PokerStarsMoney(event.amount));
                break;
            case EventKind::kBigBlind:
                line(name(event.player) + ": posts big blind " + PokerStarsMoney(event.amount));
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
                line(name(event.player) + ": calls " + PokerStarsMoney(event.amount) + allIn);
                break;
            case EventKind::kBet:
                line(name(event.player) + ": bets " + PokerStarsMoney(event.amount) + allIn);
                break;
            case EventKind::kRaise:
                holeCards();
                line(name(event.player) + ": raises " + PokerStarsMoney(event.amount) + " to " +
                     PokerStarsMoney(event.raiseTo) + allIn);
                break;
            case EventKind::kReturned:
                holeCards();
                line("Uncalled bet (" + PokerStarsMoney(event.amount) + ") returned to " +
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
            line(name(player) + " collected " + PokerStarsMoney(amount) + " from " + from);
        }
    }
    line("*** SUMMARY ***");
    std::string total = "Total pot " + PokerStarsMoney(hand.totalPot);
    if (sidePots) {
        total += " Main pot " + PokerStarsMoney(hand.pots[0].amount) + ".";
        for (std::size_t i = 1; i < hand.pots.size(); ++i) {
            total += " Side pot" +
                     (hand.pots.size() > 2 ? "-" + std::to_string(i) : std::string()) + " " +
                     PokerStarsMoney(hand.pots[i].amount) + ".";
        }
    }
    line(total + " | Rake " + PokerStarsMoney(hand.rake) + " ");
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
            text += hand.won[i] > 0 ? " and won (" + PokerStarsMoney(hand.won[i]) + ") with "
                                    : std::string(" and lost with ");
            text += hand.handWords[i];
        } else if (mucked) {
            text += " mucked " + cards;
        } else {
            text += " collected (" + PokerStarsMoney(hand.won[i]) + ")";
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
