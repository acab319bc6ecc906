#pragma once
// CLineEndProbe: looks at the raw bytes of a history file around line ends,
// for the live reader, which must not take a line the client has not
// finished writing nor a hand that may still be missing its last lines.
// Works on UTF-8 (or single-byte) files and on UTF-16LE files with their
// byte-order mark, like the line reader.

#include <cstdint>
#include <string>

class CLineEndProbe {
  public:
    // Opens path for reading; a probe that could not open its file answers
    // as for an empty file.
    explicit CLineEndProbe(const std::string& path);
    ~CLineEndProbe();
    CLineEndProbe(const CLineEndProbe&) = delete;
    CLineEndProbe& operator=(const CLineEndProbe&) = delete;

    // The offset just after the last line end in [from, length), or `from`
    // when that range holds none: text beyond it is a line still being
    // written.
    std::uint64_t EndOfCompleteText(std::uint64_t from, std::uint64_t length) const;
    // Whether the line that ends just before `end` (its line end included)
    // is empty or holds only blanks: a hand that ends on such a line ended on
    // its own end-of-hand line rather than at the end of the text.
    bool LineBeforeIsBlank(std::uint64_t end) const;

  private:
    int fd_ = -1;
    bool utf16_ = false;
    char lineEnd_ = '\n';  // '\r' for a file whose lines end in CR alone
};
