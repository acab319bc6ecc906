#include "hands/card.h"

namespace {

constexpr std::string_view kRanks = "A23456789TJQK";
constexpr std::string_view kSuits = "schd";

}  // namespace

CCard CCard::FromIndex(int cardIndex) {
    if (cardIndex < 0 || cardIndex > 51) return CCard{};
    return CCard{cardIndex, cardIndex % 13, cardIndex / 13};
}

CCard CCard::FromCode(std::string_view code) {
    if (code.size() < 2) return CCard{};
    int rank = RankOf(code[0]);
    int suit = SuitOf(code[1]);
    if (rank < 0 || suit < 0) return CCard{};
    return CCard{suit * 13 + rank, rank, suit};
}

char CCard::RankChar(int rank) {
    return rank >= 0 && rank < 13 ? kRanks[static_cast<std::size_t>(rank)] : '\0';
}

char CCard::SuitChar(int suit) {
    return suit >= 0 && suit < 4 ? kSuits[static_cast<std::size_t>(suit)] : '\0';
}

int CCard::RankOf(char c) {
    std::size_t at = kRanks.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int CCard::SuitOf(char c) {
    std::size_t at = kSuits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::string CCard::Label() const {
    if (index == -1) return {};
    // Formatted like "[%c%c]": a NUL character ends the text where it stands.
    std::string label = "[";
    char r = RankChar(rank);
    if (r == '\0') return label;
    label += r;
    char s = SuitChar(suit);
    if (s == '\0') return label;
    label += s;
    label += ']';
    return label;
}
