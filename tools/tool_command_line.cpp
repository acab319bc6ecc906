#include "tools/tool_command_line.h"

#include <algorithm>

namespace tools {

namespace {

// "--name value" becomes "--name=value", so that CLI11 takes the value even
// when it begins with a dash.
std::vector<std::string> JoinValues(const std::vector<std::string>& args, const ValueNeeds& needs,
                                    std::vector<std::string>* operands) {
    std::vector<std::string> joined;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--" && operands != nullptr) {
            operands->insert(operands->end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                             args.end());
            break;
        }
        if (needs.count(args[i]) != 0 && i + 1 < args.size()) {
            joined.push_back(args[i] + "=" + args[i + 1]);
            ++i;
        } else {
            joined.push_back(args[i]);
        }
    }
    return joined;
}

}  // namespace

ParseOutcome ParseToolArguments(CLI::App& app, const std::vector<std::string>& args,
                                const ValueNeeds& needs, std::string& error,
                                std::vector<std::string>* operands) {
    app.allow_extras();
    for (CLI::Option* option : app.get_options()) {
        option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> after;
    std::vector<std::string> reversed = JoinValues(args, needs, operands ? &after : nullptr);
    std::reverse(reversed.begin(), reversed.end());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return ParseOutcome::kHelp;
    } catch (const CLI::CallForVersion&) {
        return ParseOutcome::kVersion;
    } catch (const CLI::ParseError& e) {
        const std::string what = e.what();
        for (const auto& [name, need] : needs) {
            if (what.rfind(name + ":", 0) == 0) {
                error = name + " needs " + need;
                return ParseOutcome::kError;
            }
        }
        error = what;
        return ParseOutcome::kError;
    }
    for (const std::string& extra : app.remaining()) {
        if (!extra.empty() && extra[0] == '-') {
            error = "unknown option " + extra;
            return ParseOutcome::kError;
        }
    }
    if (operands != nullptr) operands->insert(operands->end(), after.begin(), after.end());
    return ParseOutcome::kRun;
}

std::string ToolVersion(const std::string& tool) { return tool + " " + SEATWATCH_VERSION; }

}  // namespace tools
