#include "analysis/table_record.h"

#include "hands/hand.h"

CTableRecord::CTableRecord(std::string tableName, int roomId, bool screenReading, std::int64_t now)
    : tableName_(std::move(tableName)),
      lastHandTime_(now - 600),
      roomId_(roomId),
      screenReading_(screenReading) {
    cards_.fill(-1);
}

void CTableRecord::AttachCalculator(ITableCalculatorLink* link) {
    std::lock_guard lock(mutex_);
    calculator_ = link;
}

void CTableRecord::DetachCalculator(const ITableCalculatorLink* link) {
    std::lock_guard lock(mutex_);
    if (calculator_ == link) calculator_ = nullptr;
}

void CTableRecord::AttachInfoWindow(ITableInfoLink* link) {
    std::lock_guard lock(mutex_);
    infoWindow_ = link;
}

void CTableRecord::SetPageText(std::string pageText) {
    std::lock_guard lock(mutex_);
    pageText_ = std::move(pageText);
}

// A complete hand moves the last hand time and refills the seats. The
// street is the last one with cards, and the player count the players who
// took part on it (10 preflop). Unless the cards come from the screen, a new
// hand or street with known pocket cards replaces the card texts and
// refreshes the calculator; with screen reading only the hand counter moves.
void CTableRecord::UpdateFromHand(const CHand& hand, std::int64_t now) {
    std::lock_guard lock(mutex_);
    if (hand.potAwarded) {
        lastHandTime_ = hand.dateTime;
        hand.NamesByPosition(seatNames_, true);
    }
    int street = !hand.riverCard.empty()   ? 3
                 : !hand.turnCard.empty()  ? 2
                 : !hand.flopCards.empty() ? 1
                                           : 0;
    int players = 10;
    bool userPlays = street == 0;
    if (street > 0) {
        players = 0;
        for (std::size_t p = 0; p < hand.acted.size(); ++p) {
            if (!hand.acted[p][static_cast<std::size_t>(street)]) continue;
            ++players;
            // The user's hole cards are stored at his position.
            if (!hand.heroCards.empty() && hand.holeCards[p] == hand.heroCards) userPlays = true;
        }
    }
    if (screenReading_) {
        ++handCounter_;
        return;
    }
    if (hand.heroCards.empty()) return;
    if (street == street_ && hand.handNumber == handNumber_) return;
    updateTime_ = now;
    pocket_ = hand.heroCards.Str();
    flop_ = hand.flopCards.Str();
    turn_ = hand.turnCard.Str();
    river_ = hand.riverCard.Str();
    playerCount_ = players;
    opponentCount_ = userPlays && players > 0 ? players - 1 : players;
    street_ = street;
    handNumber_ = hand.handNumber;
    if (calculator_ != nullptr)
        calculator_->Refresh(*this, CardSource::kHistory, TableSizeWarning::kNone);
}

bool CTableRecord::UpdateFromScreen(std::span<const int> cards, int street, int playerCount,
                                    TableSizeWarning warning, std::int64_t now) {
    if (cards.size() < static_cast<std::size_t>(kCardSlots)) return false;
    std::lock_guard lock(mutex_);
    bool changed = cards[0] != cards_[0] || cards[1] != cards_[1] || street != street_ ||
                   warning != TableSizeWarning::kNone;
    if (!changed) return true;
    updateTime_ = now;
    for (std::size_t i = 0; i < cards_.size(); ++i) cards_[i] = cards[i];
    playerCount_ = playerCount;
    opponentCount_ = playerCount;
    street_ = street;
    if (calculator_ != nullptr) calculator_->Refresh(*this, CardSource::kScreen, warning);
    return true;
}
