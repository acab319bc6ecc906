#include "hands/hand.h"

#include <cassert>
#include <cstdint>

#include "hands/marker_list.h"
#include "hands/parse_error.h"
#include "hands/parse_text.h"
#include "hands/stdio_file_custom.h"

namespace {

// Adds `delta` to a money total, refusing to wrap: a hand whose totals leave
// the 32-bit range is malformed, not a reason for undefined behaviour.
void AddMoney(std::int32_t& total, std::int32_t delta) {
    std::int32_t sum = 0;
    if (__builtin_add_overflow(total, delta, &sum)) throw CParseError("money total out of range");
    total = sum;
}

constexpr std::string_view kSuffixNoLimit = " (NL)";
constexpr std::string_view kSuffixTournamentLimit = " (T-L)";
constexpr std::string_view kSuffixTournamentNoLimit = " (T-NL)";
constexpr std::string_view kSuffixPlayMoney = " (PM)";

std::size_t StringHeap(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }

}  // namespace

CHand::CHand(std::string heroName_) : heroName(std::move(heroName_)) {}

int CHand::ReadHand(CStdioFileCustom& reader) {
    rejectReason.clear();
    int result = kParseRejected;
    try {
        result = Parse(reader);
    } catch (const CParseError& error) {
        // A malformed hand is an expected outcome of reading foreign text: the
        // caller gets a result code and the reason, and reads on.
        rejectReason = error.what();
        return kParseRejected;
    }
    if (result == kParseOk) {
        if (!StatesEveryUncalledBet()) DeriveUncalledBet();
        if (potAwarded) Compact();
    }
    return result;
}

void CHand::Compact() {
    actions.ShrinkToFit();
    positionOfName.ShrinkToFit();
    extraPosts.ShrinkToFit();
}

// --- Names ------------------------------------------------------------------

std::string_view CHand::NameTag() const {
    if (gameKind < 1 || gameKind > 4) throw CParseError("player name read before the game kind");
    if (!realMoney) return kSuffixPlayMoney;
    if (gameKind == 2) return kSuffixNoLimit;
    if (gameKind == 3) return kSuffixTournamentLimit;
    if (gameKind == 4) return kSuffixTournamentNoLimit;
    return {};
}

void CHand::QualifyNameInto(std::string_view raw, std::string& out) const {
    std::string_view suffix = NameTag();
    std::string_view trimmed = hands::Trim(raw);
    auto at = reinterpret_cast<std::uintptr_t>(trimmed.data());
    auto base = reinterpret_cast<std::uintptr_t>(out.data());
    if (at >= base && at <= base + out.capacity()) {
        // The name is read from `out` itself.
        out.assign(trimmed);
        out.append(suffix);
        return;
    }
    // Names are written once per line read: size the string and copy both
    // parts, without the general assignment's checks.
    out.resize(trimmed.size() + suffix.size());
    hands::CopyBytes(out.data(), trimmed.data(), trimmed.size());
    hands::CopyBytes(out.data() + trimmed.size(), suffix.data(), suffix.size());
}

std::string CHand::QualifyName(std::string_view raw) const {
    std::string out;
    QualifyNameInto(raw, out);
    return out;
}

std::pair<std::string_view, NameCategory> CHand::SplitQualifiedName(std::string_view name) {
    struct Tag {
        std::string_view suffix;
        NameCategory category;
    };
    static constexpr Tag kTags[] = {
        {kSuffixTournamentLimit, NameCategory::kTournamentLimit},
        {kSuffixTournamentNoLimit, NameCategory::kTournamentNoLimit},
        {kSuffixNoLimit, NameCategory::kNoLimit},
        {kSuffixPlayMoney, NameCategory::kPlayMoney},
    };
    for (const Tag& tag : kTags) {
        if (name.size() >= tag.suffix.size() &&
            name.substr(name.size() - tag.suffix.size()) == tag.suffix) {
            return {name.substr(0, name.size() - tag.suffix.size()), tag.category};
        }
    }
    return {name, NameCategory::kLimit};
}

int CHand::PositionOf(std::string_view name) const {
    const std::int32_t* position = positionOfName.Find(name);
    return position != nullptr ? *position : -1;
}

int CHand::PositionOf(std::string_view name, std::string_view previousActor) {
    int position = PositionOf(name);
    if (position >= 0 || previousActor.empty()) return position;
    int previous = PositionOf(previousActor);
    int target = previous >= 0 ? previous + 1 : 1;
    if (target >= kPositions) return -1;
    if (NameAtPosition(target).first)
        throw CParseError("player missing from the seat list meets a taken position");
    positionOfName.Set(name, target);
    return -1;
}

std::pair<bool, std::string_view> CHand::NameAtPosition(int position) const {
    for (std::size_t i = 0; i < positionOfName.Size(); ++i) {
        CNameMap::Entry entry = positionOfName.At(i);
        if (entry.value == position) return {true, entry.name};
    }
    return {false, {}};
}

std::string_view CHand::SeatName(int seatIndex) const {
    if (seatIndex < 0 || static_cast<std::size_t>(seatIndex) >= seatNames.size()) return {};
    return seatNames[static_cast<std::size_t>(seatIndex)];
}

void CHand::SetSeatName(int seatIndex, std::string_view name) {
    if (seatIndex < 0 || seatIndex >= kPositions) throw CParseError("seat number out of range");
    if (seatNames.empty()) seatNames.resize(kPositions);
    seatNames[static_cast<std::size_t>(seatIndex)] = std::string(name);
}

// --- Recording ----------------------------------------------------------------

void CHand::AddAction(int street, int kind, std::string_view name, std::int32_t amount,
                      bool amountIsRaiseTo) {
    assert(street >= 0 && street <= 3);
    if (street < 0 || street > 3) return;
    if (kind == kActionOtherPost) {
        // Several extra posts of one player (an ante and a dead blind) add
        // up; keeping only the last would lose money from the hand.
        const std::int32_t* earlier = extraPosts.Find(name);
        std::int32_t total = earlier != nullptr ? *earlier : 0;
        AddMoney(total, amount);
        extraPosts.Set(name, total);
        return;
    }
    int position = PositionOf(name);
    if (position < 0) throw CParseError("action by a player who is not seated");
    RecordAction(position, street, kind, amount, amountIsRaiseTo);
}

void CHand::RecordAction(int position, int street, int kind, std::int32_t amount,
                         bool amountIsRaiseTo) {
    assert(position >= 0 && position < kPositions && street >= 0 && street <= 3);
    if (position < 0 || position >= kPositions || street < 0 || street > 3) return;
    if (kind < 0 || kind > kActionUncalledBet || kind == kActionOtherPost) return;
    auto p = static_cast<std::size_t>(position);
    auto s = static_cast<std::size_t>(street);

    switch (kind) {
        case kActionButton:
            actions.Append(position, street, CAction(kActionButton, false, amount, false));
            return;
        case kActionBigBlind:
        case kActionSmallBlind:
            AddMoney(streetTotal[s], amount);
            AddMoney(streetInvested[p][s], amount);
            actions.Append(position, street, CAction(kind, false, amount, false));
            acted[p][s] = true;
            AddMoney(invested[p], amount);
            if (kind == kActionBigBlind) {
                if (bigBlind == 0) bigBlind = amount;
                if (lowLimit == 0) lowLimit = bigBlind;
                std::int32_t doubled = 0;
                if (__builtin_mul_overflow(bigBlind, 2, &doubled))
                    throw CParseError("money total out of range");
                highLimit = doubled;
            } else {
                smallBlind = amount;
            }
            return;
        case kActionFold:
            actions.Append(position, street, CAction(kActionFold, false, amount, false));
            acted[p][s] = true;
            if (street == 3) acted[p][kShowdown] = false;
            return;
        case kActionCheck:
            actions.Append(position, street, CAction(kActionCheck, false, amount, false));
            acted[p][s] = true;
            return;
        case kActionUncalledBet:
            returned[p][s] = amount;
            return;
        default:
            break;
    }

    // Calls, bets and raises.
    std::int32_t increment = amount;
    bool callsRaise = false;
    if (kind == kActionCall) {
        callsRaise = raiseSeen;
        betPending = false;
    } else {
        betPending = true;
        if (amountIsRaiseTo && (kind == kActionRaise || kind == kActionReraise)) {
            std::int64_t wide =
                static_cast<std::int64_t>(amount) - InvestedByActions(position, street);
            if (wide < INT32_MIN || wide > INT32_MAX) throw CParseError("money total out of range");
            increment = static_cast<std::int32_t>(wide);
        }
        lastBetSize = increment;
        if (kind == kActionRaise || kind == kActionReraise) raiseSeen = true;
    }
    bool firstIn = !streetOpened;
    streetOpened = true;
    AddMoney(streetTotal[s], increment);
    AddMoney(streetInvested[p][s], increment);
    actions.Append(position, street, CAction(kind, firstIn, increment, callsRaise));
    acted[p][s] = true;
    AddMoney(invested[p], increment);
    if (street == 3) acted[p][kShowdown] = true;
}

void CHand::BeginStreet() {
    betPending = false;
    streetOpened = false;
    lastBetSize = 0;
    raisedThisStreet = false;
}

void CHand::DeriveUncalledBet() {
    if (!potAwarded) return;
    int lastStreet = -1;
    for (int street = 3; street >= 0 && lastStreet < 0; --street) {
        if (actions.StreetCount(street) > 0) lastStreet = street;
    }
    if (lastStreet < 0) return;
    auto s = static_cast<std::size_t>(lastStreet);
    // Highest and second highest amounts put in on that street; on equal
    // amounts the lower position stays first.
    int top = -1;
    std::int32_t highest = 0;
    std::int32_t second = 0;
    for (int position = 0; position < kPositions; ++position) {
        std::int32_t amount = streetInvested[static_cast<std::size_t>(position)][s];
        if (amount <= 0) continue;
        if (top < 0 || amount > highest) {
            if (top >= 0) second = highest;
            top = position;
            highest = amount;
        } else if (amount > second) {
            second = amount;
        }
    }
    if (top < 0) return;
    std::int32_t& slot = returned[static_cast<std::size_t>(top)][s];
    if (slot == 0) slot = highest - second;
}

// --- Queries --------------------------------------------------------------------

int CHand::GetPlayerCount() const {
    if (playerCount < 0) {
        int count = 0;
        for (const auto& flags : acted) count += flags[0] ? 1 : 0;
        playerCount = count;
    }
    return playerCount;
}

std::int32_t CHand::TotalWon() const {
    std::int64_t total = 0;
    for (std::int32_t amount : won) total += amount;
    return static_cast<std::int32_t>(total);
}

std::int32_t CHand::Rake() const {
    std::int64_t total = 0;
    for (std::int32_t amount : invested) total += amount;
    return static_cast<std::int32_t>(total - TotalWon());
}

int CHand::WinnerCount() const {
    int count = 0;
    for (std::int32_t amount : won) count += amount > 0 ? 1 : 0;
    return count;
}

void CHand::WinnerNames(std::vector<std::string>& names) const {
    for (int position = 0; position < kPositions; ++position) {
        if (won[static_cast<std::size_t>(position)] <= 0) continue;
        auto [found, name] = NameAtPosition(position);
        if (found) names.emplace_back(name);
    }
}

void CHand::NamesByPosition(std::vector<std::string>& names, bool withGaps) const {
    names.clear();
    for (int position = 0; position < kPositions; ++position) {
        auto [found, name] = NameAtPosition(position);
        if (found) {
            names.emplace_back(name);
        } else if (withGaps) {
            names.emplace_back();
        }
    }
}

std::int32_t CHand::InvestedByActions(int position, int street) const {
    std::int64_t total = 0;
    for (const CAction& action : actions.List(position, street)) total += action.amount;
    return static_cast<std::int32_t>(total);
}

bool CHand::PostedBlind(int position) const {
    std::span<const CAction> list = actions.List(position, 0);
    return !list.empty() && (list[0].kind == kActionBigBlind || list[0].kind == kActionSmallBlind);
}

bool CHand::RaisedPreflop(int position) const {
    for (const CAction& action : actions.List(position, 0)) {
        if (action.kind == kActionRaise || action.kind == kActionReraise) return true;
    }
    return false;
}

bool CHand::HasExtraPost(int position) const {
    for (std::size_t i = 0; i < extraPosts.Size(); ++i) {
        if (PositionOf(extraPosts.At(i).name) == position) return true;
    }
    return false;
}

int CHand::OrdinalPosition(std::string_view name) const {
    int own = PositionOf(name);
    int limit = own >= 0 ? own : kPositions;
    int count = 0;
    for (int position = 0; position < limit; ++position) {
        if (acted[static_cast<std::size_t>(position)][0]) ++count;
    }
    return count;
}

const std::string& CHand::WinnerCardsHtml(
    const std::function<std::string(std::string_view)>& render) const {
    if (winnerCardsHtml.empty()) {
        for (int position = 0; position < kPositions; ++position) {
            if (collected[static_cast<std::size_t>(position)]) {
                winnerCardsHtml = render(holeCards[static_cast<std::size_t>(position)].View());
                break;
            }
        }
    }
    return winnerCardsHtml;
}

std::size_t CHand::HeapBytes() const {
    std::size_t bytes = positionOfName.HeapBytes() + extraPosts.HeapBytes() + actions.HeapBytes();
    bytes += StringHeap(tableName) + StringHeap(heroName) + StringHeap(winnerCardsHtml) +
             StringHeap(rejectReason);
    bytes += seatNames.capacity() * sizeof(std::string);
    for (const std::string& name : seatNames) bytes += StringHeap(name);
    return bytes;
}

// --- Line tests -------------------------------------------------------------------

bool CHand::IsFlopLine(std::string_view line) { return hands::StartsWith(line, "*** FLOP ***"); }
bool CHand::IsTurnLine(std::string_view line) { return hands::StartsWith(line, "*** TURN ***"); }
bool CHand::IsRiverLine(std::string_view line) { return hands::StartsWith(line, "*** RIVER ***"); }
bool CHand::IsDealtToLine(std::string_view line) { return hands::StartsWith(line, "Dealt to"); }

bool CHand::IsShowLine(std::string_view line) {
    // All three markers end in " [": look at the text before each "[" only.
    for (std::size_t open = line.find('['); open != std::string_view::npos;
         open = line.find('[', open + 1)) {
        std::string_view before = line.substr(0, open + 1);
        for (std::string_view marker : {"shows [", "showed [", "mucked ["}) {
            if (before.size() > marker.size() &&
                before.substr(before.size() - marker.size()) == marker)
                return true;
        }
    }
    return false;
}

namespace {

// Built at start-up: a function-local list would pass a guard on every line.
const CMarkerList kCollectedMarkers{" collected ", " and won ("};

}  // namespace

bool CHand::IsCollectedLine(std::string_view line) {
    // Both markers in one pass over the line.
    return line.size() > 1 && kCollectedMarkers.FindFirst(line, 1) != hands::kNpos;
}

bool CHand::IsTableClosedLine(std::string_view line) {
    return hands::Contains(line, "Table Closed");
}

CCardText CHand::ParseBoardCards(std::string_view line) { return BoardCardsFromLine(line); }

int CHand::SkipToBlankLine(CStdioFileCustom& reader) {
    std::string buffer;
    std::string_view line;
    while (ReadTrimmedLine(reader, buffer, line)) {
        if (line.empty()) return kParseOk;
    }
    return kEndBeforeBlankLine;
}

int CHand::SkipToSeparator(CStdioFileCustom& reader) {
    std::string buffer;
    std::string_view line;
    while (ReadTrimmedLine(reader, buffer, line)) {
        if (hands::StartsWith(line, "**********")) return kParseOk;
    }
    return kEndBeforeBlankLine;
}

// --- Parse frame steps ----------------------------------------------------------------

bool CHand::ReadTrimmedLine(CStdioFileCustom& reader, std::string& buffer, std::string_view& line) {
    if (!reader.ReadLine(line, buffer)) return false;
    line = hands::Trim(line);
    return true;
}

void CHand::ApplyExtraPosts() {
    for (std::size_t i = 0; i < extraPosts.Size(); ++i) {
        CNameMap::Entry entry = extraPosts.At(i);
        int position = PositionOf(entry.name);
        if (position < 0) throw CParseError("post by a player who is not seated");
        auto p = static_cast<std::size_t>(position);
        AddMoney(invested[p], entry.value);
        AddMoney(streetTotal[0], entry.value);
        AddMoney(streetInvested[p][0], entry.value);
        acted[p][0] = true;
    }
}

void CHand::ApplyHeroCards() {
    // The hero's qualified name, looked up without building it.
    const std::int32_t* position = positionOfName.FindJoined(hands::Trim(heroName), NameTag());
    if (position != nullptr && *position >= 0)
        holeCards[static_cast<std::size_t>(*position)] = heroCards;
}

void CHand::StoreShownCards(std::string_view name, const CCardText& cards) {
    // A line without whole cards ("showed [As " cut short) leaves what is
    // known.
    if (cards.empty()) return;
    int position = PositionOf(name);
    if (position >= 0) holeCards[static_cast<std::size_t>(position)] = cards;
}

void CHand::RecordCollected(std::string_view name, std::int32_t amount) {
    int position = PositionOf(name);
    if (position >= 0) RecordCollectedAt(position, amount);
}

void CHand::RecordCollectedAt(int position, std::int32_t amount) {
    if (position < 0 || position >= kPositions) return;
    auto p = static_cast<std::size_t>(position);
    AddMoney(won[p], amount);
    if (acted[p][kShowdown]) wonAtShowdown[p] = true;
    collected[p] = true;
    potAwarded = true;
}

void CHand::SeatAtPosition(std::string_view name, int seat, int buttonSeat) {
    int position = (seat - buttonSeat + 10) % 10;
    if (NameAtPosition(position).first) throw CParseError("two players at one position");
    positionOfName.Set(name, position);
}

void CHand::StoreBoardCards(int street, const CCardText& cards) {
    if (street == 0) {
        flopCards = cards;
        if (!heroCards.empty()) ApplyHeroCards();
    } else if (street == 1) {
        turnCard = cards;
    } else if (street == 2) {
        riverCard = cards;
    }
}

void CHand::RecordButtonAction() {
    if (auto [found, button] = NameAtPosition(0); found)
        AddAction(0, kActionButton, std::string(button), 0);
}
