#pragma once
// Starts the user's browser on an address without waiting for it: the
// browser path found at start-up is either a host program ("xdg-open", or an
// absolute host path) or the Windows command of a browser in the Wine prefix,
// which is then run through `wine` on that prefix.
#include <string>
#include <vector>

// The command line that opens address with browser: {browser, address} for a
// host program, {"wine", browser, address} for a Windows path (a drive letter
// or a backslash in it).
std::vector<std::string> BrowserCommand(const std::string& browser, const std::string& address);

// Runs the command detached (its own session, standard input and output on
// /dev/null, the signal mask cleared), so the browser outlives neither a
// blocked signal nor a zombie of this process. winePrefix, when not empty,
// is passed as WINEPREFIX. False when the program could not be started.
bool LaunchDetached(const std::vector<std::string>& command, const std::string& winePrefix);
