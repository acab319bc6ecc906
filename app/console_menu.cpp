#include "app/console_menu.h"

#include <string>

namespace console_menu {

namespace {

struct HelpEntry {
    int command;
    const char* text;
    const char* page;
};

constexpr HelpEntry kHelp[] = {
    {kHelpFaq, "&FAQ", "FAQ.htm"},
    {kHelpAlerts, "&Alerts Window", "AlertScreen.htm"},
    {kHelpCalculator, "&Calculator Window", "CalculatorScreen.htm"},
    {kHelpConsole, "Conso&le Window", "ConsoleScreen.htm"},
    {kHelpGraph, "&Graph Window", "GraphViewScreen.htm"},
    {kHelpHandReview, "&Hand Review Window", "HandReviewScreen.htm"},
    {kHelpReports, "&Reports Window", "Reports.htm"},
    {kHelpGameTracker, "Game &Tracker", "GameTracker.htm"},
    {kHelpTroubleshooting, "Trou&bleshooting", "TroubleShooting.htm"},
};

platform::MenuItem Item(std::string text, int command) {
    platform::MenuItem item;
    item.text = std::move(text);
    item.command = command;
    return item;
}

platform::MenuItem Popup(std::string text, std::vector<platform::MenuItem> children) {
    platform::MenuItem item;
    item.text = std::move(text);
    item.children = std::move(children);
    return item;
}

}  // namespace

std::vector<platform::MenuItem> ConsoleMenu() {
    std::vector<platform::MenuItem> help;
    for (const HelpEntry& entry : kHelp) help.push_back(Item(entry.text, entry.command));
    return {
        Popup("&File", {Item("&Exit", kExit)}),
        Popup("&View",
              {Item("&Manual Calculator", kManualCalculator), Item("&Report Window", kReportWindow),
               Item("&System Information", kSystemInformation)}),
        Popup("&Tools", {Item("&Options", kOptions),
                         Item("&Reset statistics for current session", kResetStatistics)}),
        Popup("&Help", std::move(help)),
    };
}

std::string_view HelpPageFor(int command) {
    for (const HelpEntry& entry : kHelp) {
        if (entry.command == command) return entry.page;
    }
    return {};
}

}  // namespace console_menu
