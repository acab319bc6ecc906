#pragma once
// A small world for analyzer tests: settings in memory, a manual clock, the
// starting-hand reference, and helpers that parse hand-written hands into the
// analyzer.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "analysis/hand_analyzer.h"
#include "analysis/hand_reference.h"
#include "platform/clock.h"
#include "platform/memory_profile.h"
#include "tests/analysis/stars_text.h"

class AnalyzerTest : public ::testing::Test {
protected:
    // Eight players, the button in seat 1: positions 0..7 are Btn, Sb, Bb,
    // P3 ... P7; "Hero" takes the seat given to MakeTable.
    static testing_hands::Table MakeTable(int heroSeat = 4) {
        testing_hands::Table t;
        t.button = 1;
        t.seats = {"Btn", "Sb", "Bb", "P3", "P4", "P5", "P6", "P7"};
        if (heroSeat > 0) t.seats[static_cast<std::size_t>(heroSeat - 1)] = "Hero";
        return t;
    }

    void SetUp() override {
        analyzer = std::make_unique<CHandAnalyzer>(settings, reference, clock);
        CHandAnalyzer::StartValues start;
        start.roomId = 100;
        start.userName = "Hero";
        start.outputFolder = "/tmp";
        analyzer->Initialise(start);
    }

    // Parses and stores one hand; fails the test when the text is rejected.
    const CHand* Add(std::uint64_t number, const testing_hands::Table& table, const std::string& body,
                     const std::vector<testing_hands::SummaryLine>& summary = {}) {
        std::string text = testing_hands::HandText(number, table, body, summary);
        std::string error;
        auto hand = testing_hands::Parse(text, "Hero", &error);
        EXPECT_TRUE(hand) << error << "\n" << text;
        if (!hand) return nullptr;
        const CHand* raw = hand.get();
        analyzer->AddHand(std::move(hand));
        return raw;
    }

    std::int64_t C(std::string_view key, int counter) {
        CPlayerStats* record = analyzer->FindPlayer(key);
        EXPECT_NE(record, nullptr) << key;
        return record != nullptr ? record->Counter(counter) : -999;
    }

    platform::MemoryProfile settings;
    CHandReference reference;
    platform::ManualClock clock{1'700'000'000};
    std::unique_ptr<CHandAnalyzer> analyzer;
};

// Blinds and the hole-card marker of a $1/$2 limit hand.
inline const char* kBlinds = "Sb: posts small blind $0.50\nBb: posts big blind $1\n*** HOLE CARDS ***\n";
