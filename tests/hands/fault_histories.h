#pragma once
// The histories of tests/data/faults/ (see its README.md): reads one whole and
// parses every hand of it, for the parser tests of the faults found on real
// client files.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "hands/hand.h"
#include "hands/stdio_file_custom.h"

namespace faulttest {

// The bytes of tests/data/faults/`relative`; a missing file fails the test.
inline std::string History(const std::string& relative) {
    std::string path = std::string(SEATWATCH_SOURCE_DIR) + "/tests/data/faults/" + relative;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot open " << path;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Read {
    int result = 0;
    std::string reason;  // RejectReason() of a rejected hand
    bool complete = false;
    std::unique_ptr<CHand> hand;
};

// Every hand of `text`, each read by a new parser from `make`, until no
// further hand starts. `end` tells whether the text may still grow.
inline std::vector<Read> ReadAll(const std::string& text,
                                 const std::function<std::unique_ptr<CHand>()>& make,
                                 TextEnd end = TextEnd::kMayGrow) {
    std::vector<Read> reads;
    CStdioFileCustom reader;
    reader.OpenText(text);
    reader.SetTextEnd(end);
    for (int guard = 0; guard < 100; ++guard) {
        Read read;
        read.hand = make();
        std::uint64_t before = reader.GetPosition();
        read.result = read.hand->ReadHand(reader);
        if (read.result == CHand::kNoHandStart) break;
        read.reason = read.hand->RejectReason();
        read.complete = read.result == CHand::kParseOk && read.hand->potAwarded;
        reads.push_back(std::move(read));
        if (reader.GetPosition() <= before) {
            ADD_FAILURE() << "no progress";
            break;
        }
    }
    return reads;
}

// Invested less returned less won over all positions: the rake.
inline std::int64_t Balance(const CHand& hand) {
    std::int64_t sum = 0;
    for (int p = 0; p < CHand::kPositions; ++p) {
        sum += hand.invested[p] - hand.won[p];
        for (int s = 0; s < CHand::kStreets; ++s) sum -= hand.returned[p][s];
    }
    return sum;
}

}  // namespace faulttest
