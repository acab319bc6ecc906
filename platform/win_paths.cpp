#include "platform/win_paths.h"

#include <cstdlib>
#include <vector>

#include "platform/log.h"
#include "platform/text_util.h"

namespace platform {

namespace fs = std::filesystem;

std::optional<fs::path> WinPaths::FindPrefix(std::string_view commandLinePrefix) {
    fs::path chosen;
    if (!commandLinePrefix.empty()) {
        chosen = fs::path(std::string(commandLinePrefix));
    } else if (const char* env = std::getenv("WINEPREFIX"); env != nullptr && *env != '\0') {
        chosen = env;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        chosen = fs::path(home) / ".wine";
    } else {
        Log::Write("Wine prefix: no prefix given and HOME is not set");
        return std::nullopt;
    }
    std::error_code ec;
    if (!fs::is_directory(chosen, ec)) {
        Log::Write("Wine prefix not found: " + chosen.string());
        return std::nullopt;
    }
    return chosen;
}

WinPaths::WinPaths(std::optional<fs::path> prefix) : prefix_(std::move(prefix)) {}

namespace {

// The entry of folder named like name without regard to case: the exact
// name when it exists, else the first match in the listing.
std::optional<fs::path> FindNoCase(const fs::path& folder, std::string_view name) {
    std::error_code ec;
    fs::path exact = folder / std::string(name);
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return std::nullopt;
        if (EqualsNoCase(it->path().filename().string(), name)) return it->path();
    }
    return std::nullopt;
}

}  // namespace

std::optional<fs::path> WinPaths::ToHost(std::string_view windowsPath) const {
    if (!prefix_) return std::nullopt;
    if (windowsPath.size() < 2 || windowsPath[1] != ':' ||
        windowsPath.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const char letter = FoldAscii(windowsPath[0]);
    if (letter < 'a' || letter > 'z') return std::nullopt;
    const std::string driveName{letter, ':'};
    const auto drive = FindNoCase(*prefix_ / "dosdevices", driveName);
    if (!drive) return std::nullopt;
    std::error_code ec;
    if (!fs::is_directory(*drive, ec)) {
        Log::Write("Wine prefix: drive " + driveName + " points nowhere: " + drive->string());
        return std::nullopt;
    }

    // Split the rest into components, resolving "." and ".." lexically.
    std::vector<std::string> parts;
    std::string_view rest = windowsPath.substr(2);
    while (!rest.empty()) {
        const std::size_t sep = rest.find_first_of("\\/");
        const std::string_view part = rest.substr(0, sep);
        rest = sep == std::string_view::npos ? std::string_view() : rest.substr(sep + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.emplace_back(part);
    }

    fs::path host = *drive;
    bool exists = true;
    for (const std::string& part : parts) {
        if (exists) {
            if (auto found = FindNoCase(host, part)) {
                host = *found;
                continue;
            }
            exists = false;
        }
        host /= part;
    }
    return host;
}

std::optional<std::string> WinPaths::ToWindows(const fs::path& hostPath) const {
    if (!prefix_) return std::nullopt;
    std::error_code ec;
    const fs::path target = fs::weakly_canonical(hostPath, ec);
    if (ec) return std::nullopt;
    fs::directory_iterator it(*prefix_ / "dosdevices", ec);
    if (ec) return std::nullopt;
    std::optional<std::string> best;
    std::size_t bestLength = 0;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const std::string name = it->path().filename().string();
        if (name.size() != 2 || name[1] != ':') continue;
        const fs::path root = fs::canonical(it->path(), ec);
        if (ec) {
            ec.clear();
            continue;
        }
        const std::string rootText = root.string();
        const std::string targetText = target.string();
        const bool inside = targetText == rootText ||
                            (targetText.starts_with(rootText) &&
                             (rootText.back() == '/' || targetText[rootText.size()] == '/'));
        if (!inside || (best && rootText.size() <= bestLength)) continue;
        std::string rest = targetText.substr(rootText.size());
        for (char& c : rest) {
            if (c == '/') c = '\\';
        }
        if (rest.empty() || rest.front() != '\\') rest.insert(rest.begin(), '\\');
        const char letter =
            static_cast<char>(name[0] >= 'a' && name[0] <= 'z' ? name[0] - 'a' + 'A' : name[0]);
        best = std::string{letter, ':'} + rest;
        bestLength = rootText.size();
    }
    return best;
}

}  // namespace platform
