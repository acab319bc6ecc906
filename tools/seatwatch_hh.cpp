// seatwatch-hh: parses hand-history files with a room parser and prints one
// JSON line per hand, then a summary line, so a parser can be checked
// against any file.
//
//   seatwatch-hh [--room NAME] [--hero NAME] FILE...
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
#include <string>
#include <string_view>
#include <vector>

#include "hands/hand.h"
#include "hands/hand_factory.h"
#include "hands/hand_poker_stars.h"
#include "hands/parse_text.h"
#include "hands/stdio_file_custom.h"
#include "tools/intake.h"

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

// Appends `text` as a JSON string. Valid UTF-8 is copied; every byte that is
// not part of a valid sequence is written as \u00XX, so hostile names always
// give valid JSON.
void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    auto escapeByte = [&](unsigned char byte) {
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    };
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte == '"' || byte == '\\') {
                out += '\\';
                out += static_cast<char>(byte);
            } else if (byte < 0x20 || byte == 0x7F) {
                escapeByte(byte);
            } else {
                out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        // Length and smallest code point of the sequence this lead byte opens.
        std::size_t length = 0;
        char32_t minimum = 0;
        char32_t cp = 0;
        if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2, minimum = 0x80, cp = byte & 0x1F;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3, minimum = 0x800, cp = byte & 0x0F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4, minimum = 0x10000, cp = byte & 0x07;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (valid && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) valid = false;
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            escapeByte(byte);
            ++i;
        }
    }
    out += '"';
}

std::string FormatUtc(std::int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr) return "";
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

std::string_view ResultText(int result) {
    switch (result) {
    case CHand::kEndInHeader: return "text ends in the header, seats or posts";
    case CHand::kEndInPreflop: return "text ends during preflop";
    case CHand::kEndInFlop: return "text ends on the flop";
    case CHand::kEndInTurnOrRiver: return "text ends on the turn or river";
    case CHand::kEndBeforeBlankLine: return "text ends in the summary, before the hand's closing line";
    default: return "unexpected result";
    }
}

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

void AppendHandJson(std::string& out, const std::string& file, const CHand& hand, int result, bool complete) {
    out += "{\"file\":";
    AppendJsonString(out, file);
    out += ",\"complete\":";
    out += complete ? "true" : "false";
    out += ",\"result\":" + std::to_string(result);
    if (!complete) {
        out += ",\"reason\":";
        std::string reason = result == CHand::kParseRejected ? hand.RejectReason()
                             : result == CHand::kParseOk    ? std::string("no pot awarded")
                                                            : std::string(ResultText(result));
        AppendJsonString(out, reason);
    }
    out += ",\"hand\":" + std::to_string(hand.handNumber);
    out += ",\"table\":";
    AppendJsonString(out, hand.tableName);
    out += ",\"gameKind\":" + std::to_string(hand.gameKind);
    out += ",\"realMoney\":";
    out += hand.realMoney ? "true" : "false";
    if (const auto* stars = dynamic_cast<const CHandPokerStars*>(&hand)) {
        out += ",\"tournament\":";
        out += stars->tournament ? "true" : "false";
        out += ",\"buttonSeat\":" + std::to_string(stars->buttonSeat);
    }
    out += ",\"dateTime\":";
    AppendJsonString(out, FormatUtc(hand.dateTime));
    out += ",\"smallBlind\":" + std::to_string(hand.smallBlind);
    out += ",\"bigBlind\":" + std::to_string(hand.bigBlind);
    out += ",\"ante\":" + std::to_string(hand.ante);
    out += ",\"heroCards\":";
    AppendJsonString(out, hand.heroCards.View());
    out += ",\"board\":[";
    AppendJsonString(out, hand.flopCards.View());
    out += ',';
    AppendJsonString(out, hand.turnCard.View());
    out += ',';
    AppendJsonString(out, hand.riverCard.View());
    out += "],\"positions\":[";
    bool first = true;
    for (int position = 0; position < CHand::kPositions; ++position) {
        auto [found, name] = hand.NameAtPosition(position);
        if (!found) continue;
        auto p = static_cast<std::size_t>(position);
        if (!first) out += ',';
        first = false;
        out += "{\"position\":" + std::to_string(position) + ",\"name\":";
        AppendJsonString(out, name);
        out += ",\"holeCards\":";
        AppendJsonString(out, hand.holeCards[p].View());
        out += ",\"invested\":" + std::to_string(hand.invested[p]);
        out += ",\"won\":" + std::to_string(hand.won[p]);
        out += ",\"collected\":";
        out += hand.collected[p] ? "true" : "false";
        out += ",\"returned\":[";
        for (int street = 0; street < 4; ++street) {
            if (street > 0) out += ',';
            out += std::to_string(hand.returned[p][static_cast<std::size_t>(street)]);
        }
        out += "],\"actions\":[";
        for (int street = 0; street < 4; ++street) {
            if (street > 0) out += ',';
            out += '[';
            bool firstAction = true;
            for (const CAction& action : hand.Actions(position, street)) {
                if (!firstAction) out += ',';
                firstAction = false;
                out += "{\"kind\":" + std::to_string(action.kind) + ",\"amount\":" +
                       std::to_string(action.amount) + ",\"firstIn\":" + (action.firstIn ? "true" : "false") +
                       ",\"callsRaise\":" + (action.callsRaise ? "true" : "false") + "}";
            }
            out += ']';
        }
        out += "]}";
    }
    out += "]}\n";
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
            std::string reason = result == CHand::kParseRejected ? hand->RejectReason()
                                 : result == CHand::kParseOk    ? std::string("no pot awarded")
                                                                : std::string(ResultText(result));
            ++totals.rejected[reason];
        }
        out.clear();
        AppendHandJson(out, path, *hand, result, complete);
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
                      ",\"rejected\":" + std::to_string(totals.hands - totals.complete) + ",\"reasons\":{";
    bool first = true;
    for (const auto& [reason, count] : totals.rejected) {
        if (!first) out += ',';
        first = false;
        AppendJsonString(out, reason);
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

// Reads the options of the checking command. False with a message on error.
bool ParseOptions(const std::vector<std::string_view>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--room") {
            if (i + 1 >= args.size()) {
                std::cerr << "seatwatch-hh: --room needs a name\n";
                return false;
            }
            options.room = std::string(args[++i]);
            if (!CreateHandParser(options.room, "")) {
                std::cerr << "seatwatch-hh: unknown room \"" << options.room
                          << "\" (use pokerstars, fulltilt, party, absolute, interpoker, "
                             "truepoker or a room code 100-121)\n";
                return false;
            }
        } else if (arg == "--hero") {
            if (i + 1 >= args.size()) {
                std::cerr << "seatwatch-hh: --hero needs a name\n";
                return false;
            }
            options.hero = std::string(args[++i]);
            options.heroGiven = true;
        } else if (arg == "--") {
            for (++i; i < args.size(); ++i) options.files.emplace_back(args[i]);
        } else if (hands::StartsWith(arg, "--")) {
            std::cerr << "seatwatch-hh: unknown option " << arg << "\n";
            return false;
        } else {
            options.files.emplace_back(arg);
        }
    }
    if (options.files.empty()) {
        std::cerr << kUsage;
        return false;
    }
    return true;
}

int RunCheck(const std::vector<std::string_view>& args) {
    Options options;
    if (!ParseOptions(args, options)) return 2;
    Totals totals;
    bool allOpened = true;
    for (const std::string& file : options.files) allOpened = CheckFile(file, options, totals) && allOpened;
    PrintSummary(totals);
    return allOpened ? 0 : 1;
}

std::atomic<bool> gStop{false};

void StopOnSignal(int) { gStop = true; }

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
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
