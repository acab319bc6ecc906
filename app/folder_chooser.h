#pragma once
// A folder chooser on the desk: a modal dialog that browses the host's
// folders and the drives of the Wine prefix. A folder is kept in the spelling
// the user knows it by: a host path ("/home/me/hh"), or a Windows path of the
// prefix ("C:\\Program Files\\PokerStars") when it was reached from a drive,
// so that a client's folder goes back into the settings as the client names
// it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/win_paths.h"

// Control ids of the chooser.
inline constexpr int kIdChooserPrompt = 3001;
inline constexpr int kIdChooserPlaces = 3002;
inline constexpr int kIdChooserFolder = 3003;
inline constexpr int kIdChooserUp = 3004;
inline constexpr int kIdChooserSubFolders = 3005;

// A starting point of the chooser.
struct FolderPlace {
    std::string label;   // as listed
    std::string folder;  // host path or drive root ("C:\\")
    bool operator==(const FolderPlace&) const = default;
};

// The home folder, the host's root and every mapped drive of the prefix
// (drive roots whose link leads to a folder), in that order.
std::vector<FolderPlace> FolderPlaces(const platform::WinPaths& paths);
// The index of the place that holds `folder` (the closest one), or -1.
int PlaceOf(const std::vector<FolderPlace>& places, std::string_view folder);
// The names of the folder's sub-folders, visible ones first, each group in
// order without regard to case; at most kMaxListedFolders. An unreadable or
// missing folder has none.
inline constexpr std::size_t kMaxListedFolders = 1000;
std::vector<std::string> SubFolders(std::string_view folder, const platform::WinPaths& paths);
// The folder above (a root stays itself), in the same spelling.
std::string ParentFolder(std::string_view folder);
// True when the folder (either spelling) exists.
bool FolderExistsOnHost(std::string_view folder, const platform::WinPaths& paths);

class CFolderChooser {
  public:
    // Borrows both; they must outlive the chooser.
    CFolderChooser(platform::Desktop& desktop, const platform::WinPaths& paths);

    // Shows the chooser titled `prompt`, starting at `start` (or the nearest
    // folder above it that exists, else the home folder). The chosen folder,
    // or nothing when the user cancelled or chose an empty field.
    std::optional<std::string> Choose(platform::WindowId owner, std::string_view prompt,
                                      std::string_view start);

  private:
    // Shows `folder` and its sub-folders in the open chooser.
    void Open(platform::WindowId dialog, const std::string& folder);
    // Lists the folder's sub-folders without touching the typed field.
    void ShowSubFolders(platform::WindowId dialog, const std::string& folder);

    platform::Desktop& desktop_;
    const platform::WinPaths& paths_;
    std::vector<FolderPlace> places_;
    std::string current_;
    std::vector<std::string> subFolders_;
};
