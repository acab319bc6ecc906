#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "hands/marker_list.h"
#include "hands/parse_error.h"
#include "hands/parse_text.h"

namespace {

TEST(ParseTextTest, ReadAmount) {
    struct Case {
        std::string text;
        std::size_t pos;
        std::int32_t cents;
    };
    const Case cases[] = {
        {"0.29", 0, 29},
        {"$1.25", 0, 125},
        {"calls 1500", 6, 150000},
        {"\xE2\x82\xAC" "0.10", 0, 10},  // euro sign in UTF-8
        {"\xC2\xA3" "5.50", 0, 550},     // pound sign in UTF-8
        {"\x80" "2", 0, 200},            // Windows-1252 euro sign
        {"\xA3" "2.5", 0, 250},          // Windows-1252 pound sign
        {"4.999", 0, 499},               // decimals beyond hundredths are dropped
        {"7.", 0, 700},
        {"abc", 0, 0},
        {"12", 5, 0},                    // past the end
        {"  3", 0, 300},
        {"20000000", 0, 2000000000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hands::ReadAmount(c.text, c.pos), c.cents) << "'" << c.text << "' at " << c.pos;
    }
    for (std::string tooBig : {"20000001", "20000000.01", "99999999999999999999999"}) {
        EXPECT_THROW(hands::ReadAmount(tooBig, 0), CParseError) << tooBig;
    }
}

TEST(ParseTextTest, ReadUnsignedReadsWholeNumbers) {
    EXPECT_EQ(hands::ReadUnsigned("#39691083604:", 1), 39691083604u);
    EXPECT_EQ(hands::ReadUnsigned("18446744073709551615", 0), UINT64_MAX);
    EXPECT_EQ(hands::ReadUnsigned("x", 0), 0u);
    EXPECT_THROW(hands::ReadUnsigned("18446744073709551616", 0), CParseError);
    EXPECT_THROW(hands::ReadUnsigned("99999999999999999999", 0), CParseError);
}

TEST(ParseTextTest, MarkersAndSlices) {
    EXPECT_EQ(hands::FindFrom("abcabc", "b", 2), 4u);
    EXPECT_EQ(hands::FindFrom("abc", "b", 9), hands::kNpos);
    EXPECT_FALSE(hands::ContainsAfterFirst(": folds", ": folds"));
    EXPECT_TRUE(hands::ContainsAfterFirst("x: folds", ": folds"));
    EXPECT_EQ(hands::Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(hands::Slice("abc", 5), "");
    EXPECT_EQ(hands::UpTo("Table 'Foo' x", 7, "'"), "Foo");
    EXPECT_EQ(hands::UpTo("Table 'Foo", 7, "'"), "Foo");
    EXPECT_EQ(hands::ReadField("2006/01/02", 5, 2), 1);
    EXPECT_EQ(hands::ReadField(" 5:01", 0, 2), 5);
    EXPECT_EQ(hands::ReadField("ab", 0, 2), -1);
    EXPECT_EQ(hands::CurrencySignLength("\xE2\x82", 0), 0u);  // cut-off euro sign
}

// The searches skip ahead by bytes and by blocks of bytes; on random short
// lines of a small alphabet (so markers occur often, at the edges too) they
// must find exactly what a plain search finds.
std::string RandomText(std::mt19937& rng, std::size_t maxLength) {
    static const char kAlphabet[] = {' ', ' ', 'a', 'b', ':', '('};
    std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(rng), ' ');
    for (char& c : text) c = kAlphabet[std::uniform_int_distribution<std::size_t>(0, sizeof kAlphabet - 1)(rng)];
    return text;
}

TEST(ParseTextTest, SameBytesAtEveryLengthAndPlace) {
    // Word loads of every length class, overlapping or not: a difference at
    // any one place is seen, equal texts are equal.
    std::string a(40, 'x');
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<char>('a' + i % 26);
    for (std::size_t n = 0; n <= a.size(); ++n) {
        std::string b = a;
        EXPECT_TRUE(hands::SameBytes(a.data(), b.data(), n)) << n;
        for (std::size_t at = 0; at < n; ++at) {
            b = a;
            b[at] = '#';
            EXPECT_FALSE(hands::SameBytes(a.data(), b.data(), n)) << n << " at " << at;
            EXPECT_FALSE(hands::StartsWith(b, std::string_view(a).substr(0, n))) << n << " at " << at;
        }
        EXPECT_TRUE(hands::StartsWith(a, std::string_view(a).substr(0, n)));
        // A copy writes exactly the n bytes.
        std::string copy(a.size() + 2, '#');
        hands::CopyBytes(copy.data() + 1, a.data(), n);
        EXPECT_EQ(copy, "#" + a.substr(0, n) + std::string(a.size() + 1 - n, '#')) << n;
        if (n < a.size()) {
            EXPECT_FALSE(hands::StartsWith(std::string_view(a).substr(0, n), a));
        }
    }
}

TEST(ParseTextTest, FindSignByteAgreesWithPlainSearch) {
    std::mt19937 rng(3);
    const char kBytes[] = {'a', ' ', '$', '\xE2', '\x80', '1'};
    for (int round = 0; round < 5000; ++round) {
        std::string line(std::uniform_int_distribution<std::size_t>(0, 40)(rng), 'a');
        for (char& c : line) c = kBytes[std::uniform_int_distribution<std::size_t>(0, 5)(rng) / (round % 3 + 1)];
        std::size_t from = std::uniform_int_distribution<std::size_t>(0, line.size() + 1)(rng);
        std::size_t expected = hands::kNpos;
        for (std::size_t i = from; i < line.size() && expected == hands::kNpos; ++i) {
            if (line[i] == '$' || static_cast<unsigned char>(line[i]) >= 0x80) expected = i;
        }
        ASSERT_EQ(hands::FindSignByte(line, from), expected) << testing::PrintToString(line) << " from " << from;
    }
}

TEST(ParseTextTest, FindFromAgreesWithPlainSearch) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20000; ++round) {
        std::string line = RandomText(rng, 48);
        std::string marker = RandomText(rng, 5);
        std::size_t from = std::uniform_int_distribution<std::size_t>(0, line.size() + 2)(rng);
        std::size_t expected = from > line.size() ? hands::kNpos : std::string_view(line).find(marker, from);
        ASSERT_EQ(hands::FindFrom(line, marker, from), expected)
            << "line '" << line << "' marker '" << marker << "' from " << from;
        std::size_t byte = from > line.size() ? hands::kNpos : line.find(':', from);
        ASSERT_EQ(hands::FindByte(line, ':', from), byte) << "line '" << line << "' from " << from;
        ASSERT_EQ(hands::FindLastByte(line, ':', from), line.rfind(':', from)) << "line '" << line << "' before " << from;
        ASSERT_EQ(hands::FindLastByte(line, ':'), line.rfind(':')) << "line '" << line << "'";
    }
}

TEST(ParseTextTest, MarkerListAgreesWithPlainSearch) {
    // Few first bytes (scanned in blocks), with a one-byte entry and
    // without, and many (scanned byte by byte).
    const CMarkerList few{" ab", " :(", "a", "(b"};
    const CMarkerList pairs{" ab", " :(", "(b", "b:", "::"};
    const CMarkerList many{" ab", ":a", "b:", "(( ", "aa b"};
    // What a caller folding the first look into its own scan relies on.
    const CMarkerList blanks{" ab", " :(", " a"};
    EXPECT_TRUE(blanks.AllBeginWith(' '));
    EXPECT_TRUE(blanks.IsSecondByte(':'));
    EXPECT_FALSE(blanks.IsSecondByte('b'));
    EXPECT_FALSE(few.AllBeginWith(' '));   // a one-byte entry
    EXPECT_FALSE(pairs.AllBeginWith(' '));  // other first bytes
    std::mt19937 rng(11);
    for (int round = 0; round < 20000; ++round) {
        std::string line = RandomText(rng, 48);
        for (const CMarkerList* list : {&few, &pairs, &many}) {
            bool contained = false;
            bool begins = false;
            for (std::size_t i = 0; i < list->Size(); ++i) {
                contained = contained || line.find(list->At(i)) != std::string::npos;
                begins = begins || line.rfind(list->At(i), 0) == 0;
            }
            ASSERT_EQ(list->ContainedIn(line), contained) << "line '" << line << "'";
            std::size_t from = std::uniform_int_distribution<std::size_t>(0, line.size() + 1)(rng);
            std::size_t first = std::string::npos;
            for (std::size_t i = 0; i < list->Size(); ++i) first = std::min(first, line.find(list->At(i), from));
            ASSERT_EQ(list->FindFirst(line, from), first) << "line '" << line << "' from " << from;
            ASSERT_EQ(list->Begins(line), begins) << "line '" << line << "'";
        }
    }
}

}  // namespace
