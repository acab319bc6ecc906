#include "hands/hand_inter_poker.h"

#include <array>
#include <ctime>

#include "hands/eastern_time.h"
#include "hands/header_time.h"
#include "hands/line_cursor.h"
#include "hands/parse_error.h"
#include "hands/parse_number.h"
#include "hands/parse_text.h"
#include "hands/seat_line.h"

using namespace hands;

namespace {

constexpr std::array<std::string_view, 7> kIgnored = {
    "joins the table", "leaves the table", "doesn't show",       " sits back",
    " sits out",       " (Incomplete)",    "You left the table",
};
// Lines that end the betting besides the show-down and summary markers.
constexpr std::array<std::string_view, 2> kEndList = {"Table Closed", "***** "};

bool IsEndOfBetting(std::string_view line) {
    return StartsWith(line, "----- SHOW DOWN -----") || StartsWith(line, "----- SUMMARY -----");
}
bool IsIgnored(std::string_view line) {
    for (std::string_view entry : kIgnored) {
        if (Contains(line, entry)) return true;
    }
    return false;
}
bool IsShow(std::string_view line) {
    return ContainsAfterFirst(line, "shows [") || ContainsAfterFirst(line, "showed [") ||
           ContainsAfterFirst(line, "mucked  [");
}
bool IsWon(std::string_view line) {
    return ContainsAfterFirst(line, " collected ") || ContainsAfterFirst(line, " collects ") ||
           ContainsAfterFirst(line, " and won (");
}

constexpr int kEndCodes[4] = {CHand::kEndInPreflop, CHand::kEndInFlop, CHand::kEndInTurnOrRiver,
                              CHand::kEndInTurnOrRiver};

}  // namespace

bool CHandInterPoker::IsPlayMoneyPath(std::string_view filePath) {
    std::size_t last = filePath.find_last_of("/\\");
    if (last == kNpos || last == 0) return false;
    std::size_t parent = filePath.find_last_of("/\\", last - 1);
    if (parent == kNpos || parent == 0) return false;
    std::size_t grand = filePath.find_last_of("/\\", parent - 1);
    std::size_t start = grand == kNpos ? 0 : grand + 1;
    std::string_view folder = filePath.substr(start, parent - start);
    return folder.size() >= 2 && (folder[0] == 'P' || folder[0] == 'p') &&
           (folder[1] == 'K' || folder[1] == 'k');
}

CHandInterPoker::CHandInterPoker(std::string heroName, std::string_view filePath,
                                 std::shared_ptr<std::string> learnedHero)
    : CHand(std::move(heroName)),
      playMoneyPath_(IsPlayMoneyPath(filePath)),
      learnedHero_(std::move(learnedHero)) {
    realMoney = !playMoneyPath_;
    if (learnedHero_ && !learnedHero_->empty()) this->heroName = *learnedHero_;
}

int CHandInterPoker::Parse(CStdioFileCustom& reader) {
    CLineCursor cursor(reader);
    do {
        if (!cursor.Next()) return kNoHandStart;
    } while (!StartsWith(cursor.Line(), "Game #"));
    std::string header(cursor.Line());
    ParseHeader(header);

    if (!cursor.Next()) return kEndInHeader;
    std::string_view table = cursor.Line();
    if (!StartsWith(table, "Table \""))
        throw CParseError("table line does not begin with Table \"");
    std::size_t quote = table.find('"', 7);
    std::string_view name = quote == kNpos ? Slice(table, 7) : table.substr(7, quote - 7);
    if (name.size() > 200) throw CParseError("table name too long");
    tableName = std::string(name);
    std::size_t buttonAt = table.find("Seat #");
    buttonSeat = buttonAt == kNpos ? 0 : ReadField(table, buttonAt + 6, 2);

    if (!cursor.Next()) return kEndInHeader;
    while (StartsWith(cursor.Line(), "Seat ")) {
        std::string_view line = cursor.Line();
        const hands::SeatLine parts = hands::ReadSeatLine(line, " (");
        QualifyNameInto(parts.name, name_);
        SeatAtPosition(name_, parts.seat, buttonSeat);
        if (!cursor.Next()) return kEndInHeader;
    }
    RecordButtonAction();

    for (;;) {
        std::string_view line = cursor.Line();
        if (StartsWith(line, "----- HOLE CARDS")) break;
        std::size_t colon = FindFrom(line, ": posts ", 1);
        if (colon != kNpos && !IsIgnored(line)) {
            QualifyNameInto(CheckedName(line.substr(0, colon)), name_);
            std::size_t blind = FindFrom(line, " blind ", colon);
            std::int32_t amount = ReadLooseAmount(line, blind != kNpos ? blind + 7 : colon + 8);
            if (Contains(line, "posts small blind")) {
                AddAction(0, kActionSmallBlind, name_, amount);
            } else if (Contains(line, "posts big blind")) {
                AddAction(0, kActionBigBlind, name_, amount);
                bigBlindName = name_;
            } else {
                if (Contains(line, " ante")) ante = amount;
                extraPosts.Set(name_, amount);
            }
        }
        if (!cursor.Next()) return kEndInHeader;
    }

    bool endedOnSummary = false;
    int result = ReadStreets(cursor, endedOnSummary);
    if (result != 0) return result;
    ApplyExtraPosts();
    ApplyHeroCards();
    if (!endedOnSummary) {
        for (;;) {
            if (!cursor.Next() || cursor.Line().empty())
                return kParseOk;  // no summary: the pot stays unawarded
            if (StartsWith(cursor.Line(), "----- SUMMARY -----")) break;
            if (IsShow(cursor.Line())) RecordShow(cursor.Line());
        }
    }
    for (;;) {
        if (!cursor.Next() || cursor.Line().empty()) return kParseOk;
        std::string_view line = cursor.Line();
        if (IsShow(line)) RecordShow(line);
        if (IsWon(line)) RecordWon(line);
    }
}

void CHandInterPoker::ParseHeader(std::string_view header) {
    if (ContainsAfterFirst(header, " (Incomplete)")) throw CParseError("incomplete hand");
    handNumber = ReadHandNumber(header, 6);
    if (!Contains(header, "Hold'em")) throw CParseError("not a Hold'em hand");
    bool noLimit = Contains(header, "Texas Hold'em Pot Limit") || Contains(header, "Hold'em PL") ||
                   Contains(header, "Texas Hold'em No Limit") || Contains(header, "Hold'em NL");
    bool currency = Contains(header, "($") || Contains(header, "(\xC2\xA3") ||
                    Contains(header, "(\xE2\x82\xAC") || Contains(header, "(US$") ||
                    Contains(header, "(\xA3") || Contains(header, "(\x80");
    if (!currency) {
        tournament = true;
        std::size_t open = header.find(" (");
        std::size_t slash = open == kNpos ? kNpos : FindFrom(header, "/", open + 2);
        if (slash != kNpos) {
            lowLimit = ReadLooseAmount(header, slash + 1);
            highLimit = TwiceAmount(lowLimit);
        }
    }
    if (tournament) {
        gameKind = noLimit ? 4 : 3;
    } else {
        gameKind = noLimit ? 2 : 1;
    }

    std::size_t first = header.find(" - ");
    std::size_t second = first == kNpos ? kNpos : FindFrom(header, " - ", first + 3);
    if (second == kNpos) throw CParseError("no date in the header");
    CWallClock wall;
    wall.year = ReadField(header, first + 3, 4);
    wall.month = TwoDigits(header, first + 8);
    wall.day = TwoDigits(header, first + 11);
    wall.hour = TwoDigits(header, second + 3);
    wall.minute = TwoDigits(header, second + 6);
    wall.second = TwoDigits(header, second + 9);
    if (!IsValidWallClock(wall)) throw CParseError("invalid date or time in the header");
    if (Contains(header, " (GMT)") || Contains(header, " (UK)") || Contains(header, " (BST)")) {
        // The three British markers are taken alike: UK time, an hour less
        // while the computer's clock is on summer time.
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        dateTime = ZonedToUtc(wall, 0) - (local.tm_isdst > 0 ? 3600 : 0);
    } else {
        dateTime = EasternToUtc(wall);
    }
}

void CHandInterPoker::RecordShow(std::string_view line) {
    std::string_view raw;
    if (StartsWith(line, "Seat ")) {
        std::size_t colon = line.find(": ");
        std::size_t end = kNpos;
        for (std::string_view marker : {" (", " showed", " mucked"}) {
            std::size_t at = FindFrom(line, marker, colon == kNpos ? 0 : colon + 2);
            if (at != kNpos && at < end) end = at;
        }
        if (colon == kNpos || end == kNpos) return;
        raw = line.substr(colon + 2, end - colon - 2);
    } else {
        std::size_t colon = FindFrom(line, ": ", 1);
        if (colon == kNpos) return;
        raw = line.substr(0, colon);
    }
    QualifyNameInto(CheckedName(raw), name_);
    StoreShownCards(name_, HoleCardsFromLine(line));
}

void CHandInterPoker::RecordWon(std::string_view line) {
    std::string_view raw;
    if (StartsWith(line, "Seat ")) {
        std::size_t colon = line.find(": ");
        std::size_t end = kNpos;
        for (std::string_view marker : {" (", " collected", " collects", " showed", " and won"}) {
            std::size_t at = FindFrom(line, marker, colon == kNpos ? 0 : colon + 2);
            if (at != kNpos && at < end) end = at;
        }
        if (colon == kNpos || end == kNpos) return;
        raw = line.substr(colon + 2, end - colon - 2);
    } else {
        std::size_t end = kNpos;
        for (std::string_view marker : {" collected ", " collects ", " and won ("}) {
            std::size_t at = FindFrom(line, marker, 1);
            if (at != kNpos && at < end) end = at;
        }
        raw = line.substr(0, end);
    }
    std::int32_t amount = 0;
    for (std::string_view marker :
         {" collected (", " collected ", " collects (", " collects ", " won ("}) {
        if (auto value = AmountAfter(line, marker)) {
            amount = *value;
            break;
        }
    }
    QualifyNameInto(CheckedName(raw), name_);
    RecordCollected(name_, amount);
}

void CHandInterPoker::RecordAction(std::string_view line, int street, std::string& lastActor) {
    int kind = -1;
    std::int32_t amount = 0;
    std::size_t nameEnd = kNpos;
    bool raiseTo = false;
    std::size_t at = kNpos;
    if ((at = FindFrom(line, "Returned uncalled ", 0)) != kNpos) {
        std::size_t to = FindFrom(line, " to ", at);
        if (to == kNpos) return;
        amount = ReadLooseAmount(line, at + 18);
        if (amount == 0) {
            std::size_t open = FindFrom(line, "(", at);
            if (open != kNpos) amount = ReadLooseAmount(line, open + 1);
        }
        QualifyNameInto(CheckedName(Slice(line, to + 4, 50)), name_);
        AddAction(street, kActionUncalledBet, name_, amount);
        return;
    }
    nameEnd = FindFrom(line, ": ", 1);
    if (nameEnd == kNpos) return;
    std::string_view verb = line.substr(nameEnd);
    if (StartsWith(verb, ": folds")) {
        kind = kActionFold;
    } else if (StartsWith(verb, ": checks")) {
        kind = kActionCheck;
    } else if (Contains(verb, ": is all-in ") || Contains(verb, "and is all-in")) {
        if (Contains(verb, " bets ")) {
            kind = kActionBet;
            amount = AmountAfter(verb, " bets ").value_or(0);
        } else if (Contains(verb, " raises ")) {
            kind = kActionRaise;
            amount = AmountAfter(verb, " to ").value_or(0);
            raiseTo = true;
        } else {
            std::size_t calls = verb.find(": calls ");
            amount = calls != kNpos ? ReadLooseAmount(verb, calls + 8)
                                    : AmountAfter(verb, ": is all-in ").value_or(0);
            kind = AllInKind(amount);
        }
    } else if (StartsWith(verb, ": calls ")) {
        kind = kActionCall;
        amount = ReadLooseAmount(verb, 8);
    } else if (StartsWith(verb, ": bets ")) {
        kind = kActionBet;
        amount = ReadLooseAmount(verb, 7);
    } else if (StartsWith(verb, ": raises ")) {
        kind = kActionRaise;
        amount = AmountAfter(verb, " to ").value_or(0);
        raiseTo = true;
    }
    if (kind < 0) return;
    if (kind == kActionRaise) kind = TakeRaiseKind();
    QualifyNameInto(CheckedName(line.substr(0, nameEnd)), name_);
    if (street == 0) {
        PositionOf(name_, lastActor);
        lastActor = name_;
    }
    AddAction(street, kind, name_, amount, raiseTo);
}

int CHandInterPoker::ReadStreets(CLineCursor& cursor, bool& endedOnSummary) {
    static constexpr std::string_view kMarkers[3] = {"----- FLOP -----", "----- TURN -----",
                                                     "----- RIVER -----"};
    std::string lastActor = bigBlindName;
    for (int street = 0; street < 4; ++street) {
        BeginStreet();
        for (;;) {
            if (!cursor.Next()) return kEndCodes[street];
            std::string_view line = cursor.Line();
            if (street < 3 && StartsWith(line, kMarkers[street])) {
                StoreBoardCards(street, ParseBoardCards(line));
                break;
            }
            if (line.empty() || IsEndOfBetting(line)) {
                endedOnSummary = StartsWith(line, "----- SUMMARY -----");
                if (line.empty()) endedOnSummary = false;
                return 0;
            }
            bool ended = false;
            for (std::string_view entry : kEndList) ended = ended || StartsWith(line, entry);
            if (ended) return 0;
            if (IsIgnored(line)) continue;
            if (street == 0 && StartsWith(line, "dealt to")) {
                std::size_t open = line.rfind('[');
                std::string_view raw = Trim(Slice(line, 9, open == kNpos ? kNpos : open - 9));
                heroCards = HoleCardsFromLine(line);
                if (!raw.empty() && raw != heroName) {
                    // The history names the hero: it replaces the configured
                    // name for this and every later hand.
                    heroName = std::string(CheckedName(raw));
                    if (learnedHero_) *learnedHero_ = heroName;
                }
                continue;
            }
            if (IsShow(line)) {
                RecordShow(line);
                continue;
            }
            RecordAction(line, street, lastActor);
        }
    }
    return kEndInTurnOrRiver;
}
