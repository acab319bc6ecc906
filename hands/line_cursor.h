#pragma once
// CLineCursor: reads trimmed lines from a CStdioFileCustom for one hand
// parser. Lines are views into the reader's buffer where they can be, so
// reading a hand copies and allocates nothing per line.

#include <cstdint>
#include <string>
#include <string_view>

#include "hands/parse_text.h"
#include "hands/stdio_file_custom.h"

namespace hands {

// Whether `line`, the line `reader` returned last, is known to be cut short:
// it runs into the end of the input without a line end and a bracket opened
// in it is never closed ("showed [As "). Many clients end their files without
// a last line end, so a last line is otherwise taken as whole.
inline bool IsCutLine(std::string_view line, const CStdioFileCustom& reader) {
    if (reader.LastLineHadEnd()) return false;
    const std::size_t open = FindLastByte(line, '[');
    const std::size_t close = FindLastByte(line, ']');
    const std::size_t paren = FindLastByte(line, '(');
    const std::size_t closeParen = FindLastByte(line, ')');
    return (open != kNpos && (close == kNpos || close < open)) ||
           (paren != kNpos && (closeParen == kNpos || closeParen < paren));
}

}  // namespace hands

class CLineCursor {
  public:
    explicit CLineCursor(CStdioFileCustom& reader) : reader_(reader) {}

    // Reads the next line; false (and an empty Line()) at the end of input.
    bool Next() {
        if (!reader_.ReadLine(line_, buffer_)) return false;
        line_ = hands::Trim(line_);
        return true;
    }
    // The current line, trimmed at both ends; valid until the next call of
    // Next or Seek.
    std::string_view Line() const { return line_; }
    // Byte offset of the next read, for returning to it with Seek.
    std::uint64_t Position() const { return reader_.GetPosition(); }
    // Moves the reader so the next Next() reads the line at `offset`.
    void Seek(std::uint64_t offset) { reader_.Seek(offset); }
    // Whether the current line is known to be cut short (IsCutLine).
    bool LineIsCut() const { return hands::IsCutLine(line_, reader_); }
    // Whether nothing will follow the end of the input (TextEnd::kComplete),
    // so that a hand whose last line ends the input is finished.
    bool EndIsFinal() const { return reader_.GetTextEnd() == TextEnd::kComplete; }

  private:
    CStdioFileCustom& reader_;
    std::string buffer_;
    std::string_view line_;
};
