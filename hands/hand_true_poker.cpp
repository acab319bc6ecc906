#include "hands/hand_true_poker.h"

#include <array>

#include "hands/header_time.h"
#include "hands/line_cursor.h"
#include "hands/parse_error.h"
#include "hands/parse_number.h"
#include "hands/parse_text.h"
#include "hands/seat_line.h"

using namespace hands;

namespace {

constexpr std::array<std::string_view, 14> kIgnored = {
    " sits in",
    " sits out",
    " leaves the table",
    " joins the table",
    "Community Cards",
    "Game Lasted",
    "has timed out",
    "will play after ",
    " is reconnected",
    " all in ",
    "Thank you",
    "your hand history request.",
    "took too long to respond and timed out",
    "http://",
};

bool IsSeparator(std::string_view line) {
    return Contains(line, "*******************") || Contains(line, "**Hand");
}
bool IsIgnored(std::string_view line) {
    for (std::string_view entry : kIgnored) {
        if (Contains(line, entry)) return true;
    }
    return Contains(line, "https://") || Contains(line, "www.") ||
           StartsWith(line, "----------------") || StartsWith(line, "****************");
}
bool IsEndOfBetting(std::string_view line) {
    for (std::string_view marker :
         {" shows", " mucks", "**Hand", " wins ", "****************", "----------------"}) {
        if (Contains(line, marker)) return true;
    }
    return false;
}
bool IsShown(std::string_view line) {
    return Contains(line, "pocket cards were ") || Contains(line, " mucks");
}

constexpr std::string_view kStreetMarkers[3][2] = {{"Flop is dealt", "Dealing Flop"},
                                                   {"Turn is dealt", "Dealing Turn"},
                                                   {"River is dealt", "Dealing River"}};

constexpr int kEndCodes[4] = {CHand::kEndInPreflop, CHand::kEndInFlop, CHand::kEndInTurnOrRiver,
                              CHand::kEndInTurnOrRiver};

}  // namespace

CHandTruePoker::CHandTruePoker(std::string heroName) : CHand(std::move(heroName)) {}

int CHandTruePoker::Parse(CStdioFileCustom& reader) {
    CLineCursor cursor(reader);
    do {
        if (!cursor.Next()) return kNoHandStart;
    } while (!StartsWith(cursor.Line(), "Game Started on "));
    ParseStartLine(cursor.Line());

    if (!cursor.Next()) return -201;
    std::string header(cursor.Line());
    ParseHeader(header);
    do {
        if (!cursor.Next()) return kEndInHeader;
    } while (!Contains(cursor.Line(), "begins**") && !Contains(cursor.Line(), "begins **"));

    std::string endLine;
    bool ended = false;
    for (int street = 0; street < 4 && !ended; ++street) {
        BeginStreet();
        for (;;) {
            if (!cursor.Next()) return kEndCodes[street];
            std::string_view line = cursor.Line();
            if (street < 3 && (StartsWith(line, kStreetMarkers[street][0]) ||
                               StartsWith(line, kStreetMarkers[street][1]))) {
                StoreBoardCards(street, ParseBoardCards(line));
                break;
            }
            if (IsEndOfBetting(line)) {
                endLine = std::string(line);
                ended = true;
                break;
            }
            if (line.empty() || IsIgnored(line)) continue;
            if (IsShown(line)) {
                ReadSummaryLine(line);
                continue;
            }
            if (StartsWith(line, "You are dealt") || StartsWith(line, "Dealer deals you")) {
                heroCards = HoleCardsFromLine(line);
                continue;
            }
            if (!RecordLine(line, street)) {
                // Positions cannot be given: the hand is dropped whole and
                // reading goes on after the next separator.
                int skip = SkipToSeparator(reader);
                return skip == 0 ? kUnusableHand : skip;
            }
        }
    }
    if (!ended) {
        // The river ended without a closing line: read on to one.
        for (;;) {
            if (!cursor.Next()) return kEndInTurnOrRiver;
            if (IsEndOfBetting(cursor.Line())) {
                endLine = std::string(cursor.Line());
                break;
            }
        }
    }

    // Players who only posted (an ante or a dead blind) and never acted are
    // placed now, after everyone who acted.
    for (std::size_t i = 0; i < extraPosts.Size(); ++i) {
        std::string poster(extraPosts.At(i).name);
        if (!Place(poster)) throw CParseError("more than ten players");
    }
    ApplyExtraPosts();
    ApplyHeroCards();

    if (IsSeparator(endLine)) return kParseOk;
    ReadSummaryLine(endLine);
    for (;;) {
        if (!cursor.Next()) return kParseOk;
        std::string_view line = cursor.Line();
        if (IsSeparator(line) || StartsWith(line, "----------------")) return kParseOk;
        ReadSummaryLine(line);
    }
}

void CHandTruePoker::ParseStartLine(std::string_view line) {
    // "Game Started on Tue Jul 04, 2006 at 18:00": the month at position 20,
    // the day before the first comma, the year after it, the time last.
    CWallClock wall;
    wall.month = MonthFromName(Slice(line, 20, 3));
    std::size_t comma = line.find(',');
    wall.day = comma == kNpos || comma < 3 ? -1 : ReadField(line, comma - 2, 2);
    wall.year = comma == kNpos ? -1 : ReadField(line, comma + 2, 4);
    wall.hour = line.size() >= 5 ? TwoDigits(line, line.size() - 5) : -1;
    wall.minute = line.size() >= 2 ? TwoDigits(line, line.size() - 2) : -1;
    wall.second = 0;
    if (!IsValidWallClock(wall)) throw CParseError("invalid date or time in the start line");
    // The client writes the computer's local time.
    dateTime = LocalToUtc(wall);
}

void CHandTruePoker::ParseHeader(std::string_view header) {
    // "Table Brighton - Holdem - NL - Real Money - $0.25/$0.50 - 1234567890".
    std::size_t game = header.find(" - Holdem ");
    if (game == kNpos) throw CParseError("not a Hold'em hand");
    std::string_view name = header.substr(0, game);
    if (StartsWith(name, "Table ")) name.remove_prefix(6);
    name = Trim(name);
    if (name.size() > 200) throw CParseError("table name too long");
    tableName = std::string(name);

    // Money kind: play money when the header says so; every other header is
    // real money. Tournaments are named by their kind; a $0.00 buy-in is a
    // freeroll.
    realMoney = !Contains(header, "Play Money") && !Contains(header, "Sit&Go Play");
    bool tournament = false;
    for (std::string_view marker :
         {"Sit&Go", "Added Value", "Value Added", "FreeRoll", "Free Roll", "$0.00"}) {
        tournament = tournament || Contains(header, marker);
    }
    bool noLimit = Contains(header, " Holdem - NL ") || Contains(header, " Holdem - PL ");
    gameKind = tournament ? (noLimit ? 4 : 3) : (noLimit ? 2 : 1);

    // The stakes number (the big blind) is the small bet of the structure.
    std::size_t slash = header.find('/');
    if (slash != kNpos) {
        lowLimit = ReadLooseAmount(header, slash + 1);
        highLimit = TwiceAmount(lowLimit);
    }
    // The hand number ends the header: its last run of digits.
    std::size_t end = header.size();
    std::size_t start = end;
    while (start > 0 && header[start - 1] >= '0' && header[start - 1] <= '9') --start;
    handNumber = ReadUnsigned(header, start);
}

bool CHandTruePoker::Place(const std::string& name) {
    if (PositionOf(name) >= 0) return true;
    while (nextPosition_ < kPositions && NameAtPosition(nextPosition_).first) ++nextPosition_;
    if (nextPosition_ >= kPositions) return false;
    positionOfName.Set(name, nextPosition_++);
    return true;
}

bool CHandTruePoker::RecordLine(std::string_view line, int street) {
    struct Marker {
        std::string_view text;
        int kind;
    };
    static constexpr Marker kMarkers[] = {
        {" receives the dealer button", kActionButton},
        {" has the dealer button", kActionButton},
        {" posts small blind", kActionSmallBlind},
        {" posts the small blind", kActionSmallBlind},
        {" posts big blind", kActionBigBlind},
        {" posts the big blind", kActionBigBlind},
        {" posts", kActionOtherPost},
        {" folds", kActionFold},
        {" checks", kActionCheck},
        {" calls ", kActionCall},
        {" bets ", kActionBet},
        {" raises ", kActionRaise},
        {" goes all in, ", kAllInMarker},
        {" was returned", kActionUncalledBet},
    };
    std::size_t at = kNpos;
    const Marker* found = nullptr;
    for (const Marker& marker : kMarkers) {
        at = FindFrom(line, marker.text, 1);
        if (at != kNpos) {
            found = &marker;
            break;
        }
    }
    if (found == nullptr) return true;
    QualifyNameInto(CheckedName(line.substr(0, at)), name_);
    int kind = found->kind;
    std::size_t after = at + found->text.size();
    if (kind == kActionButton) {
        if (PositionOf(name_) >= 0 || NameAtPosition(0).first)
            throw CParseError("second dealer button");
        positionOfName.Set(name_, 0);
        buttonSeen_ = true;
        AddAction(0, kActionButton, name_, 0);
        return true;
    }
    std::int32_t amount = 0;
    bool raiseTo = false;
    if (kind == kActionRaise) {
        std::size_t to = FindFrom(line, " to ", at);
        raiseTo = to != kNpos;
        amount = ReadLooseAmount(line, raiseTo ? to + 4 : after);
    } else if (kind != kActionFold && kind != kActionCheck) {
        amount = ReadLooseAmount(line, after);
    }
    if (kind == kActionOtherPost) {
        // A post alone gives no position: the player is placed when he acts.
        extraPosts.Set(name_, amount);
        if (Contains(line, "ante")) ante = amount;
        return true;
    }
    if (street == 0 && (!buttonSeen_ || !Place(name_))) return false;
    if (kind == kAllInMarker) kind = AllInKind(amount);
    if (kind == kActionRaise) kind = TakeRaiseKind();
    AddAction(street, kind, name_, amount, raiseTo);
    return true;
}

void CHandTruePoker::ReadSummaryLine(std::string_view line) {
    if (IsShown(line)) {
        std::size_t end = line.find("'s pocket cards were ");
        if (end == kNpos) end = line.find(" pocket cards were ");
        if (end == kNpos) end = line.find(" mucks");
        if (end != kNpos && end > 0) {
            QualifyNameInto(CheckedName(line.substr(0, end)), name_);
            StoreShownCards(name_, HoleCardsFromLine(line));
        }
    }
    std::size_t wins = FindFrom(line, " wins ", 1);
    if (wins == kNpos) return;
    QualifyNameInto(CheckedName(line.substr(0, wins)), name_);
    std::size_t from = line.find(" money from ");
    std::int32_t amount = 0;
    if (from != kNpos) {
        // "Alice wins money from main pot: $12.50": the amount is the first
        // one written with a currency sign after the marker, else the last
        // number of the line.
        std::size_t sign = line.find('$', from);
        if (sign != kNpos) {
            amount = ReadLooseAmount(line, sign);
        } else {
            std::size_t last = line.find_last_of("0123456789");
            std::size_t start = last;
            while (start != kNpos && start > from &&
                   ((line[start - 1] >= '0' && line[start - 1] <= '9') || line[start - 1] == '.' ||
                    line[start - 1] == ',')) {
                --start;
            }
            if (start != kNpos && start > from) amount = ReadLooseAmount(line, start);
        }
    } else {
        amount = ReadLooseAmount(line, wins + 6);
    }
    RecordCollected(name_, amount);
}
