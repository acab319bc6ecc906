#pragma once
// CDlgManualCalculator: the calculator for cards the user clicks. Seven card
// slots (two pocket, three flop, turn, river) fill from the 52 card buttons;
// once pocket and flop are complete, the nine opponent buttons run the odds
// for that many opponents. The window is modeless; closing it hides it.

#include <array>
#include <cstdint>
#include <string>

#include "calc/odds_calculator.h"
#include "calc/starting_hand_lookup.h"
#include "hands/card.h"
#include "platform/desktop.h"

class CDlgManualCalculator {
  public:
    static constexpr int kTrials = 10'000;
    static constexpr int kTimeLimitMs = 2'000;
    static constexpr int kSlotCount = 7;
    // Opponent counts: none selected, and the most the buttons offer.
    static constexpr int kNoOpponents = -1;
    static constexpr int kMostOpponents = 9;
    static constexpr const char* kTitle = "Seatwatch Manual Calculator";

    // Control ids.
    static constexpr int kClearButton = 1183;
    static constexpr int kBrowser = 1067;
    static constexpr int kOpponentsLabel = -1;
    // The button of card 0..51.
    static int CardButtonId(int card);
    // The button of opponent count 1..9.
    static int OpponentButtonId(int count);

    // Button images, as addresses below the assets folder.
    static std::string CardImage(int card);
    enum class OpponentImage { kNormal, kSelected, kDisabled };
    static std::string OpponentButtonImage(int count, OpponentImage state);

    // Creates the window (hidden) with every button; pages go to `folder`.
    CDlgManualCalculator(platform::Desktop& desktop, platform::WindowId owner, std::string folder,
                         StartingHandLookup lookup = {},
                         COddsCalculator::TimeSource timeSource = {});
    ~CDlgManualCalculator();
    CDlgManualCalculator(const CDlgManualCalculator&) = delete;
    CDlgManualCalculator& operator=(const CDlgManualCalculator&) = delete;

    // A card button: takes the card out of its slot, or puts it into the first
    // empty slot; then shows the cards without odds.
    void OnCardButton(int card);
    // An opponent button 1..9 (ignored while the cards are incomplete): runs
    // the odds against that many opponents.
    void OnOpponentButton(int count);
    // "Clear": empties every slot and shows a page without cards.
    void OnClear();
    // Whether Calculate runs the odds engine or only shows the cards.
    enum class Odds { kCardsOnly, kSimulate };
    // Writes and shows the page for the current cards; with kSimulate and at
    // least one opponent it runs the odds engine first.
    void Calculate(int opponents, Odds odds);

    platform::WindowId Window() const { return window_; }
    const std::array<CCard, kSlotCount>& Slots() const { return slots_; }
    const std::string& PocketText() const { return pocketText_; }
    const std::string& FlopText() const { return flopText_; }
    const std::string& TurnText() const { return turnText_; }
    const std::string& RiverText() const { return riverText_; }
    bool Complete() const { return complete_; }
    int SelectedOpponents() const { return selectedOpponents_; }
    int Calculations() const { return calculations_; }
    const std::string& PagePath() const { return pagePath_; }

  private:
    bool OnCommand(const platform::Command& command);
    void RebuildTexts();
    void UpdateOpponentButtons();
    void SetCardButtonImage(int card, bool shown);

    platform::Desktop& desktop_;
    platform::WindowId window_ = platform::kNoWindow;
    std::string folder_;
    StartingHandLookup lookup_;
    COddsCalculator::TimeSource timeSource_;

    std::array<CCard, kSlotCount> slots_{};
    std::string pocketText_;
    std::string flopText_;
    std::string turnText_;
    std::string riverText_;
    bool complete_ = false;
    int selectedOpponents_ = kNoOpponents;
    int calculations_ = 0;
    std::string pagePath_;
};
