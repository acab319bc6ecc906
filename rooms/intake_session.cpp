#include "rooms/intake_session.h"

#include <stdexcept>

#include "platform/heap_pages.h"
#include "platform/ini_document.h"
#include "platform/profile.h"

namespace {

// Sets a flag for the life of a scope, so that a step that throws does not
// leave it set.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

}  // namespace

CIntakeSession::CIntakeSession(platform::Profile& settings, const CHandReference& reference,
                               const platform::Clock& clock, IntakeSessionSettings start)
    : start_(std::move(start)), clock_(clock) {
    RoomProfileOptions profileOptions;
    profileOptions.money = start_.money;
    profileOptions.logFolder = start_.loggingFolder;
    profileOptions.nickname = start_.nickname;
    profileOptions.now = clock_.UnixSeconds();
    // "TimeZone" is an hour more than a zone's offset from UTC (-11 to 15),
    // or -100 for the computer's own zone; a damaged entry reads as -100.
    const auto zone = platform::ParseWholeNumber(settings.GetString("Config", "TimeZone"));
    profileOptions.partyTimeZone = zone && *zone >= -11 && *zone <= 15 ? *zone : -100;
    profile_ = CreateRoomProfile(start_.roomId, profileOptions);
    if (!profile_) {
        throw std::invalid_argument("room " + std::to_string(start_.roomId) +
                                    " has no hand-history profile");
    }

    analyzer_ = std::make_unique<CHandAnalyzer>(settings, reference, clock_);
    analyzer_->SetMessagePump([this] { Pump(); });
    sink_ = std::make_unique<CAnalyzerHandSink>(*analyzer_);

    LogLoaderSettings loaderSettings;
    loaderSettings.nickname = start_.nickname;
    loaderSettings.money = start_.money;
    loaderSettings.installDate = start_.installDate;
    loaderSettings.extendedHistory = analyzer_->ExtendedHistory();
    loader_ = std::make_unique<CLogLoader>(*profile_, *sink_, loaderSettings, clock_);
    loader_->SetMessagePump([this] { Pump(); });
}

void CIntakeSession::SetLoadProgress(std::function<void(const LogLoadProgress&)> progress) {
    loader_->refreshStatus = std::move(progress);
}

void CIntakeSession::SetHandAdded(std::function<void(const CHand&)> added) {
    loader_->onHandAdded = std::move(added);
}

void CIntakeSession::Pump() {
    // The first loading builds the whole hand database: the heap it grows
    // is marked for huge pages as it goes (a comparison while it has not
    // grown). The loader and the analyzer's fold call this often enough.
    if (adviseHugePages_) platform::HeapHugePages::Advise();
    if (pump_) pump_();
}

IntakeStepResult CIntakeSession::FirstLoading() {
    IntakeStepResult result;
    if (busy_) {
        result.outcome = IntakeOutcome::kBusy;
        return result;
    }
    if (loaded_) {
        result.outcome = IntakeOutcome::kOutOfTurn;
        return result;
    }
    const FlagScope busy(busy_);
    loaded_ = true;
    const std::int64_t startMs = clock_.MonotonicMs();

    CHandAnalyzer::StartValues values;
    values.roomId = start_.roomId;
    values.installationDate = start_.installDate;
    values.sessionStart = clock_.UnixSeconds();
    values.loggingFolder = start_.loggingFolder;
    if (!start_.historicalFolders.empty()) values.historicalFolder = start_.historicalFolders[0];
    values.outputFolder = start_.outputFolder;
    values.userName = start_.nickname;
    values.realMoney = start_.money == MoneyMode::kReal;
    analyzer_->Initialise(values);

    platform::HeapHugePages::Enable();
    {
        const FlagScope advise(adviseHugePages_);
        auto load = [&](FolderKind kind, const std::string& folder) {
            loader_->LoadFolder(LoadPass::kFirstLoading, kind, folder);
            result.handsAdded += loader_->LastPass().handsAdded;
            result.filesRead += loader_->LastPass().filesRead;
        };
        load(FolderKind::kLogging, start_.loggingFolder);
        // Historical folders are read only here; live passes watch the
        // logging folder alone.
        for (const std::string& folder : start_.historicalFolders) {
            if (!folder.empty() && folder != start_.loggingFolder) {
                load(FolderKind::kHistorical, folder);
            }
        }
    }

    const std::int64_t endMs = clock_.MonotonicMs();
    result.durationMs = endMs - startMs;
    loadDurationMs_ = result.durationMs;
    lastPassEndMs_ = endMs;
    live_ = true;
    return result;
}

std::int64_t CIntakeSession::MsUntilNextPass() const {
    const std::int64_t waited = clock_.MonotonicMs() - lastPassEndMs_;
    return waited >= kPassIntervalMs ? 0 : kPassIntervalMs - waited;
}

IntakeStepResult CIntakeSession::LivePass() {
    IntakeStepResult result;
    if (busy_) {
        result.outcome = IntakeOutcome::kBusy;
        return result;
    }
    if (!live_) {
        result.outcome = IntakeOutcome::kOutOfTurn;
        return result;
    }
    if (MsUntilNextPass() > 0) {
        result.outcome = IntakeOutcome::kTooSoon;
        return result;
    }
    const FlagScope busy(busy_);
    const std::int64_t startMs = clock_.MonotonicMs();
    profile_->RefreshLogs({});
    loader_->LoadFolder(LoadPass::kLive, FolderKind::kLogging, start_.loggingFolder);
    result.handsAdded = loader_->LastPass().handsAdded;
    result.filesRead = loader_->LastPass().filesRead;
    const std::int64_t endMs = clock_.MonotonicMs();
    result.durationMs = endMs - startMs;
    if (result.handsAdded > 0) passDurationMs_ = result.durationMs;
    lastPassEndMs_ = endMs;
    return result;
}
