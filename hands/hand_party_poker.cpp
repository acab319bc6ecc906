#include "hands/hand_party_poker.h"

#include <algorithm>
#include <array>
#include <ctime>
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

// The banner; the room's e-mailed histories write "For" with a capital.
constexpr std::string_view kBanner = "***** Hand History for Game";
constexpr std::string_view kBannerMailed = "***** Hand History For Game";

// Lines that close the betting wherever they stand in the line. The line is
// then read by the summary as well, so nothing it reports is lost.
constexpr std::array<std::string_view, 6> kEndList = {
    " shows [", " wins ", " does not show", " doesn't show", "** Summary **", " mucks",
};

// Lines ignored on the streets besides chat and the fixed tests.
// Tested in one pass over the line.
const CMarkerList kSkipList{
    " has joined the table",    " has left the table", " is sitting out",
    " did not respond in time", " is disconnected",    " will be using his time bank",
    " has been reconnected",
};

bool IsNewHandLine(std::string_view line) {
    return StartsWith(line, "#Game No :") || StartsWith(line, "Game #") ||
           StartsWith(line, "! Game #") || StartsWith(line, kBanner) ||
           StartsWith(line, kBannerMailed);
}

bool IsEndOfHand(std::string_view line) { return line.empty() || IsNewHandLine(line); }

bool ContainsAny(std::string_view line, std::span<const std::string_view> list) {
    for (std::string_view entry : list) {
        if (!entry.empty() && Contains(line, entry)) return true;
    }
    return false;
}

// A show line holds cards in "[ " brackets. The Mac client also writes
// amounts so ("[ $1 USD ]"), so the bracket must open on a card code.
bool IsShow(std::string_view line) {
    if (StartsWith(line, "Board: [")) return false;
    std::size_t at = FindFrom(line, "[ ", 1);
    if (at == kNpos) return false;
    std::size_t i = at + 1;
    while (i < line.size() && line[i] == ' ') ++i;
    return i + 1 < line.size() && line[i] != '$' &&
           (line[i + 1] == 's' || line[i + 1] == 'h' || line[i + 1] == 'd' || line[i + 1] == 'c');
}

// The game line with runs of blanks made single, so markers match the
// client that writes "$5  USD  NL  Texas Hold'em".
std::string CollapseBlanks(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out.push_back(c);
    }
    return out;
}

constexpr int kEndCodes[4] = {CHand::kEndInPreflop, CHand::kEndInFlop, CHand::kEndInTurnOrRiver,
                              CHand::kEndInTurnOrRiver};

// Whether the last winner named on a line took a side pot. The client reports
// the side pots before the main pot, so a summary that stops after a side
// pot's line is not whole yet.
bool LastWinIsSidePot(std::string_view line) {
    std::size_t wins = line.rfind(" wins ");
    return wins != kNpos && FindFrom(line, "side pot", wins) != kNpos;
}

}  // namespace

CCardText PartyCardsFromLine(std::string_view line) {
    std::size_t open = line.rfind('[');
    if (open == kNpos) return {};
    std::size_t close = line.find(']', open);
    std::string_view inside = line.substr(open + 1, close == kNpos ? kNpos : close - open - 1);
    std::array<std::string_view, 3> cards;
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < inside.size() && count < cards.size()) {
        while (i < inside.size() && (inside[i] == ' ' || inside[i] == ',')) ++i;
        std::size_t start = i;
        while (i < inside.size() && inside[i] != ' ' && inside[i] != ',') ++i;
        if (i > start) cards[count++] = inside.substr(start, std::min<std::size_t>(i - start, 3));
    }
    if (count == 0) return {};
    if (count == 1) return CCardText("[" + std::string(cards[0]) + "]");
    if (count == 2) return FormatTwoCards(cards[0], cards[1]);
    return CCardText("[" + std::string(cards[0]) + "," + std::string(cards[1]) + "," +
                     std::string(cards[2]) + "]");
}

CHandPartyPoker::CHandPartyPoker(std::string heroName, int timeZone)
    : CHand(std::move(heroName)), timeZone_(timeZone) {}

bool CHandPartyPoker::IsSkipped(std::string_view line) const {
    if (line.empty()) return true;
    if (ContainsAfterFirst(line, " is reconnected and "))
        throw CParseError("player reconnected during the hand");
    if (kSkipList.ContainedIn(line)) return true;
    if (Contains(line, ": ") && !StartsWith(line, "#Game No :")) return true;  // chat
    if (ContainsAfterFirst(line, "Blinds-Antes") || Contains(line, "Connection Lost ")) return true;
    return line.size() > 100 || StartsWith(line, ">");
}

int CHandPartyPoker::Parse(CStdioFileCustom& reader) {
    CLineCursor cursor(reader);
    do {
        if (!cursor.Next()) return kNoHandStart;
    } while (!StartsWith(cursor.Line(), kBanner) && !StartsWith(cursor.Line(), kBannerMailed));
    ReadBannerNumber(cursor.Line());

    if (!cursor.Next()) return -201;
    ParseGameLine(cursor.Line());

    if (!cursor.Next()) return kEndInHeader;
    if (tournament_) {
        ParseTableLine(cursor.Line());
    } else {
        std::string tableLine(cursor.Line());
        LookAheadForTournament(cursor);
        ParseTableLine(tableLine);
    }

    // The e-mailed form names the button on the table line.
    if (buttonSeat == 0) {
        if (!cursor.Next()) return -201;
        std::size_t seat = FindNoCase(cursor.Line(), "Seat ");
        buttonSeat = seat == kNpos ? 0 : ReadField(cursor.Line(), seat + 5, 2);
    }

    // "Total number of players : 6/9" (players seated / seats): the number
    // after the colon is the count of seat lines that follow.
    if (!cursor.Next()) return kEndInHeader;
    std::size_t colon = cursor.Line().rfind(':');
    int players = colon == kNpos ? -1 : ReadField(cursor.Line(), colon + 1, 4);
    if (players < 0 || players > 10) throw CParseError("player count out of range");
    for (int i = 0; i < players; ++i) {
        if (!cursor.Next()) return kEndInHeader;
        std::string_view line = cursor.Line();
        if (FindNoCase(line, "Seat ") != 0) throw CParseError("seat line expected");
        std::size_t c = line.find(':');
        std::size_t open = line.find('(');
        if (c == kNpos || open == kNpos || open < c + 2) throw CParseError("malformed seat line");
        int seat = ReadField(line, 5, c - 5);
        if (seat < 1 || seat > 10) throw CParseError("seat number out of range");
        std::string_view raw = CheckedName(line.substr(c + 1, open - c - 1));
        seatedRaw_.emplace_back(raw);
        QualifyNameInto(raw, name_);
        SetSeatName(seat - 1, name_);
        SeatAtPosition(name_, seat, buttonSeat);
    }
    RecordButtonAction();

    for (;;) {
        if (!cursor.Next()) return kEndInHeader;
        std::string_view line = cursor.Line();
        if (StartsWith(line, "** Dealing")) break;
        if (StartsWith(line, "Blinds-Antes(")) {
            std::size_t end = 0;
            smallBlind = ReadLooseAmount(line, 13, &end);
            std::size_t slash = FindFrom(line, "/", end);
            lowLimit = slash == kNpos ? 0 : ReadLooseAmount(line, slash + 1, &end);
            highLimit = TwiceAmount(lowLimit);
            std::size_t dash = FindFrom(line, "-", end);
            ante = dash == kNpos ? 0 : ReadLooseAmount(line, dash + 1);
            continue;
        }
        if (tournament_ && (StartsWith(line, "Blinds(") || StartsWith(line, "Blinds ("))) {
            // A level line: the blinds of this hand when it changed the level.
            ReadTournamentBlinds(line, line.find('(') + 1);
            continue;
        }
        if (IsSkipped(line)) continue;
        ReadPostLine(line);
    }
    ApplyAntePosts();
    if (tournament_ && postCount_ == 0 && antePosts_.empty()) PostUnwrittenBlinds();

    std::string endLine;
    int result = ReadStreets(cursor, endLine);
    if (result != 0) return result;
    ApplyExtraPosts();
    ApplyHeroCards();

    bool sidePotLast = false;
    bool lastLineCut = false;
    if (!endLine.empty()) {
        if (IsEndOfHand(endLine)) return kParseOk;
        ReadSummaryLine(endLine);
        sidePotLast = LastWinIsSidePot(endLine);
        lastLineCut = cursor.LineIsCut();  // the cursor still holds the end line
    }
    for (;;) {
        std::uint64_t before = cursor.Position();
        if (!cursor.Next()) {
            // The text ends after the summary without the line that closes
            // the hand: when nothing more will come, a summary that names
            // the winner of the main pot, and whose last line is not cut, is
            // whole.
            return cursor.EndIsFinal() && potAwarded && !sidePotLast && !lastLineCut
                       ? kParseOk
                       : kEndBeforeBlankLine;
        }
        lastLineCut = cursor.LineIsCut();
        std::string_view line = cursor.Line();
        if (IsEndOfHand(line)) {
            if (!line.empty()) cursor.Seek(before);
            return kParseOk;
        }
        ReadSummaryLine(line);
        if (Contains(line, " wins ")) sidePotLast = LastWinIsSidePot(line);
    }
}

void CHandPartyPoker::ParseGameLine(std::string_view raw) {
    std::string line = CollapseBlanks(raw);
    tournament_ =
        Contains(line, " Trny:") || Contains(line, "Tourney") || Contains(line, "Tournament #");
    // The 2019-2021 client writes "Holdem" without the apostrophe.
    bool noLimit = Contains(line, "PL Hold'em") || Contains(line, "PL Texas Hold'em") ||
                   Contains(line, "NL Hold'em ") || Contains(line, "NL Texas Hold'em ") ||
                   Contains(line, "PL Holdem") || Contains(line, "PL Texas Holdem") ||
                   Contains(line, "NL Holdem ") || Contains(line, "NL Texas Holdem ") ||
                   Contains(line, "(NL)") || Contains(line, "(PL)");
    // Double Hold'em deals two boards: not the game the hand record holds.
    if (Contains(line, "Double Hold'em") || Contains(line, "Double Holdem"))
        throw CParseError("Double Hold'em (two boards) is not Texas Hold'em");
    if ((!Contains(line, "Hold'em") && !Contains(line, "Holdem")) || Contains(line, "Omaha"))
        throw CParseError("not a Hold'em hand");
    gameKind = noLimit ? 2 : 1;  // the tournament and money kinds follow on the table line

    if (tournament_) {
        std::size_t at = kNpos;
        if ((at = line.find("Blinds (")) != kNpos || (at = line.find("Blinds(")) != kNpos) {
            ReadTournamentBlinds(line, line.find('(', at) + 1);
        } else if ((at = line.find("Stakes (")) != kNpos || (at = line.find("Stakes(")) != kNpos) {
            std::size_t end = 0;
            lowLimit = ReadLooseAmount(line, line.find('(', at) + 1, &end);
            std::size_t slash = FindFrom(line, "/", end);
            highLimit = slash == kNpos ? 0 : ReadLooseAmount(line, slash + 1);
            smallBlind = lowLimit == 150000 ? 100000 : lowLimit / 2;
        } else if ((at = line.find("Blinds-Antes(")) != kNpos) {
            std::size_t end = 0;
            smallBlind = ReadLooseAmount(line, at + 13, &end);
            std::size_t slash = FindFrom(line, "/", end);
            lowLimit = slash == kNpos ? 0 : ReadLooseAmount(line, slash + 1, &end);
            highLimit = TwiceAmount(lowLimit);
            std::size_t dash = FindFrom(line, "-", end);
            ante = dash == kNpos ? 0 : ReadLooseAmount(line, dash + 1);
        }
    }
    ParseDate(line);
}

void CHandPartyPoker::ParseDate(std::string_view line) {
    // The date follows the last " - ": "Monday, August 30, 16:08:09 EDT 2010";
    // the Mac client leaves out the blank after the weekday's comma, and the
    // e-mailed form writes "Fri Nov 14 21:05:24 EST 2008". Both are read by
    // their words: a month name, the day, the time, the zone and the year.
    std::size_t dash = line.rfind(" - ");
    if (dash == kNpos) throw CParseError("no date in the game line");
    std::string_view text = line.substr(dash + 3);
    CWallClock wall;
    wall.year = wall.month = wall.day = wall.hour = wall.minute = wall.second = -1;
    std::string_view zone;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != ',') ++i;
        std::string_view word = text.substr(start, i - start);
        if (word.empty()) break;
        if (word.find(':') != kNpos) {
            wall.hour = TwoDigits(word, 0);
            wall.minute = TwoDigits(word, 3);
            wall.second = TwoDigits(word, 6);
        } else if (word[0] >= '0' && word[0] <= '9') {
            if (word.size() == 4) {
                wall.year = ReadField(word, 0, 4);
            } else if (wall.day < 0) {
                wall.day = ReadField(word, 0, 2);
            }
        } else if (wall.month < 0 && MonthFromName(word) > 0) {
            wall.month = MonthFromName(word);
        } else if (wall.hour >= 0 && zone.empty()) {
            zone = word;
        }
    }
    if (!IsValidWallClock(wall)) throw CParseError("invalid date or time in the game line");
    std::optional<int> offset = ZoneOffsetSeconds(zone);
    if (offset) {
        dateTime = ZonedToUtc(wall, *offset);
    } else if (timeZone_ == kTimeZoneComputer) {
        dateTime = EasternToUtc(wall);
    } else {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::int64_t eastern = local.tm_isdst > 0 ? 4 * 3600 : 5 * 3600;
        dateTime = LocalToUtc(wall) + eastern + static_cast<std::int64_t>(timeZone_ - 1) * 3600;
    }
}

void CHandPartyPoker::ParseTableLine(std::string_view line) {
    if (!StartsWith(line, "Table ")) throw CParseError("table line does not begin with \"Table \"");
    realMoney = Contains(line, "(Real Money)") || Contains(line, "( Real Money )") ||
                !ContainsAfterFirst(line, "Play money");
    bool noLimit = gameKind == 2;
    gameKind = tournament_ ? (noLimit ? 4 : 3) : (noLimit ? 2 : 1);
    // The name runs to the money marker in brackets. (A fixed count of
    // characters from the end cut real names short.)
    std::size_t money = line.find(" (Real Money)");
    if (money == kNpos) money = line.find(" ( Real Money )");
    if (money == kNpos) money = line.find(" (Play Money)");
    std::string_view name =
        Trim(money == kNpos ? Slice(line, 6) : Slice(line, 6, money > 6 ? money - 6 : 0));
    if (name.size() > 200) throw CParseError("table name too long");
    tableName = std::string(name);
    std::size_t button = line.find("-- Seat ");
    if (button != kNpos) buttonSeat = ReadField(line, button + 8, 2);
}

void CHandPartyPoker::EnterUnseated(const std::string& name) {
    if (PositionOf(name) >= 0) return;
    for (int position = 0; position < kPositions; ++position) {
        if (!NameAtPosition(position).first) {
            positionOfName.Set(name, position);
            return;
        }
    }
    throw CParseError("no free position for a player missing from the seat list");
}

void CHandPartyPoker::ReadPostLine(std::string_view line) {
    // Only lines with " posts " are posts: the client also writes
    // tournament level lines ("Trny:15286975 Level:4", "Blinds(50/100)") and
    // notices ("X is sitting out") in this section.
    if (!ContainsAfterFirst(line, " posts ")) return;
    QualifyNameInto(CheckedName(PlayerNameOf(line)), name_);
    EnterUnseated(name_);
    std::size_t open = line.find('[');
    if (open == kNpos) open = line.find('(');
    std::int32_t amount = open == kNpos ? 0 : ReadLooseAmount(line, open + 1);
    int wording = Contains(line, "small blind")                            ? kActionSmallBlind
                  : Contains(line, "big blind") && !Contains(line, "dead") ? kActionBigBlind
                                                                           : kActionOtherPost;
    if (Contains(line, " ante")) {
        if (ante == 0) ante = amount;
        antePosts_.push_back({name_, amount, 0});
        return;
    }
    if (ante > 0 || !antePosts_.empty()) {
        antePosts_.push_back({name_, amount, wording});
        return;
    }
    ++postCount_;
    if (postCount_ == 1) {
        AddAction(0, kActionSmallBlind, name_, amount);
    } else if (postCount_ == 2) {
        AddAction(0, kActionBigBlind, name_, amount);
        bigBlindName = name_;
    } else {
        extraPosts.Set(name_, amount);
    }
}

void CHandPartyPoker::ApplyAntePosts() {
    // In hands with antes the blinds are picked after the post section: the
    // post worded "small blind" and the one worded "big blind"; without such
    // wording the first and the second post that is not an ante. Antes (and
    // any other post) go to the extra posts, summed per player.
    bool haveSmall = false;
    bool haveBig = false;
    for (const Post& post : antePosts_) {
        if (post.wording == kActionSmallBlind && !haveSmall) {
            AddAction(0, kActionSmallBlind, post.name, post.amount);
            haveSmall = true;
        } else if (post.wording == kActionBigBlind && !haveBig) {
            AddAction(0, kActionBigBlind, post.name, post.amount);
            bigBlindName = post.name;
            haveBig = true;
        } else if (post.wording == kActionOtherPost && !haveSmall) {
            AddAction(0, kActionSmallBlind, post.name, post.amount);
            haveSmall = true;
        } else if (post.wording == kActionOtherPost && !haveBig) {
            AddAction(0, kActionBigBlind, post.name, post.amount);
            bigBlindName = post.name;
            haveBig = true;
        } else {
            const std::int32_t* earlier = extraPosts.Find(post.name);
            std::int64_t sum = static_cast<std::int64_t>(earlier ? *earlier : 0) + post.amount;
            if (sum > kMaxAmount) throw CParseError("amount out of range");
            extraPosts.Set(post.name, static_cast<std::int32_t>(sum));
        }
    }
}

bool CHandPartyPoker::RecordAction(std::string_view line, int street) {
    struct Marker {
        std::string_view text;
        int kind;
    };
    static constexpr Marker kMarkers[] = {
        {" Forward Folds", kActionFold}, {" folds", kActionFold},       {" checks", kActionCheck},
        {" calls ", kActionCall},        {" is all-In ", kAllInMarker}, {" bets ", kActionBet},
        {" raises ", kActionRaise},
    };
    std::size_t at = kNpos;
    int kind = -1;
    std::string_view marker;
    // Markers are looked for after the seated name the line begins with, so
    // that a name holding a marker word is not cut there.
    const std::size_t from = std::max<std::size_t>(SeatedNameAt(line).size(), 1);
    for (const Marker& m : kMarkers) {
        at = FindFrom(line, m.text, from);
        if (at != kNpos) {
            kind = m.kind;
            marker = m.text;
            break;
        }
    }
    if (kind == -1) return false;
    std::int32_t amount = 0;
    bool raiseTo = false;
    if (kind != kActionFold && kind != kActionCheck) {
        std::size_t dollar = line.rfind('$');
        std::size_t open = line.rfind('[');
        if (dollar != kNpos && (open == kNpos || dollar > open)) {
            amount = ReadLooseAmount(line, dollar);
        } else if (open != kNpos) {
            amount = ReadLooseAmount(line, open + 1);
        } else if (std::size_t paren = FindFrom(line, "(", at); paren != kNpos) {
            // E-mailed and older histories: "calls (0.02)", "bets (0.13)".
            amount = ReadLooseAmount(line, paren + 1);
        } else if (std::size_t to = FindFrom(line, " to ", at); to != kNpos) {
            // The e-mailed form: "Hero raises 3800 to 3800".
            amount = ReadLooseAmount(line, to + 4);
            raiseTo = true;
        } else {
            amount = ReadLooseAmount(line, at + marker.size());
        }
    }
    QualifyNameInto(CheckedName(line.substr(0, at)), name_);
    int position = PositionOf(name_);
    if (position < 0) throw CParseError("action by a player who is not seated");
    if (raiseTo) {
        amount -=
            streetInvested[static_cast<std::size_t>(position)][static_cast<std::size_t>(street)];
        if (amount < 0) amount = 0;
    }
    if (kind == kAllInMarker) kind = AllInKind(amount);
    if (kind == kActionRaise) kind = TakeRaiseKind();
    AddAction(street, kind, name_, amount);
    return true;
}

int CHandPartyPoker::ReadStreets(CLineCursor& cursor, std::string& endLine) {
    static constexpr std::string_view kMarkers[3] = {"** Dealing Flop", "** Dealing Turn",
                                                     "** Dealing River"};
    for (int street = 0; street < 4; ++street) {
        BeginStreet();
        for (;;) {
            std::uint64_t before = cursor.Position();
            if (!cursor.Next()) return kEndCodes[street];
            std::string_view line = cursor.Line();
            if (street < 3 && StartsWith(line, kMarkers[street])) {
                StoreBoardCards(street, PartyCardsFromLine(line));
                break;
            }
            if (IsNewHandLine(line)) {
                // A hand cut short by the next one: leave the next one whole.
                cursor.Seek(before);
                endLine = std::string(line);
                return 0;
            }
            if ((street == 2 && line.empty()) || ContainsAny(line, kEndList) ||
                (street > 0 && IsTableClosedLine(line))) {
                endLine = std::string(line);
                return 0;
            }
            if (IsSkipped(line)) continue;
            if (street == 0 && IsDealtToLine(line)) {
                std::size_t open = line.find(" [", 9);
                std::string_view raw = Slice(line, 9, open == kNpos ? kNpos : open - 9);
                if (Trim(raw) != heroName)
                    throw CParseError("cards dealt to a player other than the hero");
                heroCards = PartyCardsFromLine(line);
                if (Contains(heroCards.View(), "XX")) throw CParseError("hero cards hidden");
                continue;
            }
            if (IsShow(line)) {
                QualifyNameInto(CheckedName(PlayerNameOf(line)), name_);
                StoreShownCards(name_, PartyCardsFromLine(line));
                continue;
            }
            RecordAction(line, street);
        }
    }
    return kEndInTurnOrRiver;
}

void CHandPartyPoker::ReadSummaryLine(std::string_view line) {
    if (IsShow(line)) {
        QualifyNameInto(CheckedName(PlayerNameOf(line)), name_);
        StoreShownCards(name_, PartyCardsFromLine(line));
    }
    // The e-mailed form reports winnings in balance lines:
    // "Hero balance 36440, bet 3850, collected 6600, net +2750".
    std::size_t balance = line.find(" balance ");
    if (balance != kNpos) {
        std::size_t collectedAt = line.find(", collected ");
        if (collectedAt == kNpos) return;
        QualifyNameInto(CheckedName(line.substr(0, balance)), name_);
        if (PositionOf(name_) < 0) throw CParseError("winner is not seated");
        RecordCollected(name_, ReadLooseAmount(line, collectedAt + 12));
        return;
    }
    // The Mac client runs the "wins" lines of a split pot together on one
    // line ("...Queens.Player4 wins ..."); each part is read as a line.
    std::size_t first = line.find(" wins ");
    if (first == kNpos) return;
    std::size_t next = line.find(" wins ", first + 6);
    if (next == kNpos) {
        RecordWonSegment(line);
        return;
    }
    std::size_t start = 0;
    while (next != kNpos) {
        std::size_t dot = line.rfind('.', next);
        if (dot == kNpos || dot < start) break;
        RecordWonSegment(line.substr(start, dot + 1 - start));
        start = dot + 1;
        next = line.find(" wins ", line.find(" wins ", start) + 6);
        if (line.find(" wins ", start) == kNpos) break;
    }
    RecordWonSegment(line.substr(start));
}

void CHandPartyPoker::RecordWonSegment(std::string_view segment) {
    if (!ContainsAfterFirst(segment, " wins ") || segment.size() >= 120) return;
    QualifyNameInto(CheckedName(PlayerNameOf(segment)), name_);
    if (PositionOf(name_) < 0) throw CParseError("winner is not seated");
    RecordCollected(name_, ReadLooseAmount(segment, segment.find(" wins ") + 6));
}

void CHandPartyPoker::ReadBannerNumber(std::string_view banner) {
    // The id runs from after "Game " to the next blank. Letters before the
    // digits are passed over as in other rooms' ids; an id with letters
    // among its digits (the 2019-2021 client) has no number that would tell
    // its hands apart.
    std::size_t start = kBanner.size() + 1;
    std::size_t end = banner.find(' ', start);
    std::string_view id = Slice(banner, start, end == kNpos ? kNpos : end - start);
    std::size_t digits = 0;
    while (digits < id.size() && !(id[digits] >= '0' && id[digits] <= '9')) ++digits;
    if (id.find_first_not_of("0123456789", digits) != kNpos)
        throw CParseError("hand ids with letters among the digits are not supported");
    handNumber = ReadHandNumber(banner, start);
}

void CHandPartyPoker::LookAheadForTournament(CLineCursor& cursor) {
    // Some tournament histories write the "Trny:" text on a line of its own
    // among the seats and posts, after the game line. Names are tagged as
    // they are seated, so the line is looked for first; the reader returns
    // to the line after the table line.
    constexpr int kMaxLines = 40;
    std::uint64_t resume = cursor.Position();
    for (int i = 0; i < kMaxLines && cursor.Next(); ++i) {
        std::string_view line = cursor.Line();
        if (IsEndOfHand(line) || StartsWith(line, "** Dealing")) break;
        if (StartsWith(line, "Trny:") || Contains(line, " Trny:")) {
            tournament_ = true;
            break;
        }
    }
    cursor.Seek(resume);
}

void CHandPartyPoker::ReadTournamentBlinds(std::string_view line, std::size_t pos) {
    // "Blinds(50/100)": the small blind and the big blind.
    std::size_t end = 0;
    smallBlind = ReadLooseAmount(line, pos, &end);
    std::size_t slash = FindFrom(line, "/", end);
    lowLimit = slash == kNpos ? 0 : ReadLooseAmount(line, slash + 1);
    highLimit = TwiceAmount(lowLimit);
}

void CHandPartyPoker::PostUnwrittenBlinds() {
    // Older tournament histories write no post lines: the level's blinds
    // (and antes) are posted by the seats the button decides. Heads-up the
    // button posts the small blind.
    if (smallBlind <= 0 || lowLimit <= 0) return;
    std::vector<int> order;  // seated positions from the button on
    for (int position = 1; position <= kPositions; ++position) {
        if (NameAtPosition(position % kPositions).first) order.push_back(position % kPositions);
    }
    if (order.size() < 2) return;
    if (ante > 0) {
        for (int position : order) {
            extraPosts.Set(std::string(NameAtPosition(position).second), ante);
        }
    }
    std::size_t small = order.size() == 2 ? order.size() - 1 : 0;
    std::size_t big = (small + 1) % order.size();
    AddAction(0, kActionSmallBlind, std::string(NameAtPosition(order[small]).second), smallBlind);
    bigBlindName = std::string(NameAtPosition(order[big]).second);
    AddAction(0, kActionBigBlind, bigBlindName, lowLimit);
}

std::string_view CHandPartyPoker::SeatedNameAt(std::string_view line) const {
    // Screen names may hold blanks ("poket Ass"): the longest seated name
    // that the line begins with, followed by a blank.
    std::string_view best;
    for (const std::string& name : seatedRaw_) {
        if (name.size() > best.size() && line.size() > name.size() && line[name.size()] == ' ' &&
            StartsWith(line, name)) {
            best = line.substr(0, name.size());
        }
    }
    return best;
}

std::string_view CHandPartyPoker::PlayerNameOf(std::string_view line) const {
    std::string_view seated = SeatedNameAt(line);
    if (!seated.empty()) return seated;
    // A player missing from the seat list: the first word.
    return line.substr(0, line.find(' '));
}
