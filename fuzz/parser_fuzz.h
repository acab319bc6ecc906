#pragma once
// The body shared by the parser fuzz targets: feeds arbitrary bytes to a room
// parser as a history file and reads every hand, as the log reader does, then
// runs the queries the analysis asks of every taken hand. Any crash, hang,
// sanitizer report or escaping exception is a finding.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "hands/hand.h"
#include "hands/stdio_file_custom.h"

// `makeHand` returns a fresh parser object (by value) for each hand.
template <typename MakeHand>
int FuzzParser(const std::uint8_t* data, std::size_t size, MakeHand makeHand) {
    CStdioFileCustom reader;
    reader.OpenText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (;;) {
        std::uint64_t before = reader.GetPosition();
        auto hand = makeHand();
        int result = hand.ReadHand(reader);
        if (result == CHand::kNoHandStart) break;
        if (result == CHand::kParseOk && hand.potAwarded) {
            (void)hand.GetPlayerCount();
            (void)hand.Rake();
            (void)hand.WinnerCount();
            for (int position = 0; position < CHand::kPositions; ++position) {
                (void)hand.OrdinalPosition(hand.NameAtPosition(position).second);
                (void)hand.PostedBlind(position);
                (void)hand.RaisedPreflop(position);
                (void)hand.HasExtraPost(position);
            }
        }
        // Each call must consume input; a call that does not would loop.
        if (reader.GetPosition() <= before) __builtin_trap();
    }
    return 0;
}
