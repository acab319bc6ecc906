#pragma once
// CHandInterPoker: reads one Texas Hold'em hand from an InterPoker-family
// history. Streets are marked by dashed lines ("----- FLOP -----"), the date
// may be British (" (GMT)", " (UK)", " (BST)") or Eastern, and the hero's
// cards stand in a lower-case "dealt to" line, from which the parser learns
// the hero name. Whether the game is real or play money is told by the
// folder the history file lies in.

#include <memory>
#include <string>
#include <string_view>

#include "hands/hand.h"

class CLineCursor;

class CHandInterPoker : public CHand {
  public:
    // `filePath` is the full path of the history file; the hand is play money
    // when the folder holding the file's folder begins with "PK" (any case).
    // `learnedHero`, when given, is shared by the parsers of one session: a
    // hero name learned from a "dealt to" line is kept there and used by
    // every later parser in place of `heroName`.
    CHandInterPoker(std::string heroName, std::string_view filePath,
                    std::shared_ptr<std::string> learnedHero = nullptr);

    // Reads one hand from the reader's current line on. Returns 0, -101,
    // -202, -301, -401, -501 as the PokerStars parser; throws CParseError
    // for a malformed hand.
    int Parse(CStdioFileCustom& reader) override;
    bool CreditsReturnedBets() const override { return true; }
    std::string_view RoomName() const override { return "InterPoker"; }

    // Whether the folder two levels above `filePath` names a play-money log.
    static bool IsPlayMoneyPath(std::string_view filePath);

    int buttonSeat = 0;
    std::string bigBlindName;
    bool tournament = false;

  private:
    void ParseHeader(std::string_view header);
    int ReadStreets(CLineCursor& cursor, bool& endedOnSummary);
    void RecordAction(std::string_view line, int street, std::string& lastActor);
    void RecordShow(std::string_view line);
    void RecordWon(std::string_view line);

    bool playMoneyPath_;
    std::shared_ptr<std::string> learnedHero_;
    std::string name_;  // scratch for qualified names
};
