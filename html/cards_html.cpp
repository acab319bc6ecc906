#include "html/cards_html.h"

#include <array>
#include <atomic>
#include <cstdio>

namespace html {

namespace {

std::atomic<bool> gFourColourDeck{false};

constexpr std::string_view kBlackFont = "<font face='Arial' size='-1' COLOR='BLACK'>";
constexpr std::string_view kEndFont = "</FONT>";
constexpr std::string_view kOpenBracket = "<B><font face='Arial' size='-1' COLOR='BLACK'>[</FONT>";
constexpr std::string_view kCloseBracket = "<B><font face='Arial' size='-1' COLOR='BLACK'>]</FONT></B>";

// Rank order for sorting: higher is better; unknown ranks sort lowest.
int RankOrder(char rank) {
    static constexpr std::string_view kRanks = "23456789TJQKA";
    auto at = kRanks.find(rank);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

struct CardCodes {
    std::array<char, 3> rank{};
    std::array<char, 3> suit{};
    int count = 0;
};

// Splits bracketed card text by its length: 4 one card, 7 or 8 two cards,
// 10 or 12 three cards (with or without a blank after each comma).
CardCodes Split(std::string_view t) {
    CardCodes c;
    std::size_t step = 0;
    switch (t.size()) {
        case 4: c.count = 1; step = 3; break;
        case 7: c.count = 2; step = 3; break;
        case 8: c.count = 2; step = 4; break;
        case 10: c.count = 3; step = 3; break;
        case 12: c.count = 3; step = 4; break;
        default: return c;
    }
    for (int i = 0; i < c.count; ++i) {
        std::size_t at = 1 + static_cast<std::size_t>(i) * step;
        c.rank[static_cast<std::size_t>(i)] = t[at];
        c.suit[static_cast<std::size_t>(i)] = t[at + 1];
    }
    return c;
}

}  // namespace

void SetFourColourDeck(bool fourColour) { gFourColourDeck = fourColour; }
bool IsFourColourDeck() { return gFourColourDeck; }

std::string_view SuitFont(char suit) {
    const bool four = IsFourColourDeck();
    switch (suit) {
        case 'h': return "<font face='Arial' size='-1' COLOR='RED'>";
        case 'd': return four ? "<font face='Arial' size='-1' COLOR='BLUE'>"
                              : "<font face='Arial' size='-1' COLOR='RED'>";
        case 'c': return four ? "<font face='Arial' size='-1' COLOR='GREEN'>" : kBlackFont;
        case 's':
        case '?': return kBlackFont;
        default: return {};
    }
}

std::string_view SuitImage(char suit) {
    const bool four = IsFourColourDeck();
    switch (suit) {
        case 'h': return "<img src=\"..\\s_hearts.gif\"  border='0'>";
        case 'd': return four ? "<img src=\"..\\s_diamondsblu.gif\"  border='0'>"
                              : "<img src=\"..\\s_diamondsred.gif\"  border='0'>";
        case 'c': return four ? "<img src=\"..\\s_clubsgrn.gif\"  border='0'>"
                              : "<img src=\"..\\s_clubsblk.gif\"  border='0'>";
        case 's': return "<img src=\"..\\s_spades.gif\" border='0'>";
        case '?': return " ";
        default: return {};
    }
}

std::string OrderTwoCards(std::string_view t) {
    if (t.size() != 7 && t.size() != 8) return std::string(t);
    CardCodes c = Split(t);
    if (RankOrder(c.rank[1]) <= RankOrder(c.rank[0])) return std::string(t);
    char out[8];
    std::snprintf(out, sizeof out, "%c%c%c%c%c%c%c", t[0], c.rank[1], c.suit[1], ',', c.rank[0],
                  c.suit[0], ']');
    return std::string(out, 7);
}

std::string CardsAsHtml(std::string_view cardText, bool compact) {
    if (cardText.empty() || cardText.size() > 12) {
        return std::string(kBlackFont) + "&nbsp" + std::string(kEndFont);
    }
    std::string ordered = OrderTwoCards(cardText);
    CardCodes c = Split(ordered);
    if (c.count == 0) return {};
    std::string out(kOpenBracket);
    for (int i = 0; i < c.count; ++i) {
        auto k = static_cast<std::size_t>(i);
        if (i > 0) {
            out += "<B>";
            if (!compact) out += ' ';
        }
        out += SuitFont(c.suit[k]);
        out += c.rank[k];
        out += kEndFont;
        out += "</B>";
        out += SuitImage(c.suit[k]);
    }
    out += kCloseBracket;
    return out;
}

std::string ShortHandText(std::string_view cardText, bool noBlank) {
    if (cardText.empty()) return {};
    std::string ordered = OrderTwoCards(cardText);
    CardCodes c = Split(ordered);
    std::string out;
    switch (c.count) {
        case 1:
            out = "[";
            out += c.rank[0];
            out += "]";
            break;
        case 2:
            out += c.rank[0];
            out += c.rank[1];
            if (SuitImage(c.suit[0]) == SuitImage(c.suit[1])) {
                out += 's';
            } else if (!noBlank) {
                out += ' ';
            }
            break;
        case 3:
            out = "[";
            for (std::size_t k = 0; k < 3; ++k) {
                if (k > 0 && !noBlank) out += ' ';
                out += SuitFont(c.suit[k]);
                out += c.rank[k];
                out += kEndFont;
                out += SuitImage(c.suit[k]);
            }
            out += "]";
            break;
        default: break;
    }
    return out;
}

}  // namespace html
