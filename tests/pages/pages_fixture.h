#pragma once
// A small world for page tests: an analyzer writing through CAnalysisPages
// into a fresh temporary output folder, hands written by hand, and golden
// pages under tests/pages/golden compared whole. Run with
// SEATWATCH_UPDATE_GOLDEN=1 to rewrite the golden files after a reviewed
// change.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/hand_analyzer.h"
#include "analysis/hand_reference.h"
#include "pages/analysis_pages.h"
#include "pages/page_parts.h"
#include "platform/clock.h"
#include "platform/memory_profile.h"
#include "tests/analysis/stars_text.h"

namespace pagetest {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Compares `text` with tests/pages/golden/NAME.htm.
inline void ExpectGolden(const std::string& text, const std::string& name) {
    const std::filesystem::path file =
        std::filesystem::path(SEATWATCH_SOURCE_DIR) / "tests/pages/golden" / (name + ".htm");
    if (std::getenv("SEATWATCH_UPDATE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    EXPECT_EQ(text, ReadFile(file)) << "golden file " << file;
}

// The page text with the temporary folder, as it stands and as escaped in
// link arguments, written as "OUT".
inline std::string Portable(std::string text, const std::string& folder) {
    for (const std::string& form : {folder, pages::ScriptArgument(folder)}) {
        for (std::size_t at = text.find(form); at != std::string::npos; at = text.find(form, at))
            text.replace(at, form.size(), "OUT");
    }
    return text;
}

// 2010/08/19 21:01:22 Eastern time, the time of the test hands.
inline constexpr std::int64_t kHandTime = 1'282'266'082;

// Six seats with the button in seat 1: positions 0..5 are Btn, Sb, Bb, P3,
// Hero, P5.
inline testing_hands::Table SixSeats(std::string name = "Test Table") {
    testing_hands::Table t;
    t.button = 1;
    t.seats = {"Btn", "Sb", "Bb", "P3", "Hero", "P5"};
    t.name = std::move(name);
    return t;
}

inline const char* kBlinds6 =
    "Sb: posts small blind $0.50\nBb: posts big blind $1\n*** HOLE CARDS ***\n";

// The body of a hand and its summary seat lines.
struct Script {
    std::string body;
    std::vector<testing_hands::SummaryLine> summary;
};

// A limit hand to showdown: P3 raises, Hero and Bb call, P3 wins with QQ.
inline Script ShowdownHand(const testing_hands::Table& t) {
    const std::string& p3 = t.seats[3];
    const std::string& hero = t.seats[4];
    return {std::string(kBlinds6) + "Dealt to " + hero + " [Ah Kd]\n" + p3 + ": raises $1 to $2\n" +
                hero + ": calls $2\n" + t.seats[5] +
                ": folds\nBtn: folds\nSb: folds\nBb: calls $1\n" +
                "*** FLOP *** [2c 7h Td]\nBb: checks\n" + p3 + ": bets $1\n" + hero +
                ": calls $1\nBb: folds\n*** TURN *** [2c 7h Td] [Js]\n" + p3 + ": checks\n" + hero +
                ": checks\n*** RIVER *** [2c 7h Td Js] [3s]\n" + p3 + ": checks\n" + hero +
                ": checks\n*** SHOW DOWN ***\n" + p3 + ": shows [Qh Qs] (a pair of Queens)\n" +
                hero + ": shows [Ah Kd] (high card Ace)\n" + p3 + " collected $8 from pot\n",
            {{p3, "showed [Qh Qs] and won ($8)"}, {hero, "showed [Ah Kd] and lost"}}};
}

// P3 raises and everybody folds.
inline Script FoldAroundHand(const testing_hands::Table& t) {
    const std::string& p3 = t.seats[3];
    return {std::string(kBlinds6) + "Dealt to " + t.seats[4] + " [7c 2d]\n" + p3 +
                ": raises $1 to $2\n" + t.seats[4] + ": folds\n" + t.seats[5] +
                ": folds\nBtn: folds\nSb: folds\nBb: folds\nUncalled bet ($1) returned to " + p3 +
                "\n" + p3 + " collected $2.50 from pot\n",
            {{p3, "collected ($2.50)"}}};
}

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '_');  // parameterised tests
        folder = std::filesystem::temp_directory_path() /
                 ("seatwatch_pages_" + std::to_string(::getpid()) + "_" + test);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        analyzer = std::make_unique<CHandAnalyzer>(settings, reference, clock);
        CHandAnalyzer::StartValues start;
        start.roomId = 100;
        start.userName = hero;
        start.outputFolder = folder.string();
        start.sessionStart = kHandTime - 3600;
        analyzer->Initialise(start);
        analyzer->SetPages(&pages);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Parses and stores one hand, folds it in live and enters it in its
    // table's record; fails the test when the text is rejected.
    const CHand* Play(std::uint64_t number, const testing_hands::Table& table, const Script& script,
                      const std::string* tableName = nullptr) {
        std::string text = testing_hands::HandText(number, table, script.body, script.summary);
        std::string error;
        auto hand = testing_hands::Parse(text, hero, &error);
        EXPECT_TRUE(hand) << error << "\n" << text;
        if (!hand) return nullptr;
        // A table name the history text could not carry is set afterwards.
        if (tableName != nullptr) hand->tableName = *tableName;
        const CHand* raw = hand.get();
        analyzer->AddHand(std::move(hand));
        analyzer->Process(true);
        analyzer->UpdateTable(*raw);
        return raw;
    }

    // Every file of the output folder, by name.
    std::vector<std::string> FolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string hero = "Hero";
    std::filesystem::path folder;
    platform::MemoryProfile settings;
    CHandReference reference;
    platform::ManualClock clock{kHandTime + 600};
    std::unique_ptr<CHandAnalyzer> analyzer;
    CAnalysisPages pages;
};

}  // namespace pagetest
