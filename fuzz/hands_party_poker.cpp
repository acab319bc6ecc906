// Fuzzes the PartyPoker parser (see parser_fuzz.h).

#include <cstddef>
#include <cstdint>

#include "fuzz/parser_fuzz.h"
#include "hands/hand_party_poker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzParser(data, size, [&] { return CHandPartyPoker("Hero"); });
}
