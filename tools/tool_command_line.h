#pragma once
// Command lines of the tools, parsed with CLI11 the same way everywhere.
//
// A value option always takes the argument after it, whatever that looks
// like ("--nickname -Bob-" gives the nickname "-Bob-"), as "--name=value"
// does; an option given twice keeps its last value. Anything else beginning with "-" that no option
// matches is an unknown option, named in the error.

#include <CLI/CLI.hpp>
#include <map>
#include <string>
#include <vector>

namespace tools {

enum class ParseOutcome {
    kRun,      // the options are filled
    kHelp,     // --help or -h was given
    kVersion,  // --version was given
    kError,    // `error` says what is wrong
};

// What a value option needs when its value is missing, by option name:
// {"--room", "a room name"} gives the error "--room needs a room name".
using ValueNeeds = std::map<std::string, std::string>;

// Parses `args` (without the program name) with `app`, whose value options
// must all be named in `needs`. Every option added to `app` gets the
// take-the-last-value rule. With `operands`, the arguments after a first
// "--" are appended there as they stand; without, "--" is an unknown option.
// On kError, `error` holds the message without the tool's name.
ParseOutcome ParseToolArguments(CLI::App& app, const std::vector<std::string>& args,
                                const ValueNeeds& needs, std::string& error,
                                std::vector<std::string>* operands = nullptr);

// The version line of a tool: its name, a blank and the project's version.
std::string ToolVersion(const std::string& tool);

}  // namespace tools
