#pragma once
// CHandPokerStars: reads one Texas Hold'em hand from a PokerStars
// hand-history file. The other room parsers follow its model: a header, the
// seats, the posts, one function per street, and the summary.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "hands/card_text.h"
#include "hands/eastern_time.h"
#include "hands/hand.h"
#include "hands/marker_list.h"
#include "hands/parse_text.h"

class CHandPokerStars : public CHand {
  public:
    // Who showed or was dealt which cards (ParseShownCards).
    struct ShownCards {
        std::string name;  // qualified
        CCardText cards;
    };
    // One action line (ParseAction); kind -1 when the line is no action.
    struct ParsedAction {
        std::string name;  // qualified
        int kind = -1;
        std::int32_t amount = 0;
    };
    // A collected amount (ParseWonAmount).
    struct WonAmount {
        std::string name;  // qualified
        std::int32_t amount = 0;
    };

    // `heroName` is the user's screen name at PokerStars.
    explicit CHandPokerStars(std::string heroName);

    // Reads one hand from the reader's current line. Returns 0 for a complete
    // hand, -101 when no header is found, -202 when the text ends in the
    // header, seats or posts, -301 in preflop, -401 on the flop, -501 on the
    // turn or river, -601 when the text ends inside a summary line; throws
    // CParseError for a malformed hand. A header line
    // met inside a hand ends that hand as if the text ended there (the
    // earlier hand was cut off) and the reader is left at that header, so
    // the next call reads the next hand.
    int Parse(CStdioFileCustom& reader) override;
    bool CreditsReturnedBets() const override { return true; }
    bool StatesEveryUncalledBet() const override { return everyUncalledBetStated_; }
    std::string_view RoomName() const override { return "PokerStars"; }

    // Whether the line begins a hand, after an optional UTF-8 byte-order
    // mark: the old client's "PokerStars Game #", or today's "PokerStars
    // Hand #", "PokerStars Zoom Hand #" (fast-fold tables) and "PokerStars
    // Home Game Hand #".
    static bool IsHeaderLine(std::string_view line);
    // The Eastern wall-clock time of a (joined) header line. Reads the
    // layouts "2006/01/02 - 21:01:03 (ET)", "2005/08/31 18:55:54 ET" and
    // "2010/08/20 5:01:22 MSK [2010/08/19 21:01:22 ET]" (the bracketed
    // Eastern time). Throws CParseError when none is found or a field is out
    // of range.
    static CWallClock ReadHeaderTime(std::string_view header);

    // The player and cards of a "Dealt to", "showed [", "mucked [" or
    // "shows [" line.
    ShownCards ParseShownCards(std::string_view line) const;
    void ParseShownCardsInto(std::string_view line, ShownCards& shown) const;
    // The qualified name of the player a line is about.
    std::string ParseActorName(std::string_view line) const;
    void ParseActorNameInto(std::string_view line, std::string& name) const;
    // The action of a line on `street`; updates raisedThisStreet for raises.
    ParsedAction ParseAction(std::string_view line, int street);
    void ParseActionInto(std::string_view line, int street, ParsedAction& action);
    // The player and amount of a summary line reporting money collected.
    WonAmount ParseWonAmount(std::string_view line) const;
    void ParseWonAmountInto(std::string_view line, WonAmount& result) const;

    // The lines ignored in the posts and on every street (contained
    // anywhere), and the line starts that end the betting.
    static const CMarkerList& SkipList();
    static const CMarkerList& EndList();

    std::int32_t buttonSeat = 0;
    std::string bigBlindName;
    bool tournament = false;

  private:
    // The hand is in today's form (any header but "PokerStars Game #"). The
    // old form is read exactly as it always was; today's adds the rules of
    // the later client (other games rejected, rupees, boards run twice,
    // amounts summed per board, summaries of converted histories).
    bool todaysForm_ = false;
    // Today's summary states a pot that, with the returned bets, accounts
    // for everything put in (StatesEveryUncalledBet).
    bool everyUncalledBetStated_ = false;

    enum class StreetEnd { kHandOver, kNextStreet, kEndOfText };
    enum class QuickAction { kRecorded, kIgnored, kGeneral };

    bool IsChipGame() const { return tournament || !realMoney; }
    void ReadHeader(std::string_view header, std::string_view tableLine);
    int ReadSeatsAndPosts(CStdioFileCustom& reader, std::string& buffer, std::string_view& line);
    // Reads a street line of the common shape "name: folds", "name: calls
    // $1", ... by a seated player and records it (kRecorded, `position` set)
    // or finds it is no action or a line of the skip list (kIgnored).
    // kGeneral leaves any other line, not one of the skip list, to the full
    // tests of ReadStreet, which read it the same way.
    QuickAction ReadQuickAction(std::string_view line, int street, int& position);
    // What a raise line puts in: the total raised to, after the marker at
    // `at`, less what `position` has in on this street already (preflop also
    // its live extra posts); a position of -1 takes the total as it is.
    std::int32_t RaiseIncrement(std::string_view line, std::size_t at, int position,
                                int street) const;
    StreetEnd ReadStreet(CStdioFileCustom& reader, int street, std::string& buffer,
                         std::string_view& line);
    // Reads the lines after the betting, which ended on `street`.
    int ReadSummary(CStdioFileCustom& reader, std::string& buffer, std::string_view& line,
                    int street);
    // Records the uncalled bet of an "Uncalled bet ($x) returned to Name"
    // line on `street`.
    void ReadUncalledBet(std::string_view line, int street);
    // The tag of this hand's names (NameTag), known once the header is read.
    std::string_view nameTag_;
    // The position of the player named `written` as a line writes him (the
    // name is trimmed and the tag added for the look-up), or -1.
    int PositionAsWritten(std::string_view written) const {
        const std::int32_t* position = positionOfName.FindJoined(hands::Trim(written), nameTag_);
        return position != nullptr ? *position : -1;
    }
    // The name of a shown-cards line, and of the player a line is about, as
    // written (ParseShownCards and ParseActorName qualify them).
    static std::string_view ShownNameAsWritten(std::string_view line);
    static std::string_view ActorNameAsWritten(std::string_view line);
    // The amount of a summary line reporting money collected.
    static std::int32_t WonAmountOf(std::string_view line);
    // The same in today's form: every board's amount of a board run twice,
    // and "collected $10" without brackets.
    static std::int32_t TodaysWonAmountOf(std::string_view line);
    // Takes the board of a "*** FIRST FLOP/TURN/RIVER ***" line.
    void ReadFirstBoard(std::string_view line);
    // Reads the next trimmed line; false at the end of the text and also at
    // the next hand's header, which is left unread.
    bool NextLine(CStdioFileCustom& reader, std::string& buffer, std::string_view& line);
    // Whether a header is glued into the line at one of the "#" from `hash`
    // on; then the reader is left at it and `line` emptied. NextLine's
    // rare case, kept out of its way.
    bool GluedHeaderAt(CStdioFileCustom& reader, std::string& buffer, std::string_view& line,
                       std::string_view untrimmed, std::uint64_t start, std::size_t hash);
};
