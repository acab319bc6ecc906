#pragma once
// A Profile kept in memory, for tests and for reading INI text that is not a
// file; its Text() shows exactly what a file would hold.

#include "platform/ini_document.h"
#include "platform/profile.h"

namespace platform {

class MemoryProfile : public Profile {
  public:
    explicit MemoryProfile(std::string_view text = {}) : doc_(text) {}

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

    // The text a file with these settings would hold.
    std::string Text() const { return doc_.Text(); }
    // How many writes succeeded.
    int WriteCount() const { return writes_; }

  protected:
    IniDocument doc_;
    int writes_ = 0;
};

}  // namespace platform
