#include "hands/card_text.h"

#include <algorithm>
#include <cstring>

#include "hands/parse_text.h"

void CCardText::Assign(std::string_view text) {
    std::size_t n = std::min(text.size(), kCapacity);
    if (n > 0) std::memcpy(data_, text.data(), n);
    size_ = static_cast<std::uint8_t>(n);
}

namespace {

// The first two and the last two bytes of `text` (fewer when it is short).
std::string_view FirstTwo(std::string_view text) { return text.substr(0, 2); }
std::string_view LastTwo(std::string_view text) {
    return text.size() <= 2 ? text : text.substr(text.size() - 2);
}

// Builds "[a,b,...]" from up to three parts without touching the heap.
CCardText Bracket(std::initializer_list<std::string_view> parts) {
    char buffer[CCardText::kCapacity];
    std::size_t n = 0;
    auto put = [&](std::string_view s) {
        std::size_t k = std::min(s.size(), CCardText::kCapacity - n);
        if (k == 0) return;  // an empty view may have no data pointer at all
        std::memcpy(buffer + n, s.data(), k);
        n += k;
    };
    put("[");
    bool first = true;
    for (std::string_view part : parts) {
        if (!first) put(",");
        put(part);
        first = false;
    }
    put("]");
    return CCardText(std::string_view(buffer, n));
}

}  // namespace

CCardText FormatTwoCards(std::string_view first, std::string_view second) {
    return Bracket({first, second});
}

CCardText HoleCardsFromLine(std::string_view line) {
    std::size_t open = hands::FindLast(line, "[");
    if (open == hands::kNpos) return {};
    std::string_view text = hands::Trim(hands::Slice(line, open + 1, 5));
    std::size_t close = line.find(']', open);
    if (close != hands::kNpos) {
        // One card shown ("shows [Qc]"), or an empty list.
        std::string_view inside = hands::Trim(line.substr(open + 1, close - open - 1));
        if (inside.empty()) return {};
        if (inside.size() <= 3) return Bracket({inside});
    }
    // A list cut short by the end of the text ("showed [As ") holds no
    // whole pair of cards.
    if (close == hands::kNpos && text.size() < 5) return {};
    return Bracket({FirstTwo(text), LastTwo(text)});
}

CCardText BoardCardsFromLine(std::string_view line) {
    std::size_t open = hands::FindLast(line, "[");
    std::size_t close = hands::FindLast(line, "]");
    if (open == hands::kNpos || close == hands::kNpos || close < open) return {};
    std::string_view text = hands::Trim(line.substr(open + 1, close - open - 1));
    if (close - open == 3) return Bracket({text});
    if (close - open == 6) return Bracket({FirstTwo(text), LastTwo(text)});
    return Bracket({FirstTwo(text), hands::Slice(text, 3, 2), LastTwo(text)});
}

namespace hands {

std::string_view NormalizeTens(std::string_view line, std::string& buffer) {
    std::size_t at = line.find("10");
    bool any = false;
    while (at != kNpos) {
        bool before = at == 0 || line[at - 1] == '[' || line[at - 1] == ' ' || line[at - 1] == ',';
        bool suit = at + 2 < line.size() && (line[at + 2] == 's' || line[at + 2] == 'h' ||
                                             line[at + 2] == 'd' || line[at + 2] == 'c');
        bool after = at + 3 >= line.size() || line[at + 3] == ']' || line[at + 3] == ' ' ||
                     line[at + 3] == ',';
        if (before && suit && after) {
            any = true;
            break;
        }
        at = line.find("10", at + 1);
    }
    if (!any) return line;
    buffer.clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
        bool before = i == 0 || line[i - 1] == '[' || line[i - 1] == ' ' || line[i - 1] == ',';
        if (before && i + 2 < line.size() && line[i] == '1' && line[i + 1] == '0' &&
            (line[i + 2] == 's' || line[i + 2] == 'h' || line[i + 2] == 'd' ||
             line[i + 2] == 'c') &&
            (i + 3 >= line.size() || line[i + 3] == ']' || line[i + 3] == ' ' ||
             line[i + 3] == ',')) {
            buffer.push_back('T');
            ++i;  // drop the "0"
            continue;
        }
        buffer.push_back(line[i]);
    }
    return buffer;
}

}  // namespace hands
