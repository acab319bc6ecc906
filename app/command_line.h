#pragma once
// The program's command line: what each option asks for, and the parser that
// fills it. Parsing never exits the process; it says whether the program
// should run, and otherwise with which exit code and what it printed.
#include <optional>
#include <ostream>
#include <string>

#include "rooms/poker_room_profile.h"

struct CommandLineOptions {
    std::string home;        // program folder; empty: $XDG_DATA_HOME/seatwatch
    std::string winePrefix;  // empty: $WINEPREFIX, else ~/.wine
    int port = 0;            // desk port on 127.0.0.1; 0 picks a free one
    bool noBrowser = false;  // print the desk address without opening it
    bool headless = false;   // no desk: messages take their default answer
    bool demo = false;       // the bundled sample prefix with the history simulator
    // With --demo: the folder it is laid out in (empty: the program
    // folder's "demo") and the seconds between two simulated hands (none:
    // the demo's own pace).
    std::string demoFolder;
    std::optional<double> demoRate;
    // Room selection given on the command line (each empty when absent).
    std::string room;
    std::string nickname;
    std::optional<MoneyMode> money;
    std::string logFolder;
    std::string historicalFolder;

    // True when any room option was given.
    bool HasRoomOptions() const;
};

// How ParseCommandLine ended.
struct CommandLineResult {
    bool run = false;  // true: start the program with the options
    int exitCode = 0;  // when not run: 0 after --help or --version, 2 for an error
};

// Parses argv into options. --help and --version print to out; an unknown or
// malformed option, or a room option given without the others it needs,
// prints a message naming it to err.
CommandLineResult ParseCommandLine(int argc, const char* const* argv, CommandLineOptions& options,
                                   std::ostream& out, std::ostream& err);
