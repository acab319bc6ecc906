#pragma once
// Windows paths of the poker clients, mapped to host paths through a Wine
// prefix: "C:\\Program Files\\Room\\x.ini" becomes
// <prefix>/dosdevices/c:/program files/Room/x.ini with each component matched
// without regard to letter case, as Wine does.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class WinPaths {
  public:
    // The prefix folder: commandLinePrefix when not empty, else $WINEPREFIX,
    // else $HOME/.wine. Nothing (and a line in the program log) when the
    // chosen folder does not exist.
    static std::optional<std::filesystem::path> FindPrefix(std::string_view commandLinePrefix);

    // Without a prefix every Windows path is absent.
    explicit WinPaths(std::optional<std::filesystem::path> prefix);

    // True when a prefix was given.
    bool HasPrefix() const { return prefix_.has_value(); }
    const std::optional<std::filesystem::path>& Prefix() const { return prefix_; }

    // The host path for an absolute Windows path (drive letter, then
    // components separated by backslashes or slashes). Existing components
    // are found without regard to case; from the first missing component on,
    // the rest is appended as written, so callers can create it. ".." never
    // climbs above the drive's root. Nothing when there is no prefix, the path
    // has no drive letter, or the drive is not mapped (a dangling drive link
    // is also logged).
    std::optional<std::filesystem::path> ToHost(std::string_view windowsPath) const;

    // The Windows spelling of a host path, for display: the drive whose
    // target holds the path (the longest match), then the rest with
    // backslashes. Nothing when no drive maps to it.
    std::optional<std::string> ToWindows(const std::filesystem::path& hostPath) const;

  private:
    std::optional<std::filesystem::path> prefix_;
};

}  // namespace platform
