#pragma once
// Hand-history text in the PokerStars layout, generated with chosen hand
// numbers and times, for the reader's tests and benchmarks.

#include <cstdint>
#include <cstdio>
#include <string>

namespace rooms_test {

enum class Money { kReal, kPlay };

// One complete hand (header to summary), each line ended by "\r\n", without
// the blank lines the client writes after a hand. `second` spreads the hands
// over the day (0 to 86399).
inline std::string StarsHand(std::uint64_t number, int second = 0, Money money = Money::kReal) {
    const bool real = money == Money::kReal;
    const char* cur = real ? "$" : "";
    const int hour = (second / 3600) % 24;
    const int minute = (second / 60) % 60;
    char header[256];
    std::snprintf(header, sizeof header,
                  "PokerStars Game #%llu:  Hold'em No Limit (%s0.05/%s0.10%s) - 2010/03/05 "
                  "%02d:%02d:%02d ET\r\n",
                  static_cast<unsigned long long>(number), cur, cur, real ? " USD" : "", hour,
                  minute, second % 60);
    std::string text = header;
    text += real ? "Table 'Alcyone III' 6-max Seat #1 is the button\r\n"
                 : "Table 'Alcyone III' 6-max (Play Money) Seat #1 is the button\r\n";
    const std::string c = cur;
    text += "Seat 1: RiverRat77 (" + c + "10 in chips) \r\n";
    text += "Seat 2: SeatwatchUser (" + c + "10 in chips) \r\n";
    text += "Seat 3: maple_leaf (" + c + "10 in chips) \r\n";
    text += "SeatwatchUser: posts small blind " + c + "0.05\r\n";
    text += "maple_leaf: posts big blind " + c + "0.10\r\n";
    text += "*** HOLE CARDS ***\r\n";
    text += "Dealt to SeatwatchUser [Ah Kd]\r\n";
    text += "RiverRat77: raises " + c + "0.20 to " + c + "0.30\r\n";
    text += "SeatwatchUser: calls " + c + "0.25\r\n";
    text += "maple_leaf: folds \r\n";
    text += "*** FLOP *** [Kc 7h 2s]\r\n";
    text += "SeatwatchUser: bets " + c + "0.50\r\n";
    text += "RiverRat77: folds \r\n";
    text += "Uncalled bet (" + c + "0.50) returned to SeatwatchUser\r\n";
    text += "SeatwatchUser collected " + c + "0.70 from pot\r\n";
    text += "*** SUMMARY ***\r\n";
    text += "Total pot " + c + "0.70 | Rake " + c + "0 \r\n";
    text += "Board [Kc 7h 2s]\r\n";
    text += "Seat 1: RiverRat77 (button) folded on the Flop\r\n";
    text += "Seat 2: SeatwatchUser (small blind) collected (" + c + "0.70)\r\n";
    text += "Seat 3: maple_leaf (big blind) folded before Flop\r\n";
    return text;
}

// The blank lines the client writes after each hand.
inline constexpr const char* kHandGap = "\r\n\r\n\r\n";

// A hand followed by its blank lines.
inline std::string StarsHandWithGap(std::uint64_t number, int second = 0,
                                    Money money = Money::kReal) {
    return StarsHand(number, second, money) + kHandGap;
}

}  // namespace rooms_test
