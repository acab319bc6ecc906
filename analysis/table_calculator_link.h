#pragma once
// The links a table record keeps to the windows of its table. The table's
// calculator implements ITableCalculatorLink: it attaches itself to the
// record, reads the record when told that the cards changed, and detaches
// before it goes away. The table information window implements
// ITableInfoLink. The record never owns either.

class CTableRecord;

// Where the cards of a table record came from: the card texts of a hand of
// the history, or the card numbers read off the table window.
enum class CardSource { kHistory, kScreen };

// Whether the card reader found the table window away from its default size;
// the calculator then shows the request to restore that size instead of odds.
enum class TableSizeWarning { kNone, kWrongSize };

class ITableCalculatorLink {
  public:
    virtual ~ITableCalculatorLink() = default;
    // The record's cards changed; `source` says which of its cards to read
    // and `warning` is the card reader's (always kNone from the history).
    // Called with the record's lock held, on the user-interface thread.
    virtual void Refresh(const CTableRecord& record, CardSource source,
                         TableSizeWarning warning) = 0;
};

class ITableInfoLink {
  public:
    virtual ~ITableInfoLink() = default;
};
