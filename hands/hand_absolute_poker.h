#pragma once
// CHandAbsolutePoker: reads one Texas Hold'em hand from an Absolute Poker
// history. Hands begin with "Stage #", actions are written "Name - Verb",
// the hole cards follow "*** POCKET CARDS ***" and winnings " Collects ".
// The line tests are fixed; there are no skip or end lists.

#include <cstdint>
#include <string>
#include <string_view>

#include "hands/hand.h"

class CLineCursor;

class CHandAbsolutePoker : public CHand {
  public:
    explicit CHandAbsolutePoker(std::string heroName);

    // Reads one hand from the reader's current line on. Returns 0, -101 (no
    // "Stage #" line), -202 (end in the header, seats or posts), -301, -401,
    // -501 (end on a street), -601 (end after the betting, before the hand's
    // closing line, unless the end is final and the summary lists every
    // player who took part); throws CParseError for a malformed hand.
    int Parse(CStdioFileCustom& reader) override;
    bool CreditsReturnedBets() const override { return true; }
    // " Collects " includes the uncalled part of a bet that no "returned"
    // line states (a walk), so no uncalled bet is derived.
    bool StatesEveryUncalledBet() const override { return true; }
    std::string_view RoomName() const override { return "Absolute"; }

    int buttonSeat = 0;
    std::string bigBlindName;

  private:
    void ParseHeader(std::string_view header);
    void ParseTableLine(std::string_view line);
    void ReadPostLine(std::string_view line);
    int ReadStreets(CLineCursor& cursor);
    int ReadSummary(CLineCursor& cursor);
    void RecordShownCards(std::string_view line);
    void RecordAction(std::string_view line, int street, std::string& lastActor);

    bool tournament_ = false;
    bool noLimit_ = false;
    bool limit_ = false;
    std::uint64_t tournamentNumber_ = 0;
    CNameMap livePosted_;  // live part of dead-blind posts, counted toward raises
    std::string name_;     // scratch for qualified names
    std::string cards_;    // scratch for lines with "10" card codes
};
