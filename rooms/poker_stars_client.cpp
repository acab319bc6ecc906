#include "rooms/poker_stars_client.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/text_util.h"

namespace rooms {

namespace {

namespace fs = std::filesystem;
using platform::RegRoot;

// The international client and the regional clients that share its
// software and its history format.
constexpr std::array<std::string_view, 11> kClientNames{
    "PokerStars",    "PokerStars.EU",  "PokerStars.UK",   "PokerStars.FR",
    "PokerStars.IT", "PokerStars.ES",  "PokerStars.PT",   "PokerStars.DK",
    "PokerStars.SE", "PokerStars.NET", "PokerStars.USNJ",
};

constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool IsFolder(const platform::WinPaths& paths, std::string_view windowsFolder) {
    const auto host = paths.ToHost(windowsFolder);
    std::error_code ec;
    return host && fs::is_directory(*host, ec);
}

std::string Joined(std::string_view a, std::string_view b) {
    std::string s(a);
    s += '\\';
    s += b;
    return s;
}

}  // namespace

std::span<const std::string_view> PokerStarsClientNames() { return kClientNames; }

std::vector<std::string> PokerStarsUninstallKeys(std::string_view clientName) {
    return {
        Joined("SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall", clientName),
        Joined("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", clientName)};
}

std::vector<std::string> PokerStarsInstallFolders(std::string_view clientName) {
    return {Joined("C:\\Program Files (x86)", clientName), Joined("C:\\Program Files", clientName)};
}

std::optional<std::string> LocalAppDataFolder(const platform::Registry& registry,
                                              const platform::WinPaths& paths) {
    if (auto shell = registry.QueryString(RegRoot::kCurrentUser, kShellFolders, "Local AppData")) {
        std::string folder(platform::TrimSpace(*shell));
        while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        if (IsFolder(paths, folder)) return folder;
    }
    // Wine makes one profile folder per user under C:\users; the user
    // running the program is the likely one, then the others by name.
    const auto users = paths.ToHost("C:\\users");
    std::error_code ec;
    if (!users || !fs::is_directory(*users, ec)) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(*users, ec)) {
        std::error_code typeError;
        if (!entry.is_directory(typeError)) continue;
        std::string name = entry.path().filename().string();
        if (platform::EqualsNoCase(name, "Public")) continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    if (const char* self = std::getenv("USER"); self != nullptr) {
        auto mine = std::find(names.begin(), names.end(), std::string(self));
        if (mine != names.end()) std::rotate(names.begin(), mine, mine + 1);
    }
    for (const std::string& name : names) {
        for (std::string_view layout : {"AppData\\Local", "Local Settings\\Application Data"}) {
            std::string folder = Joined(Joined("C:\\users", name), layout);
            if (IsFolder(paths, folder)) return folder;
        }
    }
    return std::nullopt;
}

std::vector<std::string> PokerStarsSettingsFolders(const platform::Registry& registry,
                                                   const platform::WinPaths& paths) {
    std::vector<std::string> folders;
    const auto local = LocalAppDataFolder(registry, paths);
    if (!local) return folders;
    for (std::string_view name : kClientNames) {
        std::string folder = Joined(*local, name);
        if (IsFolder(paths, folder)) folders.push_back(std::move(folder));
    }
    return folders;
}

std::string NicknameFromAccountFolder(const fs::path& accountFolder) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(accountFolder, ec)) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError)) files.push_back(entry.path());
    }
    if (files.empty()) return {};
    std::sort(files.begin(), files.end());
    std::ifstream in(files.front(), std::ios::binary);
    std::string head(4095, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    constexpr std::string_view kDealtTo = "Dealt to ";
    const std::size_t at = head.find(kDealtTo);
    if (at == std::string::npos) return {};
    std::string_view rest = std::string_view(head).substr(at + kDealtTo.size(), 100);
    const std::size_t cards = rest.find(" [");
    if (cards != std::string_view::npos) rest = rest.substr(0, cards);
    // A line cut off before its cards ends the name at the line end.
    const std::size_t end = rest.find_first_of("\r\n");
    if (end != std::string_view::npos) rest = rest.substr(0, end);
    return std::string(rest);
}

}  // namespace rooms
