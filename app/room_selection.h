#pragma once
// The room a session watches, and the selection the command line makes
// without a dialog.
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/win_paths.h"
#include "rooms/client_detector.h"
#include "rooms/poker_room_profile.h"

// The user's choice of room, as the room selection gives it back.
struct RoomChoice {
    int roomId = 0;
    MoneyMode money = MoneyMode::kReal;
    std::string nickname;
    std::string loggingFolder;     // host path; empty only in play money
    std::string historicalFolder;  // host path or empty
};

// What a room selection ended with: a choice, or a cancel with an optional
// reason for the user (empty when the user cancelled).
struct RoomSelectionResult {
    std::optional<RoomChoice> choice;
    std::string error;
};

// True when the room options stand in for client detection (a room and a
// logging folder are both given).
bool RoomOptionsReplaceDetection(const CommandLineOptions& options);

// Fills the room choice from the command line: the room by its catalogue name
// (without regard to case), which must have a hand-history reader and, unless
// --log-folder is given, be among the detected rooms; the logging folder from
// --log-folder or else the client's own folder; Windows paths are mapped
// through the Wine prefix. A folder that does not exist is refused.
RoomSelectionResult SelectRoomFromOptions(const CommandLineOptions& options,
                                          const std::vector<std::string>& detected,
                                          const rooms::CClientDetector* detector,
                                          const platform::WinPaths& paths);
