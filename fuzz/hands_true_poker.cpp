// Feeds arbitrary bytes to the TruePoker parser as a history file and reads
// every hand, as the log reader does. Any crash, hang, sanitizer report or
// escaping exception is a finding.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "hands/hand_true_poker.h"
#include "html/stdio_file_custom.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CStdioFileCustom reader;
    reader.OpenText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (;;) {
        std::uint64_t before = reader.GetPosition();
        CHandTruePoker hand("Hero");
        int result = hand.ReadHand(reader);
        if (result == CHand::kNoHandStart) break;
        if (result == CHand::kParseOk && hand.potAwarded) {
            (void)hand.GetPlayerCount();
            (void)hand.Rake();
            for (int position = 0; position < CHand::kPositions; ++position) {
                (void)hand.OrdinalPosition(hand.NameAtPosition(position).second);
                (void)hand.PostedBlind(position);
            }
        }
        // Each call must consume input; a call that does not would loop.
        if (reader.GetPosition() <= before) __builtin_trap();
    }
    return 0;
}
