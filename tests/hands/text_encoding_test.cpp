#include "hands/text_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// A plain validator, one code point at a time, to hold the fast one to.
bool PlainIsValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80                 ? 0
                    : c >= 0xC2 && c <= 0xDF ? 1
                    : c >= 0xE0 && c <= 0xEF ? 2
                    : c >= 0xF0 && c <= 0xF4 ? 3
                                             : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0))
            return false;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            cp = cp << 6 | (next & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

TEST(TextEncodingTest, Utf8CheckAgreesWithAPlainOne) {
    // Runs of ASCII of every length around the eight-byte steps, with euro
    // and pound signs, cut sequences, surrogates and stray bytes between them.
    const std::string pieces[] = {
        "\xE2\x82\xAC", "\xC2\xA3", "\xF0\x9F\x82\xA1", "\xE2\x82",         "\x80",
        "\xED\xA0\x80", "\xC0\xAF", "\xE0\x80\xAF",     "\xF4\x90\x80\x80", "\xA3"};
    std::mt19937 rng(5);
    for (int round = 0; round < 20000; ++round) {
        std::string s;
        int parts = std::uniform_int_distribution<int>(0, 4)(rng);
        for (int k = 0; k < parts; ++k) {
            s.append(std::uniform_int_distribution<std::size_t>(0, 19)(rng), 'a');
            if (std::uniform_int_distribution<int>(0, 3)(rng) > 0) {
                // Mostly valid signs, so that whole lines pass often.
                s += pieces[std::uniform_int_distribution<std::size_t>(
                    0, std::uniform_int_distribution<int>(0, 2)(rng) == 0 ? 9 : 2)(rng)];
            }
        }
        ASSERT_EQ(text::IsValidUtf8(s), PlainIsValidUtf8(s)) << testing::PrintToString(s);
    }
}

TEST(TextEncodingTest, LineEndsAndUtf16WithoutMarkFromTheFirstBytes) {
    using namespace std::string_literals;
    const struct {
        std::string head;
        bool crAlone;
        bool utf16;
    } cases[] = {
        {"a\rb\r", true, false},
        {"a\r\nb\r\n", false, false},
        {"a\rb\n", false, false},
        {"abc", false, false},
        // A CR as the last byte may be cut from its LF.
        {"abc\r", false, false},
        {"F\0u\0l\0l\0\r\0\n\0"s, false, true},
        {"F\0u\0"s, false, true},
        {"F\0"s, false, false},         // too short to tell
        {"F\0u\0\0\0"s, false, false},  // a zero at an even offset
        {"F\0ul\0\0"s, false, false},   // a byte at an odd offset
        {"\xE2\x82\xAC"
         "5 EUR"s,
         false, false},  // UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.head));
        EXPECT_EQ(text::EndsLinesWithCrAlone(c.head), c.crAlone);
        EXPECT_EQ(text::LooksLikeUtf16LeWithoutMark(c.head), c.utf16);
    }
}

}  // namespace
