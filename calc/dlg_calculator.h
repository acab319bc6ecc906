#pragma once
// CDlgCalculator: the calculator window of one poker table. It attaches
// itself to the table's record, which refreshes it from each new hand history
// (card texts) or from the cards read off the table window; it then runs the
// odds engine and shows the calculator page. Created hidden by the table's
// information window; AttachToTable shows it for the rooms whose cards can be
// read. The record must outlive the calculator, which detaches itself when
// destroyed.

#include <array>
#include <cstdint>
#include <string>

#include "analysis/table_calculator_link.h"
#include "calc/hand_value.h"
#include "calc/odds_calculator.h"
#include "calc/starting_hand_lookup.h"
#include "platform/desktop.h"

class CTableRecord;

class CDlgCalculator : public ITableCalculatorLink {
  public:
    static constexpr int kTrials = 10'000;
    static constexpr int kTimeLimitMs = 2'200;

    // Creates the window, hidden, owned by `owner`. `lookup` ranks pockets (may
    // be empty); `timeSource` times the calculations (empty: steady clock).
    CDlgCalculator(platform::Desktop& desktop, platform::WindowId owner,
                   StartingHandLookup lookup = {}, COddsCalculator::TimeSource timeSource = {});
    // Detaches from the record and destroys the window.
    ~CDlgCalculator() override;
    CDlgCalculator(const CDlgCalculator&) = delete;
    CDlgCalculator& operator=(const CDlgCalculator&) = delete;

    // Whether the calculator works for a room id: its family has a table calculator.
    static bool IsSupportedRoom(int roomId);

    // Binds the window to its table: remembers the folder, table name and room
    // code, attaches itself to the record, titles the window
    // "Calculator - <table>", and for supported rooms refreshes from the card
    // texts and shows the window.
    void AttachToTable(std::string folder, CTableRecord& record);

    // Reloads the cards from the record under its lock (the card numbers read
    // off the screen, or the card texts of the history), recalculates,
    // rewrites the page and shows it. A change of the table-size warning first
    // rewrites the page empty with the new warning. A screen read with only
    // one pocket card recognised leaves the page as it was.
    void Refresh(const CTableRecord& record, CardSource source, TableSizeWarning warning) override;

    // Shows (on top, restored) or hides the window; always hides for rooms the
    // calculator does not support.
    void ShowForRoom(bool show);

    // Runs the odds engine on the loaded cards: no simulation preflop, outs on
    // the flop and turn. Ignored while a calculation is running.
    void Recalculate();

    platform::WindowId Window() const { return window_; }
    const std::string& PagePath() const { return pagePath_; }
    const std::string& PocketText() const { return pocketText_; }
    const std::string& FlopText() const { return flopText_; }
    const std::string& TurnText() const { return turnText_; }
    const std::string& RiverText() const { return riverText_; }
    float Win() const { return win_; }
    float Split() const { return split_; }
    const std::array<float, kCategoryCount>& PlayerFraction() const { return playerFraction_; }
    const std::array<float, kCategoryCount>& BestFraction() const { return bestFraction_; }
    const std::array<std::int32_t, kCategoryCount>& Outs() const { return outs_; }
    // Trials and milliseconds of the last calculation, and how many have run.
    std::int32_t LastTrials() const { return lastTrials_; }
    std::int64_t LastMilliseconds() const { return lastMilliseconds_; }
    int Calculations() const { return calculations_; }

  private:
    void WritePage(TableSizeWarning warning);

    platform::Desktop& desktop_;
    platform::WindowId window_ = platform::kNoWindow;
    StartingHandLookup lookup_;
    COddsCalculator::TimeSource timeSource_;

    std::string folder_;
    std::string tableName_;
    int roomId_ = 0;
    CTableRecord* table_ = nullptr;
    std::string pocketText_;
    std::string flopText_;
    std::string turnText_;
    std::string riverText_;
    int opponents_ = 0;
    int street_ = -1;
    std::array<float, kCategoryCount> playerFraction_{};
    std::array<float, kCategoryCount> bestFraction_{};
    std::array<std::int32_t, kCategoryCount> outs_{};
    float win_ = -1;
    float split_ = -1;
    bool exact_ = false;  // The figures count every deal.
    std::int64_t lastMilliseconds_ = 0;
    std::int32_t lastTrials_ = 0;
    int calculations_ = 0;
    bool busy_ = false;
    TableSizeWarning lastWarning_ = TableSizeWarning::kNone;
    std::string pagePath_;
};
