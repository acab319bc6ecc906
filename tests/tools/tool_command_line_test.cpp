#include "tools/tool_command_line.h"

#include <gtest/gtest.h>

namespace {

using tools::ParseOutcome;

struct Parsed {
    ParseOutcome outcome;
    std::string error;
    std::string name;
    std::string count;
    std::vector<std::string> files;
};

Parsed Parse(const std::vector<std::string>& args, bool withOperands = true) {
    CLI::App app{"test", "tool"};
    app.set_version_flag("--version", "tool 1");
    Parsed parsed{};
    app.add_option("--name", parsed.name);
    app.add_option("--count", parsed.count);
    app.add_option("files", parsed.files);
    std::vector<std::string> operands;
    parsed.outcome =
        tools::ParseToolArguments(app, args, {{"--name", "a name"}, {"--count", "a number"}},
                                  parsed.error, withOperands ? &operands : nullptr);
    parsed.files.insert(parsed.files.end(), operands.begin(), operands.end());
    return parsed;
}

TEST(ToolCommandLine, ValuesAreTakenWhateverTheyLookLike) {
    const Parsed dash = Parse({"--name", "-Bob-", "a.txt"});
    ASSERT_EQ(dash.outcome, ParseOutcome::kRun) << dash.error;
    EXPECT_EQ(dash.name, "-Bob-");
    EXPECT_EQ(dash.files, std::vector<std::string>{"a.txt"});
    // Even an option name is a value where a value is due.
    EXPECT_EQ(Parse({"--name", "--count"}).name, "--count");
    EXPECT_EQ(Parse({"--name=x=y"}).name, "x=y");
    // The last of two wins.
    EXPECT_EQ(Parse({"--name", "a", "--name", "b"}).name, "b");
}

TEST(ToolCommandLine, OperandsAfterTwoDashesStayInOrder) {
    const Parsed parsed = Parse({"a", "--name", "n", "--", "--name", "-x", "b"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::kRun) << parsed.error;
    EXPECT_EQ(parsed.name, "n");
    EXPECT_EQ(parsed.files, (std::vector<std::string>{"a", "--name", "-x", "b"}));
    // Without operands the two dashes are no option of the tool.
    const Parsed refused = Parse({"--", "a"}, false);
    EXPECT_EQ(refused.outcome, ParseOutcome::kError);
    EXPECT_EQ(refused.error, "unknown option --");
}

TEST(ToolCommandLine, ErrorsNameTheOption) {
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--frob", "a"}, "unknown option --frob"}, {{"a", "-x"}, "unknown option -x"},
        {{"--frob=3"}, "unknown option --frob=3"},  {{"a", "--name"}, "--name needs a name"},
        {{"--count"}, "--count needs a number"},
    };
    for (const auto& c : cases) {
        const Parsed parsed = Parse(c.args);
        EXPECT_EQ(parsed.outcome, ParseOutcome::kError) << c.error;
        EXPECT_EQ(parsed.error, c.error);
    }
    EXPECT_EQ(Parse({"a", "--help"}).outcome, ParseOutcome::kHelp);
    EXPECT_EQ(Parse({"-h"}).outcome, ParseOutcome::kHelp);
    EXPECT_EQ(Parse({"--version"}).outcome, ParseOutcome::kVersion);
    EXPECT_EQ(tools::ToolVersion("tool").rfind("tool ", 0), 0u);
}

}  // namespace
