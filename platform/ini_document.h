#pragma once
// An INI file held as its lines, with private-profile semantics: sections and
// keys are matched without regard to letter case, the first of duplicate
// sections or keys wins, values are trimmed (and lose one pair of enclosing
// double quotes when read), and a change rewrites only the line concerned, so
// comments, blank lines and lines we cannot read survive every write.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class IniDocument {
  public:
    IniDocument() = default;
    // Parses text; never fails. A UTF-8 byte-order mark and the file's line
    // ending (LF or CRLF) are remembered and written back.
    explicit IniDocument(std::string_view text);

    // The value of key in section, or nothing when either is absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Sets key in section to value, adding the key at the end of the section
    // (and the section at the end of the file) when absent. Returns false and
    // changes nothing when the section, key or value could not be read back
    // as written: a line break anywhere, "]" in the section, "=" in the key,
    // an empty key, or a key that starts with "[" or ";".
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes key from section; true when it was there.
    bool RemoveKey(std::string_view section, std::string_view key);
    // Removes the section with its keys; true when it was there.
    bool RemoveSection(std::string_view section);

    // Section names in file order (first spelling of each).
    std::vector<std::string> Sections() const;
    // Keys of the section with their values, in file order, first of each.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    // The file text.
    std::string Text() const;

  private:
    struct Line {
        std::string text;
        std::string eol;  // the line's own ending; empty for a new line or the last line
        enum Kind { kOther, kSection, kEntry } kind = kOther;
        std::string name;   // section name or key, trimmed
        std::string value;  // entry value, trimmed, quotes not yet removed
    };
    static Line ParseLine(std::string text);
    // Index of the section's header line, or npos.
    std::size_t FindSection(std::string_view section) const;
    // Index one past the section's last line (the next header or the end).
    std::size_t SectionEnd(std::size_t header) const;
    std::size_t FindEntry(std::size_t header, std::string_view key) const;

    std::vector<Line> lines_;
    bool bom_ = false;
    bool crlf_ = false;
    bool finalNewline_ = true;
};

// Reads an integer the way the platform's profile call does: leading blanks,
// an optional sign, then decimal digits up to the first other character;
// 0 when there are no digits. Values beyond the int range saturate.
int ParseProfileInt(std::string_view text);

// Reads an entry that must be a whole number and nothing else: "12" or
// " -3 ", blanks around it at most; none for "", "12px", "1.5" or a number
// beyond the int range. For settings whose damaged values fall back to their
// defaults.
std::optional<int> ParseWholeNumber(std::string_view text);

}  // namespace platform
