#pragma once
// The registry of a Wine prefix, read-only, with a writable store of our own
// laid over it (see registry.h for the rules). The store is one file in Wine's
// text format whose keys start with "Machine" or "User", for example
// [Machine\\Software\\Classes\\CLSID\\{...}].

#include <filesystem>
#include <string>

#include "platform/reg_tree.h"
#include "platform/registry.h"

namespace platform {

class WineRegistry : public Registry {
  public:
    // Reads prefixDir/system.reg and prefixDir/user.reg (an empty prefixDir
    // means no prefix) and the store at storePath (an empty path gives a
    // store that lives in memory only). Missing or unreadable files leave
    // their part empty and write a line to the program log.
    WineRegistry(std::filesystem::path prefixDir, std::filesystem::path storePath);
    // Writes the store if it changed since the last Flush().
    ~WineRegistry() override;
    WineRegistry(const WineRegistry&) = delete;
    WineRegistry& operator=(const WineRegistry&) = delete;

    bool KeyExists(RegRoot root, std::string_view key) const override;
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view key,
                                       std::string_view name) const override;
    std::vector<std::string> EnumSubKeys(RegRoot root, std::string_view key) const override;
    std::vector<std::string> EnumValueNames(RegRoot root, std::string_view key) const override;

    bool CreateKey(RegRoot root, std::string_view key) override;
    bool SetValue(RegRoot root, std::string_view key, std::string_view name,
                  const RegValue& value) override;
    bool DeleteValue(RegRoot root, std::string_view key, std::string_view name) override;
    bool DeleteKeyTree(RegRoot root, std::string_view key) override;
    bool Flush() override;

    // True when system.reg or user.reg of the prefix was read.
    bool HasPrefix() const { return hasPrefix_; }

  private:
    // Collects the views a read of root consults, first winner first.
    std::size_t Views(RegRoot root, RegView* views) const;
    // The store path for (root, key), or nothing when key is invalid.
    std::optional<std::string> StorePath(RegRoot root, std::string_view key) const;

    RegTree machine_;
    RegTree user_;
    RegTree store_;
    std::filesystem::path storePath_;
    bool hasPrefix_ = false;
    bool dirty_ = false;
};

}  // namespace platform
