#pragma once
// CTableRecord: what is known about one live table, for its information
// window and its calculator: the seats and cards of its latest hand, or the
// cards read off the screen. Every update and every read by the calculator
// happens under the record's own lock, which the same thread may take again
// (the user-interface thread pumps messages while holding it). The table's
// calculator attaches itself and is refreshed whenever the cards change.

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "analysis/table_calculator_link.h"

class CHand;

class CTableRecord {
  public:
    static constexpr int kCardSlots = 7;  // two pocket cards, three flop cards, turn, river

    // A record for `tableName` created at `now`: the last hand time starts
    // ten minutes back, the street at -1 and every card number at -1.
    CTableRecord(std::string tableName, int roomId, bool screenReading, std::int64_t now);

    // Takes the record's state from a hand of the history (see the source).
    void UpdateFromHand(const CHand& hand, std::int64_t now);
    // Takes cards read off the screen: when the pocket cards or the street
    // changed, or the reader warns of the table's size, stores them and
    // refreshes the calculator. Returns false, changing nothing, when `cards`
    // has fewer than 7 entries.
    bool UpdateFromScreen(std::span<const int> cards, int street, int playerCount,
                          TableSizeWarning warning, std::int64_t now);

    std::recursive_mutex& Mutex() const { return mutex_; }
    // Makes `link` the calculator refreshed on every change of the cards.
    void AttachCalculator(ITableCalculatorLink* link);
    // Forgets `link` if it is the attached calculator (a calculator that goes
    // away never unlinks a successor).
    void DetachCalculator(const ITableCalculatorLink* link);
    void AttachInfoWindow(ITableInfoLink* link);
    // The path of the table's information page, once it has been written.
    void SetPageText(std::string pageText);

    const std::string& TableName() const { return tableName_; }
    const std::vector<std::string>& SeatNames() const { return seatNames_; }
    std::int64_t LastHandTime() const { return lastHandTime_; }
    int RoomId() const { return roomId_; }
    const std::string& PageText() const { return pageText_; }
    bool ScreenReading() const { return screenReading_; }
    std::int64_t UpdateTime() const { return updateTime_; }
    const std::string& Pocket() const { return pocket_; }
    const std::string& Flop() const { return flop_; }
    const std::string& Turn() const { return turn_; }
    const std::string& River() const { return river_; }
    int PlayerCount() const { return playerCount_; }
    // The user's opponents in the hand, which the calculator deals against:
    // from a history the players less the user himself; from the screen the
    // count the reader gives, which already leaves him out.
    int OpponentCount() const { return opponentCount_; }
    int Street() const { return street_; }
    std::uint64_t HandNumber() const { return handNumber_; }
    int HandCounter() const { return handCounter_; }
    const std::array<int, kCardSlots>& Cards() const { return cards_; }
    ITableCalculatorLink* Calculator() const { return calculator_; }
    ITableInfoLink* InfoWindow() const { return infoWindow_; }

  private:
    mutable std::recursive_mutex mutex_;
    std::string tableName_;
    std::vector<std::string> seatNames_;
    std::int64_t lastHandTime_ = 0;
    int roomId_ = 0;
    std::string pageText_;
    bool screenReading_ = false;
    std::int64_t updateTime_ = 0;
    std::string pocket_, flop_, turn_, river_;
    int playerCount_ = 0;
    int opponentCount_ = 0;
    int street_ = -1;
    std::uint64_t handNumber_ = 0;
    int handCounter_ = 0;
    std::array<int, kCardSlots> cards_{};
    ITableCalculatorLink* calculator_ = nullptr;
    ITableInfoLink* infoWindow_ = nullptr;
};
