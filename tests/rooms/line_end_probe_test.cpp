#include "rooms/line_end_probe.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/rooms/rooms_test_support.h"

namespace {

using rooms_test::ScratchFolder;
using rooms_test::WriteFile;

// UTF-16LE bytes of ASCII text, after the byte-order mark.
std::string Utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST(LineEndProbe, EndOfCompleteTextAndBlankLines) {
    const struct {
        const char* what;
        std::string bytes;
        std::uint64_t from;
        std::uint64_t expectedEnd;
        std::uint64_t blankAt;  // an offset to ask LineBeforeIsBlank about
        bool blank;
    } cases[] = {
        {"complete lines", "ab\r\ncd\r\n", 0, 8, 8, false},
        {"half-written last line", "ab\r\ncd\r\nef", 0, 8, 4, false},
        {"no line end at all", "abcdef", 0, 0, 6, false},
        {"start after the last line end", "ab\ncd", 3, 3, 3, false},
        {"blank line ends the text", "ab\r\n\r\n", 0, 6, 6, true},
        {"line of blanks", "ab\n \t\r\n", 0, 7, 7, true},
        {"utf-16 complete", Utf16("ab\r\ncd\r\n"), 2, 18, 18, false},
        {"utf-16 half line", Utf16("ab\r\ncd"), 2, 10, 10, false},
        {"utf-16 blank line", Utf16("ab\r\n\r\n"), 2, 14, 14, true},
        {"lines ending in CR alone", "ab\rcd\ref", 0, 6, 6, false},
        {"CR alone, blank line ends the text", "ab\r\r", 0, 4, 4, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        WriteFile(folder / "f.txt", c.bytes);
        const CLineEndProbe probe(folder / "f.txt");
        EXPECT_EQ(probe.EndOfCompleteText(c.from, c.bytes.size()), c.expectedEnd);
        EXPECT_EQ(probe.LineBeforeIsBlank(c.blankAt), c.blank);
    }
}

}  // namespace
