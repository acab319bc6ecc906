#pragma once
// CStdioFileCustom: the line reader for hand-history files.
//
// Reads a file (opened for shared reading, so the poker client can keep
// writing it) or an in-memory text line by line. Lines end at LF or CRLF; a
// file whose first block holds carriage returns and no line feed ends its
// lines at CR alone. The line end is not part of the line. UTF-16LE text
// (lines ending at LF or CRLF) is converted to UTF-8 as it is read: a file
// that starts with its byte-order mark, or one without the mark whose first
// bytes have a zero at every odd offset and no zero at the even ones. A UTF-8
// byte-order mark at the very start is skipped. Lines may be of any length.
//
// Form-feed rule: when a line holds a form feed (character 12) at its third
// position or later, the line is cut before the form feed and the next read
// starts just after it. A form feed at the first or second position stays in
// the line.
//
// Positions are byte offsets in the file as stored (for UTF-16 files, in the
// UTF-16 bytes), so a reader can remember where it stopped and seek back there.
//
// The reader also carries whether the end of its input is final (TextEnd),
// which the hand parsers need to decide about a hand that runs into the end.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// Whether more text may follow the end of the input. A hand whose last line
// ends the input without the line that closes it is finished only when the
// end is final; while the writer may still append, it stays unfinished.
enum class TextEnd {
    kMayGrow,   // the writer may still append (a history file the client is writing)
    kComplete,  // nothing more will be written: the end of the input ends the text
};

class CStdioFileCustom {
  public:
    CStdioFileCustom();
    ~CStdioFileCustom();
    CStdioFileCustom(const CStdioFileCustom&) = delete;
    CStdioFileCustom& operator=(const CStdioFileCustom&) = delete;

    // Opens a file for reading. False when it cannot be opened. Opening
    // (either form) reads the machine's time zone again (ReloadTimeZone).
    bool Open(const std::string& path);
    // Reads from a copy of the given text instead of a file (tests, tools).
    void OpenText(std::string_view text);
    void Close();
    bool IsOpen() const { return file_ != nullptr || fromMemory_; }

    // Reads the next line into `line` (without its line end). Returns false,
    // with `line` empty, at the end of the input. A last line without a line
    // end is still returned; LastLineHadEnd() tells whether it had one.
    bool ReadString(std::string& line);
    // Reads the next line as ReadString does, but returns it as a view: into
    // the reader's own buffer when the line is stored as it is read (UTF-8
    // within one buffered chunk), otherwise into `scratch`, which then holds
    // the converted line. The view is valid until the next call that reads
    // or moves the reader. Returns false, with `line` empty, at the end.
    bool ReadLine(std::string_view& line, std::string& scratch);
    // Whether the line most recently returned ended with a line end (false for
    // a last line that runs into the end of the input, e.g. still being written).
    bool LastLineHadEnd() const { return lastHadEnd_; }
    // Whether the end of the input is final; kMayGrow until set. Opening and
    // closing leave it as it is.
    void SetTextEnd(TextEnd end) { textEnd_ = end; }
    TextEnd GetTextEnd() const { return textEnd_; }

    // Byte offset of the next read.
    std::uint64_t GetPosition() const { return bufferStart_ + bufferPos_; }
    // Moves to a byte offset (clamped to the length). Returns the new offset.
    std::uint64_t Seek(std::uint64_t offset);
    // Length of the input in bytes, as it is now on disk.
    std::uint64_t GetLength() const;
    // Heap bytes held by the buffers (for memory accounting); none once closed.
    std::size_t HeapBytes() const { return buffer_.capacity() + utf16Buffer_.capacity(); }

  private:
    bool FillBuffer();
    bool ReadRawLine(std::string& raw);
    std::uint64_t SkipByteOrderMark();
    // How much of a line read from `lineStart` (its line end consumed) is
    // kept: without a CR before the line end, and cut before a form feed at
    // the third byte or later, in which case the reader is moved to just
    // after that form feed.
    std::size_t KeptLength(std::string_view raw, std::uint64_t lineStart);

    std::FILE* file_ = nullptr;
    bool fromMemory_ = false;  // buffer_ holds the whole input
    bool utf16_ = false;       // input is UTF-16LE; converted per line
    std::string buffer_;       // bytes read from the file, not yet consumed
    std::string utf16Buffer_;  // raw bytes of the current UTF-16 line
    std::size_t bufferPos_ = 0;
    std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
    std::uint64_t bomLength_ = 0;
    bool lastHadEnd_ = false;
    TextEnd textEnd_ = TextEnd::kMayGrow;
    char lineEnd_ = '\n';  // '\r' for a file whose lines end in CR alone
};
