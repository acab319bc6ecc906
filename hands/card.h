#pragma once
// CCard: one playing card as the odds calculator sees it.
//
// Card numbers, one table for the whole program:
//
//   index = suit * 13 + rank
//   rank  0 = Ace, 1 = Two ... 8 = Nine, 9 = Ten, 10 = Jack, 11 = Queen, 12 = King
//   suit  0 = spades (s), 1 = clubs (c), 2 = hearts (h), 3 = diamonds (d)
//
// So 0 is the Ace of spades, 12 the King of spades, 13 the Ace of clubs and
// 51 the King of diamonds. The Ace is 0 here; the evaluator decides how it
// ranks. Card text is rank character then suit character ("Ah", "Td").

#include <cstdint>
#include <string>
#include <string_view>

struct CCard {
    std::int32_t index = -1;  // 0..51, or -1 for no card
    std::int32_t rank = -1;   // index mod 13
    std::int32_t suit = -1;   // index div 13

    // The card with number `cardIndex`; any number outside 0..51 gives no card.
    static CCard FromIndex(int cardIndex);
    // The card of a two-character code ("Ah"); no card when either character
    // is not in the table above.
    static CCard FromCode(std::string_view code);

    // The rank character for a rank 0..12 ('A', '2' ... 'K'); NUL otherwise.
    static char RankChar(int rank);
    // The suit character for a suit 0..3 ('s', 'c', 'h', 'd'); NUL otherwise.
    static char SuitChar(int suit);
    // The rank 0..12 of a rank character, -1 for any other character.
    static int RankOf(char c);
    // The suit 0..3 of a suit character, -1 for any other character.
    static int SuitOf(char c);

    // The card label: empty for a card whose index is -1, otherwise "[Rs]".
    // A rank or suit out of range puts a NUL in its place, which ends the
    // text there ("[" alone for a bad rank).
    std::string Label() const;

    bool IsValid() const { return index >= 0 && index < 52; }
    friend bool operator==(const CCard&, const CCard&) = default;
};
