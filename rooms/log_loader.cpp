#include "rooms/log_loader.h"

#include <dirent.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/local_time.h"
#include "platform/text_util.h"
#include "rooms/line_end_probe.h"

namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;
// Folders nested deeper than this are not walked: a link that points back up
// the tree would otherwise never end the walk.
constexpr int kMaxFolderDepth = 24;

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + '/' + name;
}

}  // namespace

CLogLoader::CLogLoader(CPokerRoomProfile& profile, HandSink& sink, LogLoaderSettings settings,
                       const platform::Clock& clock)
    : profile_(profile), sink_(sink), settings_(std::move(settings)), clock_(clock) {
    // Historical folders hold nothing worth reading from before this date.
    historicalCutoff_ = platform::FromLocal({2005, 8, 15, 0, 0, 0}).value_or(0);
}

bool CLogLoader::LoadFolder(LoadPass pass, FolderKind kind, const std::string& folder) {
    const bool live = pass == LoadPass::kLive;
    const Walk walk{pass, kind, settings_.money};
    const std::int64_t startMs = clock_.MonotonicMs();
    std::int64_t lastRefreshMs = startMs;
    lastPass_ = LogPassCounts{};
    int total = 0;
    LoadFolderEntries(folder, walk, 0, [&](int added) {
        total += added;
        if (live) newHands_ += added;
        if (!refreshStatus) return;
        const std::int64_t nowMs = clock_.MonotonicMs();
        // While loading at start-up the page is refreshed now and then; once
        // live, every entry that brought hands shows at once.
        const bool due = live ? added > 0 : nowMs - lastRefreshMs >= (added > 0 ? 1000 : 2000);
        if (due) {
            refreshStatus(LogLoadProgress{FileCount(), total, nowMs - startMs});
            lastRefreshMs = nowMs;
        }
    });
    lastPass_.handsAdded = total;
    if (total <= 0) return false;
    sink_.Process(pass);
    return true;
}

int CLogLoader::LoadFile(const std::string& path, LoadPass pass, MoneyMode money, FolderKind kind) {
    return LoadEntry(path, QueryLogFileStatus(path), Walk{pass, kind, money}, 0);
}

int CLogLoader::LoadFolderEntries(const std::string& folder, const Walk& walk, int depth,
                                  const std::function<void(int added)>& after) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    int total = 0;
    for (const std::string& name : names) {
        const LogFileStatus status = QueryLogFileStatusAt(::dirfd(dir), name.c_str());
        const int added = LoadEntry(JoinPath(folder, name), status, walk, depth);
        total += added;
        if (after) after(added);
    }
    ::closedir(dir);
    return total;
}

int CLogLoader::LoadEntry(const std::string& path, const LogFileStatus& status, const Walk& walk,
                          int depth) {
    if (path.empty() || path.back() == '.') return 0;
    if (!status.exists) return 0;
    if (!status.isFolder) return LoadOneFile(path, status, walk);

    if (depth >= kMaxFolderDepth) return 0;
    const std::int64_t now = clock_.UnixSeconds();
    // Rooms that keep daily or per-session folders: old ones are finished.
    if (walk.pass == LoadPass::kLive && profile_.SkipsStaleFolders() &&
        status.created < now - 3 * kDay) {
        return 0;
    }
    return LoadFolderEntries(path, walk, depth + 1, nullptr);
}

bool CLogLoader::ExtensionAccepted(const std::string& path) const {
    const std::size_t slash = path.rfind('/');
    const std::string_view name =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot);
    std::string wanted;
    profile_.GetLogExtension(wanted);
    if (!wanted.empty()) return platform::EqualsNoCase(extension, wanted);
    return platform::EqualsNoCase(extension, ".txt") || platform::EqualsNoCase(extension, ".log");
}

bool CLogLoader::Acceptable(const CHand& hand, const Walk& walk) const {
    if (hand.realMoney != (walk.money == MoneyMode::kReal)) return false;
    // The first loading never takes play-money hands.
    if (walk.pass == LoadPass::kFirstLoading && !hand.realMoney) return false;
    if (hand.dateTime < profile_.GetEarliestHandDate()) return false;
    if (hand.dateTime <= sink_.EarliestHandDate()) return false;
    if (hand.dateTime <= settings_.installDate - 5 * kDay) return false;
    return true;
}

int CLogLoader::LoadOneFile(const std::string& path, const LogFileStatus& status,
                            const Walk& walk) {
    const bool live = walk.pass == LoadPass::kLive;
    if (!ExtensionAccepted(path)) return 0;
    if (profile_.IsIgnoredLog(path)) return 0;
    if (walk.kind == FolderKind::kHistorical && status.lastWrite < historicalCutoff_) return 0;
    const std::int64_t window = (settings_.extendedHistory ? 30 : 3) * kDay;
    if (status.lastWrite < settings_.installDate - window) return 0;
    if (status.lastWrite < sink_.EarliestHandDate()) return 0;

    auto found = readers_.find(path);
    if (found == readers_.end()) found = readers_.try_emplace(path, path).first;
    LogFileReader& reader = found->second;
    if (!reader.HasChanged(status) && !reader.tailPending) return 0;
    if (walk.money == MoneyMode::kReal ? !profile_.IsRealMoneyLog(path)
                                       : !profile_.IsPlayMoneyLog(path)) {
        return 0;
    }

    if (!reader.Resume()) return 0;
    const std::uint64_t length = reader.File.GetLength();
    if (length == 0) {
        reader.MarkSeen(0, status.lastWrite, status.lastWriteNs);
        reader.Close();
        return 0;
    }
    ++lastPass_.filesRead;

    const std::int64_t now = clock_.UnixSeconds();
    // Old files of most rooms are read once; their last hand is taken as it
    // stands since the file will not be looked at again.
    const bool forgetAfter = status.created < now - 3 * kDay && !profile_.KeepsOldFilesWatched();
    // Live passes read only up to the last line end: beyond it the client is
    // still writing.
    std::optional<CLineEndProbe> probe;
    std::uint64_t textEnd = UINT64_MAX;
    if (live) {
        probe.emplace(path);
        textEnd = probe->EndOfCompleteText(reader.File.GetPosition(), length);
    }
    // A hand held back at this very length has now waited a whole pass
    // without the file growing: it is as complete as it will get.
    const bool tailSettled = reader.tailPending && reader.tailLength == length;
    reader.tailPending = false;
    // Whether the end of the file ends the text for good, which finishes a
    // last hand that lacks only its closing line: at start-up, for a file
    // read for the last time, and once the file has not grown for a pass.
    const bool endIsFinal = !live || forgetAfter || tailSettled;
    reader.File.SetTextEnd(endIsFinal ? TextEnd::kComplete : TextEnd::kMayGrow);

    int added = 0;
    bool remembered = false;
    std::uint64_t lastHandStart = 0;
    for (;;) {
        if (pump_) pump_();
        const std::uint64_t before = reader.File.GetPosition();
        if (before >= textEnd) break;
        std::unique_ptr<CHand> hand = profile_.CreateHand(settings_.nickname, path);
        if (!hand) break;  // no parser for this room in this build
        const int result = hand->ReadHand(reader.File);
        const std::uint64_t after = reader.File.GetPosition();
        // A hand that reaches into a line still being written is not taken
        // (nor shown): the half-written line may hold a cut amount or card.
        if (after > textEnd) break;
        const bool complete = result == CHand::kParseOk && hand->potAwarded;

        if (complete && !endIsFinal && after == textEnd && !probe->LineBeforeIsBlank(after)) {
            // The hand ran into the end of the file rather than its end line:
            // its summary may still be coming. Hold it until the file has not
            // grown for a whole pass.
            reader.tailPending = true;
            reader.tailLength = length;
            if (!sink_.KnowsHand(hand->handNumber)) sink_.UpdateTable(*hand);
            break;
        }

        if (complete) {
            if (!sink_.KnowsHand(hand->handNumber) && Acceptable(*hand, walk)) {
                ++added;
                if (onHandAdded) onHandAdded(*hand);
                sink_.AddHand(std::move(hand), walk.pass);
            }
            reader.Remember(length, status.lastWrite, status.lastWriteNs);
            remembered = true;
            lastHandStart = before;
            if (profile_.OneHandPerFile()) {
                reader.Forget();
                return added;
            }
            if (after == before) break;  // a parser that read nothing would loop forever
            continue;
        }

        // Not complete: a hand still being played, a cut-off hand or a
        // malformed one. The remembered point stays before it.
        if (live && result != CHand::kParseRejected && hand->handNumber != 0 &&
            !sink_.KnowsHand(hand->handNumber)) {
            sink_.UpdateTable(*hand);
        }
        if (result == CHand::kNoHandStart) break;
        if (!endIsFinal && after == textEnd && result < 0 && result != CHand::kParseRejected) {
            // The hand ran into the end of the file, perhaps lacking only
            // its closing line: read it again, with the end taken as final,
            // once the file has not grown for a whole pass.
            reader.tailPending = true;
            reader.tailLength = length;
        }
        if (profile_.OneHandPerFile()) {
            // At start-up a one-hand file is read once; a live pass may have
            // met it half-written, so it is read again when it grows.
            if (!live) {
                reader.Forget();
                return added;
            }
            break;
        }
        if (after == before) break;
    }

    if (forgetAfter) {
        reader.Forget();
        return added;
    }
    // Unchanged text is not read again: the next pass looks at the file only
    // once it has changed (or a held hand is due).
    reader.MarkSeen(length, status.lastWrite, status.lastWriteNs);
    if (remembered) reader.TakeFingerprint(lastHandStart);
    reader.Close();
    return added;
}

std::uint64_t CLogLoader::TotalFileBytes() const {
    std::uint64_t total = 0;
    for (const auto& [path, reader] : readers_) {
        if (reader.SavedLength > 0) total += static_cast<std::uint64_t>(reader.SavedLength);
    }
    return total;
}

const LogFileReader* CLogLoader::FindReader(const std::string& path) const {
    auto it = readers_.find(path);
    return it == readers_.end() ? nullptr : &it->second;
}
