#pragma once
// CDlgSelectClient: the room selection dialog. At every start the user
// confirms the room to watch, its game type, the nickname and the folders of
// the client's hand histories. The dialog is a desk dialog run modally
// through Desktop::RunDialog; what it shows and checks comes from
// rooms::CRoomSelectionRules, and its folder buttons open a CFolderChooser.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/room_selection.h"
#include "platform/desktop.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/win_paths.h"
#include "rooms/client_detector.h"
#include "rooms/room_selection_rules.h"

// Control ids of the dialog.
inline constexpr int kIdRoomList = 1077;
inline constexpr int kIdGameType = 1105;
inline constexpr int kIdLogFolder = 1078;
inline constexpr int kIdLogFolderBrowse = 1080;
inline constexpr int kIdNicknameList = 1086;
inline constexpr int kIdNicknameEdit = 1081;
inline constexpr int kIdNicknameNote = 1085;
inline constexpr int kIdHistoricalFolder = 1079;
inline constexpr int kIdHistoricalFolderBrowse = 1082;
inline constexpr int kIdHelpPane = 1067;

// What the dialog works with; everything is borrowed and outlives it.
struct SelectClientEnvironment {
    platform::Desktop* desktop = nullptr;
    platform::Profile* settings = nullptr;
    const rooms::CClientDetector* detector = nullptr;
    const platform::Registry* registry = nullptr;  // may be null
    const platform::WinPaths* paths = nullptr;
    platform::WindowId owner = platform::kNoWindow;
};

class CDlgSelectClient {
  public:
    explicit CDlgSelectClient(SelectClientEnvironment env);

    // The detected rooms, offered in this order.
    void SetRooms(std::vector<std::string> names) { roomNames_ = std::move(names); }
    // Shows the dialog until the user confirms a valid choice (kIdOk, the
    // choice stored in the settings) or cancels (kIdCancel).
    int DoModal();

    // The confirmed choice (after kIdOk).
    const std::string& RoomName() const { return roomName_; }
    int RoomId() const { return roomId_; }
    bool RealMoney() const { return stored_.money == MoneyMode::kReal; }
    const std::string& Nickname() const { return stored_.nickname; }
    const std::string& LoggingFolder() const { return stored_.loggingFolder; }
    const std::string& HistoricalFolder() const { return stored_.historicalFolder; }
    // The choice as start-up takes it, with the folders as host paths; no
    // choice after a cancel.
    RoomSelectionResult Result() const;

    // The dialog's controls as first shown (before any room is chosen).
    static platform::DialogDescription Describe();
    // The controls as they were when the dialog last ended.
    const std::vector<platform::Control>& ControlsAtEnd() const { return controlsAtEnd_; }

  private:
    bool OnCommand(const platform::Command& command);
    // Runs the room change for the selected room (keeping the game type
    // when the user changed it) and shows the result.
    void ChangeRoom(platform::WindowId dialog, std::optional<MoneyMode> money);
    void ShowView(platform::WindowId dialog);
    void Browse(platform::WindowId dialog, int field);
    // Checks the view and, when it is complete, ends the dialog with OK.
    void Confirm(platform::WindowId dialog);
    // Checks the view and takes it as the result; false (after the message)
    // when something is missing.
    bool ConfirmView(platform::WindowId messageOwner);
    // Reads the edited fields into the view, from the open dialog or from
    // the controls it ended with.
    using ControlLookup = std::function<std::optional<platform::Control>(int)>;
    void ReadFields(platform::WindowId dialog);
    void ReadFields(const ControlLookup& control);

    SelectClientEnvironment env_;
    rooms::CRoomSelectionRules rules_;
    std::vector<std::string> roomNames_;
    rooms::RoomView view_;
    bool showHistorical_ = true;
    int result_ = platform::kIdCancel;
    std::string roomName_;
    int roomId_ = 0;
    rooms::RoomSettings stored_;
    std::vector<platform::Control> controlsAtEnd_;
};

// Runs the room selection dialog modally on the desktop over the detected
// rooms and gives back the choice, or a cancel with no reason.
RoomSelectionResult RunRoomSelectionDialog(const SelectClientEnvironment& env,
                                           const std::vector<std::string>& detected);

// The room selection of a start: with room options on the command line they
// fill and confirm it without showing it (the confirmed choice is stored as
// the dialog would store it); without them the dialog is shown.
RoomSelectionResult SelectRoomAtStart(const SelectClientEnvironment& env,
                                      const CommandLineOptions& options,
                                      const std::vector<std::string>& detected);
