#pragma once
// CPreditorsAndFoes: a player's tag record. For the user's own ring-game
// records it keeps, per opponent, how much the user won from and lost to that
// opponent; the "$" and "$$" columns show won-from minus lost-to.
//
// Weighting, per hand (all amounts in hundredths). Each seated player's net
// result is won - (invested - returned bet). With N the user's net result:
//   - N > 0: N is shared among the opponents who lost money in the hand, in
//     proportion to what each lost; it is added to their won-from amounts.
//   - N < 0: -N is shared among the opponents who made money in the hand, in
//     proportion to what each made; it is added to their lost-to amounts.
// So over any hand the user's won-from minus lost-to, summed over the
// opponents, equals N exactly (up to floating-point rounding): a split pot
// counts only the part the user really gained, and the rake is borne by
// whoever it was taken from. A hand in which nobody but the user moved money
// the other way (a pot nobody was awarded) adds nothing.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

class CHand;

class CPreditorsAndFoes {
  public:
    struct Entry {
        std::string opponentKey;
        double wonFrom = 0.0;  // hundredths won by the owner from the opponent
        double lostTo = 0.0;   // hundredths lost by the owner to the opponent
    };

    explicit CPreditorsAndFoes(std::string ownerKey) : ownerKey_(std::move(ownerKey)) {}
    // The index points into the map: a copy would point into the original.
    CPreditorsAndFoes(const CPreditorsAndFoes&) = delete;
    CPreditorsAndFoes& operator=(const CPreditorsAndFoes&) = delete;
    CPreditorsAndFoes(CPreditorsAndFoes&&) = default;
    CPreditorsAndFoes& operator=(CPreditorsAndFoes&&) = default;

    // Folds one hand in. Effective only when the owner is the user playing a
    // real-money ring game: the owner key must equal `userName` for a limit
    // hand, or `userName` + " (NL)" for a no-limit hand, and the user must be
    // seated. Entries are created for every other seated player.
    void Update(const CHand& hand, std::string_view userName);
    // The entry of an opponent, or nullptr.
    const Entry* Find(std::string_view opponentKey) const;
    const std::string& OwnerKey() const { return ownerKey_; }
    // All entries by opponent key.
    const std::map<std::string, Entry, std::less<>>& Entries() const { return entries_; }

  private:
    Entry& EntryOf(std::string_view opponentKey);

    std::string ownerKey_;
    std::map<std::string, Entry, std::less<>> entries_;
    // The entries by opponent key (views of the map's own keys, which stay
    // put): the user's record meets every opponent of every hand he plays,
    // and a hash look-up spares a walk down a tree of thousands of names.
    std::unordered_map<std::string_view, Entry*> index_;
};
