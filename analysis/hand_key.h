#pragma once
// CHandKey: the key under which a hand is filed in player records and hand
// summaries. Keys order hands chronologically, ties by hand number; Text()
// gives the readable form "%y%m%d %H:%M:%S-%09llu" in local time.
//
// The key compares the instant and the number, not the text: the text would
// put a ten-digit hand number before a nine-digit one and repeat an hour
// when daylight-saving time ends.

#include <compare>
#include <cstdint>
#include <string>

class CHand;

struct CHandKey {
    std::int64_t dateTime = 0;  // seconds since 1970, UTC
    std::uint64_t handNumber = 0;

    static CHandKey Of(const CHand& hand);
    std::string Text() const;

    friend auto operator<=>(const CHandKey&, const CHandKey&) = default;
    friend bool operator==(const CHandKey&, const CHandKey&) = default;
};
