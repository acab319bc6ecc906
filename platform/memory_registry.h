#pragma once
// An in-memory Registry for tests and for runs without a Wine prefix. It
// behaves like the Wine-backed registry without its read-only layer: the
// classes root reads the current user's "Software\\Classes" over the local
// machine's, and writes to the classes root land in the local machine's
// "Software\\Classes".

#include "platform/reg_tree.h"
#include "platform/registry.h"

namespace platform {

class MemoryRegistry : public Registry {
  public:
    MemoryRegistry() = default;

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
    // Counts the call and returns true (false when read-only).
    bool Flush() override;

    // Makes every write and Flush() fail from now on (or succeed again), to
    // test callers' handling of a registry they cannot write.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // How many times Flush() succeeded.
    int FlushCount() const { return flushCount_; }
    // The local machine and current user trees, for inspection in tests.
    const RegTree& Machine() const { return machine_; }
    const RegTree& User() const { return user_; }

  private:
    // The tree and key path a write to (root, key) goes to; false when the
    // path is invalid.
    bool WriteTarget(RegRoot root, std::string_view key, RegTree*& tree, std::string& path);

    RegTree machine_;
    RegTree user_;
    bool readOnly_ = false;
    int flushCount_ = 0;
};

}  // namespace platform
