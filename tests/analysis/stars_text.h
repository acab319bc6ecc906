#pragma once
// Hand-written PokerStars hands for the analysis tests: a header, the seats
// and the given body, parsed by the PokerStars reader.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hands/hand_poker_stars.h"
#include "hands/stdio_file_custom.h"

namespace testing_hands {

// "Hold'em Limit ($1/$2 USD)" ring game unless `game` says otherwise.
struct Table {
    int button = 1;
    std::vector<std::string> seats;  // seat i+1; empty for an empty seat
    std::string game = "Hold'em Limit ($1/$2 USD)";
    std::string name = "Test Table";
    std::string time = "2010/08/19 21:01:22";  // Eastern time
};

// Money won or cards shown, written as summary seat lines.
struct SummaryLine {
    std::string name;
    std::string text;  // "collected ($4.50)" or "showed [Ah Kd] and lost"
};

// The hand: header, seats, `body` (posts, streets, actions) and a summary
// with `summary` as seat lines.
inline std::string HandText(std::uint64_t number, const Table& table, std::string_view body,
                            const std::vector<SummaryLine>& summary = {}) {
    std::string text = "PokerStars Game #" + std::to_string(number) + ":  " + table.game + " - " + table.time +
                       " ET\nTable '" + table.name + "' 10-max Seat #" + std::to_string(table.button) +
                       " is the button\n";
    for (std::size_t i = 0; i < table.seats.size(); ++i) {
        if (table.seats[i].empty()) continue;
        text += "Seat " + std::to_string(i + 1) + ": " + table.seats[i] + " ($100 in chips)\n";
    }
    text += body;
    if (text.back() != '\n') text += '\n';
    text += "*** SUMMARY ***\nTotal pot $1 | Rake $0\n";
    for (const SummaryLine& line : summary) {
        std::size_t seat = 0;
        for (std::size_t i = 0; i < table.seats.size(); ++i) {
            if (table.seats[i] == line.name) seat = i + 1;
        }
        text += "Seat " + std::to_string(seat) + ": " + line.name + " " + line.text + "\n";
    }
    text += "\n\n";
    return text;
}

// Parses one hand; nullptr (with the reason in `error`) when it is rejected.
inline std::unique_ptr<CHand> Parse(const std::string& text, const std::string& hero = "Hero",
                                    std::string* error = nullptr) {
    auto hand = std::make_unique<CHandPokerStars>(hero);
    CStdioFileCustom reader;
    reader.OpenText(text);
    int result = hand->ReadHand(reader);
    if (result != 0) {
        if (error != nullptr) *error = "result " + std::to_string(result) + " " + hand->RejectReason();
        return nullptr;
    }
    return hand;
}

}  // namespace testing_hands
