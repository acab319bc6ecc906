#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <map>
#include <vector>

#include "app/program_info.h"

bool CommandLineOptions::HasRoomOptions() const {
    return !room.empty() || !nickname.empty() || money.has_value() || !logFolder.empty() ||
           !historicalFolder.empty();
}

CommandLineResult ParseCommandLine(int argc, const char* const* argv, CommandLineOptions& options,
                                   std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Seatwatch watches the hand histories of a poker client and shows opponent "
        "statistics, alerts and odds on a desk in the browser.",
        "seatwatch"};
    app.set_version_flag("--version", std::string("seatwatch ") + kProgramVersion);
    app.add_option("--home", options.home,
                   "Program folder (settings, log, generated pages); default "
                   "$XDG_DATA_HOME/seatwatch")
        ->type_name("DIR");
    app.add_option("--wine-prefix", options.winePrefix,
                   "Wine prefix of the poker client; default $WINEPREFIX, else ~/.wine")
        ->type_name("DIR");
    app.add_option("--port", options.port, "Desk port on 127.0.0.1; 0 picks a free one")
        ->type_name("N")
        ->check(CLI::Range(0, 65535));
    app.add_flag("--no-browser", options.noBrowser,
                 "Print the desk address without opening it; help pages are printed as "
                 "\"Open: ADDRESS\" lines instead of opening in the browser");
    app.add_flag("--headless", options.headless,
                 "Run without a desk: messages take their default answer and go to standard "
                 "error and the program log");
    app.add_option("--room", options.room, "Poker room to watch, as the room list names it")
        ->type_name("NAME");
    app.add_option("--nickname", options.nickname, "Your screen name at the room")
        ->type_name("NAME");
    const std::map<std::string, MoneyMode> moneyNames{{"real", MoneyMode::kReal},
                                                      {"play", MoneyMode::kPlay}};
    MoneyMode money = MoneyMode::kReal;
    CLI::Option* moneyOption =
        app.add_option("--money", money, "Real or play money")
            ->type_name("real|play")
            ->transform(CLI::CheckedTransformer(moneyNames, CLI::ignore_case));
    app.add_option("--log-folder", options.logFolder,
                   "Folder the client writes hand histories to (host or Windows path); with "
                   "--room it stands in for client detection")
        ->type_name("DIR");
    app.add_option("--historical-folder", options.historicalFolder,
                   "Folder of older histories, read once at start-up")
        ->type_name("DIR");
    CLI::Option* demo =
        app.add_flag("--demo", options.demo,
                     "Start on the bundled sample prefix while the history simulator plays hands");
    app.add_option("--demo-folder", options.demoFolder,
                   "With --demo: the folder the demo is laid out in (its Wine prefix, and its "
                   "program folder unless --home is given); default the program folder's demo")
        ->type_name("DIR")
        ->needs(demo);
    app.add_option("--demo-rate", options.demoRate,
                   "With --demo: seconds between two simulated hands")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.1, 3600.0))
        ->needs(demo);

    std::vector<const char*> args(argv, argv + argc);
    try {
        app.parse(argc, args.data());
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return {false, 0};
    } catch (const CLI::CallForVersion&) {
        out << app.version() << "\n";
        return {false, 0};
    } catch (const CLI::ParseError& e) {
        err << "seatwatch: " << e.what() << "\nRun with --help for the options.\n";
        return {false, 2};
    }
    if (moneyOption->count() > 0) options.money = money;
    if (options.HasRoomOptions() && options.room.empty()) {
        err << "seatwatch: --nickname, --money, --log-folder and --historical-folder need "
               "--room\nRun with --help for the options.\n";
        return {false, 2};
    }
    return {true, 0};
}
