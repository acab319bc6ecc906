#include "hands/hand_absolute_poker.h"

#include "hands/card_text.h"
#include "hands/eastern_time.h"
#include "hands/header_time.h"
#include "hands/line_cursor.h"
#include "hands/parse_error.h"
#include "hands/parse_number.h"
#include "hands/parse_text.h"
#include "hands/seat_line.h"

using namespace hands;

namespace {

constexpr std::string_view kStage = "Stage #";

bool IsNewHand(std::string_view line) { return StartsWith(line, kStage); }
bool IsEndOfBetting(std::string_view line) {
    return StartsWith(line, "*** SHOW DOWN ***") || StartsWith(line, "*** SUMMARY ***");
}
bool IsSittingOut(std::string_view line) { return ContainsAfterFirst(line, " - sitout"); }
// A seat line is "Seat", blanks and the seat number. A player whose name
// begins with "Seat" ("Seatbelt - Posts small blind $1") writes no seat line.
bool IsSeatLine(std::string_view line) {
    if (!StartsWith(line, "Seat ")) return false;
    std::size_t i = 4;
    while (i < line.size() && line[i] == ' ') ++i;
    return i < line.size() && line[i] >= '0' && line[i] <= '9';
}
bool IsShow(std::string_view line) {
    if (ContainsAfterFirst(line, "[Mucked] [")) return true;
    return !StartsWith(line, "Seat ") && !StartsWith(line, "Board [") &&
           ContainsAfterFirst(line, " [");
}

constexpr int kEndCodes[4] = {CHand::kEndInPreflop, CHand::kEndInFlop, CHand::kEndInTurnOrRiver,
                              CHand::kEndInTurnOrRiver};

// Whether the summary's seat lines (bit n set for "Seat n:") name every
// player who took part in the hand: the summary lists them all, and only
// players who sat out are left out of it.
bool SummaryNamesEveryPlayer(const CHand& hand, std::uint32_t summarySeats) {
    for (int seat = 1; seat <= 10; ++seat) {
        std::string_view name = hand.SeatName(seat - 1);
        if (name.empty() || (summarySeats & (1u << seat)) != 0) continue;
        int position = hand.PositionOf(name);
        if (position >= 0 && hand.acted[static_cast<std::size_t>(position)][0]) return false;
    }
    return true;
}

}  // namespace

CHandAbsolutePoker::CHandAbsolutePoker(std::string heroName) : CHand(std::move(heroName)) {}

int CHandAbsolutePoker::Parse(CStdioFileCustom& reader) {
    CLineCursor cursor(reader);
    do {
        if (!cursor.Next()) return kNoHandStart;
    } while (!IsNewHand(cursor.Line()));
    ParseHeader(cursor.Line());

    if (!cursor.Next()) return kEndInHeader;
    ParseTableLine(cursor.Line());

    // Seats: "Seat 4 - NAME ($2343 in chips)".
    if (!cursor.Next()) return kEndInHeader;
    while (IsSeatLine(cursor.Line())) {
        std::string_view line = cursor.Line();
        std::size_t after = 4;
        while (after < line.size() && line[after] == ' ') ++after;
        int seat = ReadField(line, after, 2);
        if (seat < 1 || seat > 10) throw CParseError("seat number out of range");
        std::size_t dash = FindFrom(line, " - ", after);
        std::size_t open = line.rfind(" (");
        if (dash == kNpos || open == kNpos || open < dash + 3)
            throw CParseError("malformed seat line");
        QualifyNameInto(CheckedName(line.substr(dash + 3, open - dash - 3)), name_);
        if (!SeatName(seat - 1).empty()) throw CParseError("seat listed twice");
        SetSeatName(seat - 1, name_);
        SeatAtPosition(name_, seat, buttonSeat);
        if (!cursor.Next()) return kEndInHeader;
    }
    RecordButtonAction();

    // Posts up to the hole cards.
    for (;;) {
        std::string_view line = cursor.Line();
        if (StartsWith(line, "*** POCKET CARDS ***")) break;
        if (IsNewHand(line)) throw CParseError("next hand began in the posts");
        if (!line.empty() && !IsSittingOut(line)) ReadPostLine(line);
        if (!cursor.Next()) return kEndInHeader;
    }

    int result = ReadStreets(cursor);
    if (result != 0) return result;
    ApplyExtraPosts();
    ApplyHeroCards();
    return ReadSummary(cursor);
}

void CHandAbsolutePoker::ParseHeader(std::string_view header) {
    // Hand numbers may carry a letter ("Stage #C282012441"); the digits are
    // the number.
    handNumber = ReadHandNumber(header, kStage.size());
    tournament_ = Contains(header, "Tourney ID");
    if (tournament_) {
        std::size_t at = header.find("Tourney ID");
        std::size_t i = at + 10;
        while (i < header.size() && header[i] == ' ') ++i;
        tournamentNumber_ = ReadUnsigned(header, i);
    }
    // Clients of 2007 wrote the game in capitals ("HOLDEM NORMAL"), so the
    // game words are matched without regard to case.
    noLimit_ = FindNoCase(header, "Pot Limit") != kNpos || FindNoCase(header, "No Limit") != kNpos;
    limit_ = FindNoCase(header, "Holdem  Normal") != kNpos ||
             FindNoCase(header, "Holdem Normal") != kNpos;
    if (FindNoCase(header, " Holdem ") == kNpos) throw CParseError("not a Hold'em hand");
    if (tournament_) {
        std::size_t at = header.find("Blinds-Antes(");
        if (at != kNpos) {
            std::size_t end = 0;
            std::int32_t small = ReadLooseAmount(header, at + 13, &end);
            std::size_t slash = FindFrom(header, "/", end);
            std::int32_t big = slash == kNpos ? 0 : ReadLooseAmount(header, slash + 1, &end);
            std::size_t dash = FindFrom(header, "-", end);
            smallBlind = small;
            lowLimit = big;
            highLimit = TwiceAmount(big);
            ante = dash == kNpos ? 0 : ReadLooseAmount(header, dash + 1);
        }
    }

    std::size_t dash = header.find(" - ");
    if (dash == kNpos) throw CParseError("no date in the header");
    CWallClock wall;
    wall.year = ReadField(header, dash + 3, 4);
    wall.month = TwoDigits(header, dash + 8);
    wall.day = TwoDigits(header, dash + 11);
    wall.hour = TwoDigits(header, dash + 14);
    wall.minute = TwoDigits(header, dash + 17);
    wall.second = TwoDigits(header, dash + 20);
    if (!IsValidWallClock(wall)) throw CParseError("invalid date or time in the header");
    dateTime = EasternToUtc(wall);
}

void CHandAbsolutePoker::ParseTableLine(std::string_view line) {
    realMoney = Contains(line, "(Real Money)") || !ContainsAfterFirst(line, "Play Money");
    if (!StartsWith(line, "Table: "))
        throw CParseError("table line does not begin with \"Table: \"");
    std::size_t open = line.find('(');
    std::string_view name =
        Trim(open == kNpos ? line.substr(7) : Slice(line, 7, open > 7 ? open - 7 : 0));
    if (name.size() > 200) throw CParseError("table name too long");
    tableName = tournament_ ? std::to_string(tournamentNumber_) + "~" + std::string(name)
                            : std::string(name);
    std::size_t seat = line.find("Seat #");
    buttonSeat = seat == kNpos ? 0 : ReadField(line, seat + 6, 2);
    if (noLimit_) {
        gameKind = tournament_ ? 4 : 2;
    } else if (limit_) {
        gameKind = tournament_ ? 3 : 1;
    }
}

void CHandAbsolutePoker::ReadPostLine(std::string_view line) {
    if (tournament_ && Contains(line, "Blinds-Antes(")) {
        std::size_t at = line.find("Blinds-Antes(");
        std::size_t end = 0;
        smallBlind = ReadLooseAmount(line, at + 13, &end);
        std::size_t slash = FindFrom(line, "/", end);
        lowLimit = slash == kNpos ? 0 : ReadLooseAmount(line, slash + 1, &end);
        highLimit = TwiceAmount(lowLimit);
        std::size_t dash = FindFrom(line, "-", end);
        ante = dash == kNpos ? 0 : ReadLooseAmount(line, dash + 1);
        return;
    }
    std::size_t dash = FindFrom(line, " - ", 1);
    if (dash == kNpos) return;
    std::string_view verb = line.substr(dash + 3);
    QualifyNameInto(CheckedName(line.substr(0, dash)), name_);
    // Post lines seen: "Posts small blind $15", "Posts big blind $25",
    // "Ante $0.25", and two forms for a player entering between the blinds:
    // "Posts dead $40 dead $15" is $40 in all, of which the last amount is
    // dead and the rest a live big blind; "Posts $1 dead $0.50" is a live $1
    // and a dead $0.50 besides, $1.50 in all. A later raise to a total
    // includes the live part only.
    if (StartsWith(verb, "Posts small blind")) {
        AddAction(0, kActionSmallBlind, name_, ReadLooseAmount(verb, 17));
    } else if (StartsWith(verb, "Posts big blind")) {
        AddAction(0, kActionBigBlind, name_, ReadLooseAmount(verb, 15));
        bigBlindName = name_;
    } else if (StartsWith(verb, "All-In ") && bigBlindName.empty()) {
        // A player short of the big blind posts it all-in: "Player1 - All-In
        // $191.27" before the hole cards, shown as "(big blind)" in the summary.
        AddAction(0, kActionBigBlind, name_, ReadLooseAmount(verb, 7));
        bigBlindName = name_;
    } else if (StartsWith(verb, "Ante")) {
        std::int32_t amount = ReadLooseAmount(verb, 4);
        ante = amount;
        extraPosts.Set(name_, amount);
    } else if (StartsWith(verb, "Posts")) {
        std::size_t end = 0;
        std::size_t i = 5;
        while (i < verb.size() && !(verb[i] >= '0' && verb[i] <= '9') && verb[i] != '$') ++i;
        // The first amount is the total when the word "dead" comes before
        // it, the live part otherwise.
        const bool totalFirst = Contains(verb.substr(0, i), "dead");
        std::int32_t first = ReadLooseAmount(verb, i, &end);
        std::size_t dead = FindFrom(verb, "dead", end);
        std::int32_t deadPart = dead == kNpos ? 0 : ReadLooseAmount(verb, dead + 4);
        std::int32_t total = first;
        std::int32_t live = 0;
        if (totalFirst) {
            if (deadPart > 0 && deadPart < total) live = total - deadPart;
        } else {
            std::int64_t sum = static_cast<std::int64_t>(first) + deadPart;
            if (sum > kMaxAmount) throw CParseError("amount out of range");
            total = static_cast<std::int32_t>(sum);
            live = first;
        }
        extraPosts.Set(name_, total);
        if (live > 0) livePosted_.Set(name_, live);
    }
}

void CHandAbsolutePoker::RecordShownCards(std::string_view line) {
    std::string_view raw;
    if (StartsWith(line, "Seat ")) {
        std::size_t colon = line.find(": ");
        if (colon == kNpos) return;
        std::size_t end = line.find(" HI:", colon);
        if (end == kNpos) end = line.find(" (", colon);
        if (end == kNpos) return;
        raw = line.substr(colon + 2, end - colon - 2);
    } else {
        std::size_t dash = FindFrom(line, " - ", 1);
        if (dash == kNpos) return;
        raw = line.substr(0, dash);
    }
    QualifyNameInto(CheckedName(raw), name_);
    StoreShownCards(name_, HoleCardsFromLine(NormalizeTens(line, cards_)));
}

void CHandAbsolutePoker::RecordAction(std::string_view line, int street, std::string& lastActor) {
    std::size_t dash = FindFrom(line, " - ", 1);
    if (dash == kNpos) return;
    std::string_view verb = line.substr(dash);
    int kind = -1;
    std::int32_t amount = 0;
    bool raiseTo = false;
    if (StartsWith(verb, " - Folds")) {
        kind = kActionFold;
    } else if (StartsWith(verb, " - Checks")) {
        kind = kActionCheck;
    } else if (StartsWith(verb, " - Calls ")) {
        kind = kActionCall;
        amount = ReadLooseAmount(verb, 9);
    } else if (Contains(verb, "All-In (Timeout)")) {
        kind = kActionCheck;
    } else if (StartsWith(verb, " - All-In(Bet)") || StartsWith(verb, " - Bets ")) {
        kind = kActionBet;
        amount = AmountAfter(verb, StartsWith(verb, " - Bets ") ? " - Bets " : ")").value_or(0);
    } else if (StartsWith(verb, " - All-In(Raise)") || StartsWith(verb, " - Raises ")) {
        kind = TakeRaiseKind();
        amount = AmountAfter(verb, " to ").value_or(0);
        raiseTo = true;
    } else if (StartsWith(verb, " - All-In ")) {
        amount = ReadLooseAmount(verb, 10);
        kind = AllInKind(amount);
        if (kind == kActionRaise) kind = TakeRaiseKind();
    } else if (StartsWith(verb, " - returned")) {
        kind = kActionUncalledBet;
        amount = AmountAfter(verb, "(").value_or(0);
    }
    if (kind < 0) return;
    QualifyNameInto(CheckedName(line.substr(0, dash)), name_);
    if (street == 0) {
        PositionOf(name_, lastActor);
        lastActor = name_;
    }
    if (raiseTo) {
        int position = PositionOf(name_);
        if (position < 0) throw CParseError("action by a player who is not seated");
        amount -=
            streetInvested[static_cast<std::size_t>(position)][static_cast<std::size_t>(street)];
        if (street == 0) {
            if (const std::int32_t* live = livePosted_.Find(name_)) amount -= *live;
        }
        if (amount < 0) amount = 0;
    }
    AddAction(street, kind, name_, amount);
}

int CHandAbsolutePoker::ReadStreets(CLineCursor& cursor) {
    std::string lastActor = bigBlindName;
    for (int street = 0; street < 4; ++street) {
        BeginStreet();
        for (;;) {
            if (!cursor.Next()) return kEndCodes[street];
            std::string_view line = cursor.Line();
            if (IsStreetEndLine(street, line)) {
                StoreBoardCards(street, ParseBoardCards(NormalizeTens(line, cards_)));
                break;
            }
            if (IsNewHand(line)) throw CParseError("next hand began before this one ended");
            if (IsEndOfBetting(line) || (street > 0 && IsTableClosedLine(line))) return 0;
            if (line.empty() || IsSittingOut(line)) continue;
            if (street == 0 && IsDealtToLine(line)) {
                std::size_t open = line.rfind('[');
                std::string_view raw = Slice(line, 9, open == kNpos ? kNpos : open - 9);
                if (Trim(raw) != heroName)
                    throw CParseError("cards dealt to a player other than the hero");
                heroCards = HoleCardsFromLine(NormalizeTens(line, cards_));
                continue;
            }
            if (IsShow(line)) {
                RecordShownCards(line);
                continue;
            }
            RecordAction(line, street, lastActor);
        }
    }
    return kEndInTurnOrRiver;
}

int CHandAbsolutePoker::ReadSummary(CLineCursor& cursor) {
    // The betting may have ended on the summary's own opening line.
    bool inSummary = StartsWith(cursor.Line(), "*** SUMMARY ***");
    std::uint32_t summarySeats = 0;
    bool lastLineCut = false;
    for (;;) {
        std::uint64_t before = cursor.Position();
        if (!cursor.Next()) {
            // The text ends after the betting without the empty line that
            // closes the hand: when nothing more will come, a whole summary
            // whose last line is not cut finishes it.
            bool whole = inSummary && potAwarded && !lastLineCut &&
                         SummaryNamesEveryPlayer(*this, summarySeats);
            return cursor.EndIsFinal() && whole ? kParseOk : kEndBeforeBlankLine;
        }
        lastLineCut = cursor.LineIsCut();
        std::string_view line = cursor.Line();
        if (line.empty()) return kParseOk;
        if (IsNewHand(line)) {
            cursor.Seek(before);
            return kParseOk;
        }
        if (StartsWith(line, "*** SUMMARY ***")) {
            inSummary = true;
        } else if (inSummary && StartsWith(line, "Seat ")) {
            int seat = ReadField(line, 5, 2);
            if (seat >= 1 && seat <= 10) summarySeats |= 1u << seat;
        }
        if (IsShow(line)) RecordShownCards(line);
        std::size_t collects = line.find(" Collects ");
        if (collects != kNpos) {
            QualifyNameInto(CheckedName(line.substr(0, collects)), name_);
            if (PositionOf(name_) < 0) throw CParseError("winner is not seated");
            RecordCollected(name_, ReadLooseAmount(line, collects + 10));
        }
    }
}
