#pragma once
// CIntakeSession: the hand intake of one session. It owns the room profile,
// the hand analyzer and the log loader that feeds the analyzer, and runs the
// two steps of the intake cycle: the first loading (the logging folder, then
// once the historical folder) and live passes over the logging folder.
//
// A live pass runs only after the first loading has finished, never inside
// another step (a step asked for from the message pump is refused as busy),
// and no sooner than two seconds after the previous pass ended. Each step
// says what it found. Everything runs on the caller's thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/hand_analyzer.h"
#include "platform/clock.h"
#include "rooms/analyzer_hand_sink.h"
#include "rooms/log_loader.h"
#include "rooms/poker_room_profile.h"

class CHandReference;
namespace platform {
class Profile;
}  // namespace platform

// What a session is started with.
struct IntakeSessionSettings {
    int roomId = 0;                      // 100 to 121, a room with a profile
    std::string nickname;                // the user's screen name at the room
    MoneyMode money = MoneyMode::kReal;  // the session's money mode
    std::string loggingFolder;           // host path; read first, then watched
    // Host paths read once by the first loading, after the logging folder
    // (the program has one at most); empty ones and the logging folder are
    // skipped.
    std::vector<std::string> historicalFolders;
    std::string outputFolder;      // where the analyzer's pages go
    std::int64_t installDate = 0;  // seconds since 1970; 0 puts no limit on file ages
};

// How a step request ended.
enum class IntakeOutcome {
    kRan,        // the step ran; the counts say what it found
    kBusy,       // another step is running (a request from the message pump)
    kTooSoon,    // less than two seconds since the last live pass ended
    kOutOfTurn,  // a live pass before the first loading, or a second first loading
};

// What one step found.
struct IntakeStepResult {
    IntakeOutcome outcome = IntakeOutcome::kRan;
    int handsAdded = 0;  // hands stored by the step
    int filesRead = 0;   // history files whose new text the step read
    std::int64_t durationMs = 0;
};

class CIntakeSession {
  public:
    // The spacing of live passes, from the end of one to the start of the next.
    static constexpr std::int64_t kPassIntervalMs = 2000;

    // Creates the room's profile and the analyzer. `settings` (the program's
    // settings file), `reference` and `clock` are borrowed and must outlive
    // the session. Throws std::invalid_argument for a room without a profile.
    CIntakeSession(platform::Profile& settings, const CHandReference& reference,
                   const platform::Clock& clock, IntakeSessionSettings start);
    CIntakeSession(const CIntakeSession&) = delete;
    CIntakeSession& operator=(const CIntakeSession&) = delete;

    // The one message pump of the intake, called before each hand read and
    // during the analyzer's long walks; empty for none.
    void SetMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }
    // Called when the status page is due: now and then during the first
    // loading, and after each file that brought hands during a live pass.
    void SetLoadProgress(std::function<void(const LogLoadProgress&)> progress);
    // Called with each hand a step adds, before the analyzer takes it.
    void SetHandAdded(std::function<void(const CHand&)> added);

    // Initialises the analyzer, then loads the logging folder and the
    // historical folders, with the heap on huge pages. Refused (kOutOfTurn)
    // after the first time.
    IntakeStepResult FirstLoading();
    // One live pass over the logging folder, when it is due.
    IntakeStepResult LivePass();
    // Milliseconds until a live pass is due (0 when it is).
    std::int64_t MsUntilNextPass() const;

    // Whether the first loading has finished.
    bool IsLive() const { return live_; }
    // Hands added by live passes since the first loading (or the last reset).
    int NewHands() const { return loader_->NewHands(); }
    void ResetNewHands() { loader_->ResetNewHands(); }
    // History files met so far, and their total length when last seen.
    int FileCount() const { return loader_->FileCount(); }
    std::uint64_t TotalFileBytes() const { return loader_->TotalFileBytes(); }
    // How long the first loading took; how long the last live pass that
    // added hands took.
    std::int64_t LoadDurationMs() const { return loadDurationMs_; }
    std::int64_t PassDurationMs() const { return passDurationMs_; }

    const IntakeSessionSettings& Settings() const { return start_; }
    CHandAnalyzer& Analyzer() { return *analyzer_; }
    const CHandAnalyzer& Analyzer() const { return *analyzer_; }
    CPokerRoomProfile& RoomProfile() { return *profile_; }
    const CLogLoader& Loader() const { return *loader_; }

  private:
    // The pump the loader and the analyzer call.
    void Pump();

    IntakeSessionSettings start_;
    const platform::Clock& clock_;
    std::unique_ptr<CPokerRoomProfile> profile_;
    std::unique_ptr<CHandAnalyzer> analyzer_;
    std::unique_ptr<CAnalyzerHandSink> sink_;
    std::unique_ptr<CLogLoader> loader_;
    std::function<void()> pump_;
    bool busy_ = false;
    bool loaded_ = false;  // the first loading has started
    bool live_ = false;
    bool adviseHugePages_ = false;
    std::int64_t lastPassEndMs_ = 0;
    std::int64_t loadDurationMs_ = 0;
    std::int64_t passDurationMs_ = 0;
};
