#pragma once
// The command-line intake: the program's hand intake without the desk.
//
//   seatwatch-hh load   --room NAME --nickname NAME [--money real|play]
//                       [--wine-prefix DIR] [--top N] [FOLDER...]
//   seatwatch-hh follow (the same options)
//
// `load` runs the first loading of the folders (room profile, log reader,
// hand analyzer, processing) and prints a summary: files, hands added,
// players, and the opponents with the most hands with their statistics.
// `follow` does the same, then runs a live pass every 2 seconds and prints
// each new hand as it arrives, until interrupted. Without a FOLDER the room
// client's own hand-history folder in the Wine prefix is used; a FOLDER
// written as a Windows path ("C:\...") is found through the prefix.

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

// Runs `load` with the arguments that follow the word "load". Returns the
// process exit code: 0 on success, 2 for wrong arguments (unknown room,
// missing folder), with a message on `err`.
int RunLoad(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Runs `follow`. Stops when `stop` becomes true (checked several times a
// second) or, when `maxLivePasses` is not negative, after that many live
// passes. Exit codes as RunLoad.
int RunFollow(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              const std::atomic<bool>& stop, int maxLivePasses = -1);

// The usage text of both commands.
const char* IntakeUsage();
