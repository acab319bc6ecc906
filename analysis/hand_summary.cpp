#include "analysis/hand_summary.h"

#include "hands/hand.h"
#include "html/cards_html.h"

CHandSummary CHandSummary::Of(const CHand& hand) {
    CHandSummary s;
    s.key = CHandKey::Of(hand);
    s.handNumber = hand.handNumber;
    for (int p = 0; p < CHand::kPositions; ++p) {
        if (hand.RaisedPreflop(p)) s.raisedPreflop = true;
        if (hand.acted[static_cast<std::size_t>(p)][1]) ++s.flopPlayers;
    }
    s.pot = hand.TotalWon();
    s.winnerCardsHtml =
        hand.WinnerCardsHtml([](std::string_view cards) { return html::CardsAsHtml(cards); });
    return s;
}
