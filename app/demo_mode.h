#pragma once
// The demo started by `seatwatch --demo`: the bundled sample Wine prefix laid
// out afresh (a detected client whose account folder holds hands played
// earlier today), the browser plug-in registered, and the history simulator
// going on with new hands at the same tables while the program runs. The
// options then name that prefix and its room, so the program starts on it as
// on any client.
#include <sys/types.h>

#include <filesystem>
#include <string>

#include "app/command_line.h"

class CDemoSession {
  public:
    CDemoSession() = default;
    ~CDemoSession();
    CDemoSession(const CDemoSession&) = delete;
    CDemoSession& operator=(const CDemoSession&) = delete;

    // Lays out the demo in `folder` and starts the simulator; fills the
    // options' program folder (when none was given: `folder`/home), Wine
    // prefix and room options. False, with a message in `error`, when a
    // part of the demo is missing or fails.
    bool Start(const std::filesystem::path& folder, CommandLineOptions& options,
               std::string& error);
    // Stops the simulator (also done on destruction).
    void Stop();
    bool SimulatorRunning() const { return simulator_ > 0; }

  private:
    pid_t simulator_ = -1;
};

// The nickname the demo plays under.
inline constexpr const char* kDemoNickname = "SeatwatchUser";

// The folder the demo is laid out in: --demo-folder, else "demo" in the
// program folder.
std::filesystem::path DemoFolder(const CommandLineOptions& options);
// Seconds between two simulated hands: --demo-rate, else the demo's pace.
double DemoRate(const CommandLineOptions& options);
