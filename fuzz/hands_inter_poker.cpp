// Fuzzes the InterPoker parser (see parser_fuzz.h).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/parser_fuzz.h"
#include "hands/hand_inter_poker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The hero learned from a "dealt to" line carries over between hands.
    auto learned = std::make_shared<std::string>();
    return FuzzParser(data, size, [&] { return CHandInterPoker("Hero", "/logs/PK/x/h.txt", learned); });
}
