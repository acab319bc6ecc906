#include "hands/hand_full_tilt.h"

#include <array>
#include <span>

#include "hands/eastern_time.h"
#include "hands/header_time.h"
#include "hands/line_cursor.h"
#include "hands/marker_list.h"
#include "hands/parse_error.h"
#include "hands/parse_number.h"
#include "hands/parse_text.h"
#include "hands/seat_line.h"

using namespace hands;

namespace {

constexpr std::string_view kHeaderShort = "FullTiltPoker Game #";
constexpr std::string_view kHeaderLong = "Full Tilt Poker Game #";
constexpr std::string_view kButtonLine = "The button is in seat #";
constexpr std::string_view kSummary = "*** SUMMARY ***";

// Lines that look like actions to the marker search but are not. Chat lines
// are caught separately by their ": ".
// Lines ignored wherever they stand. The entries that begin with a blank
// are tested in one pass over the line; lines are trimmed, so those can
// only match after the first character anyway.
const CMarkerList kSkipList{
    " seconds left to act", " has timed out",   " sits down",    " adds ",
    " stands up",           " is sitting out",  " has returned", " has requested TIME",
    " is feeling ",         " has reconnected",
};
constexpr std::string_view kRunItTwice = "Run It Twice";

// Lines that close the betting. "*** SHOW DOWN" also covers the numbered
// show-downs of hands run twice.
constexpr std::array<std::string_view, 2> kEndList = {"*** SHOW DOWN", kSummary};

// Action words in the order the actor-name rule tests them.
constexpr std::array<std::string_view, 11> kActionWords = {
    " folds",  " checks", " calls ", " bets ",  " raises ", " posts ",
    " antes ", " mucks",  " wins ",  " shows ", " ties ",
};

constexpr std::array<std::string_view, 8> kTournamentMarkers = {
    "Tournament",   "Sit & Go", "Freeroll",  "Guarantee",
    "Double Stack", "Giveaway", "Satellite", "Heads Up Shootout",
};

bool StartsWithAny(std::string_view line, std::span<const std::string_view> list) {
    for (std::string_view entry : list) {
        if (!entry.empty() && StartsWith(line, entry)) return true;
    }
    return false;
}

constexpr int kEndCodes[4] = {CHand::kEndInPreflop, CHand::kEndInFlop, CHand::kEndInTurnOrRiver,
                              CHand::kEndInTurnOrRiver};

}  // namespace

CHandFullTilt::CHandFullTilt(std::string heroName) : CHand(std::move(heroName)) {}

bool CHandFullTilt::IsHeader(std::string_view line) {
    return StartsWith(line, kHeaderShort) || StartsWith(line, kHeaderLong);
}

int CHandFullTilt::Parse(CStdioFileCustom& reader) {
    CLineCursor cursor(reader);
    do {
        if (!cursor.Next()) return kNoHandStart;
    } while (!IsHeader(cursor.Line()));
    std::string header(cursor.Line());
    ParseHeader(header,
                StartsWith(header, kHeaderShort) ? kHeaderShort.size() : kHeaderLong.size());

    std::vector<std::string> passedOver;
    std::string firstLine;
    int result = ReadSeats(cursor, passedOver, firstLine);
    if (result != 0) return result;

    // Posts up to the hole cards. Lines passed over while looking for the
    // seats (histories without a seat list post before the button line) are
    // read first, so their money is not lost.
    for (const std::string& line : passedOver) ReadPostLine(line);
    bool first = true;
    std::uint64_t lineStart = 0;  // where the current line began, once it was read here
    for (;;) {
        std::string_view line = first ? std::string_view(firstLine) : cursor.Line();
        if (StartsWith(line, "*** HOLE CARDS")) break;
        if (StartsWith(line, kSummary)) RejectCancelled(cursor);
        if (IsHeader(line) && !first) {
            // The next hand is left whole for the next read.
            cursor.Seek(lineStart);
            throw CParseError("next hand began before the hole cards");
        }
        first = false;
        if (StartsWith(line, kButtonLine)) {
            buttonSeat = ReadField(line, kButtonLine.size(), 2);
        } else {
            ReadPostLine(line);
        }
        lineStart = cursor.Position();
        if (!cursor.Next()) return kEndInHeader;
    }
    AssignPositions();

    bool endedOnSummary = false;
    result = ReadStreets(cursor, endedOnSummary);
    if (result != 0) return result;
    ApplyExtraPosts();
    ApplyHeroCards();

    if (!endedOnSummary) {
        for (;;) {
            if (!cursor.Next()) throw CParseError("end of file before the summary");
            std::string_view line = cursor.Line();
            if (StartsWith(line, kSummary)) break;
            if (IsShowLine(line)) {
                std::string unused;
                RecordShownCards(line, 3, unused);
            }
        }
    }
    return ReadSummary(cursor);
}

void CHandFullTilt::ParseHeader(std::string_view header, std::size_t numberPos) {
    handNumber = ReadHandNumber(header, numberPos);
    if (Contains(header, "(partial)")) throw CParseError("partial hand");
    if (!Contains(header, "Hold'em")) throw CParseError("not a Hold'em hand");
    for (std::string_view marker : kTournamentMarkers) {
        if (Contains(header, marker)) tournament = true;
    }
    // Tournaments without one of those words ("Matrix", "Rush On Demand")
    // still name their tournament number before the table: "(244669447),".
    std::size_t close = header.find("), ");
    if (close != kNpos) {
        std::size_t open = header.rfind('(', close);
        if (open != kNpos && close > open + 1 &&
            header.substr(open + 1, close - open - 1).find_first_not_of("0123456789") == kNpos) {
            tournament = true;
        }
    }

    // Stakes: the two numbers around the first "/", written with a currency
    // sign in money games and possibly with "K" for thousands.
    std::size_t slash = header.find('/');
    bool stakesHaveCurrency = false;
    if (slash != kNpos) {
        std::size_t blank = header.rfind(' ', slash);
        std::size_t start = blank == kNpos ? 0 : blank + 1;
        stakesHaveCurrency = CurrencySignLength(header, start) > 0;
        stakeSmall_ = ReadLooseAmount(header, start, nullptr, ThousandSuffix::kMultiply);
        stakeBig_ = ReadLooseAmount(header, slash + 1, nullptr, ThousandSuffix::kMultiply);
        if (tournament) {
            smallBlind = stakeSmall_;
            bigBlind = stakeBig_;
        }
    }

    ParseHeaderTime(header);

    // Play-money ring tables are marked " Play " in most headers; some (the
    // "King of the Hill" tables) only show it by stakes without a currency.
    realMoney = !Contains(header, " Play ") && (tournament || slash == kNpos || stakesHaveCurrency);

    std::size_t colon = header.find(": ");
    if (colon != kNpos) {
        std::size_t start = colon + 2;
        if (Contains(header, ": Table") && StartsWith(Slice(header, start), "Table ")) start += 6;
        tableName = std::string(Trim(UpTo(header, start, "-")));
    }

    bool noLimit = Contains(header, "Pot Limit Hold'em") || Contains(header, "No Limit Hold'em") ||
                   Contains(header, "NL Hold'em") || Contains(header, "PL Hold'em");
    if (tournament || !realMoney) {
        gameKind = noLimit ? 4 : 3;
    } else {
        gameKind = noLimit ? 2 : 1;
    }
}

void CHandFullTilt::ParseHeaderTime(std::string_view header) {
    // The time part is "21:30:00 ET - 2008/03/01". Headers written in the
    // client's own zone carry the Eastern time in brackets after it
    // ("19:36:43 CET - 2011/04/07 [13:36:43 ET - 2011/04/07]"): that one is
    // used.
    std::string_view part;
    std::size_t open = header.rfind('[');
    if (open != kNpos && Contains(header.substr(open), " - ")) {
        part = UpTo(header, open + 1, "]");
    } else {
        std::size_t last = header.rfind('-');
        std::size_t secondLast = (last == kNpos || last == 0) ? kNpos : header.rfind('-', last - 1);
        if (secondLast == kNpos) throw CParseError("no date in the header");
        part = Slice(header, secondLast + 2);
    }
    part = Trim(part);

    CWallClock wall;
    std::size_t colon = part.find(':');
    if (colon == kNpos || colon == 0 || colon > 2) throw CParseError("no time in the header");
    wall.hour = ReadField(part, 0, colon);
    wall.minute = TwoDigits(part, colon + 1);
    std::size_t after = colon + 3;
    wall.second = 0;
    if (after < part.size() && part[after] == ':') {
        wall.second = TwoDigits(part, after + 1);
        after += 3;
    }
    std::size_t dash = FindFrom(part, " - ", after);
    if (dash == kNpos) throw CParseError("no date in the header");
    std::string_view zone = Trim(part.substr(after, dash - after));
    std::string_view date = Trim(part.substr(dash + 3));
    if (!date.empty() && date[0] >= '0' && date[0] <= '9') {
        wall.year = ReadField(date, 0, 4);
        wall.month = TwoDigits(date, 5);
        wall.day = TwoDigits(date, 8);
    } else {
        // A short-lived client wrote the date in words: "Wed, July 21, 2010".
        std::size_t comma = date.find(", ");
        std::string_view rest = comma == kNpos ? date : date.substr(comma + 2);
        wall.month = MonthFromName(rest);
        std::size_t blank = rest.find(' ');
        wall.day = blank == kNpos ? -1 : ReadField(rest, blank + 1, 2);
        std::size_t comma2 = rest.find(", ");
        wall.year = comma2 == kNpos ? -1 : ReadField(rest, comma2 + 2, 4);
    }
    if (!IsValidWallClock(wall)) throw CParseError("invalid date or time in the header");
    std::optional<int> offset = ZoneOffsetSeconds(zone);
    dateTime = offset ? ZonedToUtc(wall, *offset) : EasternToUtc(wall);
}

int CHandFullTilt::ReadSeats(CLineCursor& cursor, std::vector<std::string>& passedOver,
                             std::string& firstLine) {
    for (;;) {
        std::uint64_t before = cursor.Position();
        if (!cursor.Next()) return kEndInHeader;
        std::string_view line = cursor.Line();
        if (StartsWith(line, "Seat ") || StartsWith(line, kButtonLine)) break;
        if (StartsWith(line, kSummary)) RejectCancelled(cursor);
        if (IsHeader(line)) {
            // The next hand is left whole for the next read.
            cursor.Seek(before);
            throw CParseError("no seat list and no button line");
        }
        if (StartsWith(line, "*** HOLE CARDS"))
            throw CParseError("no seat list and no button line");
        // Histories without a seat list post before the button line; keep
        // those lines for the posts section (bounded: a real hand has few).
        if (passedOver.size() < 32 && (Contains(line, " posts ") || Contains(line, " antes "))) {
            passedOver.emplace_back(line);
        }
    }
    bool anySeat = false;
    while (StartsWith(cursor.Line(), "Seat ")) {
        std::string_view line = cursor.Line();
        const hands::SeatLine parts = hands::ReadSeatLine(line, "(");
        QualifyNameInto(parts.name, name_);
        seats_.emplace_back(parts.seat, name_);
        anySeat = true;
        if (!cursor.Next()) return kEndInHeader;
    }
    if (!anySeat) return RebuildSeatsFromSummary(cursor, firstLine);
    firstLine = std::string(cursor.Line());
    return 0;
}

int CHandFullTilt::RebuildSeatsFromSummary(CLineCursor& cursor, std::string& firstLine) {
    // The current line (the button line) is read again by the posts section.
    std::string current(cursor.Line());
    std::uint64_t resume = cursor.Position();
    for (;;) {
        if (!cursor.Next()) return kEndInHeader;
        if (StartsWith(cursor.Line(), kSummary)) break;
        if (IsHeader(cursor.Line())) throw CParseError("next hand began before the summary");
    }
    if (!cursor.Next()) return kEndInHeader;  // the pot line
    if (!cursor.Next()) return kEndInHeader;
    if (StartsWith(cursor.Line(), "Board: [") && !cursor.Next()) return kEndInHeader;
    // A summary name ends at the earliest of these.
    static const CMarkerList kNameEnds{
        " (small blind)", " (big blind) ", " didn't bet ", " folded on the ", " folded before the ",
        " collected ",    " (button)",     " showed [",    " mucked ",
    };
    while (StartsWith(cursor.Line(), "Seat ")) {
        std::string_view line = cursor.Line();
        if (!ContainsAfterFirst(line, "is sitting out")) {
            std::size_t colon = line.find(": ");
            if (colon == kNpos || colon < 2) throw CParseError("malformed summary seat line");
            int seat = ReadField(line, colon - 2, 2);
            if (seat < 1 || seat > 10) throw CParseError("seat number out of range");
            std::size_t start = colon + 2;
            std::size_t end = kNameEnds.FindFirst(line, start);
            if (end == kNpos) end = line.size();
            const std::string_view checked = CheckedName(line.substr(start, end - start));
            QualifyNameInto(checked, name_);
            seats_.emplace_back(seat, name_);
            // Blinds known only from the summary are taken at the stakes of
            // the header; a post line for the same player replaces them.
            std::string raw(checked);
            if (Contains(line, " (small blind)")) blindMap_[raw] = {kActionSmallBlind, stakeSmall_};
            if (Contains(line, " (big blind) ")) {
                blindMap_[raw] = {kActionBigBlind, stakeBig_};
                bigBlindName = name_;
            }
        }
        if (!cursor.Next()) break;
    }
    cursor.Seek(resume);
    firstLine = std::move(current);
    return 0;
}

void CHandFullTilt::RejectCancelled(CLineCursor& cursor) {
    // A hand the room cancelled before dealing holds its header and its
    // summary only. It is passed over to its end, leaving the next hand's
    // header for the next read, and rejected alone.
    for (;;) {
        std::uint64_t before = cursor.Position();
        if (!cursor.Next()) break;
        if (IsHeader(cursor.Line())) {
            cursor.Seek(before);
            break;
        }
    }
    throw CParseError("hand cancelled before the cards were dealt");
}

bool CHandFullTilt::IsSkipped(std::string_view line) const {
    if (line.empty()) return true;
    if (ContainsAfterFirst(line, "has been canceled")) throw CParseError("hand canceled");
    if (kSkipList.ContainedIn(line) || ContainsAfterFirst(line, kRunItTwice)) return true;
    if (StartsWith(line, "The blinds are now")) return true;
    // Player chat: "Player: text".
    return Contains(line, ": ") && !StartsWith(line, kHeaderShort);
}

std::string_view CHandFullTilt::ActorName(std::string_view line) const {
    if (Contains(line, "Uncalled bet of")) {
        std::size_t to = line.find(" returned to ");
        if (to == kNpos) return {};
        return Slice(line, to + 13, 50);
    }
    if (StartsWith(line, "Seat ") && line.size() > 5 && line[5] >= '0' && line[5] <= '9')
        return SummaryName(line);
    std::size_t end = kNpos;
    for (std::string_view word : kActionWords) {
        end = FindFrom(line, word, 1);
        if (end != kNpos) break;
    }
    if (end == kNpos) return {};
    return line.substr(0, end);
}

std::string_view CHandFullTilt::SummaryName(std::string_view line) const {
    std::size_t colon = FindFrom(line, ": ", 1);
    if (colon == kNpos) return {};
    std::size_t start = colon + 2;
    // The name ends at the earliest of these.
    static const CMarkerList kEnds{
        " (small", " (big",   " (button", " collected",  " showed",
        " mucked", " didn't", " folded",  " is sitting",
    };
    std::size_t end = kEnds.FindFirst(line, start);
    if (end == kNpos) end = line.size();
    return line.substr(start, end - start);
}

void CHandFullTilt::ReadPostLine(std::string_view line) {
    if (IsSkipped(line) || line.find(' ') == kNpos) return;
    bool isAnte = Contains(line, " antes ");
    if (!isAnte && !Contains(line, " posts ")) return;
    std::string raw(CheckedName(ActorName(line)));
    std::int32_t amount = 0;
    if (auto of = AmountAfter(line, " of ")) {
        amount = *of;
    } else if (auto posts = AmountAfter(line, isAnte ? " antes " : " posts ")) {
        amount = *posts;
    }
    QualifyNameInto(raw, name_);
    if (Contains(line, "posts the small blind")) {
        blindMap_[raw] = {kActionSmallBlind, amount};
    } else if (Contains(line, "posts the big blind")) {
        blindMap_[raw] = {kActionBigBlind, amount};
        bigBlindName = name_;
    } else {
        // A player entering between the blinds posts twice ("posts a dead
        // small blind of $0.50", "posts $1"): the posts add up.
        if (isAnte) ante = amount;
        const std::int32_t* earlier = extraPosts.Find(name_);
        std::int64_t sum = static_cast<std::int64_t>(earlier ? *earlier : 0) + amount;
        if (sum > kMaxAmount) throw CParseError("amount out of range");
        extraPosts.Set(name_, static_cast<std::int32_t>(sum));
        if (isAnte) return;
        // A plain "posts $0.02" is a live blind of a player entering the
        // game: a later raise to a total already includes it.
        if (!Contains(line, "dead")) livePosts_[name_] = amount;
    }
}

void CHandFullTilt::AssignPositions() {
    // Full Tilt tables have at most nine seats, so positions run modulo 9:
    // the seat before the button is position 8.
    for (const auto& [seat, name] : seats_) {
        int position = ((seat - 1 - buttonSeat + 10) % 9 + 9) % 9;
        auto [taken, holder] = NameAtPosition(position);
        if (taken && holder != name) throw CParseError("two players at one position");
        positionOfName.Set(name, position);
    }
    auto [hasButton, buttonName] = NameAtPosition(0);
    if (hasButton) AddAction(0, kActionButton, std::string(buttonName), 0);
    for (const auto& [raw, blind] : blindMap_) {
        QualifyNameInto(raw, name_);
        AddAction(0, blind.kind, name_, blind.amount);
    }
}

void CHandFullTilt::RecordShownCards(std::string_view line, int street, std::string& lastActor) {
    std::string_view raw;
    if (StartsWith(line, "Seat ")) {
        raw = SummaryName(line);
    } else {
        std::size_t end = kNpos;
        for (std::string_view marker : {" shows [", " showed [", " mucked [", " mucks ["}) {
            end = FindFrom(line, marker, 1);
            if (end != kNpos) break;
        }
        if (end == kNpos) return;
        raw = line.substr(0, end);
    }
    QualifyNameInto(CheckedName(raw), name_);
    if (street == 0) {
        PositionOf(name_, lastActor);
        lastActor = name_;
    }
    StoreShownCards(name_, HoleCardsFromLine(line));
}

bool CHandFullTilt::RecordAction(std::string_view line, int street, std::string& lastActor) {
    int kind = -1;
    std::int32_t amount = 0;
    std::size_t at = kNpos;
    if ((at = FindFrom(line, " folds", 1)) != kNpos) {
        kind = kActionFold;
    } else if ((at = FindFrom(line, " checks", 1)) != kNpos) {
        kind = kActionCheck;
    } else if ((at = FindFrom(line, " calls ", 1)) != kNpos) {
        kind = kActionCall;
        amount = ReadLooseAmount(line, at + 7);
    } else if ((at = FindFrom(line, " bets ", 1)) != kNpos) {
        kind = kActionBet;
        amount = ReadLooseAmount(line, at + 6);
    } else if ((at = FindFrom(line, " raises ", 1)) != kNpos) {
        kind = TakeRaiseKind();
        std::size_t to = FindFrom(line, " to ", at);
        amount = to == kNpos ? 0 : ReadLooseAmount(line, to + 4);
    } else if ((at = FindFrom(line, " returned to ", 1)) != kNpos) {
        kind = kActionUncalledBet;
        auto of = AmountAfter(line, " of ");
        amount = of ? *of : 0;
    }
    if (kind < 0) return false;
    std::string_view raw = ActorName(line);
    QualifyNameInto(CheckedName(raw), name_);
    if (street == 0) {
        PositionOf(name_, lastActor);
        lastActor = name_;
    }
    if ((kind == kActionRaise || kind == kActionReraise) && street == 0) {
        // A live post is not in the street's action list; the total raised
        // to includes it.
        auto live = livePosts_.find(name_);
        if (live != livePosts_.end()) amount -= live->second;
    }
    AddAction(street, kind, name_, amount, true);
    return true;
}

int CHandFullTilt::ReadStreets(CLineCursor& cursor, bool& endedOnSummary) {
    std::string lastActor = bigBlindName;
    for (int street = 0; street < 4; ++street) {
        BeginStreet();
        for (;;) {
            if (!cursor.Next()) return kEndCodes[street];
            std::string_view line = cursor.Line();
            // Street lines come first: the 2013 client appends "(Total Pot:
            // ...)" to them, which the chat test would take for chat.
            if (IsStreetEndLine(street, line)) {
                StoreBoardCards(street, ParseBoardCards(line));
                break;
            }
            if (IsSkipped(line)) continue;
            if (StartsWithAny(line, kEndList) || (street > 0 && IsTableClosedLine(line))) {
                endedOnSummary = StartsWith(line, kSummary);
                return 0;
            }
            if (street == 0 && IsDealtToLine(line)) {
                std::size_t open = line.rfind('[');
                std::string_view raw = Slice(line, 9, open == kNpos ? kNpos : open - 9);
                if (Trim(raw) != heroName) {
                    // Heads-up tournament histories may deal the other
                    // player's cards openly after the hero's: they are his
                    // shown cards. Without the hero's own line first, the
                    // hero name does not belong to the history.
                    if (heroCards.empty())
                        throw CParseError("cards dealt to a player other than the hero");
                    QualifyNameInto(CheckedName(raw), name_);
                    StoreShownCards(name_, HoleCardsFromLine(line));
                    continue;
                }
                heroCards = HoleCardsFromLine(line);
                continue;
            }
            if (IsShowLine(line)) {
                RecordShownCards(line, street, lastActor);
                continue;
            }
            RecordAction(line, street, lastActor);
        }
    }
    // The river ends only on an end-list line or at the end of the file.
    return kEndInTurnOrRiver;
}

int CHandFullTilt::ReadSummary(CLineCursor& cursor) {
    bool lastLineCut = false;
    for (;;) {
        std::uint64_t before = cursor.Position();
        // A summary that runs into the end of the input is whole unless its
        // last line was cut.
        if (!cursor.Next()) return lastLineCut ? kEndBeforeBlankLine : kParseOk;
        lastLineCut = cursor.LineIsCut();
        std::string_view line = cursor.Line();
        if (IsHeader(line)) {
            // The next hand follows after a single empty line: leave it to
            // the next read instead of swallowing it.
            cursor.Seek(before);
            return kParseOk;
        }
        if (line.empty()) {
            std::uint64_t afterBlank = cursor.Position();
            if (!cursor.Next() || cursor.Line().empty()) return kParseOk;
            cursor.Seek(afterBlank);
            continue;
        }
        if (IsShowLine(line)) {
            QualifyNameInto(CheckedName(SummaryName(line)), name_);
            if (PositionOf(name_) < 0)
                throw CParseError("summary names a player who is not seated");
            StoreShownCards(name_, HoleCardsFromLine(line));
        }
        if (IsCollectedLine(line)) {
            QualifyNameInto(CheckedName(SummaryName(line)), name_);
            if (PositionOf(name_) < 0)
                throw CParseError("summary names a player who is not seated");
            std::int32_t amount = 0;
            for (std::string_view marker : {" collected (", " wins the pot (", " and won ("}) {
                if (auto value = AmountAfter(line, marker)) {
                    amount = *value;
                    break;
                }
            }
            RecordCollected(name_, amount);
        }
    }
}
