// The checking tool's command line, run as a user runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/rooms/rooms_test_support.h"

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs a tool of the build (seatwatch-hh unless named) with `args`, already
// quoted for the shell.
ToolRun RunTool(const std::string& args, const std::string& tool = "seatwatch-hh") {
    rooms_test::ScratchFolder folder;
    const std::string errFile = folder / "err";
    const std::string command = std::string("'") + SEATWATCH_BINARY_DIR + "/tools/" + tool + "' " +
                                args + " 2>'" + errFile + "'";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    std::stringstream err;
    err << in.rdbuf();
    run.err = err.str();
    return run;
}

const std::string kSample = std::string("'") + SEATWATCH_SOURCE_DIR +
                            "/samples/histories/HH20100305 Alcyone III - $0.05-$0.10 - USD No "
                            "Limit Hold'\\''em.txt'";

TEST(SeatwatchHh, HelpAndVersion) {
    const ToolRun help = RunTool("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: seatwatch-hh [--room NAME] [--hero NAME] FILE...\n", 0), 0u)
        << help.out;
    EXPECT_EQ(RunTool("-h").out, help.out);
    const ToolRun version = RunTool("--version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("seatwatch-hh ", 0), 0u) << version.out;
    // The commands have their own usage, on standard output.
    const ToolRun loadHelp = RunTool("load --help");
    EXPECT_EQ(loadHelp.code, 0);
    EXPECT_EQ(loadHelp.out.rfind("usage: seatwatch-hh load ", 0), 0u) << loadHelp.out;
}

TEST(SeatwatchHh, WrongArgumentsAreNamed) {
    const struct {
        std::string args;
        const char* err;
    } cases[] = {
        {"--frob " + kSample, "seatwatch-hh: unknown option --frob\n"},
        {kSample + " -x", "seatwatch-hh: unknown option -x\n"},
        {"--room", "seatwatch-hh: --room needs a name\n"},
        {kSample + " --hero", "seatwatch-hh: --hero needs a name\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.code, 2) << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
    }
    const ToolRun none = RunTool("");
    EXPECT_EQ(none.code, 2);
    EXPECT_EQ(none.err.rfind("usage: seatwatch-hh", 0), 0u);
}

TEST(SeatwatchHh, OptionsInEitherSpellingCheckTheSameHands) {
    const ToolRun plain = RunTool("--hero SeatwatchUser " + kSample);
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_NE(plain.out.find("{\"summary\":true,\"hands\":"), std::string::npos);
    EXPECT_EQ(RunTool("--hero=SeatwatchUser " + kSample).out, plain.out);
    EXPECT_EQ(RunTool(kSample + " --room pokerstars --hero SeatwatchUser").out, plain.out);
    // A file whose name looks like an option, after "--".
    const ToolRun dashed = RunTool("-- --no-such-file");
    EXPECT_EQ(dashed.code, 1);
    EXPECT_EQ(dashed.err, "seatwatch-hh: cannot open --no-such-file\n");
}

TEST(SeatwatchSim, CommandLine) {
    rooms_test::ScratchFolder folder;
    const ToolRun played =
        RunTool("--folder '" + folder.Path() + "' --count 4 --rate 0 --seed 1 --tables 1 --quiet",
                "seatwatch-sim");
    EXPECT_EQ(played.code, 0) << played.err;
    EXPECT_EQ(played.out, "");
    const ToolRun checked = RunTool("'" + folder.Path() + "'/*.txt", "seatwatch-hh");
    EXPECT_NE(checked.out.find("\"hands\":4,\"complete\":4,"), std::string::npos) << checked.out;

    const ToolRun family = RunTool("--folder x --family party", "seatwatch-sim");
    EXPECT_EQ(family.code, 2);
    EXPECT_NE(family.err.find("--family: party not in {pokerstars,fulltilt,absolute,partypoker,"
                              "interpoker,truepoker}"),
              std::string::npos)
        << family.err;
    // Another family's histories, read back by the checking tool.
    rooms_test::ScratchFolder party;
    EXPECT_EQ(RunTool("--folder '" + party.Path() +
                          "' --family PartyPoker --count 4 --rate 0 --seed 1 --tables 1 --quiet",
                      "seatwatch-sim")
                  .code,
              0);
    const ToolRun partyChecked =
        RunTool("--room party --hero SeatwatchUser '" + party.Path() + "'/*.txt", "seatwatch-hh");
    EXPECT_NE(partyChecked.out.find("\"hands\":4,\"complete\":4,"), std::string::npos)
        << partyChecked.out;
    const ToolRun unknown = RunTool("--folder x --frob", "seatwatch-sim");
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("--frob"), std::string::npos) << unknown.err;
    EXPECT_EQ(RunTool("--tables 2", "seatwatch-sim").code, 2) << "the folder is required";
    const ToolRun version = RunTool("--version", "seatwatch-sim");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("seatwatch-sim ", 0), 0u);
}

}  // namespace
