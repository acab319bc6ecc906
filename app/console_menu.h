#pragma once
// The console's menu bar and its command identifiers, and the help page each
// help command opens.
#include <string_view>
#include <vector>

#include "platform/desktop.h"

namespace console_menu {

inline constexpr int kExit = 131;
inline constexpr int kManualCalculator = 32777;
inline constexpr int kReportWindow = 32799;
inline constexpr int kSystemInformation = 32784;
inline constexpr int kOptions = 32822;
inline constexpr int kResetStatistics = 32826;
inline constexpr int kOverlayConfig = 32805;
inline constexpr int kHelpFaq = 32786;
inline constexpr int kHelpAlerts = 32804;
inline constexpr int kHelpCalculator = 32790;
inline constexpr int kHelpConsole = 32791;
inline constexpr int kHelpGraph = 32789;
inline constexpr int kHelpHandReview = 32788;
inline constexpr int kHelpReports = 32802;
inline constexpr int kHelpGameTracker = 32787;
inline constexpr int kHelpTroubleshooting = 32792;

// The menu bar: "&File", "&View", "&Tools", "&Help".
std::vector<platform::MenuItem> ConsoleMenu();

// The help page a help command opens ("FAQ.htm", ...), or empty for any
// other command.
std::string_view HelpPageFor(int command);

}  // namespace console_menu
