#pragma once
// COddsCalculator: the odds engine for one player's Hold'em hand.
//
// Given the two pocket cards, the known board (flop, optionally turn and
// river) and the number of opponents, it deals random completions of the
// board and random opponent hands (Monte Carlo), and counts how often the
// player wins or splits and how the player's, every opponent's and the best
// opponent's final hands fall into the ten categories. It also counts the
// player's outs for the next card. An engine serves one calculation: create
// it, SetCards, Simulate, optionally CountOuts, read the counters, discard it.
//
// Heads-up, Simulate counts every remaining deal exactly instead of sampling
// when that is quick (see calc/heads_up_count.h): against one opponent of
// unknown cards from the flop on, and against an opponent whose cards are
// known on every street. Exact() tells which kind of figures a run gave.
//
// Results are repeatable: every engine starts its random generator from the
// same seed, so the same cards and opponent count give the same counters,
// unless the time budget cuts a sampled run short. Not thread-safe; use one
// engine per thread.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

#include "calc/card_index.h"
#include "calc/hand_value.h"
#include "calc/split_mix64.h"
#include "hands/card.h"
#include "hands/card_array.h"

class COddsCalculator {
  public:
    // Where Simulate reads the time for its budget. Tests pass a fake.
    using TimeSource = std::function<std::chrono::steady_clock::time_point()>;

    // Highest opponent count Simulate accepts; larger counts are treated as this.
    static constexpr int kMaxOpponents = 10;
    // Seed of the random generator of every new engine.
    static constexpr std::uint64_t kSeed = 0;
    // A sampled run reads the clock before its first trial and then before
    // every this many trials (a reading costs about as much as a heads-up
    // trial; 256 trials take well under a millisecond).
    static constexpr int kTrialsPerClockReading = 256;

    // How Simulate counts: exactly whenever it can, or always by sampling.
    enum class Method { kExactWhenPossible, kSampleOnly };

    // An engine timed by std::chrono::steady_clock: deck filled, counters zero,
    // input not valid.
    COddsCalculator();
    // The same with another time source (an empty one means the steady clock).
    explicit COddsCalculator(TimeSource now);

    // Loads the pocket cards and the board from card text ("[Ah,Kd]" or "AhKd";
    // brackets, commas and blanks are ignored, the suit letter may be upper
    // case) and sets Valid(). The input is valid only when the pocket holds two
    // cards and the flop three, every code is known (a "?" placeholder is not),
    // and no card appears twice. The turn and river texts may be empty; each
    // contributes the card in its first two characters. On invalid input the
    // pocket and board stay empty. Replaces any earlier input.
    void SetCards(std::string_view pocketText, std::string_view flopText, std::string_view turnText,
                  std::string_view riverText);
    // The same with one opponent whose two cards are known (`opponentText` in
    // the pocket's form). Simulate then plays against that opponent alone,
    // whatever opponent count it is given, and the flop may be empty too
    // (with the turn and river), for odds before the flop. An empty
    // `opponentText` is the four-text form.
    void SetCards(std::string_view pocketText, std::string_view flopText, std::string_view turnText,
                  std::string_view riverText, std::string_view opponentText);

    // Returns a random card not yet flagged as used and flags it, or a card with
    // index -1 when all 52 are flagged.
    CCard DrawCard();

    // Runs up to `trialCount` trials against `opponentCount` opponents (0 to 10;
    // counts outside are clamped). It stops when more than `timeLimitMs`
    // milliseconds have passed since the start, reading the clock before the
    // first trial and every kTrialsPerClockReading trials. Does nothing when
    // the input is not valid. Adds to every counter except Wins() and Splits(),
    // which restart; a run stops short rather than overflow a counter.
    //
    // With `method` kExactWhenPossible and a heads-up case that can be counted
    // exactly, it counts every deal instead (each board completion with each
    // opponent hand is one trial, so Trials() may exceed `trialCount`; the
    // count takes a few milliseconds and ignores the budget) and Exact()
    // becomes true.
    void Simulate(int trialCount, int opponentCount, int timeLimitMs,
                  Method method = Method::kExactWhenPossible);

    // Fills Outs(): per category, the unseen cards whose arrival gives the
    // player a hand of that category that uses the pocket cards (see the .cpp
    // for the rule of each category). Meaningful with three or four board
    // cards; leaves every entry 0 when the input is not valid.
    void CountOuts();

    // Evaluates five or more distinct cards (in practice six or seven). Cards
    // with an index outside 0..51 are skipped; a card given twice counts once.
    HandValue EvaluateHand(const CCardArray& cards) const;

    // 1 when a is the better hand, -1 when b is, 0 when they tie.
    static int CompareHands(const HandValue& a, const HandValue& b) {
        return CompareHandValues(a, b);
    }

    // The 52 cards, card i having index i.
    const std::array<CCard, calc::kDeckSize>& Deck() const { return deck_; }
    // Whether card `index` (0..51) is flagged as dealt; false for other numbers.
    bool IsUsed(int index) const {
        return calc::IsCard(index) && used_[static_cast<std::size_t>(index)] != 0;
    }
    // Whether the loaded cards form a complete, well-formed input.
    bool Valid() const { return valid_; }
    // Whether the last Simulate counted every deal rather than sampling.
    bool Exact() const { return exact_; }
    // The known community cards (3 to 5, or none with a known opponent), the
    // two pocket cards and the known opponent's two cards (or none).
    const CCardArray& Board() const { return board_; }
    const CCardArray& Pocket() const { return pocket_; }
    const CCardArray& OpponentPocket() const { return opponentPocket_; }

    // Trials completed.
    std::int32_t Trials() const { return trials_; }
    // Per category: trials in which the player's final hand had it.
    const std::array<std::int32_t, kCategoryCount>& PlayerCategoryCount() const {
        return playerCategoryCount_;
    }
    // Opponent hands evaluated (trials times opponents).
    std::int32_t OpponentHands() const { return opponentHands_; }
    // Per category: opponent hands that had it.
    const std::array<std::int32_t, kCategoryCount>& OpponentCategoryCount() const {
        return opponentCategoryCount_;
    }
    // Per category: trials in which the best opponent category was this one (0
    // when there are no opponents).
    const std::array<std::int32_t, kCategoryCount>& BestOpponentCategoryCount() const {
        return bestOpponentCategoryCount_;
    }
    // Per category: the player's outs, filled by CountOuts.
    const std::array<std::int32_t, kCategoryCount>& Outs() const { return outs_; }
    // Trials the player won outright, and trials in which the player tied for
    // the best hand (a tie with any opponent makes a split, unless another
    // opponent is better).
    std::int32_t Wins() const { return wins_; }
    std::int32_t Splits() const { return splits_; }

  private:
    // Counts every deal heads-up; false (nothing counted) when the case
    // cannot be counted exactly.
    bool CountExactly(int opponents);

    std::array<CCard, calc::kDeckSize> deck_;
    std::array<std::uint8_t, calc::kDeckSize> used_{};
    bool valid_ = false;
    bool exact_ = false;
    CCardArray board_;
    CCardArray pocket_;
    CCardArray opponentPocket_;
    std::int32_t trials_ = 0;
    std::array<std::int32_t, kCategoryCount> playerCategoryCount_{};
    std::int32_t opponentHands_ = 0;
    std::array<std::int32_t, kCategoryCount> opponentCategoryCount_{};
    std::array<std::int32_t, kCategoryCount> bestOpponentCategoryCount_{};
    std::array<std::int32_t, kCategoryCount> outs_{};
    std::int32_t wins_ = 0;
    std::int32_t splits_ = 0;

    calc::SplitMix64 random_{kSeed};
    TimeSource now_;
};
