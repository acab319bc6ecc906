#include "hands/stdio_file_custom.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadAll(CStdioFileCustom& f) {
    std::vector<std::string> lines;
    std::string line;
    while (f.ReadString(line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> ReadText(std::string_view text) {
    CStdioFileCustom f;
    f.OpenText(text);
    return ReadAll(f);
}

using Lines = std::vector<std::string>;

TEST(LineReader, LineEnds) {
    struct Case {
        std::string input;
        Lines expected;
    } cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"a\rb\n", {"a\rb"}},    // a lone CR in a file with line feeds stays in the line
        {"a\rb\r", {"a", "b"}},  // CR alone ends the lines of a file without line feeds
        {"a\r\rb\r", {"a", "", "b"}},
        {"a\rb", {"a", "b"}},
        // A NUL after every line end is kept in the line; trimming drops it.
        {std::string("a\r\n\0b\r\n\0", 8), {"a", std::string("\0b", 2), std::string(1, '\0')}},
        {"\n\n", {"", ""}},
        {"", {}},
        {"\xEF\xBB\xBFPokerStars\n", {"PokerStars"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadText(c.input), c.expected) << "input: " << c.input;
    }
}

TEST(LineReader, CrLineEndsAcrossTheFileBuffer) {
    // Line ends placed around the end of the reader's 64 KiB chunk, read
    // from a file: a line end split by the chunk is one line end.
    const std::string ends[] = {"\r", "\r\n", "\n"};
    for (std::size_t offset = 65530; offset < 65536; ++offset) {
        for (const std::string& end : ends) {
            SCOPED_TRACE(std::to_string(offset) + " " + std::to_string(end.size()));
            std::string text(offset, 'x');
            text += end + "second" + end + "third";
            std::string path = ::testing::TempDir() + "cr_chunk.txt";
            {
                std::FILE* out = std::fopen(path.c_str(), "wb");
                ASSERT_NE(out, nullptr);
                std::fwrite(text.data(), 1, text.size(), out);
                std::fclose(out);
            }
            CStdioFileCustom f;
            ASSERT_TRUE(f.Open(path));
            Lines lines = ReadAll(f);
            ASSERT_EQ(lines.size(), 3u);
            EXPECT_EQ(lines[0].size(), offset);
            EXPECT_EQ(lines[1], "second");
            EXPECT_EQ(lines[2], "third");
        }
    }
}

TEST(LineReader, Utf16WithoutByteOrderMark) {
    struct Case {
        std::string input;
        Lines expected;
    };
    const Case cases[] = {
        {std::string("A\0b\0\r\0\n\0c\0", 10), {"Ab", "c"}},
        // Too short to tell, or not zero at every odd offset: single-byte text.
        {std::string("A\0", 2), {std::string("A\0", 2)}},
        {std::string("A\0bc\n", 5), {std::string("A\0bc", 4)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.size());
        EXPECT_EQ(ReadText(c.input), c.expected);
    }
}

TEST(LineReader, FormFeedCutsTheLineFromTheThirdPosition) {
    struct Case {
        std::string input;
        Lines expected;
    } cases[] = {
        // Two hands glued by a form feed are two lines.
        {"end of hand one\fPokerStars Game #1\n", {"end of hand one", "PokerStars Game #1"}},
        // At the first or second position the form feed stays.
        {"\fabc\n", {"\fabc"}},
        {"a\fbc\n", {"a\fbc"}},
        // Exactly at the third position the line is cut.
        {"ab\fcd\n", {"ab", "cd"}},
        // Several form feeds: each cut in turn.
        {"abc\fdef\fghi\n", {"abc", "def", "ghi"}},
        // A form feed right before the line end leaves an empty line after it.
        {"abc\f\nx\n", {"abc", "", "x"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadText(c.input), c.expected) << "input: " << c.input;
    }
}

TEST(LineReader, EncodingsBecomeUtf8) {
    // Windows-1252: pound sign and euro sign.
    EXPECT_EQ(ReadText("\xA3"
                       "5 \x80"
                       "3\n"),
              (Lines{"\xC2\xA3"
                     "5 \xE2\x82\xAC"
                     "3"}));
    // Valid UTF-8 is kept as it is.
    EXPECT_EQ(ReadText("\xE2\x82\xAC"
                       "1\n"),
              (Lines{"\xE2\x82\xAC"
                     "1"}));
    // UTF-16LE with a byte-order mark, CRLF line ends, a form feed and a
    // character outside the basic plane.
    std::string u16 = std::string("\xFF\xFE", 2);
    auto put = [&](char16_t c) {
        u16.push_back(static_cast<char>(c & 0xFF));
        u16.push_back(static_cast<char>(c >> 8));
    };
    for (char16_t c : std::u16string(u"Hi \u20AC\r\nabc\fde\r\n\U0001F600")) put(c);
    EXPECT_EQ(ReadText(u16), (Lines{"Hi \xE2\x82\xAC", "abc", "de", "\xF0\x9F\x98\x80"}));
}

TEST(LineReader, LongLinesAndBinary) {
    std::string big(3 << 20, 'x');
    std::string text = big + "\n" + std::string("a\0b", 3) + "\nend";
    Lines lines = ReadText(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), big.size());
    EXPECT_EQ(lines[1], std::string("a\0b", 3));
    EXPECT_EQ(lines[2], "end");
}

class LineReaderFile : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("seatwatch_reader_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { std::filesystem::remove(path_); }
    void Append(std::string_view s) {
        std::ofstream out(path_, std::ios::binary | std::ios::app);
        out << s;
    }
    std::filesystem::path path_;
};

TEST_F(LineReaderFile, PositionsSeekAndGrowth) {
    Append("first\r\nsecond\n");
    CStdioFileCustom f;
    ASSERT_TRUE(f.Open(path_.string()));
    std::string line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "first");
    EXPECT_EQ(f.GetPosition(), 7u);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(f.GetPosition(), 14u);
    EXPECT_FALSE(f.ReadString(line));

    // The writer appends half a line: it is returned, flagged as unfinished.
    Append("thi");
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "thi");
    EXPECT_FALSE(f.LastLineHadEnd());

    // The reader goes back and reads the finished line whole.
    f.Seek(14);
    Append("rd\n");
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "third");
    EXPECT_TRUE(f.LastLineHadEnd());
    EXPECT_EQ(f.GetLength(), 20u);

    f.Seek(7);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "second");
}

// A loader keeps a reader per history file for the whole session; a closed
// one must not keep its buffer, and opening it again reads as before.
TEST_F(LineReaderFile, CloseGivesBackTheBuffers) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\n";
    Append(text);
    CStdioFileCustom f;
    ASSERT_TRUE(f.Open(path_.string()));
    std::string line;
    while (f.ReadString(line)) {
    }
    EXPECT_GT(f.HeapBytes(), 1000u);
    const std::size_t empty = CStdioFileCustom().HeapBytes();
    f.Close();
    EXPECT_EQ(f.HeapBytes(), empty);
    ASSERT_TRUE(f.Open(path_.string()));
    f.Seek(text.size() - 10);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "line 4999");
}

// Readers opened one after the other on a thread pass their buffer on:
// a short file read after a long one, and the long one read again from a
// seek, see only their own text.
TEST_F(LineReaderFile, BufferPassedOnBetweenFilesHoldsOnlyTheOwnText) {
    std::string text;
    for (int i = 0; i < 9000; ++i) text += "long line " + std::to_string(i) + "\n";
    Append(text);
    const std::filesystem::path shortPath = path_.string() + ".short";
    std::ofstream(shortPath, std::ios::binary) << "only\r\n";
    CStdioFileCustom longFile;
    CStdioFileCustom shortFile;
    std::string line;
    ASSERT_TRUE(longFile.Open(path_.string()));
    ASSERT_TRUE(longFile.ReadString(line));
    EXPECT_EQ(line, "long line 0");
    longFile.Close();
    ASSERT_TRUE(shortFile.Open(shortPath.string()));
    ASSERT_TRUE(shortFile.ReadString(line));
    EXPECT_EQ(line, "only");
    EXPECT_FALSE(shortFile.ReadString(line));
    EXPECT_EQ(shortFile.GetPosition(), 6u);
    shortFile.Close();
    ASSERT_TRUE(longFile.Open(path_.string()));
    longFile.Seek(text.size() - 15);
    ASSERT_TRUE(longFile.ReadString(line));
    EXPECT_EQ(line, "long line 8999");
    std::filesystem::remove(shortPath);
}

TEST_F(LineReaderFile, ByteOrderMarkIsSkippedAfterSeekToStart) {
    Append("\xEF\xBB\xBFone\ntwo\n");
    CStdioFileCustom f;
    ASSERT_TRUE(f.Open(path_.string()));
    EXPECT_EQ(f.GetPosition(), 3u);
    std::string line;
    f.ReadString(line);
    f.Seek(0);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "one");
}

TEST_F(LineReaderFile, MissingFileOrFolderDoesNotOpen) {
    CStdioFileCustom f;
    EXPECT_FALSE(f.Open(path_.string() + ".absent"));
    EXPECT_FALSE(f.Open(std::filesystem::temp_directory_path().string()));
    std::string line;
    EXPECT_FALSE(f.ReadString(line));
}

}  // namespace

namespace {

// Lines handed out in place must be exactly the lines copied out: over a
// file with CRLF and LF ends, form feeds, Windows-1252 and UTF-8 bytes, a
// UTF-8 mark, and lines that cross the reader's 64 KB chunks, with the
// positions after every line compared too.
TEST_F(LineReaderFile, InPlaceLinesMatchCopiedLines) {
    std::string text = "\xEF\xBB\xBFheader\r\n";
    for (int i = 0; i < 3000; ++i) {
        text += "Seat " + std::to_string(i) + ": caf\xE9 (\xE2\x82\xAC" + std::to_string(i) + ")";
        text += i % 7 == 0 ? "\r\n" : "\n";
        if (i % 11 == 0) text += "ab\fcd\fef\n";
        if (i % 500 == 0) text += std::string(70000 + i, 'x') + "\n";
    }
    text += "last line without end";
    Append(text);

    CStdioFileCustom copied;
    CStdioFileCustom inPlace;
    ASSERT_TRUE(copied.Open(path_.string()));
    ASSERT_TRUE(inPlace.Open(path_.string()));
    std::string line;
    std::string scratch;
    std::string_view view;
    int count = 0;
    for (;;) {
        bool more = copied.ReadString(line);
        ASSERT_EQ(inPlace.ReadLine(view, scratch), more) << "line " << count;
        if (!more) break;
        ASSERT_EQ(view, line) << "line " << count;
        ASSERT_EQ(inPlace.GetPosition(), copied.GetPosition()) << "line " << count;
        ASSERT_EQ(inPlace.LastLineHadEnd(), copied.LastLineHadEnd()) << "line " << count;
        ++count;
    }
    EXPECT_GT(count, 3000);
    EXPECT_FALSE(inPlace.LastLineHadEnd());
}

}  // namespace
