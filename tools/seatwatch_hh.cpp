// seatwatch-hh: parses hand-history files with a room parser and prints one
// JSON line per hand, then a summary line, so a parser can be checked
// against any file.
//
//   seatwatch-hh [--room NAME] [--hero NAME] FILE...
//   seatwatch-hh --help | --version
//
// The room (a family name such as "pokerstars" or "fulltilt", or a room code)
// picks the parser; PokerStars without it.
// Without --hero the hero of each file is the name on its first "Dealt to"
// line.

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hands/hand.h"
#include "hands/hand_factory.h"
#include "hands/hand_json.h"
#include "hands/parse_text.h"
#include "hands/stdio_file_custom.h"
#include "tools/intake.h"
#include "tools/tool_command_line.h"

namespace {

constexpr std::string_view kUsage =
    "usage: seatwatch-hh [--room NAME] [--hero NAME] FILE...\n"
    "       seatwatch-hh load|follow --room NAME --nickname NAME [--money real|play]\n"
    "                    [--wine-prefix DIR] [--top N] [FOLDER...]\n"
    "Parses every hand of the files with the room's parser (pokerstars, fulltilt,\n"
    "party, absolute, interpoker, truepoker or a room code 100-121; pokerstars\n"
    "when not given) and prints one JSON line per hand and a summary line.\n";

struct Options {
    std::string room = "pokerstars";
    std::string hero;
    bool heroGiven = false;
    std::vector<std::string> files;
};

// The hand parser of the chosen room for one file.
std::unique_ptr<CHand> CreateHand(const Options& options, const std::string& hero,
                                  const std::string& path) {
    HandParserOptions parserOptions;
    parserOptions.filePath = path;
    return CreateHandParser(options.room, hero, parserOptions);
}

// The name on the first "Dealt to" line of a file; empty when there is none.
std::string FindHero(const std::string& path) {
    CStdioFileCustom reader;
    if (!reader.Open(path)) return {};
    std::string buffer;
    while (reader.ReadString(buffer)) {
        std::string_view line = hands::Trim(buffer);
        if (!hands::StartsWith(line, "Dealt to ")) continue;
        std::size_t open = line.rfind('[');
        if (open == std::string_view::npos || open < 10) return {};
        return std::string(hands::Trim(line.substr(9, open - 9)));
    }
    return {};
}

struct Totals {
    long hands = 0;
    long complete = 0;
    std::map<std::string, long> rejected;  // by reason
    std::map<int, long> results;
};

// Parses every hand of one file, printing one line per hand.
bool CheckFile(const std::string& path, const Options& options, Totals& totals) {
    CStdioFileCustom reader;
    if (!reader.Open(path)) {
        std::cerr << "seatwatch-hh: cannot open " << path << "\n";
        return false;
    }
    // A file given to check is read as it stands: its end ends the text, so
    // a last hand that lacks only its closing empty line is finished.
    reader.SetTextEnd(TextEnd::kComplete);
    std::string hero = options.heroGiven ? options.hero : FindHero(path);
    std::string out;
    for (;;) {
        std::uint64_t before = reader.GetPosition();
        std::unique_ptr<CHand> hand = CreateHand(options, hero, path);
        int result = hand->ReadHand(reader);
        if (result == CHand::kNoHandStart) break;
        bool complete = result == CHand::kParseOk && hand->potAwarded;
        ++totals.hands;
        ++totals.results[result];
        if (complete) {
            ++totals.complete;
        } else {
            ++totals.rejected[hands::IncompleteReason(*hand, result)];
        }
        out.clear();
        hands::AppendHandJson(out, path, *hand, result, complete);
        std::fwrite(out.data(), 1, out.size(), stdout);
        // Every call consumes at least the header it starts from; this only
        // guards against a parser that would not.
        if (reader.GetPosition() == before) break;
    }
    return true;
}

void PrintSummary(const Totals& totals) {
    std::string out = "{\"summary\":true,\"hands\":" + std::to_string(totals.hands) +
                      ",\"complete\":" + std::to_string(totals.complete) +
                      ",\"rejected\":" + std::to_string(totals.hands - totals.complete) +
                      ",\"reasons\":{";
    bool first = true;
    for (const auto& [reason, count] : totals.rejected) {
        if (!first) out += ',';
        first = false;
        hands::AppendJsonString(out, reason);
        out += ':' + std::to_string(count);
    }
    out += "},\"results\":{";
    first = true;
    for (const auto& [result, count] : totals.results) {
        if (!first) out += ',';
        first = false;
        out += '"' + std::to_string(result) + "\":" + std::to_string(count);
    }
    out += "}}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// Reads the options of the checking command. Nothing when the files are to
// be checked; otherwise the exit code, after the usage, the version or a
// message.
std::optional<int> ParseOptions(const std::vector<std::string>& args, Options& options) {
    CLI::App app{"Parses hand-history files with a room parser.", "seatwatch-hh"};
    app.set_help_flag("-h,--help");
    app.set_version_flag("--version", tools::ToolVersion("seatwatch-hh"));
    std::string room;
    std::string hero;
    CLI::Option* roomOption = app.add_option("--room", room);
    CLI::Option* heroOption = app.add_option("--hero", hero);
    app.add_option("files", options.files);
    std::string error;
    switch (tools::ParseToolArguments(app, args, {{"--room", "a name"}, {"--hero", "a name"}},
                                      error, &options.files)) {
        case tools::ParseOutcome::kRun:
            break;
        case tools::ParseOutcome::kHelp:
            std::cout << kUsage;
            return 0;
        case tools::ParseOutcome::kVersion:
            std::cout << tools::ToolVersion("seatwatch-hh") << "\n";
            return 0;
        case tools::ParseOutcome::kError:
            std::cerr << "seatwatch-hh: " << error << "\n";
            return 2;
    }
    if (roomOption->count() > 0) {
        options.room = room;
        if (!CreateHandParser(options.room, "")) {
            std::cerr << "seatwatch-hh: unknown room \"" << options.room
                      << "\" (use pokerstars, fulltilt, party, absolute, interpoker, "
                         "truepoker or a room code 100-121)\n";
            return 2;
        }
    }
    if (heroOption->count() > 0) {
        options.hero = hero;
        options.heroGiven = true;
    }
    if (options.files.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    return std::nullopt;
}

int RunCheck(const std::vector<std::string>& args) {
    Options options;
    if (const std::optional<int> exitCode = ParseOptions(args, options)) return *exitCode;
    Totals totals;
    bool allOpened = true;
    for (const std::string& file : options.files)
        allOpened = CheckFile(file, options, totals) && allOpened;
    PrintSummary(totals);
    return allOpened ? 0 : 1;
}

std::atomic<bool> gStop{false};

void StopOnSignal(int) { gStop = true; }

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "load" || args[0] == "follow")) {
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (args[0] == "load") return RunLoad(rest, std::cout, std::cerr);
        std::signal(SIGINT, StopOnSignal);
        std::signal(SIGTERM, StopOnSignal);
        return RunFollow(rest, std::cout, std::cerr, gStop);
    }
    // Without a command word, the arguments name files to check.
    return RunCheck(args);
}
