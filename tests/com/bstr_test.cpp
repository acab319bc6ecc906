#include "com/bstr.h"

#include <gtest/gtest.h>

#include <string>

namespace com {
namespace {

using namespace std::string_view_literals;

TEST(BstrTest, KeepsLengthPrefixAndTerminator) {
    const std::u16string text(u"a\0bc", 4);
    Bstr s(text);
    ASSERT_NE(s.Get(), nullptr);
    EXPECT_EQ(SysStringLen(s.Get()), 4u);
    EXPECT_EQ(SysStringByteLen(s.Get()), 8u);
    EXPECT_EQ(s.View(), text);  // the inner zero is kept
    EXPECT_EQ(s.Get()[4], u'\0');
}

TEST(BstrTest, NullIsTheEmptyString) {
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    EXPECT_TRUE(BstrView(nullptr).empty());
    EXPECT_EQ(Utf8FromBstr(nullptr), "");
    SysFreeString(nullptr);
    BSTR empty = SysAllocString(static_cast<LPCOLESTR>(nullptr));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
}

TEST(BstrTest, AllocLenWithoutTextZeroFills) {
    Bstr s;
    s.Reset(SysAllocStringLen(nullptr, 3));
    ASSERT_NE(s.Get(), nullptr);
    EXPECT_EQ(s.View(), std::u16string_view(u"\0\0\0", 3));
}

TEST(BstrTest, RefusesLengthsBeyondThePrefix) {
    EXPECT_EQ(SysAllocStringLen(nullptr, kMaxBstrLength + 1), nullptr);
    EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFFFu), nullptr);
}

TEST(BstrTest, ConvertsUtf8BothWays) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"Ah Kd", u"Ah Kd"},
        {"J\xC3\xBCrgen", u"J\u00FCrgen"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xF0\x9F\x82\xA1", u"\U0001F0A1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
        Bstr b;
        b.Reset(BstrFromUtf8(c.utf8));
        EXPECT_EQ(b.View(), c.utf16);
        EXPECT_EQ(Utf8FromBstr(b.Get()), c.utf8);
    }
}

TEST(BstrTest, ReplacesMalformedSequences) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"\xFF", u"\uFFFD"},
        {"a\xC3", u"a\uFFFD"},                              // truncated sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xE2\x82x", u"\uFFFD\uFFFDx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.utf8));
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    }
    // Unpaired surrogates in UTF-16 give U+FFFD, a valid pair its character.
    EXPECT_EQ(Utf16ToUtf8(u"\xD800"sv), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00x"sv), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(u"\xD83C\xDCA1"sv), "\xF0\x9F\x82\xA1");
    EXPECT_EQ(Utf16ToUtf8(u"\xD83Cx"sv), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace com
