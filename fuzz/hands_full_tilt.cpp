// Fuzzes the Full Tilt parser (see parser_fuzz.h).

#include <cstddef>
#include <cstdint>

#include "fuzz/parser_fuzz.h"
#include "hands/hand_full_tilt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzParser(data, size, [&] { return CHandFullTilt("Hero"); });
}
