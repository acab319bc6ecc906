#pragma once
// The registry as the rest of the program sees it: keys and values under
// three roots, key and value names matched without regard to letter case.
//
// Key paths are written with backslashes and no leading root, for example
// "Software\\Classes\\CLSID\\{...}\\InprocServer32". The empty value name
// stands for the key's default value ("@" in Wine's files). Strings are UTF-8.
//
// The Linux implementation reads a Wine prefix (system.reg for the local
// machine, user.reg for the current user, the classes root merged from
// "Software\\Classes" of both) read-only, and overlays a writable store of our
// own, kept in the same text format in the program folder. Reads see the
// store first, then the prefix; writes and deletions go to the store only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RegRoot { kClassesRoot, kCurrentUser, kLocalMachine };

enum class RegType { kString, kExpandString, kDWord, kBinary, kMultiString };

struct RegValue {
    RegType type = RegType::kString;
    std::string text;                  // kString, kExpandString
    std::uint32_t dword = 0;           // kDWord
    std::vector<std::uint8_t> binary;  // kBinary (and any hex(N) type we do not interpret)
    std::vector<std::string> strings;  // kMultiString

    static RegValue String(std::string s) {
        RegValue v;
        v.text = std::move(s);
        return v;
    }
    static RegValue DWord(std::uint32_t d) {
        RegValue v;
        v.type = RegType::kDWord;
        v.dword = d;
        return v;
    }
    bool operator==(const RegValue&) const = default;
};

class Registry {
  public:
    virtual ~Registry() = default;

    // True when the key exists (in the store or the prefix).
    virtual bool KeyExists(RegRoot root, std::string_view key) const = 0;
    // The value, or nothing when the key or the value is absent.
    virtual std::optional<RegValue> QueryValue(RegRoot root, std::string_view key,
                                               std::string_view name) const = 0;
    // Convenience: a string or expand-string value as text; nothing otherwise.
    std::optional<std::string> QueryString(RegRoot root, std::string_view key,
                                           std::string_view name) const {
        auto v = QueryValue(root, key, name);
        if (!v || (v->type != RegType::kString && v->type != RegType::kExpandString))
            return std::nullopt;
        return v->text;
    }
    // Names of the direct sub-keys, in the spelling first seen, sorted without
    // regard to case. Empty when the key is absent.
    virtual std::vector<std::string> EnumSubKeys(RegRoot root, std::string_view key) const = 0;
    // Names of the key's values ("" for the default value).
    virtual std::vector<std::string> EnumValueNames(RegRoot root, std::string_view key) const = 0;

    // Writes go to our own store. Creating a key creates its parents.
    // Each returns false when the store is read-only or the path is invalid.
    // Deleting a value or key that is absent succeeds.
    virtual bool CreateKey(RegRoot root, std::string_view key) = 0;
    virtual bool SetValue(RegRoot root, std::string_view key, std::string_view name,
                          const RegValue& value) = 0;
    virtual bool DeleteValue(RegRoot root, std::string_view key, std::string_view name) = 0;
    // Deletes the key with all its sub-keys and values from the store.
    virtual bool DeleteKeyTree(RegRoot root, std::string_view key) = 0;
    // Writes the store to disk atomically; true on success (or nothing to do).
    virtual bool Flush() = 0;
};

}  // namespace platform
