#pragma once
// Where the program keeps its files, and the lock that lets one copy run per
// program folder.
//
// The program folder holds "Seatwatch.ini", "Seatwatch_log.log", "Alerts.ini"
// (copied from the assets on first start, then the user's to edit), the
// program's own registry store, Temp/ and Temp2/. The assets folder is
// read-only: assets/ in the source tree for a build, <prefix>/share/seatwatch
// when installed.
#include <filesystem>
#include <string>

// The program folder: home when not empty, else $XDG_DATA_HOME/seatwatch,
// else ~/.local/share/seatwatch.
std::filesystem::path ResolveProgramFolder(const std::string& home);

// The assets folder for the running executable: $SEATWATCH_ASSETS when set,
// else share/seatwatch beside the executable's bin/ folder when it exists,
// else the source tree's assets/ folder the build was made from.
std::filesystem::path ResolveAssetsFolder();

// Creates the program folder when missing and copies "Alerts.ini" from the
// assets when the program folder has none. False (with a reason in `error`
// that reads after the folder's name: "cannot be created: ...", "is not a
// folder", "cannot be written: ...") when the folder cannot be created or
// written; a missing asset is not an error.
bool PrepareProgramFolder(const std::filesystem::path& folder, const std::filesystem::path& assets,
                          std::string& error);

// Holds an exclusive flock on "Seatwatch.lock" in the program folder for its
// lifetime. The kernel drops the lock when the process ends in any way, so a
// crash never keeps the next copy from starting.
class CInstanceLock {
  public:
    enum class State { kHeld, kHeldByOther, kFailed };

    // Tries to take the lock without waiting. The folder must exist.
    explicit CInstanceLock(const std::filesystem::path& folder);
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    State GetState() const { return state_; }
    // The system's reason when the state is kFailed.
    const std::string& Error() const { return error_; }

  private:
    int fd_ = -1;
    State state_ = State::kFailed;
    std::string error_;
};
