#include "analysis/hand_reference.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "hands/hand.h"
#include "platform/file_profile.h"

namespace {

// The ranking of the classes, best first; "XXo" (unknown) is last.
constexpr std::string_view kRanking =
    "AAo KKo QQo JJo AKs TTo AQs AJs KQs AKo 99o JTs QJs KJs ATs AQo T9s KQo 88o QTs "
    "98s J9s AJo KTs 77o 87s Q9s T8s KJo QJo JTo 76s A2s 97s A9s A8s A5s A7s A4s A3s "
    "A6s 65s 66o ATo 55o 86s KTo QTo 54s K9s J8s 75s 44o J9o 64s T9o 53s 33o 98o 43s "
    "22o K8s K7s K6s K5s K4s K3s K2s T7s Q8s 87o A9o Q9o 76o 42s 32s 96s 85s J8o J7s "
    "54o 74s K9o T8o 64o Q7s Q6s Q5s Q4s Q3s T6s Q2s J6s J5s J4s J3s 95s J2s 63s A8o "
    "T5s T4s A5o A7o 52s 84s T3s T2s 73s A4o 94s 93s A3o 62s 92s K8o A6o Q8o 83s A2o "
    "82s 97o 72s K7o 65o T7o K6o 86o K5o J7o 75o Q7o K3o K4o 96o K2o Q6o 53o 85o T6o "
    "Q5o 43o Q4o Q3o 74o Q2o J6o 63o J5o 95o 52o J4o J3o 42o J2o 84o T5o T4o 32o T3o "
    "73o T2o 62o 94o 93o 92o 83o 82o 72o XXo";

// Groups 1 to 8 by display name; every other class is group 9.
constexpr std::string_view kGroups[8] = {
    "AA KK QQ JJ AKs",
    "TT AQs AJs KQs AKo",
    "99 JTs QJs KJs ATs AQo",
    "T9s KQo 88 QTs 98s J9s AJo KTs",
    "77 87s Q9s T8s KJo QJo JTo 76s A2s 97s A9s A8s A5s A7s A4s A3s A6s 65s",
    "66 ATo 55 86s KTo QTo 54s K9s J8s 75s",
    "44 J9o 64s T9o 53s 33 98o 43s 22 K8s K7s K6s K5s K4s K3s K2s T7s Q8s",
    "87o A9o Q9o 76o 42s 32s 96s 85s J8o J7s 54o 74s K9o T8o 65o",
};

constexpr std::string_view kPremium =
    "AA KK QQ JJ AKs TT AQs AJs KQs AKo 99 ATs AQo KQo 88 AJo 77 66 ATo 55 44 33 22";

// Strength figures known for some classes, by rank. The figures in between
// are interpolated by rank; nothing in the program computes with them.
struct ValueAnchor {
    int rank;
    float value;
};
constexpr ValueAnchor kValueAnchors[] = {
    {1, 31.1F}, {2, 26.1F},  {3, 22.2F},  {4, 19.3F},
    {5, 20.7F}, {168, 4.9F}, {169, 4.8F}, {170, 0.0F},
};

constexpr std::string_view kRankOrder = "AKQJT98765432";

// 0 for "A" down to 12 for "2"; -1 for anything else.
int RankOrder(char c) {
    std::size_t at =
        kRankOrder.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

}  // namespace

std::string_view CHandReference::SectionName(Range range) {
    static constexpr std::string_view kNames[kRangeCount] = {
        "StealRaiseHands",
        "StealRaiseHands - Short Handed",
        "SmallBlindCall",
        "SmallBlindCall - Short Handed",
        "EarlyPositionHands - NotFirstIn",
        "EarlyPositionHands - FirstIn",
        "MiddlePositionHands - NotFirstIn",
        "MiddlePositionHands - FirstIn",
        "LatePositionHands - NotFirstIn",
        "LatePositionHands - FirstIn",
    };
    return kNames[static_cast<int>(range)];
}

CHandReference::CHandReference() {
    std::vector<std::string_view> ranking = Words(kRanking);
    indexByName_.fill(-1);
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        CHandClass& c = classes_[i];
        std::string_view name = ranking.at(i);
        c.index = static_cast<int>(i);
        c.rank = static_cast<int>(i) + 1;
        c.highRank = name[0];
        c.lowRank = name[1];
        c.suited = name[2] == 's';
        c.group = 9;
        if (c.index != kUnknownIndex) {
            int h = RankOrder(c.highRank);
            int l = RankOrder(c.lowRank);
            indexByName_[static_cast<std::size_t>((h * 13 + l) * 2 + (c.suited ? 1 : 0))] = c.index;
        }
    }
    for (int g = 0; g < 8; ++g) {
        for (std::string_view name : Words(kGroups[g]))
            classes_.at(static_cast<std::size_t>(ClassOf(name))).group = g + 1;
    }
    for (std::string_view name : Words(kPremium))
        classes_.at(static_cast<std::size_t>(ClassOf(name))).premium = true;
    for (std::size_t a = 0; a + 1 < std::size(kValueAnchors); ++a) {
        const ValueAnchor& from = kValueAnchors[a];
        const ValueAnchor& to = kValueAnchors[a + 1];
        for (int rank = from.rank; rank < to.rank; ++rank) {
            float t =
                static_cast<float>(rank - from.rank) / static_cast<float>(to.rank - from.rank);
            classes_[static_cast<std::size_t>(rank - 1)].value =
                from.value + (to.value - from.value) * t;
        }
    }
    classes_[kUnknownIndex].value = 0.0F;

    // The key list: for each higher rank from A down, the pair, then for
    // each lower rank the suited and the offsuit form.
    keyOfRank_.fill(-1);
    for (std::size_t hi = 0; hi < kRankOrder.size(); ++hi) {
        keys_.push_back(std::string{kRankOrder[hi], kRankOrder[hi]});
        for (std::size_t lo = hi + 1; lo < kRankOrder.size(); ++lo) {
            keys_.push_back(std::string{kRankOrder[hi], kRankOrder[lo], 's'});
            keys_.push_back(std::string{kRankOrder[hi], kRankOrder[lo], 'o'});
        }
    }
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        int rank = RankOf(keys_[k]);
        if (rank > 0 && keyOfRank_[static_cast<std::size_t>(rank)] < 0)
            keyOfRank_[static_cast<std::size_t>(rank)] = static_cast<int>(k);
    }
}

std::string CHandReference::ClassNameOfHoleCards(std::string_view holeCards) {
    std::size_t second = 0;
    if (holeCards.size() == 7) {
        second = 4;
    } else if (holeCards.size() == 8) {
        second = 5;
    } else {
        return {};
    }
    char r1 = holeCards[1];
    char s1 = holeCards[2];
    char r2 = holeCards[second];
    char s2 = holeCards[second + 1];
    int o1 = RankOrder(r1);
    int o2 = RankOrder(r2);
    if (o1 < 0 || o2 < 0) return {};
    if (o2 < o1) {
        std::swap(r1, r2);
        std::swap(o1, o2);
    }
    bool suited = std::tolower(static_cast<unsigned char>(s1)) ==
                  std::tolower(static_cast<unsigned char>(s2));
    return std::string{kRankOrder[static_cast<std::size_t>(o1)],
                       kRankOrder[static_cast<std::size_t>(o2)], suited ? 's' : 'o'};
}

int CHandReference::ClassOf(std::string_view text) const {
    if (text.empty()) return kUnknownIndex;
    std::string name;
    if (text.front() == '[') {
        name = ClassNameOfHoleCards(text);
        if (name.empty()) return -1;
    } else if (text.size() == 2) {
        name = std::string(text) + "o";
    } else {
        name = std::string(text);
    }
    // The name map: exact names as the classes carry them.
    if (name.size() != 3) return -1;
    if (name == "XXo") return kUnknownIndex;
    int hi = RankOrder(name[0]);
    int lo = RankOrder(name[1]);
    if (hi < 0 || lo < 0 || hi > lo || name[0] != kRankOrder[static_cast<std::size_t>(hi)] ||
        name[1] != kRankOrder[static_cast<std::size_t>(lo)]) {
        return -1;
    }
    if (name[2] != 's' && name[2] != 'o') return -1;
    if (hi == lo && name[2] == 's') return -1;
    return indexByName_[static_cast<std::size_t>((hi * 13 + lo) * 2 + (name[2] == 's' ? 1 : 0))];
}

int CHandReference::RankOf(std::string_view text) const {
    int index = ClassOf(text);
    return index < 0 ? -1 : classes_[static_cast<std::size_t>(index)].rank;
}

std::pair<int, int> CHandReference::RankAndGroup(std::string_view text) const {
    int index = ClassOf(text);
    if (index < 0) return {-1, -1};
    const CHandClass& c = classes_[static_cast<std::size_t>(index)];
    return {c.rank, c.group};
}

std::string CHandReference::NameOf(int rank) const {
    if (rank < 1 || rank > kClassCount) return {};
    return classes_[static_cast<std::size_t>(rank - 1)].DisplayName();
}

std::string CHandReference::DisplayNameOfRank(int rank) {
    static const CHandReference kClasses;
    return kClasses.NameOf(rank);
}

// The fixed sets are given by rank; index = rank - 1.
bool CHandReference::IsAcesOrKings(int index) { return index == 0 || index == 1; }

bool CHandReference::IsPremiumTen(int index) {
    // AA KK QQ JJ AKs TT AQs AJs AKo AQo.
    static constexpr int kRanks[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 16};
    return std::find(std::begin(kRanks), std::end(kRanks), index + 1) != std::end(kRanks);
}

bool CHandReference::IsSmallPair(int index) {
    // 99 88 77 66 55 44 33 22.
    static constexpr int kRanks[] = {11, 19, 25, 43, 45, 53, 58, 61};
    return std::find(std::begin(kRanks), std::end(kRanks), index + 1) != std::end(kRanks);
}

bool CHandReference::IsRaisingClass(int index) {
    int rank = index + 1;
    return (rank >= 1 && rank <= 11) || rank == 15 || rank == 16 || rank == 23;
}

bool CHandReference::InRange(Range range, int rank) const {
    if (rank < 1 || rank > kClassCount) return false;
    int key = keyOfRank_[static_cast<std::size_t>(rank)];
    if (key < 0) return false;
    return ranges_[static_cast<std::size_t>(range)][static_cast<std::size_t>(key)];
}

void CHandReference::SetInRange(Range range, int rank, bool inside) {
    if (rank < 1 || rank > kClassCount) return;
    int key = keyOfRank_[static_cast<std::size_t>(rank)];
    if (key >= 0) ranges_[static_cast<std::size_t>(range)][static_cast<std::size_t>(key)] = inside;
}

bool CHandReference::IsStealRaiseHand(int rank, bool shortHanded) const {
    return InRange(shortHanded ? Range::kStealRaiseShortHanded : Range::kStealRaise, rank);
}
bool CHandReference::IsSmallBlindCallHand(int rank, bool shortHanded) const {
    return InRange(shortHanded ? Range::kSmallBlindCallShortHanded : Range::kSmallBlindCall, rank);
}
bool CHandReference::IsEarlyPositionHand(int rank, bool firstIn) const {
    return InRange(firstIn ? Range::kEarlyFirstIn : Range::kEarlyNotFirstIn, rank);
}
bool CHandReference::IsMiddlePositionHand(int rank, bool firstIn) const {
    return InRange(firstIn ? Range::kMiddleFirstIn : Range::kMiddleNotFirstIn, rank);
}
bool CHandReference::IsLatePositionHand(int rank, bool firstIn) const {
    return InRange(firstIn ? Range::kLateFirstIn : Range::kLateNotFirstIn, rank);
}

bool CHandReference::LoadRanges(const std::string& path) {
    for (auto& range : ranges_) range.fill(false);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    platform::FileProfile file(path, platform::ProfileAccess::kReadOnly);
    LoadRanges(file);
    return true;
}

void CHandReference::LoadRanges(const platform::Profile& file) {
    for (int r = 0; r < kRangeCount; ++r) {
        std::string_view section = SectionName(static_cast<Range>(r));
        for (std::size_t k = 0; k < keys_.size(); ++k) {
            ranges_[static_cast<std::size_t>(r)][k] = file.GetInt(section, keys_[k], 0) == 1;
        }
    }
}

PositionClass CHandReference::PositionClassOf(int playerCount, int dealtOrder) {
    if (playerCount < kFullTablePlayers) return PositionClass::kShortHanded;
    if (dealtOrder == 0 || dealtOrder == playerCount - 1) return PositionClass::kLate;
    if (dealtOrder == 1) return PositionClass::kSmallBlind;
    if (dealtOrder == 2) return PositionClass::kBigBlind;
    if (dealtOrder >= 3 && dealtOrder <= 5) return PositionClass::kEarly;
    return PositionClass::kMiddle;
}

PositionClass CHandReference::PositionClassOf(const CHand& hand, std::string_view player) {
    return PositionClassOf(hand.GetPlayerCount(), hand.OrdinalPosition(player));
}
