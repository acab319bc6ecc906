#pragma once
// The links a table record keeps to the windows of its table. The table's
// calculator implements ITableCalculatorLink and the table information window
// ITableInfoLink; each attaches itself to the record and detaches before it
// goes away. The record never owns them.

class CTableRecord;

class ITableCalculatorLink {
  public:
    virtual ~ITableCalculatorLink() = default;
    // The record's card texts changed from a hand of the history. Called with
    // the record's lock held, on the user-interface thread.
    virtual void RefreshFromHistory(const CTableRecord& record) = 0;
    // The record's card numbers changed from the screen; `warning` is the
    // reader's warning flag. Called with the record's lock held.
    virtual void RefreshFromScreen(const CTableRecord& record, bool warning) = 0;
};

class ITableInfoLink {
  public:
    virtual ~ITableInfoLink() = default;
};
