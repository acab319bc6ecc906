#pragma once
// CCardText: a card list as hand records keep it ("[Ah,Kd]", "[7c]",
// "[Ah,Kd,7c]", or empty), stored inline so a hand needs no heap block per
// card list; and the rules that cut card lists out of history lines.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

class CCardText {
  public:
    // Longest text kept; card lists of this system are at most 12 bytes.
    static constexpr std::size_t kCapacity = 15;

    CCardText() = default;
    // Keeps `text`, cut to kCapacity bytes.
    CCardText(std::string_view text) { Assign(text); }  // NOLINT: implicit by design
    CCardText(const char* text) { Assign(text); }       // NOLINT: implicit by design

    void Assign(std::string_view text);
    void Clear() { size_ = 0; }

    std::string_view View() const { return std::string_view(data_, size_); }
    operator std::string_view() const { return View(); }  // NOLINT: implicit by design
    std::string Str() const { return std::string(View()); }
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }

    friend bool operator==(const CCardText& a, const CCardText& b) { return a.View() == b.View(); }
    friend bool operator==(const CCardText& a, std::string_view b) { return a.View() == b; }
    friend bool operator==(const CCardText& a, const char* b) {
        return a.View() == std::string_view(b);
    }
    friend std::ostream& operator<<(std::ostream& out, const CCardText& text) {
        return out << text.View();
    }

  private:
    char data_[kCapacity] = {};
    std::uint8_t size_ = 0;
};

// Formats two card codes as a hole-card list "[%s,%s]".
CCardText FormatTwoCards(std::string_view first, std::string_view second);

// Hole cards of a line: the five bytes after the last "[" (fewer at the end
// of the line), trimmed; the first two and the last two bytes of that text
// make "[%s,%s]". "Dealt to Hero [Ah Kd]" gives [Ah,Kd]; extra text after
// the bracket is not read. One card in the brackets ("shows [Qc]") gives
// the one-card list [Qc]. A line without "[", and a list that the end of the
// line cuts before its second card ("showed [As "), give an empty list.
CCardText HoleCardsFromLine(std::string_view line);

// Board cards of a line: the trimmed text between the last "[" and the last
// "]". When "]" stands 3 bytes after "[" the list has that one card ("[2s]"),
// 6 bytes after it two cards (first and last two bytes), otherwise three
// cards (bytes 0-1, 3-4 and the last two). A line without both brackets in
// that order gives an empty list.
CCardText BoardCardsFromLine(std::string_view line);

namespace hands {

// `line` with every card code written with a ten ("10d") rewritten with the
// rank letter ("Td"), in `buffer`; the returned view points into `buffer`
// when something was rewritten and is `line` itself otherwise.
std::string_view NormalizeTens(std::string_view line, std::string& buffer);

}  // namespace hands
