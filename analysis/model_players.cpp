#include "analysis/model_players.h"

#include <cstdio>

namespace analysis {

namespace {

// H, fold before flop / turn / river %, PFR%, Bet/Check, Raise/Call,
// %ReRaise, %CheckRaise, EarlyPlay%.
constexpr std::array<CPlayerStats::ModelFigures, kModelPlayerCount> kFigures = {{
    {1000, 83.64F, 88.57F, 91.23F, 11.69F, 91, 44, 2.35F, 3.33F, 78.57F},
    {1000, 80.56F, 86.25F, 88.89F, 8.47F, 75, 31, 1.72F, 2.7F, 70.0F},
    {1000, 78.38F, 84.4F, 87.32F, 7.14F, 66, 25, 1.4F, 2.15F, 63.64F},
    {1000, 76.1F, 82.86F, 86.0F, 6.25F, 59, 20, 1.19F, 1.69F, 58.33F},
    {1000, 74.19F, 81.58F, 85.08F, 5.56F, 52, 17, 1.0F, 1.37F, 54.2F},
    {1000, 72.66F, 80.07F, 83.93F, 4.71F, 48, 15, 0.85F, 1.02F, 50.0F},
    {1000, 70.64F, 78.79F, 82.81F, 4.08F, 44, 13, 0.72F, 0.71F, 46.88F},
    {1000, 68.97F, 77.21F, 81.82F, 3.47F, 41, 12, 0.6F, 0.38F, 43.75F},
    {25, 66.67F, 75.61F, 80.31F, 3.08F, 38, 10, 0.46F, 0.0F, 40.91F},
    {50, 65.31F, 74.24F, 78.95F, 2.7F, 35, 9, 0.35F, 0.0F, 38.1F},
    {75, 63.33F, 72.73F, 77.78F, 2.33F, 33, 8, 0.22F, 0.0F, 35.71F},
    {100, 61.22F, 70.97F, 76.19F, 1.91F, 31, 7, 0.0F, 0.0F, 33.33F},
    {125, 59.26F, 69.09F, 74.63F, 1.54F, 28, 6, 0.0F, 0.0F, 29.85F},
    {150, 56.82F, 67.12F, 73.08F, 1.06F, 26, 5, 0.0F, 0.0F, 27.27F},
    {175, 54.41F, 65.31F, 71.43F, 0.0F, 24, 4, 0.0F, 0.0F, 25.0F},
    {200, 51.68F, 62.79F, 69.52F, 0.0F, 21, 3, 0.0F, 0.0F, 22.22F},
    {225, 48.28F, 60.0F, 67.07F, 0.0F, 18, 2, 0.0F, 0.0F, 19.44F},
    {250, 43.24F, 55.38F, 63.93F, 0.0F, 15, 1, 0.0F, 0.0F, 16.41F},
    {275, 36.11F, 48.82F, 58.33F, 0.0F, 9, 0, 0.0F, 0.0F, 11.11F},
    {300, 0.0F, 5.71F, 17.14F, 0.0F, 0, 0, 0.0F, 0.0F, 0.0F},
}};

}  // namespace

const CPlayerStats::ModelFigures& ModelPlayerFigures(int number) {
    return kFigures.at(static_cast<std::size_t>(number));
}

std::string ModelPlayerKey(int number, bool noLimit) {
    char key[48];
    std::snprintf(key, sizeof key, "_Seatwatch_ModelPlayer%02d_%s", number, noLimit ? " (NL)" : "");
    return key;
}

}  // namespace analysis
