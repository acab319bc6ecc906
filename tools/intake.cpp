#include "tools/intake.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <thread>

#include "analysis/hand_analyzer.h"
#include "analysis/hand_reference.h"
#include "analysis/model_players.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "platform/memory_profile.h"
#include "platform/text_util.h"
#include "platform/win_paths.h"
#include "platform/wine_registry.h"
#include "rooms/client_detector.h"
#include "rooms/intake_session.h"
#include "rooms/room_catalogue.h"
#include "tools/tool_command_line.h"

namespace {

constexpr int kUsageError = 2;
constexpr std::size_t kNameWidth = 24;

struct IntakeOptions {
    std::string room;
    std::string nickname;
    MoneyMode money = MoneyMode::kReal;
    std::string winePrefix;
    int top = 10;
    std::vector<std::string> folders;
};

// Text from hand histories shown on a terminal: control bytes (which could
// move the cursor or change colours) become "?", and long names are cut at
// a character boundary.
std::string TerminalText(std::string_view text, std::size_t maxBytes) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += (byte < 0x20 || byte == 0x7F) ? '?' : c;
    }
    if (out.size() > maxBytes) {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        out.resize(cut);
    }
    return out;
}

std::string RoomList() {
    std::string list;
    for (const rooms::RoomInfo& room : rooms::Rooms()) {
        if (room.family == rooms::RoomFamily::kNone) continue;
        if (!list.empty()) list += ", ";
        list += '"';
        list += room.name;
        list += '"';
    }
    return list;
}

// The room named `name`: exactly, else without regard to case or blanks,
// else by its number.
const rooms::RoomInfo* ResolveRoom(std::string_view name) {
    if (const rooms::RoomInfo* room = rooms::FindRoom(name)) return room;
    if (const rooms::RoomInfo* room = rooms::FindRoomLoosely(name)) return room;
    if (!name.empty() &&
        std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        name.size() <= 3) {
        return rooms::FindRoom(std::stoi(std::string(name)));
    }
    return nullptr;
}

// How the options of a command were read.
enum class OptionsRead { kRun, kDone, kWrong };

// Parses the options; kWrong with a message on err when they are wrong,
// kDone after printing the usage or the version on out.
OptionsRead ParseOptions(const std::vector<std::string>& args, IntakeOptions& options,
                         std::ostream& out, std::ostream& err) {
    CLI::App app{"Reads the hand histories of a room's folders.", "seatwatch-hh"};
    app.set_help_flag("-h,--help");
    app.set_version_flag("--version", tools::ToolVersion("seatwatch-hh"));
    std::string money;
    std::string top;
    app.add_option("--room", options.room);
    app.add_option("--nickname", options.nickname);
    CLI::Option* moneyOption = app.add_option("--money", money);
    app.add_option("--wine-prefix", options.winePrefix);
    CLI::Option* topOption = app.add_option("--top", top);
    app.add_option("folders", options.folders);
    std::string error;
    const tools::ValueNeeds needs{{"--room", "a room name"},
                                  {"--nickname", "your screen name"},
                                  {"--money", "real or play"},
                                  {"--wine-prefix", "a folder"},
                                  {"--top", "a number"}};
    switch (tools::ParseToolArguments(app, args, needs, error)) {
        case tools::ParseOutcome::kRun:
            break;
        case tools::ParseOutcome::kHelp:
            out << IntakeUsage();
            return OptionsRead::kDone;
        case tools::ParseOutcome::kVersion:
            out << tools::ToolVersion("seatwatch-hh") << "\n";
            return OptionsRead::kDone;
        case tools::ParseOutcome::kError:
            if (constexpr std::string_view kUnknown = "unknown option ";
                error.rfind(kUnknown, 0) == 0) {
                err << "seatwatch-hh: " << kUnknown
                    << TerminalText(std::string_view(error).substr(kUnknown.size()), 40) << "\n"
                    << IntakeUsage();
            } else {
                err << "seatwatch-hh: " << TerminalText(error, 200) << "\n";
            }
            return OptionsRead::kWrong;
    }
    if (moneyOption->count() > 0) {
        if (money == "real") {
            options.money = MoneyMode::kReal;
        } else if (money == "play") {
            options.money = MoneyMode::kPlay;
        } else {
            err << "seatwatch-hh: --money must be real or play, not \"" << TerminalText(money, 40)
                << "\"\n";
            return OptionsRead::kWrong;
        }
    }
    if (topOption->count() > 0) {
        char* end = nullptr;
        const long value = std::strtol(top.c_str(), &end, 10);
        if (end == top.c_str() || *end != '\0' || value < 0 || value > 1000) {
            err << "seatwatch-hh: --top takes a number from 0 to 1000\n";
            return OptionsRead::kWrong;
        }
        options.top = static_cast<int>(value);
    }
    if (options.room.empty()) {
        err << "seatwatch-hh: --room is required; the rooms are " << RoomList() << "\n";
        return OptionsRead::kWrong;
    }
    if (options.nickname.empty()) {
        if (options.money == MoneyMode::kPlay) {
            options.nickname = "PlayMoneyPlayer";
        } else {
            err << "seatwatch-hh: --nickname is required (your screen name at the room)\n";
            return OptionsRead::kWrong;
        }
    }
    return OptionsRead::kRun;
}

bool LooksLikeWindowsPath(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

// Everything one intake run holds.
class Intake {
  public:
    Intake(IntakeOptions options, std::ostream& out, std::ostream& err)
        : options_(std::move(options)), out_(out), err_(err) {}

    // Resolves the room and the folders; false (after a message) when wrong.
    bool Prepare() {
        room_ = ResolveRoom(options_.room);
        if (room_ == nullptr) {
            err_ << "seatwatch-hh: unknown room \"" << TerminalText(options_.room, 60)
                 << "\"; the rooms are " << RoomList() << "\n";
            return false;
        }
        if (room_->family == rooms::RoomFamily::kNone) {
            err_ << "seatwatch-hh: " << room_->name << " has no hand-history reader\n";
            return false;
        }
        const auto prefix = platform::WinPaths::FindPrefix(options_.winePrefix);
        if (!options_.winePrefix.empty() && !prefix) {
            err_ << "seatwatch-hh: Wine prefix not found: "
                 << TerminalText(options_.winePrefix, 200) << "\n";
            return false;
        }
        paths_ = std::make_unique<platform::WinPaths>(prefix);
        if (options_.folders.empty() && !DefaultFolder()) return false;
        for (const std::string& folder : options_.folders) {
            std::string host = folder;
            if (LooksLikeWindowsPath(folder)) {
                const auto mapped = paths_->ToHost(folder);
                if (!mapped) {
                    err_ << "seatwatch-hh: " << TerminalText(folder, 200)
                         << " is not on a drive of the Wine prefix\n";
                    return false;
                }
                host = mapped->string();
            }
            std::error_code ec;
            if (!std::filesystem::is_directory(host, ec)) {
                err_ << "seatwatch-hh: folder not found: " << TerminalText(host, 200) << "\n";
                return false;
            }
            hostFolders_.push_back(host);
        }

        IntakeSessionSettings start;
        start.roomId = room_->id;
        start.nickname = options_.nickname;
        start.money = options_.money;
        start.loggingFolder = hostFolders_.front();
        // Later folders are read like the historical folder at start-up.
        start.historicalFolders.assign(hostFolders_.begin() + 1, hostFolders_.end());
        // The command line reads whole folders: no installation date limits them.
        start.installDate = 0;
        session_ = std::make_unique<CIntakeSession>(settings_, reference_,
                                                    platform::SystemClock::Instance(), start);
        return true;
    }

    // The first loading of every folder, then the summary.
    void Load() {
        out_ << "Room: " << room_->name << " ("
             << (options_.money == MoneyMode::kReal ? "real" : "play") << " money), nickname "
             << TerminalText(options_.nickname, 60) << "\n";
        for (const std::string& folder : hostFolders_) {
            out_ << "Folder: " << TerminalText(folder, 300) << "\n";
        }
        const auto started = std::chrono::steady_clock::now();
        session_->SetLoadProgress([this](const LogLoadProgress& progress) {
            err_ << "\rLoading: " << progress.files << " files, " << progress.handsAdded << " hands"
                 << std::flush;
            progressShown_ = true;
        });
        const IntakeStepResult loaded = session_->FirstLoading();
        if (progressShown_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        PrintSummary(loaded.handsAdded, seconds);
    }

    // Live passes every 2 seconds, counted from the end of the previous one.
    void Follow(const std::atomic<bool>& stop, int maxPasses) {
        session_->SetLoadProgress(nullptr);
        session_->SetHandAdded([this](const CHand& hand) { PrintHand(hand); });
        out_ << "Following; new hands are shown as they arrive (Ctrl-C stops).\n" << std::flush;
        for (int pass = 0; maxPasses < 0 || pass < maxPasses; ++pass) {
            while (!stop.load() && session_->MsUntilNextPass() > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            if (stop.load()) break;
            session_->LivePass();
        }
        out_ << "New hands: " << session_->NewHands() << "\n";
    }

  private:
    bool DefaultFolder() {
        if (!paths_->HasPrefix()) {
            err_ << "seatwatch-hh: give the hand-history FOLDER, or a Wine prefix (--wine-prefix) "
                    "with the client\n";
            return false;
        }
        platform::WineRegistry registry(*paths_->Prefix(), "");
        const rooms::CClientDetector detector(registry, *paths_, &settings_);
        std::string folder;
        if (!detector.GetDefaultLogFolder(room_->name, folder) || folder.empty()) {
            err_ << "seatwatch-hh: no hand-history folder known for " << room_->name
                 << "; give the FOLDER\n";
            return false;
        }
        out_ << "Using the client's folder " << TerminalText(folder, 300) << "\n";
        options_.folders.push_back(folder);
        return true;
    }

    void PrintSummary(int added, double seconds) {
        std::set<std::string> ignored;
        for (int n = 0; n < analysis::kModelPlayerCount; ++n) {
            ignored.insert(analysis::ModelPlayerKey(n, false));
            ignored.insert(analysis::ModelPlayerKey(n, true));
        }
        std::vector<const CPlayerStats*> opponents;
        for (const auto& [key, record] : session_->Analyzer().Players()) {
            if (ignored.count(key) != 0 || record->Hands() == 0) continue;
            if (CHand::SplitQualifiedName(key).first == options_.nickname) continue;
            opponents.push_back(record.get());
        }
        out_ << "Files: " << session_->FileCount() << "   Hands added: " << added
             << "   Players: " << opponents.size();
        if (seconds > 0) {
            out_ << "   Time: " << std::fixed << std::setprecision(2) << seconds << " s";
            if (added > 0) out_ << " (" << static_cast<long long>(added / seconds) << " hands/s)";
        }
        out_ << "\n";
        std::stable_sort(
            opponents.begin(), opponents.end(),
            [](const CPlayerStats* a, const CPlayerStats* b) { return a->Hands() > b->Hands(); });
        if (opponents.size() > static_cast<std::size_t>(options_.top))
            opponents.resize(static_cast<std::size_t>(options_.top));
        if (opponents.empty()) return;
        out_ << "\nOpponents with the most hands:\n";
        char line[256];
        std::snprintf(line, sizeof line, "  %-24s %6s %7s %7s %7s %3s %3s\n", "Player", "Hands",
                      "VP$IP", "PFR", "Fold<F", "LT", "PA");
        out_ << line;
        for (const CPlayerStats* record : opponents) {
            // Scores come from the ranking, which takes players from 20 hands on.
            const bool rankedGroup =
                !record->Key().ends_with(")") || record->Key().ends_with(" (NL)");
            const bool ranked = rankedGroup && record->Hands() >= 20;
            char lt[8] = "-";
            char pa[8] = "-";
            if (ranked) {
                std::snprintf(lt, sizeof lt, "%lld",
                              static_cast<long long>(record->Counter(CPlayerStats::kScoreLT)));
                std::snprintf(pa, sizeof pa, "%lld",
                              static_cast<long long>(record->Counter(CPlayerStats::kScorePA)));
            }
            std::snprintf(line, sizeof line, "  %-24s %6d %6.1f%% %6.1f%% %6.1f%% %3s %3s\n",
                          TerminalText(record->Key(), kNameWidth).c_str(), record->Hands(),
                          record->VPIP(), record->PFR(), record->FoldBeforeFlop(), lt, pa);
            out_ << line;
        }
    }

    void PrintHand(const CHand& hand) {
        std::vector<std::string> winners;
        hand.WinnerNames(winners);
        std::string won;
        for (const std::string& name : winners) {
            if (!won.empty()) won += ", ";
            won += TerminalText(name, kNameWidth);
        }
        char line[512];
        std::snprintf(line, sizeof line, "#%llu  %s  %-20s %2d players  pot %.2f  won by %s\n",
                      static_cast<unsigned long long>(hand.handNumber),
                      platform::FormatLocal(hand.dateTime, "%Y-%m-%d %H:%M:%S").c_str(),
                      TerminalText(hand.tableName, 20).c_str(), hand.GetPlayerCount(),
                      hand.TotalWon() / 100.0, won.empty() ? "-" : won.c_str());
        out_ << line << std::flush;
    }

    IntakeOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    const rooms::RoomInfo* room_ = nullptr;
    std::unique_ptr<platform::WinPaths> paths_;
    std::vector<std::string> hostFolders_;
    platform::MemoryProfile settings_;
    CHandReference reference_;
    std::unique_ptr<CIntakeSession> session_;
    bool progressShown_ = false;
};

}  // namespace

const char* IntakeUsage() {
    return "usage: seatwatch-hh load   --room NAME --nickname NAME [--money real|play]\n"
           "                           [--wine-prefix DIR] [--top N] [FOLDER...]\n"
           "       seatwatch-hh follow (the same options)\n"
           "load reads the hand histories of the folders (by default the room client's\n"
           "own folder in the Wine prefix) and prints the opponents with the most hands;\n"
           "follow then reads new hands every 2 seconds and prints each as it arrives.\n";
}

int RunLoad(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    IntakeOptions options;
    const OptionsRead read = ParseOptions(args, options, out, err);
    if (read != OptionsRead::kRun) return read == OptionsRead::kDone ? 0 : kUsageError;
    Intake intake(std::move(options), out, err);
    if (!intake.Prepare()) return kUsageError;
    intake.Load();
    return 0;
}

int RunFollow(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              const std::atomic<bool>& stop, int maxLivePasses) {
    IntakeOptions options;
    const OptionsRead read = ParseOptions(args, options, out, err);
    if (read != OptionsRead::kRun) return read == OptionsRead::kDone ? 0 : kUsageError;
    Intake intake(std::move(options), out, err);
    if (!intake.Prepare()) return kUsageError;
    intake.Load();
    intake.Follow(stop, maxLivePasses);
    return 0;
}
