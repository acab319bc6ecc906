#pragma once
// Whole-record golden files of the parser tests: every hand of a test
// history in the JSON form the parser tool prints (hands/hand_json.h),
// compared whole with tests/hands/golden/NAME.jsonl so that a change of one
// byte in any field is seen. Run with SEATWATCH_UPDATE_GOLDEN=1 to rewrite
// the golden files after a reviewed change.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "hands/hand.h"
#include "hands/hand_factory.h"
#include "hands/hand_json.h"
#include "hands/stdio_file_custom.h"

namespace roomtest {

// One test history: its text, or a file of the source tree, and its hero.
struct GoldenHistory {
    std::string name;  // written as the "file" of its hands
    std::string text;  // read when `path` is empty
    std::string hero = "Hero";
    std::string path = {};  // relative to the source tree
};

// The JSON lines of every hand of `history` read with parsers of `room`, as
// the parser tool reads a file.
inline std::string HandsJson(const std::string& room, const GoldenHistory& history) {
    CStdioFileCustom reader;
    HandParserOptions options;
    if (history.path.empty()) {
        reader.OpenText(history.text);
    } else {
        options.filePath = std::string(SEATWATCH_SOURCE_DIR) + "/" + history.path;
        EXPECT_TRUE(reader.Open(options.filePath)) << options.filePath;
    }
    // The tool reads a file whose end is final.
    reader.SetTextEnd(TextEnd::kComplete);
    std::string out;
    for (int guard = 0; guard < 1000; ++guard) {
        std::uint64_t before = reader.GetPosition();
        std::unique_ptr<CHand> hand = CreateHandParser(room, history.hero, options);
        if (hand == nullptr) {
            ADD_FAILURE() << "no parser for " << room;
            break;
        }
        int result = hand->ReadHand(reader);
        if (result == CHand::kNoHandStart) break;
        hands::AppendHandJson(out, history.name, *hand, result,
                              result == CHand::kParseOk && hand->potAwarded);
        if (reader.GetPosition() == before) break;
    }
    return out;
}

// Compares the hands of all `histories` with the golden file `golden`.
inline void ExpectGoldenHands(const std::string& room, const std::vector<GoldenHistory>& histories,
                              const std::string& golden) {
    std::string text;
    for (const GoldenHistory& history : histories) {
        std::string json = HandsJson(room, history);
        EXPECT_FALSE(json.empty()) << "no hand in " << history.name;
        text += json;
    }
    const std::filesystem::path file =
        std::filesystem::path(SEATWATCH_SOURCE_DIR) / "tests/hands/golden" / (golden + ".jsonl");
    if (std::getenv("SEATWATCH_UPDATE_GOLDEN") != nullptr)
        std::ofstream(file, std::ios::binary) << text;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(text, expected.str()) << "golden file " << file;
}

}  // namespace roomtest
