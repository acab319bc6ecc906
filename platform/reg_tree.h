#pragma once
// An in-memory tree of registry keys: the storage behind every Registry
// implementation. Key and value names keep the spelling first seen and are
// found without regard to letter case through a case-insensitive ordered map,
// so a look-up costs one map search per path component.

#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/text_util.h"

namespace platform {

// Longest key name component accepted, as on Windows.
inline constexpr std::size_t kMaxKeyNameLength = 255;

// Splits a backslash-separated key path into its components. One leading and
// one trailing backslash are tolerated; the empty path names the root. Returns
// false (leaving parts unspecified) for an empty inner component or a
// component longer than kMaxKeyNameLength.
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& parts);

class RegTree {
  public:
    struct Key {
        std::string name;
        std::map<std::string, std::unique_ptr<Key>, LessNoCase> subKeys;
        std::map<std::string, RegValue, LessNoCase> values;  // "" is the default value
    };

    RegTree();

    // The root key (its name is empty).
    const Key& Root() const { return *root_; }
    Key& Root() { return *root_; }

    // The key at path below the root, or nullptr when absent or invalid.
    const Key* Find(std::string_view path) const;
    Key* Find(std::string_view path);
    // The key at path, created with its parents as needed; nullptr when the
    // path is invalid.
    Key* FindOrCreate(std::string_view path);
    // Removes the key at path with everything below it; false when absent,
    // invalid, or the root.
    bool Erase(std::string_view path);
    // Removes every key and value.
    void Clear();
    // True when the tree holds no key and no value.
    bool Empty() const { return root_->subKeys.empty() && root_->values.empty(); }

    // Descends from start along path; nullptr when absent or invalid.
    static const Key* Descend(const Key& start, std::string_view path);

  private:
    std::unique_ptr<Key> root_;
};

// A read-only window onto a tree: the key at `prefix` of `tree` acts as the
// root (for the classes root, prefix is "Software\\Classes").
struct RegView {
    const RegTree* tree = nullptr;
    std::string_view prefix;
};

// Reads over an ordered list of views, the first view winning for values;
// keys and names are the union of all views. Used by the registries that
// overlay a store of their own on read-only sources.
namespace regoverlay {
bool KeyExists(std::span<const RegView> views, std::string_view key);
std::optional<RegValue> QueryValue(std::span<const RegView> views, std::string_view key,
                                   std::string_view name);
std::vector<std::string> EnumSubKeys(std::span<const RegView> views, std::string_view key);
std::vector<std::string> EnumValueNames(std::span<const RegView> views, std::string_view key);
}  // namespace regoverlay

}  // namespace platform
