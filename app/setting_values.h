#pragma once
// The integer settings the program reads from "Seatwatch.ini", each with its
// default and the values it can take. A value edited by hand or damaged (out
// of range, empty, not a whole number) reads as the default, so a bad entry
// never places a window out of reach or switches on a mode by accident.

#include "platform/profile.h"

struct IntSetting {
    const char* section;
    const char* key;
    int def;
    int lowest;
    int highest;
};

namespace setting {

// A place a window can be moved to on any screen.
inline constexpr int kFarthestPlace = 16384;

inline constexpr IntSetting kConsoleLeft{"Positions", "Console-Left", 100, -kFarthestPlace,
                                         kFarthestPlace};
inline constexpr IntSetting kConsoleTop{"Positions", "Console-Top", 100, -kFarthestPlace,
                                        kFarthestPlace};
inline constexpr IntSetting kRunning{"ph", "Start", 0, 0, 1};
inline constexpr IntSetting kInternetPort{"Internet", "Port", 80, 1, 65535};
inline constexpr IntSetting kCurrentReport{"Reports", "Current", 2, 0, 2};
inline constexpr IntSetting kWaitForHandDialog{"Config", "WaitForHandDialog", 1, 0, 1};
inline constexpr IntSetting kScreenResolution{"Config", "ScreenResolution", 1, 0, 1};
inline constexpr IntSetting kPokerTracker{"Advanced", "PokerTracker", 0, 0, 1};
inline constexpr IntSetting kDetachTableView{"Advanced", "Detach Table View", 0, 0, 2};
inline constexpr IntSetting kReuseGraphWindow{"Advanced", "Reuse Graph Window", 0, 0, 1};

}  // namespace setting

// The setting's value, or its default when the entry is absent, empty, not a
// whole number or outside [lowest, highest].
int ReadSetting(const platform::Profile& settings, const IntSetting& setting);
// The same with another default (the room dialog shows the historical
// folder unless the user turned it off).
int ReadSetting(const platform::Profile& settings, const IntSetting& setting, int def);
