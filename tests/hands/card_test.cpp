#include "hands/card.h"

#include <gtest/gtest.h>

#include <string>

#include "hands/archive.h"
#include "hands/card_array.h"
#include "hands/card_text.h"

namespace {

TEST(CardTest, LabelsAndCodes) {
    struct Case {
        int index;
        const char* label;
    };
    const Case cases[] = {{0, "[As]"},  {12, "[Ks]"}, {13, "[Ac]"}, {38, "[Kh]"},
                          {39, "[Ad]"}, {51, "[Kd]"}, {22, "[Tc]"}};
    for (const Case& c : cases) {
        CCard card = CCard::FromIndex(c.index);
        EXPECT_EQ(card.Label(), c.label) << "index " << c.index;
        CCard back = CCard::FromCode(std::string(c.label).substr(1, 2));
        EXPECT_EQ(back, card) << "code of " << c.label;
    }
    EXPECT_EQ(CCard{}.Label(), "");
    EXPECT_EQ(CCard::FromIndex(52).index, -1);
    EXPECT_EQ(CCard::FromCode("Xs").index, -1);
    EXPECT_EQ(CCard::FromCode("A").index, -1);
    // A rank or suit out of range ends the label where it stands.
    EXPECT_EQ((CCard{5, 13, 0}.Label()), "[");
    EXPECT_EQ((CCard{5, 0, 4}.Label()), "[A");
}

TEST(CardTextTest, HoleCardsFromLine) {
    struct Case {
        const char* line;
        const char* cards;
    };
    const Case cases[] = {
        {"Dealt to Hero [Ah Kd]", "[Ah,Kd]"},
        {"Seat 2: hero showed [Qs Qh] and won ($0.38) with a pair", "[Qs,Qh]"},
        {"Player: shows [ Td 9d ]", "[Td, 9]"},  // five bytes after "[", as they stand
        {"Player: shows [5c]", "[5c]"},          // one card shown
        {"Player: shows [ 5c ] (a pair)", "[5c]"},
        {"Seat 2: Hero (big blind) showed [Kh ", ""},  // cut before the second card
        {"x [A", ""},
        {"no bracket", ""},
        {"ends [", ""},
        {"empty []", ""},
        {"Dealt to Hero [Ah Kd", "[Ah,Kd]"},  // both cards there, only the bracket cut
    };
    for (const Case& c : cases) EXPECT_EQ(HoleCardsFromLine(c.line), c.cards) << c.line;
}

TEST(CardTextTest, BoardCardsFromLine) {
    struct Case {
        const char* line;
        const char* cards;
    };
    const Case cases[] = {
        {"*** FLOP *** [Ah Kd 7c]", "[Ah,Kd,7c]"},
        {"*** TURN *** [Ah Kd 7c] [2s]", "[2s]"},
        {"*** RIVER *** [Ah Kd 7c 2s] [3c]", "[3c]"},
        {"two [Ah Kd]", "[Ah,Kd]"},
        {"Board [As Jc 5d Ts 3c]", "[As,Jc,3c]"},
        {"closing first ] then [Ah", ""},
        {"none", ""},
        {"[]", "[,,]"},
    };
    for (const Case& c : cases) EXPECT_EQ(BoardCardsFromLine(c.line), c.cards) << c.line;
}

TEST(CardArrayTest, SerialisationRoundTrip) {
    for (std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{0xFFFE},
                              std::size_t{0xFFFF}, std::size_t{70000}}) {
        CCardArray cards;
        for (std::size_t i = 0; i < count; ++i)
            cards.Add(CCard::FromIndex(static_cast<int>(i % 53) - 1));
        std::string bytes;
        CArchive out(bytes);
        cards.Serialize(out);
        std::size_t header = count < 0xFFFF ? 2 : 6;
        ASSERT_EQ(bytes.size(), header + 12 * count) << "count " << count;
        if (count >= 0xFFFF) {
            EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFF") << "count " << count;
        }
        CCardArray back;
        back.Add(CCard::FromIndex(3));  // replaced by loading
        CArchive in{std::string_view(bytes)};
        back.Serialize(in);
        ASSERT_EQ(back.GetSize(), count) << "count " << count;
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(back[i], cards[i]) << "element " << i;
    }
}

TEST(CardArrayTest, RecordLayoutIsLittleEndian) {
    CCardArray cards;
    cards.Add(CCard::FromIndex(38));
    std::string bytes;
    CArchive out(bytes);
    cards.Serialize(out);
    EXPECT_EQ(bytes, std::string("\x01\x00"
                                 "\x26\x00\x00\x00"
                                 "\x0C\x00\x00\x00"
                                 "\x02\x00\x00\x00",
                                 14));
}

TEST(CardArrayTest, ShortArchivesFail) {
    const std::string inputs[] = {
        std::string(""),
        std::string("\x01", 1),
        std::string("\x01\x00\x01\x00\x00\x00", 6),  // record cut short
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF", 6),  // four billion records announced
        std::string("\xFF\xFF\x00\x00", 4),          // escaped count cut short
    };
    for (const std::string& input : inputs) {
        CCardArray cards;
        CArchive in{std::string_view(input)};
        EXPECT_THROW(cards.Serialize(in), CArchiveEndOfFile) << "bytes " << input.size();
        EXPECT_EQ(cards.GetSize(), 0u);
    }
}

TEST(CardArrayTest, SetSizeZeroFillsAndSetAtGrow) {
    CCardArray cards;
    cards.SetSize(3);
    EXPECT_EQ(cards[2], (CCard{0, 0, 0}));
    cards.SetAtGrow(5, CCard::FromIndex(51));
    EXPECT_EQ(cards.GetSize(), 6u);
    EXPECT_EQ(cards[4], (CCard{0, 0, 0}));
    EXPECT_EQ(cards[5].Label(), "[Kd]");
    EXPECT_EQ(cards.Add(CCard::FromIndex(1)), 6u);
    cards.RemoveAll();
    EXPECT_EQ(cards.GetSize(), 0u);
}

}  // namespace
