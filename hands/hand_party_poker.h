#pragma once
// CHandPartyPoker: reads one Texas Hold'em hand from a PartyPoker-family
// history. Hands open with a "***** Hand History for Game" banner, the date
// carries a weekday and a month name, amounts stand in square brackets with a
// currency word, and the board is dealt by "** Dealing Flop" lines. Amounts
// of raises are the money added, not totals.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hands/hand.h"

class CLineCursor;

class CHandPartyPoker : public CHand {
  public:
    // The "TimeZone" setting ([Config] of the settings file) meaning the
    // computer's own offset is used.
    static constexpr int kTimeZoneComputer = -100;

    // `timeZone` is the "TimeZone" setting: kTimeZoneComputer, or the hour
    // offset the user set for the times in Party histories.
    CHandPartyPoker(std::string heroName, int timeZone = kTimeZoneComputer);

    // Reads one hand from the reader's current line on. Returns 0, -101 (no
    // banner), -201 (end right after the banner), -202 (end in the table,
    // seat or post section), -301, -401, -501 (end on a street), -601 (end in
    // the summary, before the hand's closing line, unless the end is final and
    // the summary names the main pot's winner); throws CParseError for a
    // malformed hand.
    int Parse(CStdioFileCustom& reader) override;
    std::string_view RoomName() const override { return "PartyPoker"; }
    // The histories state no uncalled bets: " wins " includes them, so none
    // is derived.
    bool StatesEveryUncalledBet() const override { return true; }

    int buttonSeat = 0;
    std::string bigBlindName;

  private:
    struct Post {
        std::string name;
        std::int32_t amount;
        int wording;  // kind named by the line: 2 small blind, 1 big blind, 3 other
    };

    void ParseGameLine(std::string_view line);
    void ParseDate(std::string_view line);
    void ParseTableLine(std::string_view line);
    void ReadPostLine(std::string_view line);
    void ApplyAntePosts();
    int ReadStreets(CLineCursor& cursor, std::string& endLine);
    void ReadSummaryLine(std::string_view line);
    void RecordWonSegment(std::string_view segment);
    bool IsSkipped(std::string_view line) const;
    bool RecordAction(std::string_view line, int street);
    void EnterUnseated(const std::string& name);
    // Reads the hand id of the banner into handNumber; rejects ids with
    // letters among their digits.
    void ReadBannerNumber(std::string_view banner);
    // Sets tournament_ when a "Trny:" line follows before the deal; leaves
    // the reader where it was.
    void LookAheadForTournament(CLineCursor& cursor);
    // Reads "small/big" at `pos` into smallBlind, lowLimit and highLimit.
    void ReadTournamentBlinds(std::string_view line, std::size_t pos);
    // Records the level's blinds and antes for the seats that owe them when
    // a tournament hand writes no post lines.
    void PostUnwrittenBlinds();
    // The longest seated name (as written) that `line` begins with, followed
    // by a blank; empty when none.
    std::string_view SeatedNameAt(std::string_view line) const;
    // The name a post, show or "wins" line begins with: SeatedNameAt, or
    // the first word for a player missing from the seat list.
    std::string_view PlayerNameOf(std::string_view line) const;

    int timeZone_;
    bool tournament_ = false;
    int postCount_ = 0;
    std::vector<Post> antePosts_;
    std::vector<std::string> seatedRaw_;  // seated names as written, without the tag
    std::string name_;                    // scratch for qualified names
};

// Card list of a Party line: the cards between the last "[" and the "]"
// after it, separated by blanks and/or commas ("[ 7c, 5h, 2d ]", "[  Js Th
// ]"), in the card-list forms of the hand record. One card gives "[7c]", two
// "[Js,Th]", three or more the first three. No bracket gives an empty list.
CCardText PartyCardsFromLine(std::string_view line);
