#pragma once
// A Profile backed by an INI file ("Seatwatch.ini", "Alerts.ini", a poker
// client's own INI files). The file is read when the object is made (and by
// Reload()); every successful write replaces the file atomically, so a crash
// or a kill at any moment leaves either the old or the new file, whole.

#include <string>

#include "platform/ini_document.h"
#include "platform/profile.h"

namespace platform {

enum class ProfileAccess { kReadOnly, kReadWrite };

class FileProfile : public Profile {
  public:
    // Reads path; a missing file reads as empty. A file that is not text
    // (it holds NUL bytes) or is too large reads as empty and is logged.
    // With kReadOnly every write fails and the file is never touched.
    FileProfile(std::string path, ProfileAccess access);

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def = {}) const override;
    int GetInt(std::string_view section, std::string_view key, int def) const override;
    bool WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool WriteInt(std::string_view section, std::string_view key, int value) override;
    bool DeleteKey(std::string_view section, std::string_view key) override;
    bool DeleteSection(std::string_view section) override;
    std::vector<std::string> Sections() const override;
    std::vector<std::pair<std::string, std::string>> Entries(
        std::string_view section) const override;

    // Reads the file again, dropping nothing (every write is already saved).
    void Reload();
    const std::string& Path() const { return path_; }

  private:
    // Writes doc to the file; on failure restores the previous state.
    bool Commit(IniDocument before);

    std::string path_;
    ProfileAccess access_;
    IniDocument doc_;
};

}  // namespace platform
