#include "app/room_selection.h"

#include <algorithm>
#include <filesystem>

#include "platform/text_util.h"
#include "rooms/room_catalogue.h"

namespace {

bool LooksLikeWindowsPath(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

// The room named `name`, compared without regard to case and blanks
// ("pokerstars" finds "PokerStars").
const rooms::RoomInfo* ResolveRoom(std::string_view name) { return rooms::FindRoomLoosely(name); }

// The host folder of `folder` (a host path or a Windows path), or an error.
bool HostFolder(const std::string& folder, const platform::WinPaths& paths, std::string& host,
                std::string& error) {
    host = folder;
    if (LooksLikeWindowsPath(folder)) {
        const auto mapped = paths.ToHost(folder);
        if (!mapped) {
            error = "The folder '" + folder + "' is not on a drive of the Wine prefix.";
            return false;
        }
        host = mapped->string();
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(host, ec)) {
        error = "The folder '" + folder + "' does not exist.";
        return false;
    }
    // The session keeps the absolute path, whatever folder it was started from.
    host = std::filesystem::absolute(host, ec).lexically_normal().string();
    if (!host.empty() && host.back() == '/') host.pop_back();
    return true;
}

}  // namespace

bool RoomOptionsReplaceDetection(const CommandLineOptions& options) {
    return !options.room.empty() && !options.logFolder.empty();
}

RoomSelectionResult SelectRoomFromOptions(const CommandLineOptions& options,
                                          const std::vector<std::string>& detected,
                                          const rooms::CClientDetector* detector,
                                          const platform::WinPaths& paths) {
    RoomSelectionResult result;
    if (options.room.empty()) return result;
    const rooms::RoomInfo* room = ResolveRoom(options.room);
    if (room == nullptr || room->family == rooms::RoomFamily::kNone) {
        result.error = "The room '" + options.room + "' is not a supported poker room.";
        return result;
    }
    const bool wasDetected =
        std::find(detected.begin(), detected.end(), room->name) != detected.end();
    if (options.logFolder.empty() && !wasDetected) {
        result.error = "The room '" + std::string(room->name) +
                       "' was not detected; give its hand-history folder with --log-folder.";
        return result;
    }
    RoomChoice choice;
    choice.roomId = room->id;
    choice.money = options.money.value_or(MoneyMode::kReal);
    choice.nickname = options.nickname;
    std::string folder = options.logFolder;
    if (folder.empty() && detector != nullptr) detector->GetDefaultLogFolder(room->name, folder);
    // In play money an empty logging folder is allowed: start-up puts it in
    // the program folder.
    if (!folder.empty() || choice.money == MoneyMode::kReal) {
        if (folder.empty()) {
            result.error = "No hand-history folder is known for " + std::string(room->name) +
                           "; give it with --log-folder.";
            return result;
        }
        if (!HostFolder(folder, paths, choice.loggingFolder, result.error)) return result;
    }
    if (!options.historicalFolder.empty() &&
        !HostFolder(options.historicalFolder, paths, choice.historicalFolder, result.error)) {
        return result;
    }
    result.choice = std::move(choice);
    return result;
}
