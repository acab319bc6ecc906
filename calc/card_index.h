#pragma once
// Plain card numbers used inside the evaluator and the odds engine.
//
// A card is one byte, 0 to 51, the same number a CCard carries in `index`:
//
//   index = suit * 13 + rank
//
//   rank  0    1    2    3    4    5    6    7    8    9    10   11   12
//   card  A    2    3    4    5    6    7    8    9    T    J    Q    K
//   value 14   2    3    4    5    6    7    8    9    10   11   12   13
//
//   suit  0 = spades (s), 1 = clubs (c), 2 = hearts (h), 3 = diamonds (d)
//
// So 0 is the Ace of spades, 12 the King of spades, 13 the Ace of clubs and
// 51 the King of diamonds. The "value" row is the rank value the evaluator
// compares (2 to 14, the Ace high); the Ace also plays low in a Five-high
// straight. Anything outside 0..51 is not a card.

#include <cstdint>
#include <optional>
#include <string_view>

namespace calc {

inline constexpr int kDeckSize = 52;
inline constexpr int kRankCount = 13;
inline constexpr int kSuitCount = 4;

// Rank 0 (Ace) to 12 (King) of a card number in 0..51.
constexpr int RankOf(int card) { return card % kRankCount; }

// Suit 0 (spades) to 3 (diamonds) of a card number in 0..51.
constexpr int SuitOf(int card) { return card / kRankCount; }

// Rank value 2 (Two) to 14 (Ace) of a rank 0..12.
constexpr int ValueOfRank(int rank) { return rank == 0 ? 14 : rank + 1; }

// Rank value 2 to 14 of a card number in 0..51.
constexpr int ValueOf(int card) { return ValueOfRank(RankOf(card)); }

// True for the numbers 0..51.
constexpr bool IsCard(int card) { return card >= 0 && card < kDeckSize; }

// Rank 0..12 of a rank character (A, 2..9, T, J, Q, K; upper case only), or -1.
constexpr int RankOfChar(char c) {
    switch (c) {
        case 'A':
            return 0;
        case 'T':
            return 9;
        case 'J':
            return 10;
        case 'Q':
            return 11;
        case 'K':
            return 12;
        default:
            return (c >= '2' && c <= '9') ? c - '1' : -1;
    }
}

// Suit 0..3 of a suit character (s, c, h, d, in either letter case), or -1.
constexpr int SuitOfChar(char c) {
    switch (c) {
        case 's':
        case 'S':
            return 0;
        case 'c':
        case 'C':
            return 1;
        case 'h':
        case 'H':
            return 2;
        case 'd':
        case 'D':
            return 3;
        default:
            return -1;
    }
}

// The rank character of a rank 0..12.
constexpr char RankChar(int rank) { return "A23456789TJQK"[rank]; }

// The lower-case suit character of a suit 0..3.
constexpr char SuitChar(int suit) { return "schd"[suit]; }

// The card number of a two-character code such as "Ah" or "TD", or nothing
// when the text is not exactly two characters or either character is unknown.
constexpr std::optional<int> ParseCardCode(std::string_view code) {
    if (code.size() != 2) return std::nullopt;
    const int rank = RankOfChar(code[0]);
    const int suit = SuitOfChar(code[1]);
    if (rank < 0 || suit < 0) return std::nullopt;
    return suit * kRankCount + rank;
}

}  // namespace calc
