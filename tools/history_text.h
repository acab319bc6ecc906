#pragma once
// Pieces of text every history writer needs: money, cards, Eastern times,
// and the safe part of a file name made from a table name.

#include <cstdint>
#include <string>

#include "tools/played_hand.h"

namespace sim {

// "$0.05", "$1.40", "$10": dollars and cents as the clients write them.
std::string DollarText(Money cents);

// "[Ah Kd]": `count` card numbers (0..51) in brackets.
std::string CardListText(const int* cards, int count);

// The US Eastern wall clock at an instant: Eastern standard time, or
// daylight time from the second Sunday of March at 2:00 to the first Sunday
// of November at 2:00.
struct EasternClock {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
EasternClock EasternClockAt(std::int64_t utcSeconds);

// "2010/03/05 21:10:11 ET".
std::string EasternTimeText(std::int64_t utcSeconds);

// A table name fit to be part of a file name: separators, reserved and
// control characters become "_", a name of dots or blanks only becomes
// "Table", and at most 64 bytes are kept.
std::string SafeFileNamePart(const std::string& table);

}  // namespace sim
