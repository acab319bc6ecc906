#pragma once
// CHandFullTilt: reads one Texas Hold'em hand from a Full Tilt Poker history.
//
// Full Tilt writes actions without a colon ("Player raises to $4"), names the
// button in its own line, seats at most nine players (positions are taken
// modulo 9) and may leave out the seat list, which is then rebuilt from the
// summary. Raises are recorded as totals raised to.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hands/hand.h"

class CLineCursor;

class CHandFullTilt : public CHand {
  public:
    explicit CHandFullTilt(std::string heroName);

    // Reads one hand from the reader's current line on. Returns 0, -101 (no
    // header), -202 (end in the header, seats or posts), -301, -401, -501
    // (end on a street), -601 (the text ends inside a summary line); throws
    // CParseError for a malformed hand.
    int Parse(CStdioFileCustom& reader) override;
    bool CreditsReturnedBets() const override { return true; }
    std::string_view RoomName() const override { return "Full Tilt"; }

    int buttonSeat = 0;
    std::string bigBlindName;
    bool tournament = false;

  private:
    struct PendingBlind {
        int kind = 0;
        std::int32_t amount = 0;
    };

    void ParseHeader(std::string_view header, std::size_t numberPos);
    void ParseHeaderTime(std::string_view header);
    int ReadSeats(CLineCursor& cursor, std::vector<std::string>& passedOver,
                  std::string& firstLine);
    int RebuildSeatsFromSummary(CLineCursor& cursor, std::string& firstLine);
    // Reads past a hand cancelled before the deal (the summary follows its
    // header) up to the next header, and rejects it.
    [[noreturn]] void RejectCancelled(CLineCursor& cursor);
    void ReadPostLine(std::string_view line);
    void AssignPositions();
    int ReadStreets(CLineCursor& cursor, bool& endedOnSummary);
    int ReadSummary(CLineCursor& cursor);
    bool IsSkipped(std::string_view line) const;
    std::string_view ActorName(std::string_view line) const;
    std::string_view SummaryName(std::string_view line) const;
    void RecordShownCards(std::string_view line, int street, std::string& lastActor);
    bool RecordAction(std::string_view line, int street, std::string& lastActor);
    static bool IsHeader(std::string_view line);

    std::int32_t stakeSmall_ = 0;
    std::int32_t stakeBig_ = 0;
    std::vector<std::pair<int, std::string>> seats_;  // seat number, qualified name
    std::map<std::string, PendingBlind> blindMap_;    // applied in name order
    std::map<std::string, std::int32_t> livePosts_;   // posts that count toward a raise
    std::string name_;                                // scratch for qualified names
};
