#pragma once
// CalculatorPageData and WriteCalculatorPage: the calculator page, the one
// page both calculator windows show (win and split chances, the player's and
// the best opponent's hand categories with odds and outs, the cards, and the
// pocket's starting-hand rank and group).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/table_calculator_link.h"
#include "calc/hand_value.h"

// What the page shows. Fractions are 0..1, or -1 for "not available".
struct CalculatorPageData {
    std::string pagePath;    // Full path of the page file; set by WriteCalculatorPage.
    std::string folder;      // Output folder of the generated pages.
    std::string title;       // The table name, or "Seatwatch Manual Calculator".
    std::string pocketText;  // Pocket cards as card labels ("[Ah][Kd]" or "[Ah,Kd]").
    std::string flopText;    // Board cards as card labels; empty while not known.
    std::string turnText;
    std::string riverText;
    float win = -1;    // Fraction of trials won.
    float split = -1;  // Fraction of trials split.
    std::array<float, kCategoryCount> playerFraction = Unavailable();
    std::array<float, kCategoryCount> opponentFraction = Unavailable();
    std::array<float, kCategoryCount> bestFraction = Unavailable();
    std::array<std::int32_t, kCategoryCount> outs{};
    std::int32_t pocketRank = 0;   // 1..169 among the starting hands; 170 = no pocket.
    std::int32_t pocketGroup = 0;  // Starting-hand group 1..8; 9 = no group.
    float spare = 0;               // Carried, not shown.
    // The chances and category figures count every deal rather than a sample;
    // the page then says so under the win and split chances.
    bool exact = false;

    static constexpr std::array<float, kCategoryCount> Unavailable() {
        std::array<float, kCategoryCount> all{};
        all.fill(-1);
        return all;
    }
};

// The page file for a window title: "Calculator_<title>.htm" in `folder`, the
// title made safe as a file name (no "/", "\", "..", control or reserved
// characters, bounded length), so a table name can never leave the folder.
std::string CalculatorPagePath(std::string_view folder, std::string_view title);

// Writes the calculator page of `page` (replacing an old one) and sets
// page.pagePath. With the warning kWrongSize the page holds only the request to
// set the poker table to its default size. Returns false, leaving any old page in
// place, when the file cannot be written.
bool WriteCalculatorPage(CalculatorPageData& page, TableSizeWarning warning);

// The display name of a category ("Royal", "Str Flsh", ... "High Card").
std::string_view CategoryDisplayName(HandCategory category);

// Odds against a probability p > 0 (">1:1", "3:1", "19:1" ...).
std::string OddsText(float p);
