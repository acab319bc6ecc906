#include "hands/hand_poker_stars.h"

#include "hands/line_cursor.h"
#include "hands/parse_error.h"
#include "hands/parse_text.h"
#include "hands/stdio_file_custom.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using hands::Contains;
using hands::ContainsAfterFirst;
using hands::FindFrom;
using hands::FindLast;
using hands::kNpos;
using hands::Slice;
using hands::StartsWith;
using hands::Trim;

namespace {

// The old client's header, then today's: ring games and tournaments,
// fast-fold tables and home games.
constexpr std::string_view kHeaderGame = "PokerStars Game #";
constexpr std::string_view kHeaderHand = "PokerStars Hand #";
constexpr std::string_view kHeaderZoom = "PokerStars Zoom Hand #";
constexpr std::string_view kHeaderHome = "PokerStars Home Game Hand #";
constexpr std::string_view kHeaders[] = {kHeaderGame, kHeaderHand, kHeaderZoom, kHeaderHome};
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kSummary = "*** SUMMARY ***";
constexpr std::string_view kUncalledBet = "Uncalled bet (";

std::string_view WithoutByteOrderMark(std::string_view line) {
    return StartsWith(line, kByteOrderMark) ? line.substr(kByteOrderMark.size()) : line;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Bytes of a rupee sign at `pos`: today's client writes rupees "Rs. " in
// cash games and with the sign in tournament buy-ins; 0 when none is there.
std::size_t RupeeSignLength(std::string_view line, std::size_t pos) {
    std::string_view rest = Slice(line, pos);
    if (StartsWith(rest, "Rs. ")) return 4;
    if (StartsWith(rest, "\xE2\x82\xB9")) return 3;
    return 0;
}

// hands::ReadAmount, which also skips a rupee sign before the number.
std::int32_t ReadAmount(std::string_view line, std::size_t pos) {
    std::size_t at = pos;
    while (at < line.size() && line[at] == ' ') ++at;
    if (at < line.size() && (line[at] == 'R' || line[at] == '\xE2'))
        return hands::ReadAmount(line, at + RupeeSignLength(line, at));
    return hands::ReadAmount(line, pos);
}

// Part of each position's extra posts that counts towards a preflop raise
// total (a live big blind), as opposed to dead money (antes, dead small
// blinds). Needed only while a hand is parsed, so it is not stored with it.
thread_local std::array<std::int32_t, CHand::kPositions> liveExtraPost{};

// Reads 1 to `maxDigits` digits at `pos`, advancing it; -1 when none.
int ReadDigits(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    int value = 0;
    std::size_t start = pos;
    while (pos < text.size() && pos - start < maxDigits && IsDigit(text[pos])) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return pos == start ? -1 : value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

void CheckWallClock(const CWallClock& wall) {
    if (wall.year < 1900 || wall.month < 1 || wall.month > 12 || wall.day < 1 || wall.day > 31 ||
        wall.hour < 0 || wall.hour > 23 || wall.minute < 0 || wall.minute > 59 || wall.second < 0 ||
        wall.second > 59) {
        throw CParseError("invalid date or time in the header");
    }
}

// "YYYY/MM/DD H:MM:SS ZONE" with an Eastern zone; false for anything else.
bool ReadPlainDateTime(std::string_view text, CWallClock& wall) {
    std::size_t pos = 0;
    wall.year = ReadDigits(text, pos, 4);
    if (wall.year < 0 || !Expect(text, pos, '/')) return false;
    wall.month = ReadDigits(text, pos, 2);
    if (wall.month < 0 || !Expect(text, pos, '/')) return false;
    wall.day = ReadDigits(text, pos, 2);
    if (wall.day < 0 || !Expect(text, pos, ' ')) return false;
    wall.hour = ReadDigits(text, pos, 2);
    if (wall.hour < 0 || !Expect(text, pos, ':')) return false;
    wall.minute = ReadDigits(text, pos, 2);
    if (wall.minute < 0 || !Expect(text, pos, ':')) return false;
    wall.second = ReadDigits(text, pos, 2);
    if (wall.second < 0) return false;
    // Without a zone the time is Eastern, the only zone the client writes
    // without naming it otherwise.
    if (pos == text.size()) return true;
    if (!Expect(text, pos, ' ')) return false;
    std::string_view zone = Trim(text.substr(pos));
    return zone == "ET" || zone == "EDT" || zone == "EST";
}

// The number at a fixed place of the header layout, read like atoi: no
// digit counts as 0.
int FieldOrZero(std::string_view text, std::size_t pos, std::size_t width) {
    int value = hands::ReadField(text, pos, width);
    return value < 0 ? 0 : value;
}

// Games that today's client writes under the same header as Texas Hold'em.
// Their hands do not fit the hand record (more hole cards, two boards, a
// short deck, no board at all), so they are rejected with the game's name.
struct OtherGame {
    std::string_view marker;  // in the header's game text
    const char* reason;
};
constexpr OtherGame kOtherGames[] = {
    {"6+ Hold'em", "not Texas Hold'em: 6+ (short-deck) Hold'em"},
    {"Split Hold'em", "not Texas Hold'em: Split Hold'em (two boards)"},
    {"Omaha", "not Texas Hold'em: Omaha"},
    {"Courchevel", "not Texas Hold'em: Courchevel"},
    {"Stud", "not Texas Hold'em: stud"},
    {"Razz", "not Texas Hold'em: Razz"},
    {"Draw", "not Texas Hold'em: draw"},
    {"Badugi", "not Texas Hold'em: Badugi"},
};

// The game text of today's header: from after "#N: " to the first " - "
// (before the level or the date). For a mixed game it holds the game of
// this hand in brackets.
std::string_view GameText(std::string_view header) {
    std::size_t colon = FindFrom(header, ": ");
    if (colon == kNpos) return {};
    std::string_view rest = header.substr(colon + 2);
    return rest.substr(0, FindFrom(rest, " - "));
}

}  // namespace

CHandPokerStars::CHandPokerStars(std::string heroName_) : CHand(std::move(heroName_)) {}

namespace {

// Built once at start-up rather than behind a function-local guard that
// every line would pass through.
const CMarkerList kSkipList{
    " said, \"",  // chat, which may quote anything
    " sits out",  // "Player: sits out" is no post
    " is sitting out",
    " joins the table",
    " leaves the table",
    " has timed out",
    " has returned",
    " is disconnected",
    " is connected",
    " was removed from the table",
    " re-buys and receives",
    " will be allowed to play after the button",
};

const CMarkerList kEndList{
    "*** SHOW DOWN ***",
    "*** SUMMARY ***",
    // A board run twice ends the betting as a show-down does.
    "*** FIRST FLOP ***",
    "*** FIRST TURN ***",
    "*** FIRST RIVER ***",
};

// The skip list's entries all begin with a blank and one of a few bytes
// (" said", " sits", " is ", " joins", ...): a line without such a pair
// holds none of them. Read from the list itself, so that an entry added
// later that does not fit turns the shortcut off instead of being missed.
struct SkipPairs {
    bool usable = true;
    // No entry begins with the blank and text of an action marker, nor
    // such text with an entry (checked below).
    bool clearOfActions = true;
};

constexpr std::string_view kActionMarkers[] = {": folds", ": checks", ": calls ", ": bets ",
                                               ": raises "};
// The action kind of each marker (a raise is told from a re-raise later).
constexpr int kMarkerKinds[] = {kActionFold, kActionCheck, kActionCall, kActionBet, kActionRaise};

const SkipPairs kSkipPairs = [] {
    SkipPairs pairs;
    pairs.usable = kSkipList.AllBeginWith(' ') && kSkipList.SecondBytesFit();
    for (std::size_t i = 0; i < kSkipList.Size(); ++i) {
        std::string_view entry = kSkipList.At(i);
        for (std::string_view marker : kActionMarkers) {
            std::string_view text = marker.substr(1);
            if (StartsWith(entry, text) || StartsWith(text, entry)) pairs.clearOfActions = false;
        }
    }
    return pairs;
}();

// Which action marker (index into kActionMarkers) begins `rest`, a line from
// one of its ": "; -1 for none. The byte after ": " tells them apart.
// Inlined: it stands on the path of every street line.
__attribute__((always_inline)) inline int ActionMarkerAt(std::string_view rest) {
    if (rest.size() < 7) return -1;
    int marker = -1;
    switch (rest[2]) {
        case 'f':
            marker = 0;
            break;
        case 'c':
            marker = rest[3] == 'h' ? 1 : 2;
            break;
        case 'b':
            marker = 3;
            break;
        case 'r':
            marker = 4;
            break;
        default:
            return -1;
    }
    return StartsWith(rest, kActionMarkers[marker]) ? marker : -1;
}

// What one look at a street line finds: where its first colon stands;
// whether it holds a second colon, a "[" (cards shown), or a capital R or T
// (which may begin "Returned uncalled" or "Table Closed"); and whether it
// may hold an entry of the skip list.
struct LineMarks {
    std::size_t firstColon = kNpos;
    bool manyColons = false;
    bool bracket = false;
    bool capitalRorT = false;
    // Where the first blank followed by a second byte of the skip list
    // stands, and whether there is more than one such pair.
    std::size_t firstSkipPair = kNpos;
    bool manySkipPairs = false;
};

LineMarks MarkLine(std::string_view line) {
    LineMarks marks;
    const char* data = line.data();
    const std::size_t n = line.size();
#if defined(__SSE2__)
    const __m128i colon = _mm_set1_epi8(':');
    const __m128i bracket = _mm_set1_epi8('[');
    const __m128i capitalR = _mm_set1_epi8('R');
    const __m128i capitalT = _mm_set1_epi8('T');
    const __m128i blank = _mm_set1_epi8(' ');
    std::size_t colons = 0;
    std::size_t skipPairs = 0;
    // A blank at the last byte of the block before, which pairs with the
    // first byte of the next.
    unsigned blankCarry = 0;
    // Bytes base .. base + 15 of which `valid` marks those not looked at
    // yet.
    auto mark = [&](__m128i bytes, std::size_t base, unsigned valid)
        __attribute__((always_inline)) {
        unsigned colonBits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, colon))) & valid;
        if (colonBits != 0) {
            if (colons == 0)
                marks.firstColon = base + static_cast<std::size_t>(__builtin_ctz(colonBits));
            // Counted up to two, which is all that matters.
            colons += (colonBits & (colonBits - 1)) != 0 ? 2 : 1;
        }
        marks.bracket |=
            (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, bracket))) & valid) != 0;
        __m128i capitals =
            _mm_or_si128(_mm_cmpeq_epi8(bytes, capitalR), _mm_cmpeq_epi8(bytes, capitalT));
        marks.capitalRorT |= (static_cast<unsigned>(_mm_movemask_epi8(capitals)) & valid) != 0;
        __m128i seconds = _mm_setzero_si128();
#pragma GCC unroll 8
        for (const auto& block : kSkipList.SecondByteBlocks()) {
            seconds = _mm_or_si128(
                seconds,
                _mm_cmpeq_epi8(bytes,
                               _mm_load_si128(reinterpret_cast<const __m128i*>(block.data()))));
        }
        auto blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank)));
        auto secondBits = static_cast<unsigned>(_mm_movemask_epi8(seconds));
        // Bit i: a blank at i - 1 and a second byte at i, counted in the
        // block that first looks at the second byte.
        unsigned pairs = (blanks << 1 | blankCarry) & secondBits & valid;
        if (pairs != 0) {
            if (skipPairs == 0)
                marks.firstSkipPair = base + static_cast<std::size_t>(__builtin_ctz(pairs)) - 1;
            skipPairs += (pairs & (pairs - 1)) != 0 ? 2 : 1;
        }
        blankCarry = blanks >> 15;
    };
    std::size_t at = 0;
    for (; at + 16 <= n; at += 16)
        mark(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)), at, 0xFFFFu);
    if (at < n) {
        if (n >= 16) {
            // The last sixteen bytes, those already looked at masked off;
            // they overlap the block before, so no pair crosses into them.
            std::size_t base = n - 16;
            blankCarry = 0;
            mark(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + base)), base,
                 0xFFFFu << (at - base) & 0xFFFFu);
        } else {
            alignas(16) char copy[16] = {};
            hands::CopyBytes(copy, data, n);
            mark(_mm_load_si128(reinterpret_cast<const __m128i*>(copy)), 0, (1u << n) - 1);
        }
    }
    marks.manyColons = colons > 1;
    marks.manySkipPairs = skipPairs > 1;
#else
    for (std::size_t i = 0; i < n; ++i) {
        char c = data[i];
        if (c == ':') {
            if (marks.firstColon == kNpos) {
                marks.firstColon = i;
            } else {
                marks.manyColons = true;
            }
        }
        marks.bracket |= c == '[';
        marks.capitalRorT |= c == 'R' || c == 'T';
        if (c == ' ' && i + 1 < n && kSkipList.IsSecondByte(data[i + 1])) {
            if (marks.firstSkipPair == kNpos) {
                marks.firstSkipPair = i;
            } else {
                marks.manySkipPairs = true;
            }
        }
    }
#endif
    if (!kSkipPairs.usable) {
        marks.firstSkipPair = 0;
        marks.manySkipPairs = true;
    }
    return marks;
}

}  // namespace

const CMarkerList& CHandPokerStars::SkipList() { return kSkipList; }

const CMarkerList& CHandPokerStars::EndList() { return kEndList; }

bool CHandPokerStars::IsHeaderLine(std::string_view line) {
    line = WithoutByteOrderMark(line);
    // Most lines that begin with "P" are a player's ("Player1: folds").
    if (!StartsWith(line, "PokerStars ")) return false;
    for (std::string_view header : kHeaders) {
        if (StartsWith(line, header)) return true;
    }
    return false;
}

CWallClock CHandPokerStars::ReadHeaderTime(std::string_view header) {
    CWallClock wall;
    // The layout "2006/01/02 - 21:01:03 (ET)": the text from two characters
    // after the second-to-last "-", with the time at fixed places after its
    // " - ".
    std::size_t last = hands::FindLastByte(header, '-');
    std::size_t previous =
        (last == kNpos || last == 0) ? kNpos : hands::FindLastByte(header, '-', last - 1);
    if (previous != kNpos) {
        std::string_view part = Slice(header, previous + 2);
        bool dated = part.size() > 4 && IsDigit(part[0]) && IsDigit(part[1]) && IsDigit(part[2]) &&
                     IsDigit(part[3]) && part[4] == '/';
        std::size_t dash = FindFrom(part, " - ");
        if (dated && dash != kNpos) {
            wall.year = FieldOrZero(part, 0, 4);
            wall.month = FieldOrZero(part, 5, 2);
            wall.day = FieldOrZero(part, 8, 2);
            wall.hour = FieldOrZero(part, dash + 3, 2);
            wall.minute = FieldOrZero(part, dash + 6, 2);
            wall.second = FieldOrZero(part, dash + 9, 2);
            CheckWallClock(wall);
            return wall;
        }
    }
    // "... - 2010/08/20 5:01:22 MSK [2010/08/19 21:01:22 ET]": the Eastern
    // time in the last brackets; else "... - 2005/08/31 18:55:54 ET".
    std::string_view trimmed = Trim(header);
    std::string_view text;
    if (!trimmed.empty() && trimmed.back() == ']') {
        std::size_t open = hands::FindLastByte(trimmed, '[');
        if (open != kNpos) text = trimmed.substr(open + 1, trimmed.size() - open - 2);
    } else {
        std::size_t dash = trimmed.rfind(" - ");
        if (dash != kNpos) text = trimmed.substr(dash + 3);
    }
    if (text.empty() || !ReadPlainDateTime(Trim(text), wall)) {
        throw CParseError("no Eastern date and time in the header");
    }
    CheckWallClock(wall);
    return wall;
}

// --- Line operations ------------------------------------------------------------

CHandPokerStars::ShownCards CHandPokerStars::ParseShownCards(std::string_view line) const {
    ShownCards shown;
    ParseShownCardsInto(line, shown);
    return shown;
}

std::string_view CHandPokerStars::ShownNameAsWritten(std::string_view line) {
    std::string_view raw;
    std::size_t dealt = FindFrom(line, "Dealt to ");
    if (dealt != kNpos) {
        std::size_t start = dealt + 9;
        std::size_t open = FindLast(line, "[");
        if (open != kNpos && open >= start + 1) raw = line.substr(start, open - 1 - start);
    } else if (ContainsAfterFirst(line, "showed [") || ContainsAfterFirst(line, "mucked [")) {
        std::size_t start = 0;
        if (StartsWith(line, "Seat ")) {
            std::size_t colon = FindFrom(line, ": ", 1);
            start = colon == kNpos ? line.size() : colon + 2;
        } else {
            std::size_t colon = FindLast(line, ":");
            start = colon == kNpos ? 0 : std::min(colon + 2, line.size());
        }
        // The first marker of this list found after the start ends the name.
        std::size_t end = kNpos;
        for (std::string_view marker : {" (small", " (big", " (button", " showed", " mucked"}) {
            end = FindFrom(line, marker, start);
            if (end != kNpos) break;
        }
        std::size_t button = FindFrom(line, " (button)", start);
        if (button != kNpos && (FindFrom(line, " (small", start) != kNpos ||
                                FindFrom(line, " (big ", start) != kNpos)) {
            end = button;
        }
        if (end == kNpos) end = line.size();
        raw = line.substr(start, end - start);
    } else if (ContainsAfterFirst(line, "shows [")) {
        std::size_t colon = FindLast(line, ":");
        if (colon != kNpos) raw = line.substr(0, colon);
    }
    return raw;
}

void CHandPokerStars::ParseShownCardsInto(std::string_view line, ShownCards& shown) const {
    QualifyNameInto(ShownNameAsWritten(line), shown.name);
    shown.cards = HoleCardsFromLine(line);
}

std::string_view CHandPokerStars::ActorNameAsWritten(std::string_view line) {
    std::string_view raw;
    std::size_t returnedAt = FindFrom(line, "Returned uncalled");
    if (returnedAt != kNpos) {
        std::size_t to = FindFrom(line, " to ");
        if (to != kNpos) raw = Slice(line, to + 4, 50);
    } else if (StartsWith(line, "Seat ") && line.size() > 5 && IsDigit(line[5])) {
        std::size_t colon = FindFrom(line, ": ", 1);
        if (colon != kNpos) {
            std::size_t start = colon + 2;
            std::size_t end = FindFrom(line, "collected", start);
            if (end == kNpos) end = FindFrom(line, " showed", start);
            std::size_t button = FindFrom(line, " (button)", start);
            std::size_t small = FindFrom(line, " (small", start);
            for (std::size_t marker : {button, small, FindFrom(line, " (big", start)}) {
                if (marker < end) end = marker;
            }
            if (button != kNpos && small != kNpos) end = button;
            if (end == kNpos) end = line.size();
            raw = line.substr(start, end - start);
        }
    } else {
        std::size_t colon = FindLast(line, ":");
        if (colon != kNpos) raw = line.substr(0, colon);
    }
    return Trim(raw);
}

void CHandPokerStars::ParseActorNameInto(std::string_view line, std::string& name) const {
    QualifyNameInto(ActorNameAsWritten(line), name);
}

std::string CHandPokerStars::ParseActorName(std::string_view line) const {
    std::string name;
    ParseActorNameInto(line, name);
    return name;
}

void CHandPokerStars::ParseActionInto(std::string_view line, int street, ParsedAction& action) {
    action.kind = -1;
    action.amount = 0;
    // Every action marker begins with ": ". Lines have one such place, or a
    // few when a name holds one, so the markers are tested there only, in
    // their order of precedence.
    std::array<std::size_t, 4> colons{};
    std::size_t colonCount = 0;
    for (std::size_t at = FindFrom(line, ": ", 1); at != kNpos && colonCount < colons.size();
         at = FindFrom(line, ": ", at + 1)) {
        colons[colonCount++] = at;
    }
    if (colonCount == colons.size()) {
        // Many colons: fall back to searching the whole line per marker.
        colonCount = 0;
    }
    if (colonCount == 0 && FindFrom(line, ": ", 1) == kNpos) return;
    // The marker first in precedence found at any of the places wins, at
    // the first place it stands.
    int which = -1;
    std::size_t at = kNpos;
    if (colonCount > 0) {
        for (std::size_t i = 0; i < colonCount; ++i) {
            int marker = ActionMarkerAt(line.substr(colons[i]));
            if (marker >= 0 && (which < 0 || marker < which)) {
                which = marker;
                at = colons[i];
            }
        }
    } else {
        for (int kind = 0; kind < 5 && which < 0; ++kind) {
            at = FindFrom(line, kActionMarkers[kind], 1);
            if (at != kNpos) which = kind;
        }
    }
    if (which < 0) return;
    action.kind = kMarkerKinds[which];
    if (action.kind == kActionCall || action.kind == kActionBet) {
        // The amount follows the marker, behind a currency sign in money
        // games.
        action.amount = ReadAmount(line, at + kActionMarkers[which].size());
    } else if (action.kind == kActionRaise) {
        action.kind = TakeRaiseKind();
    }
    ParseActorNameInto(line, action.name);
    if (action.kind != kActionRaise && action.kind != kActionReraise) return;
    action.amount = RaiseIncrement(line, at, PositionOf(action.name), street);
}

std::int32_t CHandPokerStars::RaiseIncrement(std::string_view line, std::size_t at, int position,
                                             int street) const {
    std::size_t to = FindFrom(line, " to ", at);
    if (to == kNpos) throw CParseError("raise without the total raised to");
    std::int64_t total = ReadAmount(line, to + 4);
    if (position >= 0 && position < kPositions && street >= 0 && street < kStreets) {
        auto p = static_cast<std::size_t>(position);
        total -= streetInvested[p][static_cast<std::size_t>(street)];
        // Preflop, a live extra post (a big blind posted out of turn)
        // counts towards the total; antes and dead blinds do not.
        if (street == 0) total -= liveExtraPost[p];
    }
    if (total < INT32_MIN || total > INT32_MAX) throw CParseError("money total out of range");
    return static_cast<std::int32_t>(total);
}

CHandPokerStars::ParsedAction CHandPokerStars::ParseAction(std::string_view line, int street) {
    ParsedAction action;
    ParseActionInto(line, street, action);
    return action;
}

CHandPokerStars::WonAmount CHandPokerStars::ParseWonAmount(std::string_view line) const {
    WonAmount result;
    ParseWonAmountInto(line, result);
    return result;
}

void CHandPokerStars::ParseWonAmountInto(std::string_view line, WonAmount& result) const {
    ParseActorNameInto(line, result.name);
    result.amount = WonAmountOf(line);
}

std::int32_t CHandPokerStars::WonAmountOf(std::string_view line) {
    std::size_t at = FindFrom(line, " collected (");
    if (at != kNpos) return ReadAmount(line, at + 12);
    if ((at = FindFrom(line, " won (")) != kNpos) return ReadAmount(line, at + 6);
    return 0;
}

CHandPokerStars::QuickAction CHandPokerStars::ReadQuickAction(std::string_view line, int street,
                                                              int& position) {
    // The line must be one that the full tests would pass on to
    // ParseActionInto and that reads the same there as here: one colon,
    // followed by a blank; no cards; not a "Dealt to", "Uncalled bet",
    // returned-bet, table-closed or summary seat line.
    //
    // A line of the skip list is passed over (kIgnored). Which lines those
    // are is settled only where it matters: a line that is no action is
    // passed over either way.
    LineMarks marks = MarkLine(line);
    auto general = [&] {
        return marks.firstSkipPair != kNpos && kSkipList.ContainedIn(line) ? QuickAction::kIgnored
                                                                           : QuickAction::kGeneral;
    };
    const std::size_t colon = marks.firstColon;
    if (marks.bracket || marks.manyColons || colon == kNpos || colon == 0 ||
        colon + 1 >= line.size() || line[colon + 1] != ' ') {
        return general();
    }
    if ((street == 0 && IsDealtToLine(line)) || StartsWith(line, kUncalledBet) ||
        (StartsWith(line, "Seat ") && line.size() > 5 && IsDigit(line[5]))) {
        return general();
    }
    if (marks.capitalRorT &&
        (Contains(line, "Returned uncalled") || (street > 0 && IsTableClosedLine(line)))) {
        return general();
    }
    const int marker = ActionMarkerAt(line.substr(colon));
    if (marker < 0) return QuickAction::kIgnored;
    int kind = kMarkerKinds[marker];
    // The name as written plus the hand's tag, looked up without building
    // the qualified name; a player not seated takes the full path, which
    // seats him or rejects the hand.
    // An action marker begins no entry of the skip list (kSkipPairs checks
    // this), so a pair at the marker's blank alone does not call for the
    // search.
    if (marks.firstSkipPair != kNpos &&
        (marks.manySkipPairs || marks.firstSkipPair != colon + 1 || !kSkipPairs.clearOfActions) &&
        kSkipList.ContainedIn(line)) {
        return QuickAction::kIgnored;
    }
    position = PositionAsWritten(line.substr(0, colon));
    if (position < 0) return QuickAction::kGeneral;
    std::int32_t amount = 0;
    if (kind == kActionCall || kind == kActionBet) {
        amount = ReadAmount(line, colon + kActionMarkers[marker].size());
    } else if (kind == kActionRaise) {
        kind = TakeRaiseKind();
        amount = RaiseIncrement(line, colon, position, street);
    }
    RecordAction(position, street, kind, amount);
    return QuickAction::kRecorded;
}

// --- Parse -------------------------------------------------------------------------

inline bool CHandPokerStars::NextLine(CStdioFileCustom& reader, std::string& buffer,
                                      std::string_view& line) {
    std::uint64_t start = reader.GetPosition();
    std::string_view untrimmed;
    if (!reader.ReadLine(untrimmed, buffer)) {
        line = {};
        return false;
    }
    line = Trim(untrimmed);
    // Header lines begin with "P" or with a byte-order mark.
    if (!line.empty() && (line[0] == 'P' || line[0] == '\xEF') && IsHeaderLine(line)) {
        // The hand was cut off and the next one begins: leave its header for
        // the next call.
        reader.Seek(start);
        line = {};
        return false;
    }
    // A header glued behind a cut line: "#" is rare in lines, so it is the
    // cheap thing to look for first. Its "#" stands after at least one byte
    // of the cut line and the sixteen bytes of "PokerStars Game ".
    std::size_t hash = hands::FindByte(line, '#', kHeaderGame.size());
    return hash == kNpos || !GluedHeaderAt(reader, buffer, line, untrimmed, start, hash);
}

bool CHandPokerStars::GluedHeaderAt(CStdioFileCustom& reader, std::string& buffer,
                                    std::string_view& line, std::string_view untrimmed,
                                    std::uint64_t start, std::size_t hash) {
    for (; hash != kNpos; hash = hands::FindByte(line, '#', hash + 1)) {
        // The header form whose "#" this is, and where it would begin.
        std::size_t glued = kNpos;
        for (std::string_view header : kHeaders) {
            if (hash + 1 < header.size()) continue;
            std::size_t at = hash + 1 - header.size();
            if (at > 0 && IsHeaderLine(line.substr(at))) {
                glued = at;
                break;
            }
        }
        if (glued == kNpos) continue;
        // The header starts at this byte offset when the line was stored as
        // read (not re-encoded); that is checked by reading from there
        // before the reader is left at it.
        std::uint64_t after = reader.GetPosition();
        std::uint64_t candidate =
            start + static_cast<std::uint64_t>(line.data() - untrimmed.data()) + glued;
        // Probing moves the reader and may refill its buffer: keep the line
        // in `buffer` while it does, unless it is there already.
        if (untrimmed.data() != buffer.data()) {
            buffer.assign(line);
            line = buffer;
        }
        static thread_local std::string probe;
        reader.Seek(candidate);
        if (reader.ReadString(probe) && IsHeaderLine(Trim(probe))) {
            reader.Seek(candidate);
            line = {};
            return true;
        }
        reader.Seek(after);
        break;
    }
    return false;
}

void CHandPokerStars::ReadHeader(std::string_view header, std::string_view tableLine) {
    header = WithoutByteOrderMark(header);
    todaysForm_ = !StartsWith(header, kHeaderGame);
    handNumber = hands::ReadUnsigned(header, hands::FindByte(header, '#', 0) + 1);
    // A home game names its club in braces ("{Club (12345)}"); the club may
    // be called anything, so the header is read without it.
    static thread_local std::string withoutClub;
    std::string_view club;
    if (StartsWith(header, kHeaderHome)) {
        std::size_t open = hands::FindByte(header, '{', 0);
        std::size_t close = open == kNpos ? kNpos : hands::FindByte(header, '}', open);
        if (close != kNpos) {
            club = header.substr(open, close - open + 1);
            withoutClub.assign(header.substr(0, open));
            withoutClub.append(header.substr(close + 1));
            header = withoutClub;
        }
    }
    if (todaysForm_) {
        std::string_view game = GameText(header);
        for (const OtherGame& other : kOtherGames) {
            if (Contains(game, other.marker)) throw CParseError(other.reason);
        }
    }
    if (!Contains(header, "Hold'em")) throw CParseError("not a Hold'em hand");
    tournament = Contains(header, "Tournament");
    bool noLimit = Contains(header, "Hold'em Pot Limit") || Contains(header, "Hold'em No Limit");
    dateTime = EasternToUtc(ReadHeaderTime(header));
    realMoney = !Contains(tableLine, "(Play Money)");
    if (!StartsWith(tableLine, "Table '"))
        throw CParseError("table line does not begin with \"Table '\"");
    tableName = std::string(hands::UpTo(tableLine, 7, "'"));
    // A club's tables stay apart from the same names elsewhere.
    if (!club.empty()) {
        tableName += ' ';
        tableName += club;
    }
    if (tournament || !realMoney) {
        gameKind = noLimit ? 4 : 3;
    } else {
        gameKind = noLimit ? 2 : 1;
    }
    std::size_t seat = FindFrom(tableLine, "Seat #");
    buttonSeat = seat == kNpos ? 0 : hands::ReadField(tableLine, seat + 6, 2);
    // Positions are counted from the button: a seat outside the table would
    // put players outside the ten positions.
    if (buttonSeat < 1 || buttonSeat > 10) throw CParseError("button seat out of range");
}

int CHandPokerStars::ReadSeatsAndPosts(CStdioFileCustom& reader, std::string& buffer,
                                       std::string_view& line) {
    // Seats: names are kept by seat until the list ends, so a seat written
    // twice keeps its last name.
    static thread_local std::array<std::string, kPositions> bySeat;
    std::array<bool, kPositions> taken{};
    if (!NextLine(reader, buffer, line)) return kEndInHeader;
    // A seat line is "Seat " and its number; "Seat Filler: posts small blind"
    // is a post.
    while (StartsWith(line, "Seat ") && line.size() > 5 && IsDigit(line[5])) {
        std::size_t colon = FindFrom(line, ": ", 1);
        if (colon == kNpos) throw CParseError("seat line without a name");
        int seat = colon >= 2 ? hands::ReadField(line, colon - 2, 2) : -1;
        if (seat < 1 || seat > 10) throw CParseError("seat number out of range");
        std::size_t start = colon + 2;
        std::size_t end = kNpos;
        std::size_t chips = FindFrom(line, " in chips", start);
        std::size_t sitsOut = FindFrom(line, " sits out", start);
        if (sitsOut != kNpos) {
            end = sitsOut;
        } else {
            // The name ends before the bracket of the chip count; text after
            // the count may hold brackets of its own ("out of hand (moved
            // from another table ...)").
            std::size_t open = hands::FindLastByte(line, '(', chips);
            if (open != kNpos && open > start) end = open - 1;
        }
        if (end == kNpos || end < start) end = line.size();
        auto index = static_cast<std::size_t>(seat - 1);
        QualifyNameInto(line.substr(start, end - start), bySeat[index]);
        taken[index] = true;
        if (!NextLine(reader, buffer, line)) return kEndInHeader;
    }
    // The map is sized to the seated names at once.
    std::size_t seated = 0;
    std::size_t bytes = 0;
    for (std::size_t index = 0; index < taken.size(); ++index) {
        if (!taken[index]) continue;
        ++seated;
        bytes += bySeat[index].size();
    }
    positionOfName.Reserve(seated, bytes);
    for (std::size_t index = 0; index < taken.size(); ++index) {
        if (!taken[index]) continue;
        int position = (static_cast<int>(index) + 1 - buttonSeat + kPositions) % kPositions;
        positionOfName.Set(bySeat[index], position);
    }
    // Posts up to the hole cards.
    static thread_local std::string name;
    // The player on the button, if any, is at position 0.
    if (NameAtPosition(0).first) RecordAction(0, 0, kActionButton, 0);
    int counted = 0;
    for (;;) {
        std::size_t colon = kNpos;
        if (kSkipList.ContainedIn(line)) {
            // Ignored.
        } else if (StartsWith(line, "*** HOLE CARDS")) {
            return kParseOk;
        } else if (StartsWith(line, kSummary)) {
            // A hand the room cancelled before dealing holds its header and
            // its summary only: it is passed over up to the next header,
            // which NextLine leaves for the next read, and rejected alone.
            while (NextLine(reader, buffer, line)) {
            }
            throw CParseError("hand cancelled before the cards were dealt");
        } else if (!line.empty() && (colon = FindFrom(line, ": ", 1)) != kNpos) {
            const std::string_view written = Trim(line.substr(0, colon));
            std::int32_t amount = 0;
            bool isAnte = ContainsAfterFirst(line, " ante ");
            if (IsChipGame()) {
                std::size_t at = kNpos;
                if ((at = FindFrom(line, " blinds ")) != kNpos) {
                    amount = ReadAmount(line, at + 8);
                } else if ((at = FindFrom(line, " blind ")) != kNpos) {
                    amount = ReadAmount(line, at + 7);
                } else if ((at = FindFrom(line, " ante ")) != kNpos) {
                    amount = ReadAmount(line, at + 6);
                } else {
                    amount = ReadAmount(line, 0);
                }
            } else {
                // The amount stands behind the first currency sign after the
                // name.
                bool signed_ = false;
                for (std::size_t i = hands::FindSignByte(line, colon + 2); i != kNpos;
                     i = hands::FindSignByte(line, i + 1)) {
                    if (hands::CurrencySignLength(line, i) > 0) {
                        amount = ReadAmount(line, i);
                        signed_ = true;
                        break;
                    }
                }
                // Rupees have a sign of their own.
                if (!signed_ && todaysForm_) {
                    std::size_t rupees = FindFrom(line, "Rs. ", colon + 2);
                    if (rupees == kNpos) rupees = FindFrom(line, "\xE2\x82\xB9", colon + 2);
                    if (rupees != kNpos) amount = ReadAmount(line, rupees);
                }
            }
            // Antes are recognised in money games too: otherwise they would be
            // counted as the two blind posts.
            if (isAnte) ante = amount;
            bool asBlind = counted < 2;
            // Blinds go to the poster's position, looked up by his name as
            // written plus the tag; one not seated is rejected by AddAction.
            int blind = -1;
            if (asBlind && Contains(line, "posts small blind")) {
                blind = kActionSmallBlind;
            } else if (asBlind && Contains(line, "posts big blind")) {
                blind = kActionBigBlind;
            }
            if (blind >= 0) {
                if (int seated = PositionAsWritten(written); seated >= 0) {
                    RecordAction(seated, 0, blind, amount);
                } else {
                    QualifyNameInto(written, name);
                    AddAction(0, blind, name, amount);
                }
                if (blind == kActionBigBlind) QualifyNameInto(written, bigBlindName);
            } else {
                QualifyNameInto(written, name);
                AddAction(0, kActionOtherPost, name, amount);
                int position = PositionOf(name);
                if (position >= 0) {
                    std::int32_t live = 0;
                    if (isAnte) {
                        live = 0;
                    } else if (Contains(line, "small & big blind")) {
                        live = bigBlind > 0 && bigBlind < amount ? bigBlind : amount;
                    } else if (Contains(line, "posts small blind")) {
                        live = 0;
                    } else {
                        live = amount;
                    }
                    std::int32_t& slot = liveExtraPost[static_cast<std::size_t>(position)];
                    if (__builtin_add_overflow(slot, live, &slot))
                        throw CParseError("money total out of range");
                }
            }
            if (ante == 0) ++counted;
        }
        if (!NextLine(reader, buffer, line)) return kEndInHeader;
    }
}

CHandPokerStars::StreetEnd CHandPokerStars::ReadStreet(CStdioFileCustom& reader, int street,
                                                       std::string& buffer,
                                                       std::string_view& line) {
    static thread_local ParsedAction action;
    static thread_local ShownCards shown;
    // Preflop, the player who acted last: while he is seated, his position
    // (lastActorPosition), which saves copying his name for every action;
    // otherwise his name.
    static thread_local std::string lastActor;
    int lastActorPosition = -1;
    auto previousActor = [&]() -> std::string_view {
        if (lastActorPosition >= 0) {
            lastActor.assign(NameAtPosition(lastActorPosition).second);
            lastActorPosition = -1;
        }
        return lastActor;
    };
    BeginStreet();
    if (street == 0) lastActor = bigBlindName;
    for (;;) {
        if (!NextLine(reader, buffer, line)) return StreetEnd::kEndOfText;
        // Board and end lines all begin with "***".
        const bool stars = !line.empty() && line[0] == '*';
        if (!stars) {
            // This also passes over the lines of the skip list.
            int position = -1;
            QuickAction quick = ReadQuickAction(line, street, position);
            if (quick == QuickAction::kIgnored) continue;
            if (quick == QuickAction::kRecorded) {
                if (street == 0) lastActorPosition = position;
                continue;
            }
        } else if (kSkipList.ContainedIn(line)) {
            continue;
        }
        if (stars && IsStreetEndLine(street, line)) {
            StoreBoardCards(street, ParseBoardCards(line));
            return StreetEnd::kNextStreet;
        }
        if ((stars && kEndList.Begins(line)) || (street > 0 && IsTableClosedLine(line)))
            return StreetEnd::kHandOver;
        if (street == 0 && IsDealtToLine(line)) {
            ParseShownCardsInto(line, shown);
            if (SplitQualifiedName(shown.name).first != Trim(heroName)) {
                // Heads-up tournament histories may deal the other player's
                // cards openly after the hero's: they are his shown cards.
                // Without the hero's own line first, the hero name does not
                // belong to the history.
                if (heroCards.empty())
                    throw CParseError("cards dealt to a player other than the hero");
                StoreShownCards(shown.name, shown.cards);
                continue;
            }
            heroCards = shown.cards;
            continue;
        }
        if (IsShowLine(line)) {
            ParseShownCardsInto(line, shown);
            if (street == 0) {
                PositionOf(shown.name, previousActor());
                lastActor = shown.name;
            }
            StoreShownCards(shown.name, shown.cards);
            continue;
        }
        if (StartsWith(line, kUncalledBet)) {
            ReadUncalledBet(line, street);
            continue;
        }
        ParseActionInto(line, street, action);
        if (action.kind < 0) continue;
        if (street == 0) {
            // A player missing from the seat list takes the position after
            // the one who acted before him.
            int seated = PositionOf(action.name, previousActor());
            lastActor = action.name;
            if (seated >= 0) {
                RecordAction(seated, street, action.kind, action.amount);
                continue;
            }
        } else if (action.name.size() <= 7 && SplitQualifiedName(action.name).first.empty()) {
            // (A name whose part before the tag is empty is at most a tag,
            // seven bytes at most.)
            throw CParseError("action without a player name");
        }
        AddAction(street, action.kind, action.name, action.amount);
    }
}

void CHandPokerStars::ReadFirstBoard(std::string_view line) {
    // A board run twice ends the betting at its first street line; the
    // first board is the hand's, the second is left aside.
    if (!StartsWith(line, "*** FIRST ")) return;
    if (StartsWith(line, "*** FIRST FLOP ***")) {
        flopCards = ParseBoardCards(line);
    } else if (StartsWith(line, "*** FIRST TURN ***")) {
        turnCard = ParseBoardCards(line);
    } else if (StartsWith(line, "*** FIRST RIVER ***")) {
        riverCard = ParseBoardCards(line);
    }
}

std::int32_t CHandPokerStars::TodaysWonAmountOf(std::string_view line) {
    std::size_t at = FindFrom(line, " collected (");
    if (at != kNpos) return ReadAmount(line, at + 12);
    // A board run twice gives one amount per board: "won ($1) with ...,
    // and won ($2) with ...".
    std::int64_t total = 0;
    bool any = false;
    for (at = FindFrom(line, " won ("); at != kNpos; at = FindFrom(line, " won (", at + 6)) {
        total += ReadAmount(line, at + 6);
        any = true;
    }
    // Histories converted from other rooms write "collected $10".
    if (!any && (at = FindFrom(line, " collected ")) != kNpos) total = ReadAmount(line, at + 11);
    if (total > INT32_MAX) throw CParseError("money total out of range");
    return static_cast<std::int32_t>(total);
}

void CHandPokerStars::ReadUncalledBet(std::string_view line, int street) {
    // The room states the uncalled part of the last bet; taking it as
    // written keeps dead money (a dead small blind) out of it, which
    // deriving it from the amounts put in cannot.
    std::size_t to = FindFrom(line, " returned to ");
    if (to == kNpos) return;
    static thread_local std::string name;
    QualifyNameInto(line.substr(to + 13), name);
    AddAction(street, kActionUncalledBet, name, ReadAmount(line, kUncalledBet.size()));
}

int CHandPokerStars::ReadSummary(CStdioFileCustom& reader, std::string& buffer,
                                 std::string_view& line, int street) {
    // Up to the summary: show-down lines may still show cards.
    auto storeShown = [&] {
        int position = PositionAsWritten(ShownNameAsWritten(line));
        // A list cut short by the end of the text holds no cards: what is
        // known stays.
        CCardText cards = HoleCardsFromLine(line);
        if (position >= 0 && !cards.empty()) holeCards[static_cast<std::size_t>(position)] = cards;
    };
    if (todaysForm_) ReadFirstBoard(line);
    while (!StartsWith(line, kSummary)) {
        if (!NextLine(reader, buffer, line)) throw CParseError("hand ends before its summary");
        if (kSkipList.ContainedIn(line)) continue;
        if (IsShowLine(line)) storeShown();
        if (!todaysForm_) continue;
        ReadFirstBoard(line);
        // Histories converted from other rooms state the uncalled bet after
        // the show-down line.
        if (StartsWith(line, kUncalledBet)) ReadUncalledBet(line, street);
    }
    // The summary runs to an empty line or the end of the text.
    std::int64_t statedPot = -1;
    bool lastLineCut = false;
    while (NextLine(reader, buffer, line) && !line.empty()) {
        lastLineCut = hands::IsCutLine(line, reader);
        if (IsShowLine(line)) storeShown();
        if (!todaysForm_) {
            if (IsCollectedLine(line)) {
                int position = PositionAsWritten(ActorNameAsWritten(line));
                std::int32_t amount = WonAmountOf(line);
                if (position >= 0) RecordCollectedAt(position, amount);
            }
            continue;
        }
        if (StartsWith(line, "Total pot ")) statedPot = ReadAmount(line, 10);
        // Converted histories also write "Seat 5: Name (big blind) won ($10)".
        const bool seatWon = StartsWith(line, "Seat ") && ContainsAfterFirst(line, " won (");
        if (IsCollectedLine(line) || seatWon) {
            std::string_view name = ActorNameAsWritten(line);
            if (std::size_t won = FindFrom(name, " won ("); won != kNpos)
                name = Trim(name.substr(0, won));
            int position = PositionAsWritten(name);
            std::int32_t amount = TodaysWonAmountOf(line);
            if (position >= 0) RecordCollectedAt(position, amount);
        }
    }
    // The stated pot and the stated returned bets account for all the money
    // put in: there is no uncalled bet left to derive (deriving one from the
    // amounts would take money from a pot the history says was won whole).
    if (statedPot >= 0) {
        std::int64_t in = 0;
        for (std::size_t p = 0; p < kPositions; ++p) {
            in += invested[p];
            for (std::size_t street = 0; street < kStreets; ++street) in -= returned[p][street];
        }
        everyUncalledBetStated_ = in == statedPot;
    }
    return lastLineCut ? kEndBeforeBlankLine : kParseOk;
}

int CHandPokerStars::Parse(CStdioFileCustom& reader) {
    static thread_local std::string buffer;
    std::string_view line;

    // The header.
    for (;;) {
        if (!ReadTrimmedLine(reader, buffer, line)) return kNoHandStart;
        if (IsHeaderLine(line)) break;
    }
    static thread_local std::string header;
    header.assign(line);
    liveExtraPost.fill(0);
    if (!NextLine(reader, buffer, line)) return kEndInHeader;
    if (!StartsWith(line, "Table ")) {
        // The header was continued on a second line.
        header += ' ';
        header += line;
        if (!NextLine(reader, buffer, line)) return kEndInHeader;
    }
    ReadHeader(header, line);
    nameTag_ = NameTag();

    int result = ReadSeatsAndPosts(reader, buffer, line);
    if (result != kParseOk) return result;

    static constexpr int kEndCodes[] = {kEndInPreflop, kEndInFlop, kEndInTurnOrRiver,
                                        kEndInTurnOrRiver};
    int lastStreet = 0;
    for (int street = 0; street <= 3; ++street) {
        lastStreet = street;
        StreetEnd end = ReadStreet(reader, street, buffer, line);
        if (end == StreetEnd::kEndOfText) return kEndCodes[street];
        if (end == StreetEnd::kHandOver) break;
        if (street == 3) break;  // unreachable: the river ends only on an end line
    }

    ApplyExtraPosts();
    ApplyHeroCards();
    return ReadSummary(reader, buffer, line, lastStreet);
}
