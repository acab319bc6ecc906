#pragma once
// CHandReference: the starting-hand classes and the user's hand ranges.
//
// The 170 classes are kept in rank order: index i holds the class of rank
// i + 1, so AA is index 0 and the unknown class "XX" index 169. Names used for
// look-up carry "s" or "o" ("AKs", "AKo", pairs "AAo"); names shown to the
// user leave the "o" off pairs ("AA").
//
// The ranges come from "Alerts.ini": ten sections, one per preflop situation,
// each listing the 169 keys ("AA", "AKs", "AKo", ..., "32o", "22") with the
// value 1 for hands inside the range. Only the value 1 counts; a missing file,
// section or key leaves the hand outside the range, so every play compared
// with that section raises its alert.
//
// One instance is built at start-up and only read afterwards.

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/hand_class.h"

class CHand;
namespace platform {
class Profile;
}

// Where a player sat at the table, for range look-ups and alerts.
enum class PositionClass : int {
    kSmallBlind = 0,
    kBigBlind = 1,
    kEarly = 2,
    kMiddle = 3,
    kLate = 4,
    kShortHanded = 5,
};

class CHandReference {
  public:
    static constexpr int kClassCount = 170;
    static constexpr int kKeyCount = 169;
    static constexpr int kUnknownIndex = 169;
    static constexpr int kUnknownRank = 170;
    // Fewer dealt-in players than this make a short-handed table.
    static constexpr int kFullTablePlayers = 7;

    // The ten "Alerts.ini" sections, in file order.
    enum class Range : int {
        kStealRaise = 0,
        kStealRaiseShortHanded,
        kSmallBlindCall,
        kSmallBlindCallShortHanded,
        kEarlyNotFirstIn,
        kEarlyFirstIn,
        kMiddleNotFirstIn,
        kMiddleFirstIn,
        kLateNotFirstIn,
        kLateFirstIn,
    };
    static constexpr int kRangeCount = 10;
    // The section name of a range ("StealRaiseHands", ...).
    static std::string_view SectionName(Range range);

    // Builds the classes and the key list; every range starts empty.
    CHandReference();

    // Reads the ten ranges from the "Alerts.ini" file at `path`. Returns false
    // when the file cannot be read; the ranges are then all empty.
    bool LoadRanges(const std::string& path);
    // The same from settings already read (private-profile semantics).
    void LoadRanges(const platform::Profile& file);

    // --- Classes -------------------------------------------------------

    // The class record at `index` (0..169).
    const CHandClass& Class(int index) const {
        return classes_.at(static_cast<std::size_t>(index));
    }
    // The 0-based class index of a text, or -1: an empty text is the unknown
    // class (169); a text starting with "[" is hole-card text ("[Ah,Kd]" or
    // "[Ah, Kd]"); anything else is a class name, where a two-character name
    // is a pair ("AA" = "AAo"). Texts that name no class give -1.
    int ClassOf(std::string_view text) const;
    // The rank (1..170) of the class of `text`, or -1 when it has none.
    int RankOf(std::string_view text) const;
    // Rank and group of the class of `text`, or (-1, -1).
    std::pair<int, int> RankAndGroup(std::string_view text) const;
    // The display name of the class of rank 1..170 ("AA", "AKs", "XX");
    // empty for a rank out of range.
    std::string NameOf(int rank) const;
    // The same without an instance: the classes never change.
    static std::string DisplayNameOfRank(int rank);
    // The class name of hole-card text ("[Kd,Ah]" gives "AKo"), or empty
    // when the text is not two cards of known ranks.
    static std::string ClassNameOfHoleCards(std::string_view holeCards);

    // The 169 "Alerts.ini" keys in file order.
    const std::vector<std::string>& Keys() const { return keys_; }

    // --- Fixed hand sets (by class index) -------------------------------

    static bool IsAcesOrKings(int index);
    // AA, KK, QQ, JJ, TT, AKs, AKo, AQs, AQo, AJs.
    static bool IsPremiumTen(int index);
    // 99 down to 22.
    static bool IsSmallPair(int index);
    // Ranks 1 to 11, 15, 16 and 23 (AA ... 99, ATs, AQo, AJo).
    static bool IsRaisingClass(int index);

    // --- Ranges (by class rank) -----------------------------------------

    // Whether the range holds the class of `rank` (1..169); false otherwise.
    bool InRange(Range range, int rank) const;
    bool IsStealRaiseHand(int rank, bool shortHanded) const;
    bool IsSmallBlindCallHand(int rank, bool shortHanded) const;
    bool IsEarlyPositionHand(int rank, bool firstIn) const;
    bool IsMiddlePositionHand(int rank, bool firstIn) const;
    bool IsLatePositionHand(int rank, bool firstIn) const;
    // Sets one key of one range; for tests and tools.
    void SetInRange(Range range, int rank, bool inside);

    // --- Position -------------------------------------------------------

    // The position class from the number of dealt-in players and the
    // player's dealt order (0 the button): below 7 players short-handed;
    // the button and the cutoff late; 1 small blind; 2 big blind; 3 to 5
    // early; above 5 middle.
    static PositionClass PositionClassOf(int playerCount, int dealtOrder);
    // The same for a player (qualified name) of a hand.
    static PositionClass PositionClassOf(const CHand& hand, std::string_view player);

  private:
    std::array<CHandClass, kClassCount> classes_{};
    std::vector<std::string> keys_;
    // keyOfRank_[rank] is the key-list index of the class of that rank.
    std::array<int, kClassCount + 1> keyOfRank_{};
    // Class index by (higher rank, lower rank, suited), rank order 0 for A.
    std::array<int, 13 * 13 * 2> indexByName_{};
    std::array<std::array<bool, kKeyCount>, kRangeCount> ranges_{};
};
