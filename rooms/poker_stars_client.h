#pragma once
// Where today's PokerStars client lives in a Wine prefix: the names it and
// its regional clients install under, their uninstall entries and install
// folders, and the settings folder each keeps in the user's local
// application data (user.ini, and HandHistory with one sub-folder per
// account). Also the nickname of such an account folder. Everything is read
// from the prefix; what cannot be read is simply not found.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/win_paths.h"

namespace rooms {

// The client names, the international client first, then the regional ones
// ("PokerStars.EU", "PokerStars.FR", ...). Each is the name of its install
// folder, of its uninstall entry and of its settings folder.
std::span<const std::string_view> PokerStarsClientNames();

// The uninstall entries a client of this name may have: the 32-bit view of
// a 64-bit prefix ("SOFTWARE\Wow6432Node\...") first, then the plain one.
std::vector<std::string> PokerStarsUninstallKeys(std::string_view clientName);

// The install folders a client of this name uses when its uninstall entry
// names none: under "C:\Program Files (x86)" first, then "C:\Program Files".
std::vector<std::string> PokerStarsInstallFolders(std::string_view clientName);

// The current user's local application data folder as a Windows path: the
// "Local AppData" shell folder of the prefix's user registry, else the
// folder Wine creates for a user ("C:\users\NAME\AppData\Local", or
// "C:\users\NAME\Local Settings\Application Data" in older prefixes), the
// user named by $USER first. Nothing when none exists.
std::optional<std::string> LocalAppDataFolder(const platform::Registry& registry,
                                              const platform::WinPaths& paths);

// The settings folders of today's clients that exist in the prefix
// ("<local app data>\PokerStars", "<local app data>\PokerStars.EU", ...), as
// Windows paths in the order of PokerStarsClientNames().
std::vector<std::string> PokerStarsSettingsFolders(const platform::Registry& registry,
                                                   const platform::WinPaths& paths);

// The nickname of an account folder (a host path) of the hand-history
// folder: the name after "Dealt to " on the first such line within the
// first 4095 bytes of the folder's first file in name order, at most 100
// bytes, cut before " [". Empty when that file has none or cannot be read.
std::string NicknameFromAccountFolder(const std::filesystem::path& accountFolder);

}  // namespace rooms
