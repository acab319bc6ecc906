#pragma once
// The rules of the room selection, apart from any window: what the dialog
// shows when a room or a game type is chosen (the stored settings, the
// client's own hand-history folder, the nicknames found in the histories),
// the checks made when the user confirms, the adjustments made to the
// confirmed choice and the theme warning for PokerStars. The dialog in app/
// only moves these values in and out of its controls.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/win_paths.h"
#include "rooms/client_detector.h"
#include "rooms/poker_room_profile.h"
#include "rooms/room_catalogue.h"

namespace rooms {

// The game types in the order the dialog lists them.
inline constexpr std::string_view kRealMoneyText = "Real Money";
inline constexpr std::string_view kPlayMoneyText = "Play Money";
inline constexpr std::string_view kPokerRoomsSection = "Poker Rooms";
inline constexpr std::string_view kActiveRoomKey = "Active Room";

std::string_view GameTypeText(MoneyMode money);
// "Play Money" (without regard to case) is play money; anything else real.
MoneyMode GameTypeFromText(std::string_view text);
// The game type's place in the dialog's list (0 real, 1 play) and back.
int GameTypeIndex(MoneyMode money);
MoneyMode GameTypeAt(int index);

// A room's four settings in section "Poker Rooms".
struct RoomSettings {
    std::string loggingFolder;
    std::string historicalFolder;
    std::string nickname;
    MoneyMode money = MoneyMode::kReal;
    bool operator==(const RoomSettings&) const = default;
};

// The last chosen room; empty when none was stored.
std::string ReadActiveRoom(const platform::Profile& settings);
RoomSettings ReadRoomSettings(const platform::Profile& settings, std::string_view room);
// Stores "Active Room" and the room's four settings; false when one of them
// could not be written.
bool StoreRoomChoice(platform::Profile& settings, std::string_view room,
                     const RoomSettings& choice);

// The settings sections that map account folders to nicknames ("Mangled")
// and nicknames back to folders for the room and game type.
struct NicknameSections {
    std::string nicknames;
    std::string mangled;
};
NicknameSections NicknameSectionsFor(const RoomInfo& room, MoneyMode money);

// Whether the nicknames of a room come from its account folders (the dialog
// offers them in a list) or are typed by the user.
enum class NicknameSource { kTyped, kAccountFolders };
NicknameSource NicknameSourceFor(const RoomInfo& room, MoneyMode money);
// Whether the user must have played at the room before it can be chosen: the
// list of found nicknames may not be empty.
bool NeedsPlayedHands(const RoomInfo& room, MoneyMode money);

// The text after `marker` (compared without regard to case when asked) in
// the first `limit` bytes of `head`: at most 100 bytes, cut before " [" and
// at the line end. Empty when the marker is absent.
enum class MarkerCase { kExact, kIgnoreCase };
std::string NicknameAfterMarker(std::string_view head, std::string_view marker, MarkerCase mode);

// The host folder a folder field names: a Windows path is mapped through the
// Wine prefix, a host path is taken as it is. Nothing for an empty field or
// a Windows path off the prefix's drives.
std::optional<std::filesystem::path> HostFolderOf(std::string_view folder,
                                                  const platform::WinPaths& paths);
// `folder` followed by the separator its spelling uses and `name`.
std::string JoinFolder(std::string_view folder, std::string_view name);

// What the dialog shows for a room and game type.
struct RoomView {
    const RoomInfo* room = nullptr;  // nullptr: no room selected
    MoneyMode money = MoneyMode::kReal;
    std::string setupPage;  // the help pane's page, with its leading "\"
    std::string loggingFolder;
    std::string historicalFolder;
    std::string nickname;
    std::vector<std::string> nicknames;  // found in the account folders
    NicknameSource source = NicknameSource::kTyped;
    // True when the logging folder follows from the chosen account and is
    // not edited by hand (PartyPoker play money).
    bool loggingFolderFromAccount = false;
    // PartyPoker play money: the client's hand-history folder, which holds
    // one folder per account.
    std::string accountsFolder;
};

// The outcome of confirming the dialog.
struct ConfirmResult {
    std::string message;  // non-empty: shown, and the dialog stays open
    std::string warning;  // non-empty: shown, and the dialog closes all the same
    RoomSettings stored;  // what was stored under the room's keys
    int roomId = 0;
};

// The room selection's rules over the settings, the installed clients and
// the Wine prefix. Everything is borrowed and must outlive the object; the
// registry (for today's PokerStars settings folders) may be null.
class CRoomSelectionRules {
  public:
    CRoomSelectionRules(platform::Profile& settings, const CClientDetector& detector,
                        const platform::Registry* registry, const platform::WinPaths& paths);

    // The view after choosing `roomName` (empty or unknown: no room). With
    // `money` given (the user changed the game type) that game type is kept;
    // without it the room's stored game type is selected. The stored
    // folders are shown, the logging folder falling back to the client's own
    // hand-history folder; the nicknames are looked for as the room's family
    // keeps them, and the stored nickname is selected (the only one found
    // when none is stored).
    RoomView ChangeRoom(std::string_view roomName, std::optional<MoneyMode> money) const;
    // The nicknames found for the room in the folder (PokerStars and the
    // InterPoker family: the logging folder; PartyPoker play money: the
    // client's hand-history folder); newly found ones are added to the
    // nickname sections. Unreadable folders and files are skipped.
    std::vector<std::string> DetectNicknames(const RoomInfo& room, MoneyMode money,
                                             std::string_view folder) const;
    // The logging folder for an account picked in the list (PartyPoker play
    // money): the accounts folder followed by the name, or the accounts
    // folder itself for a name that is not a plain folder name; otherwise
    // the view's folder unchanged.
    std::string LoggingFolderForAccount(const RoomView& view, std::string_view nickname) const;

    // Checks the choice in the order the user sees the messages; on success
    // adjusts it, stores it with the active room and gives the room id.
    ConfirmResult Confirm(const RoomView& view) const;

    // The PokerStars client's theme as its "User.ini" names it; empty when
    // the client has none.
    std::string PokerStarsTheme() const;

  private:
    std::vector<std::string> PokerStarsNicknames(const std::filesystem::path& folder,
                                                 const NicknameSections& sections) const;
    std::vector<std::string> InterPokerNicknames(const std::filesystem::path& folder,
                                                 MoneyMode money,
                                                 const NicknameSections& sections) const;

    platform::Profile& settings_;
    const CClientDetector& detector_;
    const platform::Registry* registry_;
    const platform::WinPaths& paths_;
};

// The theme name in a "themes"/"0" entry: the text before the first ";",
// without a Windows folder in front of it, trimmed.
std::string ThemeFromEntry(std::string_view entry);
// Whether the card reader knows the theme: its display name or the name the
// client stores, compared without regard to case, blanks, hyphens and a
// trailing "Theme".
bool IsSupportedTheme(std::string_view theme);
// The warning for an unsupported theme, listing the supported ones.
std::string ThemeWarningText(std::string_view theme);

// The validation messages, filled in.
std::string NoRoomMessage();
std::string NoHandsPlayedMessage(std::string_view gameType, std::string_view room);
std::string NoNicknameMessage(std::string_view room);
std::string NoLoggingFolderMessage(std::string_view room);

}  // namespace rooms
