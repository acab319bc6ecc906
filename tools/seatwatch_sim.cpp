// seatwatch-sim: plays hands of several simulated players at a few tables and
// appends them to the tables' live history files every few seconds, as a
// poker client does while its user plays. Useful for watching the program
// take new hands, and for testing a reader with fresh histories.
//
//   seatwatch-sim --folder DIR [--rate SECONDS] [--tables N] [--players N]
//                 [--seed N] [--family NAME] [--hero NAME] [--backfill N]
//                 [--resume N] [--count N] [--duration SECONDS] [--quiet]

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <random>
#include <thread>

#include "tools/history_simulator.h"
#include "tools/poker_stars_history_writer.h"
#include "tools/tool_command_line.h"

namespace {

std::atomic<bool> gStop{false};

void StopOnSignal(int) { gStop = true; }

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Plays hands of simulated players at a few tables and appends them to the tables' "
        "history files in a poker room's format, one whole hand at a time.",
        "seatwatch-sim"};
    app.set_version_flag("--version", tools::ToolVersion("seatwatch-sim"));
    sim::SimulatorOptions options;
    std::string folder;
    double rate = 3.0;
    std::optional<std::uint64_t> seed;
    std::string family = "pokerstars";
    int backfill = 0;
    int resume = 0;
    std::optional<long> count;
    double duration = 0;
    bool quiet = false;
    app.add_option("--folder", folder, "Folder the history files are written to")
        ->type_name("DIR")
        ->required();
    app.add_option("--rate", rate, "Seconds between two hands (0: no waiting)")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.0, 3600.0))
        ->capture_default_str();
    app.add_option("--tables", options.tables, "Number of tables")
        ->type_name("N")
        ->check(CLI::Range(1, static_cast<int>(sim::TableNames().size())))
        ->capture_default_str();
    app.add_option("--players", options.players, "Players at each table, the hero included")
        ->type_name("N")
        ->check(CLI::Range(2, 9))
        ->capture_default_str();
    app.add_option("--seed", seed, "Seed of the simulation; the same seed plays the same hands")
        ->type_name("N");
    app.add_option("--family", family, "Room family whose history format is written")
        ->type_name("NAME")
        ->check(CLI::IsMember(sim::HistoryFamilyNames(), CLI::ignore_case))
        ->capture_default_str();
    app.add_option("--hero", options.hero, "The user's screen name, seated at every table")
        ->type_name("NAME")
        ->check([](const std::string& name) {
            if (name.empty() || name.size() > 40) return std::string("must be 1 to 40 characters");
            if (name.find_first_of(":()[]\r\n") != std::string::npos) {
                return std::string("must not hold ':', brackets or line ends");
            }
            return std::string();
        })
        ->capture_default_str();
    app.add_option("--backfill", backfill,
                   "First write this many hands dated earlier today, without waiting")
        ->type_name("N")
        ->check(CLI::Range(0, 100000));
    app.add_option("--resume", resume,
                   "First play this many hands without writing them: with the seed of an earlier "
                   "run, go on where it stopped")
        ->type_name("N")
        ->check(CLI::Range(0, 1000000));
    app.add_option("--count", count, "Stop after this many live hands")
        ->type_name("N")
        ->check(CLI::Range(0L, 100000000L));
    app.add_option("--duration", duration, "Stop after this many seconds (0: no limit)")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.0, 1e7));
    app.add_flag("--quiet", quiet, "Print nothing for each hand");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help and version end with 0, every wrong command line with 2.
        return app.exit(e) == 0 ? 0 : 2;
    }
    options.folder = folder;
    options.family = *sim::FindHistoryFamily(family);
    options.seed = seed ? *seed : std::random_device{}();
    sim::HistorySimulator simulator(options);

    std::signal(SIGINT, StopOnSignal);
    std::signal(SIGTERM, StopOnSignal);

    auto report = [&](const sim::WrittenHand& written) {
        if (quiet) return;
        std::printf("%s  #%llu  %s  pot %s\n", sim::EasternTimeText(written.hand.startTime).c_str(),
                    static_cast<unsigned long long>(written.hand.number),
                    written.file.filename().c_str(),
                    sim::DollarText(written.hand.totalPot).c_str());
        std::fflush(stdout);
    };
    std::string error;
    sim::WrittenHand written;
    const std::int64_t now = std::time(nullptr);
    for (int i = 0; i < resume; ++i) simulator.SkipNext(now);
    if (backfill > 0) {
        // Earlier today: spread evenly over up to two hours (never before
        // midnight, local time), the last a little before now.
        std::tm local{};
        const std::time_t nowTime = static_cast<std::time_t>(now);
        localtime_r(&nowTime, &local);
        const std::int64_t sinceMidnight = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
        const std::int64_t lead = std::min<std::int64_t>(60, sinceMidnight / 2);
        const std::int64_t span = std::min<std::int64_t>(7200, sinceMidnight - lead);
        for (int i = 0; i < backfill && !gStop; ++i) {
            const std::int64_t at = now - lead - span + span * i / backfill;
            if (!simulator.PlayNext(at, written, error)) {
                std::fprintf(stderr, "seatwatch-sim: %s\n", error.c_str());
                return 1;
            }
        }
        if (!quiet) std::printf("Wrote %d earlier hands to %s\n", backfill, folder.c_str());
    }
    const auto start = std::chrono::steady_clock::now();
    long played = 0;
    while (!gStop && (!count || played < *count)) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (duration > 0 && elapsed >= duration) break;
        if (!simulator.PlayNext(std::time(nullptr), written, error)) {
            std::fprintf(stderr, "seatwatch-sim: %s\n", error.c_str());
            return 1;
        }
        ++played;
        report(written);
        if (count && played >= *count) break;
        // Sleep in short steps so a signal stops the run at once.
        const auto wake = std::chrono::steady_clock::now() + std::chrono::duration<double>(rate);
        while (!gStop && std::chrono::steady_clock::now() < wake) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    return 0;
}
