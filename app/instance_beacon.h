#pragma once
// How a second copy of the program finds the running one: the running copy
// writes the desk's port and token to "Seatwatch.desk" in the program folder,
// readable and writable by the user alone (0600), and the second copy posts
// to that desk to bring the running console to the front. The file is only
// trusted together with the instance lock: it is read when the lock is held
// by another process, so a file left behind by a crash is never used.
#include <filesystem>
#include <optional>
#include <string>

struct InstanceBeacon {
    int port = 0;
    std::string token;
    long pid = 0;
};

// Writes the beacon for this process (atomically, mode 0600). False with a
// reason when the file cannot be written.
bool WriteInstanceBeacon(const std::filesystem::path& folder, const InstanceBeacon& beacon,
                         std::string& error);

// The beacon in the folder, or nothing when the file is missing, unreadable,
// malformed, or readable by others than the user (then it is not trusted).
std::optional<InstanceBeacon> ReadInstanceBeacon(const std::filesystem::path& folder);

// Removes the beacon when it is still this process's own (same pid).
void RemoveInstanceBeacon(const std::filesystem::path& folder, long pid);

// The second copy's request: reads the beacon (waiting up to waitMs for a
// copy that is still starting to write it) and posts "activate" to the
// running copy's desk. True when the running copy accepted it.
bool AskRunningCopyToActivate(const std::filesystem::path& folder, int waitMs = 2000);
