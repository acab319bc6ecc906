// Fuzzes the PokerStars parser (see parser_fuzz.h).

#include <cstddef>
#include <cstdint>

#include "fuzz/parser_fuzz.h"
#include "hands/hand_poker_stars.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzParser(data, size, [&] { return CHandPokerStars("Hero"); });
}
