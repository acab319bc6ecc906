#pragma once
// Detection of the installed poker clients and the answers that depend on a
// client's installation: its folder, the folder it writes hand histories to,
// and whether it shows a four-colour deck. Everything is read from the Wine
// prefix's registry, its drive mappings and the clients' own INI files;
// nothing here reports an error: keys, values and files that cannot be read
// fall back to the catalogue's defaults.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/win_paths.h"
#include "rooms/room_catalogue.h"

namespace rooms {

class CClientDetector {
  public:
    // Borrows the registry, the path mapping and (optionally, may be null)
    // the program's settings; all three must outlive the detector.
    CClientDetector(const platform::Registry& registry, const platform::WinPaths& paths,
                    const platform::Profile* settings);

    // Clears `names`, then appends the display name of every detected room in
    // catalogue order (a PokerStars found only through its "Poker Stars"
    // uninstall entry comes last). Eurobet is never listed. Returns the count.
    int DetectClients(std::vector<std::string>& names) const;
    // The client's installation folder as a Windows path. False (folder
    // unspecified) for an unknown room name or when the rules find no folder.
    bool GetInstallFolder(std::string_view roomName, std::string& folder) const;
    // The folder the client writes hand histories to, as a Windows path, to
    // pre-fill the room choice. True with an empty folder for the TruePoker
    // family; false for an unknown name or a PartyPoker-family room without
    // an installation folder.
    bool GetDefaultLogFolder(std::string_view roomName, std::string& folder) const;
    // Whether the client is set to show a four-colour deck.
    bool UsesFourColourDeck(std::string_view roomName) const;

    // True when the Windows folder exists under the prefix.
    bool FolderExists(std::string_view windowsFolder) const;

  private:
    std::optional<std::string> String(platform::RegRoot root, std::string_view key,
                                      std::string_view name) const;
    // Reads an entry of an INI file given by its Windows path; empty when absent.
    std::string IniString(std::string_view windowsFile, std::string_view section,
                          std::string_view key) const;
    bool PartyFamilyInstallFolder(const RoomInfo& room, std::string& folder) const;
    // Today's PokerStars clients: whether one is installed or has left its
    // settings folder; the first install folder found; the hand-history
    // folder of the first settings folder that names or holds one (empty
    // when none does).
    bool TodaysPokerStarsPresent() const;
    std::optional<std::string> TodaysPokerStarsInstallFolder() const;
    std::string TodaysPokerStarsLogFolder() const;

    const platform::Registry& registry_;
    const platform::WinPaths& paths_;
    const platform::Profile* settings_;
};

// The folder part of an uninstall command line: up to and including
// `folderName` (compared without regard to case), else the text before the
// markers "tmpupgrade" or "ungins", without the separator in front. A leading
// double quote is dropped. Nothing when none of them occurs.
std::optional<std::string> FolderFromUninstallString(std::string_view command,
                                                     std::string_view folderName);

}  // namespace rooms
