#include "app/program_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#ifndef SEATWATCH_SOURCE_ASSETS
#define SEATWATCH_SOURCE_ASSETS ""
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockFileName = "Seatwatch.lock";
constexpr const char* kAlertsFileName = "Alerts.ini";

}  // namespace

fs::path ResolveProgramFolder(const std::string& home) {
    if (!home.empty()) return fs::path(home);
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        return fs::path(data) / "seatwatch";
    }
    const char* userHome = std::getenv("HOME");
    return fs::path(userHome && *userHome ? userHome : ".") / ".local" / "share" / "seatwatch";
}

fs::path ResolveAssetsFolder() {
    if (const char* assets = std::getenv("SEATWATCH_ASSETS"); assets && *assets) {
        return fs::path(assets);
    }
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = self.parent_path().parent_path() / "share" / "seatwatch";
        if (fs::is_directory(installed, ec)) return installed;
    }
    return fs::path(SEATWATCH_SOURCE_ASSETS);
}

bool PrepareProgramFolder(const fs::path& folder, const fs::path& assets, std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        error = "cannot be created: " + ec.message();
        return false;
    }
    if (!fs::is_directory(folder, ec)) {
        error = "is not a folder";
        return false;
    }
    // The settings, the log, the lock and the generated pages all live
    // here: a folder the program cannot write to (its permissions, a
    // read-only mount) would make every one of them fail later, each with a
    // message that hides the cause.
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        error = std::string("cannot be written: ") + std::strerror(errno);
        return false;
    }
    const fs::path alerts = folder / kAlertsFileName;
    if (!fs::exists(alerts, ec) && !assets.empty()) {
        // A failed copy leaves the analyzer on its built-in ranges; the user
        // can still copy the file by hand, so it does not stop the start.
        fs::copy_file(assets / kAlertsFileName, alerts, ec);
    }
    return true;
}

CInstanceLock::CInstanceLock(const fs::path& folder) {
    const fs::path path = folder / kLockFileName;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::kHeld;
    } else if (errno == EWOULDBLOCK) {
        state_ = State::kHeldByOther;
    } else {
        error_ = std::strerror(errno);
    }
}

CInstanceLock::~CInstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}
