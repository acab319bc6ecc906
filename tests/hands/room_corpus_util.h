#pragma once
// Helpers for the room parser tests: parse history text, and run a parser
// over every file of a corpus folder checking that each hand is complete or
// rejected with a reason and that its money balances where the history
// states the rake.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hands/hand.h"
#include "hands/parse_text.h"
#include "hands/parse_number.h"
#include "hands/stdio_file_custom.h"

namespace roomtest {

// Invested less returned less won over all positions.
inline std::int64_t Balance(const CHand& hand, bool countReturned) {
    std::int64_t sum = 0;
    for (int p = 0; p < CHand::kPositions; ++p) {
        sum += hand.invested[p] - hand.won[p];
        if (countReturned) {
            for (int s = 0; s < CHand::kStreets; ++s) sum -= hand.returned[p][s];
        }
    }
    return sum;
}

struct CorpusCounts {
    int complete = 0;
    std::map<std::string, int> rejected;  // reason -> count
};

// The corpus folder of a family, or empty when the corpus is absent.
inline std::filesystem::path CorpusFolder(const std::string& family) {
    std::filesystem::path folder = std::filesystem::path(SEATWATCH_SOURCE_DIR) / ".." / "shared" / "corpus" / family;
    return std::filesystem::is_directory(folder) ? folder : std::filesystem::path();
}

// The hero of a file: the name on its first "Dealt to " line ("Hero" when
// none), so the hero check of the parsers passes on real files.
inline std::string HeroOf(const std::string& path) {
    CStdioFileCustom reader;
    if (!reader.Open(path)) return "Hero";
    std::string line;
    while (reader.ReadString(line)) {
        std::size_t at = line.find("Dealt to ");
        if (at == std::string::npos) continue;
        std::size_t end = line.find(" [", at);
        if (end == std::string::npos) continue;
        return std::string(hands::Trim(std::string_view(line).substr(at + 9, end - at - 9)));
    }
    return "Hero";
}

// Stated rake per hand number, from the header marker and the first line
// after it holding `rakeMarker` (absent: no rake stated).
inline std::map<std::uint64_t, std::int64_t> StatedRakes(const std::string& path, const std::vector<std::string>& headers,
                                                         const std::string& rakeMarker) {
    std::map<std::uint64_t, std::int64_t> rakes;
    CStdioFileCustom reader;
    if (!reader.Open(path)) return rakes;
    std::string raw;
    std::uint64_t current = 0;
    while (reader.ReadString(raw)) {
        std::string_view line = hands::Trim(raw);
        for (const std::string& header : headers) {
            if (hands::StartsWith(line, header)) current = hands::ReadHandNumber(line, header.size());
        }
        std::size_t at = line.find(rakeMarker);
        if (current != 0 && at != std::string::npos && !rakes.count(current)) {
            std::size_t i = at + rakeMarker.size();
            while (i < line.size() && (line[i] == ' ' || line[i] == '(')) ++i;
            rakes[current] = hands::ReadLooseAmount(line, i);
        }
    }
    return rakes;
}

// Reads every hand of every file of the family's corpus folder with parsers
// from `make`; checks the balance against StatedRakes when `rakeMarker` is
// given (and 0 in tournaments and play money).
inline CorpusCounts RunCorpus(const std::string& family, const std::function<std::unique_ptr<CHand>(const std::string&)>& make,
                              const std::vector<std::string>& headers, const std::string& rakeMarker,
                              bool countReturned) {
    CorpusCounts counts;
    std::filesystem::path folder = CorpusFolder(family);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string path = entry.path().string();
        std::string hero = HeroOf(path);
        auto rakes = rakeMarker.empty() ? std::map<std::uint64_t, std::int64_t>{} : StatedRakes(path, headers, rakeMarker);
        CStdioFileCustom reader;
        if (!reader.Open(path)) {
            ADD_FAILURE() << "cannot open " << path;
            continue;
        }
        for (int guard = 0; guard < 10000; ++guard) {
            std::unique_ptr<CHand> hand = make(hero);
            std::uint64_t before = reader.GetPosition();
            int result = hand->ReadHand(reader);
            if (result == CHand::kNoHandStart) break;
            if (reader.GetPosition() <= before) {
                ADD_FAILURE() << "no progress in " << path;
                break;
            }
            if (result == CHand::kParseOk && hand->potAwarded) {
                ++counts.complete;
                SCOPED_TRACE(path + " hand " + std::to_string(hand->handNumber));
                std::int64_t balance = Balance(*hand, countReturned);
                bool chips = !hand->realMoney || hand->gameKind >= 3;
                auto stated = rakes.find(hand->handNumber);
                if (stated != rakes.end()) {
                    EXPECT_EQ(balance, chips ? 0 : stated->second);
                } else if (!rakeMarker.empty() && chips) {
                    EXPECT_EQ(balance, 0);
                }
            } else {
                std::string reason = result == CHand::kParseRejected ? hand->RejectReason()
                                     : result == CHand::kParseOk     ? "no winner reported"
                                                                     : "end of file, code " + std::to_string(result);
                EXPECT_FALSE(reason.empty()) << path;
                ++counts.rejected[reason];
            }
        }
    }
    return counts;
}

inline void Report(const std::string& family, const CorpusCounts& counts) {
    std::string text = family + ": " + std::to_string(counts.complete) + " complete";
    for (const auto& [reason, n] : counts.rejected) text += "; " + std::to_string(n) + " " + reason;
    std::printf("%s\n", text.c_str());
}

// Parses the first hand of `text` with `hand`.
inline int ParseText(CHand& hand, const std::string& text) {
    CStdioFileCustom reader;
    reader.OpenText(text);
    return hand.ReadHand(reader);
}

}  // namespace roomtest
