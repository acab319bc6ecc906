#pragma once
// CHand: the record of one played hand of Texas Hold'em, filled by one room
// parser (a subclass per poker room) and then only read.
//
// Indexing used by every array:
//   position = (seat - button seat + 10) mod 10; 0 is the button, 1 the next
//              seat clockwise. Empty seats leave positions without a player.
//   street   = 0 preflop, 1 flop, 2 turn, 3 river, 4 showdown slot (only the
//              acted flags use slot 4).
//   money    = signed 32-bit hundredths of the written unit (cents, or chips
//              times 100).
// Player names in a hand are qualified names: the screen name plus the
// game-type tag of the hand (QualifyName).

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hands/action.h"
#include "hands/action_table.h"
#include "hands/card_text.h"
#include "hands/name_map.h"

class CStdioFileCustom;

// Game-type category of a qualified name.
enum class NameCategory {
    kLimit,              // no tag: real-money limit ring game
    kNoLimit,            // " (NL)"
    kTournamentLimit,    // " (T-L)"
    kTournamentNoLimit,  // " (T-NL)"
    kPlayMoney,          // " (PM)"
};

class CHand {
  public:
    static constexpr int kPositions = 10;
    static constexpr int kStreets = 5;  // four betting streets and the showdown slot
    static constexpr int kShowdown = 4;

    // Parse results shared by all rooms. 0 is a complete hand; the negative
    // codes say where the text ran out.
    static constexpr int kParseOk = 0;
    static constexpr int kParseRejected = -1;  // malformed hand, see RejectReason()
    static constexpr int kNoHandStart = -101;
    static constexpr int kEndInHeader = -202;  // header, seats or posts
    static constexpr int kEndInPreflop = -301;
    static constexpr int kEndInFlop = -401;
    static constexpr int kEndInTurnOrRiver = -501;
    static constexpr int kEndBeforeBlankLine = -601;

    // `heroName` is the user's screen name at the room, compared with the
    // name on the "Dealt to" line.
    explicit CHand(std::string heroName);
    virtual ~CHand() = default;
    CHand(const CHand&) = default;
    CHand& operator=(const CHand&) = default;

    // Parses one hand from `reader`, starting at its current line, and leaves
    // the reader after the last line read. Returns 0 for a complete hand or a
    // negative code; throws CParseError for a malformed hand.
    virtual int Parse(CStdioFileCustom& reader) = 0;
    // Whether a player's net result must add back the uncalled bets in
    // `returned`. The base answers false.
    virtual bool CreditsReturnedBets() const { return false; }
    // Whether the history itself accounts for every uncalled bet (its stated
    // pot and returned bets add up to what was put in), so that ReadHand must
    // not derive one. The base answers false.
    virtual bool StatesEveryUncalledBet() const { return false; }
    // Short name of the room family whose histories the class reads.
    virtual std::string_view RoomName() const = 0;

    // Fills the hand from `reader`: runs Parse and, when it gives 0,
    // DeriveUncalledBet. Never throws CParseError: a malformed hand gives
    // kParseRejected and its reason in RejectReason(). The hand counts as
    // complete when the result is 0 and potAwarded is set.
    int ReadHand(CStdioFileCustom& reader);
    // Why ReadHand rejected the hand; empty otherwise.
    const std::string& RejectReason() const { return rejectReason; }
    // The hero name given at construction.
    const std::string& HeroName() const { return heroName; }

    // --- Names ---------------------------------------------------------

    // `raw` trimmed, plus the tag of this hand's game type: real money with
    // gameKind 1 none, 2 " (NL)", 3 " (T-L)", 4 " (T-NL)"; play money " (PM)".
    // Throws CParseError while gameKind is not 1 to 4.
    std::string QualifyName(std::string_view raw) const;
    // The same into `out`, reusing its storage (no allocation once warm).
    void QualifyNameInto(std::string_view raw, std::string& out) const;
    // The tag QualifyName appends; throws CParseError while gameKind is not
    // 1 to 4.
    std::string_view NameTag() const;
    // The name without its tag and the category of the tag found (" (T-L)",
    // " (T-NL)", " (NL)", " (PM)" tested in that order); a name without a tag
    // is returned whole as kLimit.
    static std::pair<std::string_view, NameCategory> SplitQualifiedName(std::string_view name);
    // Position of a qualified name, or -1 when it is not seated.
    int PositionOf(std::string_view name) const;
    // As PositionOf(name); when `name` is not seated and `previousActor` is
    // not empty, `name` is first entered at the position after
    // `previousActor` (position 1 when he is not seated either) unless that
    // would be position 10. Throws CParseError when another name holds the
    // target position. Always returns the position found before entering.
    int PositionOf(std::string_view name, std::string_view previousActor);
    // The name seated at `position`, if any.
    std::pair<bool, std::string_view> NameAtPosition(int position) const;
    // Seat names by seat number - 1, kept by parsers that build their seat
    // list here; empty for a seat never set.
    std::string_view SeatName(int seatIndex) const;
    void SetSeatName(int seatIndex, std::string_view name);

    // --- Recording -----------------------------------------------------

    // Records one action (kinds in action.h) of the qualified `name` on
    // `street` (0..3) and keeps every total consistent. `amountIsRaiseTo`
    // says the amount of a raise is the total raised to on this street.
    // Throws CParseError for an unknown name (every kind but 3) and when a
    // total would leave the 32-bit range.
    void AddAction(int street, int kind, std::string_view name, std::int32_t amount,
                   bool amountIsRaiseTo = false);
    // Resets the per-street betting state before a street's lines.
    void BeginStreet();
    // When potAwarded is set: fills `returned` of the top bettor of the last
    // street with actions by what the second bettor did not match, unless a
    // returned amount is already recorded there.
    void DeriveUncalledBet();

    // --- Queries -------------------------------------------------------

    // Positions that took part preflop; computed once and cached.
    int GetPlayerCount() const;
    std::int32_t TotalWon() const;
    // Sum of invested minus TotalWon.
    std::int32_t Rake() const;
    int WinnerCount() const;
    // Appends the name of every position with won > 0, in position order.
    void WinnerNames(std::vector<std::string>& names) const;
    // Clears `names`, then appends the name of each position 0..9; with
    // `withGaps` an empty name stands for a position without a player.
    void NamesByPosition(std::vector<std::string>& names, bool withGaps) const;
    // The actions of `position` on `street`, oldest first.
    std::span<const CAction> Actions(int position, int street) const {
        return actions.List(position, street);
    }
    std::int32_t InvestedByActions(int position, int street) const;
    // The first preflop action of the position is a blind (kind 1 or 2).
    bool PostedBlind(int position) const;
    // Some preflop action of the position is a raise (kind 8 or 9).
    bool RaisedPreflop(int position) const;
    // Some name in extraPosts is seated at this position.
    bool HasExtraPost(int position) const;
    // Number of positions below the player's whose preflop acted flag is
    // set; for a name not seated, the number of all such positions.
    int OrdinalPosition(std::string_view name) const;
    // The hole cards of the first (lowest) position that collected, as the
    // page writer renders them with `render`; built on first use and cached.
    const std::string& WinnerCardsHtml(
        const std::function<std::string(std::string_view)>& render) const;
    // Gives back the spare storage of the lists and maps; ReadHand calls it
    // for a complete hand, which is then kept and only read.
    void Compact();
    // Approximate heap bytes held by this hand beyond the object itself.
    std::size_t HeapBytes() const;

    // --- Line tests shared by the room parsers (lines already trimmed) ---

    static bool IsFlopLine(std::string_view line);
    static bool IsTurnLine(std::string_view line);
    static bool IsRiverLine(std::string_view line);
    static bool IsDealtToLine(std::string_view line);
    // Contains "shows [", "showed [" or "mucked [" after its first character.
    static bool IsShowLine(std::string_view line);
    // Contains " collected " or " and won (" after its first character.
    static bool IsCollectedLine(std::string_view line);
    static bool IsTableClosedLine(std::string_view line);
    static bool IsEmptyLine(std::string_view line) { return line.empty(); }
    // The board card list of the line (BoardCardsFromLine).
    static CCardText ParseBoardCards(std::string_view line);
    // Whether `line` is the "*** FLOP ***", "*** TURN ***" or "*** RIVER ***"
    // line that ends `street` (0, 1 or 2); false on the river and after it.
    static bool IsStreetEndLine(int street, std::string_view line) {
        switch (street) {
            case 0:
                return IsFlopLine(line);
            case 1:
                return IsTurnLine(line);
            case 2:
                return IsRiverLine(line);
            default:
                return false;
        }
    }

    // Reads and trims lines until an empty one (0); end of file first -601.
    static int SkipToBlankLine(CStdioFileCustom& reader);
    // Reads and trims lines until one starting with ten asterisks (0); end
    // of file first -601.
    static int SkipToSeparator(CStdioFileCustom& reader);

    // --- The record ----------------------------------------------------

    std::uint64_t handNumber = 0;
    std::int32_t smallBlind = 0;
    std::int32_t bigBlind = 0;
    std::int32_t lowLimit = 0;
    std::int32_t highLimit = 0;
    std::int32_t ante = 0;
    bool realMoney = false;
    // 1 limit ring, 2 no-limit or pot-limit ring, 3 limit tournament, 4
    // no-limit or pot-limit tournament (play money classed by the parser).
    std::int32_t gameKind = 0;
    std::int64_t dateTime = 0;  // seconds since 1970, UTC
    CCardText flopCards;
    CCardText turnCard;
    CCardText riverCard;
    bool raisedThisStreet = false;
    CNameMap positionOfName;  // qualified name -> position
    CNameMap extraPosts;      // qualified name -> kind-3 post amount
    bool potAwarded = false;
    std::array<std::int32_t, kStreets> streetTotal{};
    std::array<std::int32_t, kPositions> invested{};
    std::array<std::int32_t, kPositions> won{};
    std::array<bool, kPositions> wonAtShowdown{};
    std::array<bool, kPositions> collected{};
    std::array<std::array<std::int32_t, kStreets>, kPositions> streetInvested{};
    std::array<std::array<std::int32_t, kStreets>, kPositions> returned{};
    std::array<std::array<bool, kStreets>, kPositions> acted{};
    bool betPending = false;
    bool streetOpened = false;
    std::int32_t lastBetSize = 0;
    bool raiseSeen = false;
    mutable std::int32_t playerCount = -1;
    std::array<CCardText, kPositions> holeCards{};
    std::string tableName;
    CActionTable actions;
    CCardText heroCards;
    mutable std::string winnerCardsHtml;

  protected:
    // --- Steps of the parse frame shared by the room parsers -------------

    // Reads the next line and returns it trimmed in `line`, a view into the
    // reader's buffer or into `buffer` (see CStdioFileCustom::ReadLine),
    // valid until the reader next reads or moves; false at the end.
    static bool ReadTrimmedLine(CStdioFileCustom& reader, std::string& buffer,
                                std::string_view& line);
    // Adds every extraPosts entry to its player's preflop totals and marks
    // him as acting preflop. Throws CParseError for a name not seated.
    void ApplyExtraPosts();
    // Stores heroCards as the hole cards of the hero when he is seated.
    void ApplyHeroCards();
    // Stores `cards` for a seated player; a name not seated, and an empty
    // list, are ignored.
    void StoreShownCards(std::string_view name, const CCardText& cards);
    // Credits a collected amount to a seated player (won, collected,
    // wonAtShowdown, potAwarded); a name not seated is ignored.
    void RecordCollected(std::string_view name, std::int32_t amount);
    // The same for the player at `position` (0..9).
    void RecordCollectedAt(int position, std::int32_t amount);
    // Seats the qualified `name` at the position of `seat` relative to
    // `buttonSeat` (both 1..10). Throws CParseError when another player
    // already holds that position.
    void SeatAtPosition(std::string_view name, int seat, int buttonSeat);
    // Records the button marker action for the player at position 0, if any.
    void RecordButtonAction();
    // Stores the board cards dealt when `street` (0, 1 or 2) ends: the flop,
    // turn or river card list. With the flop, hero cards read by then are
    // also stored for the hero (ApplyHeroCards).
    void StoreBoardCards(int street, const CCardText& cards);
    // The kind of a raise made now on the current street: kActionRaise for
    // its first raise, kActionReraise after it. Notes the raise, so call it
    // once per raise.
    int TakeRaiseKind() {
        const int kind = raisedThisStreet ? kActionReraise : kActionRaise;
        raisedThisStreet = true;
        return kind;
    }
    // In a parser's table of action markers: an all-in, whose kind the
    // amount decides (AllInKind).
    static constexpr int kAllInMarker = -2;
    // The kind of an all-in of `amount` whose history does not say what it
    // was: a bet on a street after preflop without a bet yet; before any bet
    // preflop a raise when it is above the low limit, else a call; after a
    // bet a raise when it is above the last bet or raise, else a call. A
    // raise found here still goes through TakeRaiseKind.
    int AllInKind(std::int32_t amount) const {
        if (lastBetSize == 0) {
            return !flopCards.empty() ? kActionBet
                                      : (amount > lowLimit ? kActionRaise : kActionCall);
        }
        return amount > lastBetSize ? kActionRaise : kActionCall;
    }
    // AddAction for a player already known to sit at `position` (0..9),
    // which saves looking the name up again; kind 3 (extra posts, kept by
    // name) is not recorded here.
    void RecordAction(int position, int street, int kind, std::int32_t amount,
                      bool amountIsRaiseTo = false);

    std::string heroName;
    std::string rejectReason;
    std::vector<std::string> seatNames;  // sized 10 on first SetSeatName
};
