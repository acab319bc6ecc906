#pragma once
// CalculatorTable: what a table calculator reads from its table's record, and
// the link back from the record to the calculator. The table record of the
// hand database implements it, so the calculator needs nothing of the
// database itself.

#include <array>
#include <string>

class CDlgCalculator;

class CalculatorTable {
  public:
    virtual ~CalculatorTable() = default;

    // The table's name as the room writes it (hostile text: used only
    // escaped or made safe).
    virtual std::string TableName() const = 0;
    // The room id of the table (100 to 121).
    virtual int RoomId() const = 0;
    // The hand's card texts from the history: pocket, flop, turn, river (card
    // lists such as "[Ah,Kd]"; empty when not dealt).
    virtual std::array<std::string, 4> CardTexts() const = 0;
    // The seven card numbers read off the screen (0-1 pocket, 2-4 flop, 5
    // turn, 6 river); -1 or any number outside 0..51 means not recognised.
    virtual std::array<int, 7> ScreenCards() const = 0;
    // 0 preflop, 1 flop, 2 turn, 3 river, -1 none.
    virtual int Street() const = 0;
    // The number of opponents still in the hand.
    virtual int OpponentCount() const = 0;
    // Makes the record refresh `calculator` when its cards change (nullptr
    // unlinks).
    virtual void LinkCalculator(CDlgCalculator* calculator) = 0;
};
