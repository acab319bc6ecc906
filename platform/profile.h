#pragma once
// A settings file read and written by section and key, with the semantics of
// the platform's private-profile calls: sections and keys match without
// regard to letter case, absent entries give the caller's default, and
// integers are read leniently (see ParseProfileInt).

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class Profile {
  public:
    virtual ~Profile() = default;

    // The entry's text, or def when the section or key is absent.
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view def = {}) const = 0;
    // The entry read as an integer, or def when absent or empty; 0 when the
    // entry holds no number.
    virtual int GetInt(std::string_view section, std::string_view key, int def) const = 0;
    // Writes the entry (creating section and key as needed); false when the
    // text cannot be stored faithfully or the file cannot be written.
    virtual bool WriteString(std::string_view section, std::string_view key,
                             std::string_view value) = 0;
    // Writes the integer in decimal.
    virtual bool WriteInt(std::string_view section, std::string_view key, int value) = 0;
    // Removes the entry; true when it is gone (or was never there).
    virtual bool DeleteKey(std::string_view section, std::string_view key) = 0;
    // Removes the section with all its entries.
    virtual bool DeleteSection(std::string_view section) = 0;
    // Section names in file order.
    virtual std::vector<std::string> Sections() const = 0;
    // The section's entries (key, value) in file order.
    virtual std::vector<std::pair<std::string, std::string>> Entries(
        std::string_view section) const = 0;
};

}  // namespace platform
