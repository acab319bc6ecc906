#pragma once
// CHandTruePoker: reads one Texas Hold'em hand from a TruePoker history.
// These histories have no seat list and no button line: the dealer is named
// by an action line, hands are separated by lines of asterisks or dashes,
// and streets are announced in words ("Flop is dealt", "Dealing Flop").
// Positions are therefore given in the order players first act.

#include <string>
#include <string_view>

#include "hands/hand.h"

class CLineCursor;

class CHandTruePoker : public CHand {
  public:
    // The hand cannot be used as read (see Parse); the reader was moved to
    // the next separator line.
    static constexpr int kUnusableHand = -305;

    explicit CHandTruePoker(std::string heroName);

    // Reads one hand from the reader's current line on. Returns 0, -101 (no
    // "Game Started on " line), -201 (end right after it), -202 (end before
    // the "begins**" line), -301, -401, -501 (end on a street), or -305 when
    // a preflop action came before the dealer-button line or an eleventh
    // player acted, so positions cannot be given; the reader is then past the
    // next separator line (-601 when the file ended first). Throws
    // CParseError for a malformed hand.
    int Parse(CStdioFileCustom& reader) override;
    bool CreditsReturnedBets() const override { return true; }
    std::string_view RoomName() const override { return "TruePoker"; }

  private:
    void ParseStartLine(std::string_view line);
    void ParseHeader(std::string_view header);
    // Gives `name` the next free position if it has none; false when all
    // ten are taken.
    bool Place(const std::string& name);
    // Records a preflop or later line; false when the hand is unusable.
    bool RecordLine(std::string_view line, int street);
    void ReadSummaryLine(std::string_view line);

    bool buttonSeen_ = false;
    int nextPosition_ = 1;
    std::string name_;  // scratch for qualified names
};
