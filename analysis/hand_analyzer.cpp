#include "analysis/hand_analyzer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "analysis/hand_reference.h"
#include "analysis/model_players.h"
#include "hands/hand.h"
#include "hands/room_family.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/ini_document.h"
#include "platform/local_time.h"
#include "platform/log.h"
#include "platform/profile.h"

namespace {

constexpr std::string_view kUserTags[4] = {"", " (NL)", " (T-L)", " (T-NL)"};
constexpr int kRankedMinimumHands = 20;
constexpr int kPumpEveryPlayers = 20;
constexpr std::int64_t kDefaultCutoffAge = 94'608'000;  // 1,095 days

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::int64_t ReadPhysicalMemoryMb() {
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::int64_t>(pages) * pageSize / (1024 * 1024);
}

}  // namespace

CHandAnalyzer::CHandAnalyzer(platform::Profile& settings, const CHandReference& reference,
                             const platform::Clock& clock)
    : settings_(settings), reference_(reference), clock_(clock) {
    physicalMemoryMb_ = ReadPhysicalMemoryMb();
    extendedHistory_ = settings_.GetInt("HandHistory", "Extended", 0) == 1;
    seriesOrigin_ =
        platform::FromLocal(platform::LocalDateTime{2000, 1, 1, 0, 0, 0}).value_or(946684800);
}

CHandAnalyzer::~CHandAnalyzer() = default;

std::int64_t CHandAnalyzer::Now() const { return clock_.UnixSeconds(); }

void CHandAnalyzer::Pump() {
    if (pump_) pump_();
}

std::string CHandAnalyzer::SettingsKey(std::string_view suffix) const {
    return std::to_string(start_.roomId) + " - " + start_.userName + std::string(suffix);
}

// --- Initialisation ------------------------------------------------------------

void CHandAnalyzer::Initialise(const StartValues& start) {
    std::lock_guard lock(mutex_);
    start_ = start;

    // The oldest-hand cut-off: three years back unless the settings name a
    // day as MMDDYY (two-digit years count from 2000).
    oldestHandCutoff_ = Now() - kDefaultCutoffAge;
    std::string stored = settings_.GetString("Settings", SettingsKey(" - Opt"), "010101");
    bool digits = stored.size() == 6 && std::all_of(stored.begin(), stored.end(),
                                                    [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
        int month = std::stoi(stored.substr(0, 2));
        int day = std::stoi(stored.substr(2, 2));
        int year = 2000 + std::stoi(stored.substr(4, 2));
        std::optional<std::int64_t> midnight;
        if (month >= 1 && month <= 12 && day >= 1 && day <= 31) {
            midnight = platform::FromLocal(platform::LocalDateTime{year, month, day, 0, 0, 0});
        }
        if (midnight) {
            oldestHandCutoff_ = *midnight;
        } else {
            // A stored date that names no day keeps the default rather than
            // stopping the start-up.
            platform::Log::Write(
                "Oldest-hand date in the settings is not a date; using three years back");
        }
    }

    for (std::size_t i = 0; i < userRecords_.size(); ++i) {
        std::string key = start_.userName + std::string(kUserTags[i]);
        userRecords_[i] = InsertRecord(key, std::string(kUserTags[i]));
    }
    userRecord_ = userRecords_[0];

    for (int noLimit = 0; noLimit < 2; ++noLimit) {
        for (int n = 0; n < analysis::kModelPlayerCount; ++n) {
            std::string key = analysis::ModelPlayerKey(n, noLimit != 0);
            std::string tag = noLimit != 0 ? " (NL)" : "";
            CPlayerStats* record = InsertRecord(
                key, tag,
                CPlayerStats::CreateModelPlayer(key, tag, analysis::ModelPlayerFigures(n)));
            NoteRanked(record);
        }
    }
    startupTime_ = Now();
    initialised_ = true;
}

CPlayerStats* CHandAnalyzer::UserRecord(std::string_view tag) const {
    for (std::size_t i = 0; i < userRecords_.size(); ++i) {
        if (kUserTags[i] == tag) return userRecords_[i];
    }
    return nullptr;
}

CPlayerStats* CHandAnalyzer::InsertRecord(std::string key, std::string tag,
                                          std::unique_ptr<CPlayerStats> record) {
    auto it = players_.find(key);
    if (it != players_.end()) return it->second.get();
    if (!record) record = std::make_unique<CPlayerStats>(key, std::move(tag));
    auto inserted = players_.emplace(std::move(key), std::move(record)).first;
    index_.Insert(inserted->second.get());
    return inserted->second.get();
}

// --- Hands -------------------------------------------------------------------

bool CHandAnalyzer::AddHand(std::unique_ptr<CHand> hand) {
    if (!hand) return false;
    std::lock_guard lock(mutex_);
    std::uint64_t number = hand->handNumber;
    // Hand numbers grow with time, so a new hand is nearly always above
    // every stored one: it goes at the end without a search of the tree.
    if (hands_.empty() || number > hands_.rbegin()->first) {
        hands_.emplace_hint(hands_.end(), number, StoredHand{std::move(hand), false});
        pending_.push_back(number);
        return true;
    }
    // One search serves both the look-up and the insertion.
    auto it = hands_.lower_bound(number);
    if (it != hands_.end() && it->first == number) {
        if (it->second.processed) return false;
        it->second.hand = std::move(hand);
        return true;
    }
    hands_.emplace_hint(it, number, StoredHand{std::move(hand), false});
    pending_.push_back(number);
    return true;
}

const CHand* CHandAnalyzer::FindHand(std::uint64_t handNumber) const {
    std::lock_guard lock(mutex_);
    // A number above every stored one (the usual new hand) needs no search.
    if (hands_.empty() || handNumber > hands_.rbegin()->first) return nullptr;
    auto it = hands_.find(handNumber);
    return it == hands_.end() ? nullptr : it->second.hand.get();
}

void CHandAnalyzer::AddHandSummary(const CHand& hand) {
    std::lock_guard lock(mutex_);
    CHandSummary summary = CHandSummary::Of(hand);
    summaries_.insert_or_assign(summary.key, std::move(summary));
}

// --- Tables ------------------------------------------------------------------

CTableRecord& CHandAnalyzer::UpdateTable(const CHand& hand) {
    std::lock_guard lock(tablesMutex_);
    auto it = tables_.find(hand.tableName);
    if (it == tables_.end()) {
        auto record =
            std::make_unique<CTableRecord>(hand.tableName, start_.roomId, screenReading_, Now());
        it = tables_.emplace(hand.tableName, std::move(record)).first;
    }
    it->second->UpdateFromHand(hand, Now());
    return *it->second;
}

bool CHandAnalyzer::UpdateTableFromScreen(CTableRecord& record, std::span<const int> cards,
                                          int street, int playerCount, TableSizeWarning warning) {
    return record.UpdateFromScreen(cards, street, playerCount, warning, Now());
}

CTableRecord* CHandAnalyzer::FindTable(std::string_view tableName) {
    std::lock_guard lock(tablesMutex_);
    auto it = tables_.find(tableName);
    return it == tables_.end() ? nullptr : it->second.get();
}

// The table's game-type tag is that of its seated players' records; the
// user's record of that tag, when there is one, is the page's comparison.
std::string CHandAnalyzer::WriteTablePage(std::string_view tableName) {
    std::lock_guard tablesLock(tablesMutex_);
    std::lock_guard lock(mutex_);
    auto it = tables_.find(tableName);
    if (it == tables_.end() || pages_ == nullptr) return {};
    CTableRecord& table = *it->second;
    std::lock_guard recordLock(table.Mutex());
    std::vector<const CPlayerStats*> seatRecords;
    const CPlayerStats* firstSeated = nullptr;
    for (const std::string& name : table.SeatNames()) {
        CPlayerStats* record = name.empty() ? nullptr : FindPlayer(name);
        if (record != nullptr) {
            record->EnsureAlertsAnalysed(reference_);
            if (firstSeated == nullptr) firstSeated = record;
        }
        seatRecords.push_back(record);
    }
    const std::string tag = firstSeated != nullptr ? firstSeated->Tag() : std::string();
    const CPlayerStats* userRecord = UserRecord(tag);
    if (userRecord == nullptr) userRecord = userRecord_;
    std::string path = pages_->WriteTablePage({.table = table,
                                               .outputFolder = start_.outputFolder,
                                               .tag = tag,
                                               .seatRecords = std::move(seatRecords),
                                               .userRecord = userRecord,
                                               .now = Now(),
                                               .reference = reference_});
    if (!path.empty()) table.SetPageText(path);
    return path;
}

std::vector<std::string> CHandAnalyzer::TablesSince(std::int64_t since) const {
    std::lock_guard lock(tablesMutex_);
    std::vector<std::string> names;
    for (const auto& [name, record] : tables_) {
        std::lock_guard recordLock(record->Mutex());
        if (record->LastHandTime() >= since) names.push_back(name);
    }
    return names;
}

// --- Processing --------------------------------------------------------------

void CHandAnalyzer::ReadMemorySettings() {
    if (optMHC_ >= 0) return;
    optMHC_ = std::max(2000, settings_.GetInt("Settings", SettingsKey(" - OptMHC"), 2500));
    bool slowRoom = ReadsSlowly(FamilyOfRoom(start_.roomId));
    // Seconds of loading the memory limit allows; an entry that is not a
    // whole number from 10 to a day (zero would cut the limit on every
    // start) reads as the default.
    const auto seconds =
        platform::ParseWholeNumber(settings_.GetString("Settings", SettingsKey(" - OptTime")));
    optTime_ = seconds && *seconds >= 10 && *seconds <= 86400 ? *seconds : (slowRoom ? 60 : 40);
}

// Only hands added since the previous call can bring new players or be
// unprocessed (records are never removed, and every call folds all pending
// hands), so only those are walked: the records come out as a walk over
// every stored hand would leave them, at a cost independent of the size of
// the database.
void CHandAnalyzer::Process(bool live) {
    std::unique_lock lock(mutex_);
    if (processing_) return;  // a nested call from message pumping; the outer call carries on
    processing_ = true;
    ReadMemorySettings();

    std::vector<std::uint64_t> numbers;
    numbers.swap(pending_);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());

    // New players. The records of each hand's players are noted here so
    // that the fold below need not look them up again, and each record
    // counts the hands coming to it, so that its lists grow once.
    struct Work {
        std::map<std::uint64_t, StoredHand>::iterator stored;
        const CHand* hand;
        std::uint32_t count;  // entries in records and positions
    };
    std::vector<Work> work;
    work.reserve(numbers.size());
    // Two flat lists rather than one of pairs: 12 bytes a seat instead of 16
    // in lists that reach millions of entries at start-up.
    std::vector<CPlayerStats*> records;
    std::vector<std::int32_t> positions;
    records.reserve(numbers.size() * 9);
    positions.reserve(numbers.size() * 9);
    std::vector<CPlayerStats*> receiving;  // records with a non-zero coming count
    // When most stored hands are new (the start-up fold), walking the map is
    // far cheaper than a tree search per hand.
    const bool walk = numbers.size() * 8 > hands_.size();
    auto cursor = hands_.begin();
    for (std::uint64_t number : numbers) {
        Pump();
        std::map<std::uint64_t, StoredHand>::iterator it;
        if (walk) {
            while (cursor != hands_.end() && cursor->first < number) ++cursor;
            it = cursor != hands_.end() && cursor->first == number ? cursor : hands_.end();
        } else {
            it = hands_.find(number);
        }
        if (it == hands_.end() || it->second.processed) continue;
        const CHand& hand = *it->second.hand;
        Work item{it, &hand, 0};
        for (std::size_t i = 0; i < hand.positionOfName.Size(); ++i) {
            CNameMap::Entry entry = hand.positionOfName.At(i);
            std::string_view key = entry.name;
            CPlayerStats* record = index_.Find(key);
            if (record == nullptr) {
                auto [base, category] = CHand::SplitQualifiedName(key);
                record = InsertRecord(std::string(key), std::string(key.substr(base.size())));
            }
            if (record->ComingHands()++ == 0) receiving.push_back(record);
            records.push_back(record);
            positions.push_back(entry.value);
            ++item.count;
        }
        work.push_back(item);
    }
    for (CPlayerStats* record : receiving) {
        record->ReserveHands(record->ComingHands(), live);
        record->ComingHands() = 0;
    }
    receiving = {};

    // Fold the hands in, in hand-number order.
    CPlayerStats::Context context;
    context.reference = &reference_;
    context.userName = start_.userName;
    context.userRecordExists = userRecord_ != nullptr;
    context.now = Now();
    context.seriesOrigin = seriesOrigin_;
    constexpr std::size_t kPrefetchAhead = 4;
    int playersHandled = 0;
    std::vector<CPlayerStats*> unsettled;
    std::size_t first = 0;       // of the current hand's seats in records
    std::size_t aheadFirst = 0;  // of the seats of the hand kPrefetchAhead places on
    for (std::size_t w = 0; w < kPrefetchAhead && w < work.size(); ++w) aheadFirst += work[w].count;
    for (std::size_t w = 0; w < work.size(); ++w) {
        Pump();
        // The records of a hand a few places ahead are fetched into the
        // cache while this one is folded: the fold is bound by memory
        // latency, each record being far from the previous one.
        if (w + kPrefetchAhead < work.size()) {
            const Work& ahead = work[w + kPrefetchAhead];
            for (std::uint32_t r = 0; r < ahead.count; ++r) {
                const char* bytes = reinterpret_cast<const char*>(records[aheadFirst + r]);
                __builtin_prefetch(bytes);
                __builtin_prefetch(bytes + 64);
                __builtin_prefetch(bytes + 128);
                __builtin_prefetch(bytes + 192);
            }
            aheadFirst += ahead.count;
            // So is the hand itself, which every seat's fold reads and
            // which, stored long before, is no longer in the cache.
            const char* hand = reinterpret_cast<const char*>(ahead.hand);
            for (std::size_t line = 0; line < sizeof(CHand); line += 64)
                __builtin_prefetch(hand + line);
        }
        const Work& item = work[w];
        const std::size_t seats = first;
        first += item.count;
        auto it = item.stored;  // stored hands are never removed
        // A hand replaced while messages were pumped is folded next time.
        if (it->second.processed || it->second.hand.get() != item.hand) {
            if (!it->second.processed) pending_.push_back(it->first);
            continue;
        }
        it->second.processed = true;
        const CHand& hand = *item.hand;
        CHandKey handKey = CHandKey::Of(hand);
        for (std::uint32_t r = 0; r < item.count; ++r) {
            CPlayerStats* record = records[seats + r];
            if (record->AddHand(hand, live, context, handKey, positions[seats + r]))
                unsettled.push_back(record);
            NoteRanked(record);
            if (++playersHandled % kPumpEveryPlayers == 0) Pump();
        }
    }
    // Hands folded out of time order wait in their records' side lists;
    // they are put in place once here rather than one by one.
    for (CPlayerStats* record : unsettled) record->Settle();

    RankPlayers();
    if (!live && static_cast<std::int64_t>(hands_.size()) > optMHC_) ApplyMemoryLimit();
    processing_ = false;
}

void CHandAnalyzer::NoteRanked(CPlayerStats* record) {
    if (record->InRanking() || record->Hands() < kRankedMinimumHands) return;
    record->SetInRanking();
    const std::string& key = record->Key();
    if (EndsWith(key, " (NL)")) {
        rankedNoLimit_.Insert(record);
    } else if (!EndsWith(key, ")")) {
        rankedLimit_.Insert(record);
    }
}

void CHandAnalyzer::RankPlayers() {
    rankedLimit_.RankMembers();
    rankedNoLimit_.RankMembers();
    rankedCount_ = static_cast<int>(rankedNoLimit_.Size());
}

void CHandAnalyzer::ApplyMemoryLimit() {
    std::int64_t elapsed = Now() - startupTime_;
    auto stored = static_cast<std::int64_t>(hands_.size());
    if (elapsed < optTime_ - 10) {
        optMHC_ = static_cast<int>(std::min<std::int64_t>(stored + 500, INT32_MAX));
        settings_.WriteInt("Settings", SettingsKey(" - OptMHC"), optMHC_);
    } else if (elapsed > optTime_) {
        int newLimit = optMHC_ - 500;
        std::int64_t target =
            stored - newLimit;  // 1-based place of the oldest hand to keep reading
        if (target >= 1 && target <= stored) {
            auto it = std::next(hands_.begin(), static_cast<std::ptrdiff_t>(target - 1));
            std::string date = platform::FormatLocal(it->second.hand->dateTime, "%m%d%y");
            settings_.WriteString("Settings", SettingsKey(" - Opt"), date);
        }
        optMHC_ = newLimit;
        settings_.WriteInt("Settings", SettingsKey(" - OptMHC"), optMHC_);
    }
}

// --- Requests ----------------------------------------------------------------

std::string CHandAnalyzer::ShowHand(std::uint64_t handNumber) {
    std::lock_guard lock(mutex_);
    const CHand* hand = FindHand(handNumber);
    if (hand == nullptr) {
        if (desktop_ != nullptr) {
            desktop_->MessageBox(platform::kNoWindow, "Hand Not Found", "Seatwatch",
                                 platform::MessageBoxButtons::kOk);
        }
        return {};
    }
    if (pages_ == nullptr) return {};
    HandPageRequest request{.hand = *hand, .outputFolder = start_.outputFolder};
    for (int position = 0; position < CHand::kPositions; ++position) {
        auto [seated, key] = hand->NameAtPosition(position);
        CPlayerStats* record = seated ? FindPlayer(key) : nullptr;
        if (record != nullptr) record->EnsureAlertsAnalysed(reference_);
        request.records[static_cast<std::size_t>(position)] = record;
    }
    return pages_->WriteHandPage(request);
}

bool CHandAnalyzer::ShowPlayerReport(std::string_view playerKey, const CReportOptions* options) {
    std::lock_guard lock(mutex_);
    if (pages_ == nullptr) return true;
    CPlayerStats* record = FindPlayer(playerKey);
    if (record != nullptr) record->EnsureAlertsAnalysed(reference_);
    pages_->WritePlayerReport({.playerKey = playerKey,
                               .record = record,
                               .options = options,
                               .outputFolder = start_.outputFolder,
                               .reference = reference_});
    return true;
}

void CHandAnalyzer::EndSession() {
    std::lock_guard lock(mutex_);
    for (auto& [key, record] : players_) record->EndSession();
}

CHandAnalyzer::Series CHandAnalyzer::GetSeries(std::string_view playerKey, bool session) {
    std::lock_guard lock(mutex_);
    CPlayerStats* record = FindPlayer(playerKey);
    if (record == nullptr) return {};
    if (session) return record->SessionSeries();
    // Tournament chips are not carried across tournaments.
    if (EndsWith(playerKey, " (T-NL)") || EndsWith(playerKey, " (T-L)"))
        record->MutableAllTimeSeries().Clear();
    return record->AllTimeSeries();
}

CPlayerStats* CHandAnalyzer::FindPlayer(std::string_view playerKey) const {
    std::lock_guard lock(mutex_);
    return index_.Find(playerKey);
}
