#pragma once
// CAlert and its family: a remark about one opponent's preflop play in one
// hand whose hole cards became known, or (CAlertLooseTight) about how many of
// the last hands at a table he played.
//
// Kinds (label, colour, category):
//    0 Loose, 1 Tight                                   blue,  categories 5, 6
//    2 Limped with Raising Hand (first in)              pink,  1 passive
//    3 Did not raise with Raising Hand                  pink,  1
//    4 Completed Small Blind                            red,   0 hand selection
//    5 Defended Blind, 6 Called Raise from Blinds       brown, 3 blind plays
//    7 Raised First-in, 8 Raised (Not First-in),
//    9 ReRaised, 10 Call-Raised                         black, 2 aggressive
//   11 Attempted Steal, 12 Did Not Attempt Steal        brown, 3
//   13 Cold Called 2 Bets, 14 Called 2 Bets             pink,  1
//   15 Questionable Limps, 16 Questionable Calls        red,   0
//
// An alert whose play was what its hand called for carries the expected flag;
// such alerts are counted per kind but left out of the category counters and
// the alerts page.
//
// Texts are HTML: player keys are escaped as page text, and the player link
// carries the screen name escaped for a script string.

#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CHand;

// The order in which alerts are kept and listed: by category, then best hand
// class first, then oldest first; hand number and a sequence number keep two
// alerts of the same second apart.
struct CAlertSortKey {
    int category = 0;
    int classRank = 0;
    std::int64_t dateTime = 0;
    std::uint64_t handNumber = 0;
    std::uint64_t sequence = 0;
    friend auto operator<=>(const CAlertSortKey&, const CAlertSortKey&) = default;
};

class CAlert {
  public:
    static constexpr int kKindCount = 17;
    static constexpr int kCategoryCount = 4;  // categories with counters: 0 to 3

    virtual ~CAlert() = default;

    // The colour of the alert's kind ("#FF00FF").
    virtual std::string Colour() const;
    // The alert sentence in HTML; `links` adds the hand link.
    virtual std::string Text(bool links) const = 0;
    // A hint; empty for every alert.
    virtual std::string Hint() const { return {}; }

    int Category() const { return CategoryOf(kind); }
    std::string_view Label() const { return LabelOf(kind); }
    // The key the alert is kept under (see CAlertSortKey).
    CAlertSortKey SortKey() const;
    // The readable sort key "%02d %03d %s": category, class rank and the long
    // local date and time ("00/00/00 00:00:00" without a hand).
    std::string SortKeyText() const;

    // Kind tables; out-of-range kinds give empty texts and category -1.
    static std::string_view LabelOf(int kind);
    static std::string_view ColourOf(int kind);
    static int CategoryOf(int kind);
    // "Hand Selection", "Passive Plays", "Aggressive Plays", "Blind Plays",
    // "Table Information" for 0 to 4; empty otherwise.
    static std::string_view CategoryTitle(int category);

    const CHand* hand = nullptr;  // not owned; none for Loose/Tight
    bool expected = false;
    int classRank = 0;
    int kind = 0;
    std::string playerKey;
    std::int64_t dateTime = 0;
    std::uint64_t handNumber = 0;
    std::uint64_t sequence = 0;  // set when the alert is added to a container

  protected:
    // Takes the date and number from `hand` when given.
    CAlert(const CHand* hand, int kind, std::string playerKey, int classRank, bool expected);
    // "<a href=...ChangeReportProperties2(...)>key</a>", or the escaped key
    // alone for play-money keys.
    std::string PlayerLink() const;
    // The hand link opening tag when `links`, else empty.
    std::string HandLink(bool links) const;
    // The display name of the class ("AA", "AKs").
    std::string ClassName() const;
};

// Dealt-order alerts: the player's dealt order picks the text.
class CAlertWithOrder : public CAlert {
  public:
    int dealtOrder = 0;

  protected:
    CAlertWithOrder(const CHand* hand, int kind, std::string playerKey, int classRank,
                    bool expected, int dealtOrder)
        : CAlert(hand, kind, std::move(playerKey), classRank, expected), dealtOrder(dealtOrder) {}
    // "on the button", "in small blind", "in big blind", "in pos %d".
    std::string PositionSuffix() const;
};

class CAlertLooseTight : public CAlert {
  public:
    CAlertLooseTight(bool loose, int played, int considered, std::string playerKey,
                     std::int64_t now);
    std::string Text(bool links) const override;
    bool IsLoose() const { return kind == 0; }
    int played;
    int considered;
};

class CAlertNotRaised : public CAlertWithOrder {
  public:
    CAlertNotRaised(const CHand* hand, std::string key, int rank, bool expected, int order,
                    bool firstIn)
        : CAlertWithOrder(hand, firstIn ? 2 : 3, std::move(key), rank, expected, order),
          firstIn(firstIn) {}
    std::string Text(bool links) const override;
    bool firstIn;
};

class CAlertCompletedSmallBlind : public CAlertWithOrder {
  public:
    CAlertCompletedSmallBlind(const CHand* hand, std::string key, int rank, bool expected,
                              int order)
        : CAlertWithOrder(hand, 4, std::move(key), rank, expected, order) {}
    std::string Text(bool links) const override;
};

class CAlertDefendedBlind : public CAlertWithOrder {
  public:
    CAlertDefendedBlind(const CHand* hand, std::string key, int rank, bool expected, int order)
        : CAlertWithOrder(hand, 5, std::move(key), rank, expected, order) {}
    std::string Text(bool links) const override;
};

class CAlertCalledRaiseFromBlind : public CAlertWithOrder {
  public:
    CAlertCalledRaiseFromBlind(const CHand* hand, std::string key, int rank, bool expected,
                               int order)
        : CAlertWithOrder(hand, 6, std::move(key), rank, expected, order) {}
    std::string Text(bool links) const override;
};

class CAlertRaised : public CAlertWithOrder {
  public:
    CAlertRaised(const CHand* hand, std::string key, int rank, bool expected, int order,
                 bool firstIn)
        : CAlertWithOrder(hand, firstIn ? 7 : 8, std::move(key), rank, expected, order),
          firstIn(firstIn) {}
    std::string Text(bool links) const override;
    bool firstIn;
};

class CAlertReRaised : public CAlertWithOrder {
  public:
    CAlertReRaised(const CHand* hand, std::string key, int rank, bool expected, int order)
        : CAlertWithOrder(hand, 9, std::move(key), rank, expected, order) {}
    std::string Text(bool links) const override;
};

// A kind with its label and texts that the classification never produces.
class CAlertCallRaise : public CAlertWithOrder {
  public:
    CAlertCallRaise(const CHand* hand, std::string key, int rank, bool expected, int order)
        : CAlertWithOrder(hand, 10, std::move(key), rank, expected, order) {}
    std::string Text(bool links) const override;
};

class CAlertStealAttempt : public CAlertWithOrder {
  public:
    CAlertStealAttempt(const CHand* hand, std::string key, int rank, bool expected, int order)
        : CAlertWithOrder(hand, 11, std::move(key), rank, expected, order) {}
    std::string Text(bool links) const override;
};

class CAlertNoStealAttempt : public CAlertWithOrder {
  public:
    CAlertNoStealAttempt(const CHand* hand, std::string key, int rank, bool expected, int order)
        : CAlertWithOrder(hand, 12, std::move(key), rank, expected, order) {}
    std::string Text(bool links) const override;
};

class CAlertCalledTwoBets : public CAlertWithOrder {
  public:
    CAlertCalledTwoBets(const CHand* hand, std::string key, int rank, bool expected, int order,
                        bool cold)
        : CAlertWithOrder(hand, cold ? 13 : 14, std::move(key), rank, expected, order),
          cold(cold) {}
    std::string Text(bool links) const override;
    bool cold;
};

// A hand played from a position whose range does not hold it. `position` is
// 0 early, 1 middle, 2 late.
class CAlertSelection : public CAlert {
  public:
    CAlertSelection(const CHand* hand, std::string key, int rank, bool expected, int position,
                    bool firstIn)
        : CAlert(hand, firstIn ? 15 : 16, std::move(key), rank, expected),
          position(position),
          firstIn(firstIn) {}
    std::string Text(bool links) const override;
    int position;
    bool firstIn;
};
