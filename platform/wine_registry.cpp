#include "platform/wine_registry.h"

#include "platform/file_util.h"
#include "platform/log.h"
#include "platform/reg_file.h"

namespace platform {

namespace {

constexpr std::string_view kClassesPath = "Software\\Classes";
constexpr std::string_view kStoreMachineClasses = "Machine\\Software\\Classes";
constexpr std::string_view kStoreUserClasses = "User\\Software\\Classes";

// Loads one file into tree; returns true when it was read as a registry file.
bool LoadInto(const std::filesystem::path& path, RegTree& tree, bool logMissing) {
    std::optional<std::string> text = ReadWholeFile(path.string());
    if (!text) {
        if (logMissing) Log::Write("Registry: cannot read " + path.string());
        return false;
    }
    const RegParseResult r = ParseRegFile(*text, tree);
    if (!r.recognised) {
        Log::Write("Registry: not a Wine registry file, ignored: " + path.string());
        return false;
    }
    if (r.badLines > 0) {
        Log::Write("Registry: " + std::to_string(r.badLines) + " unreadable line(s) skipped in " +
                   path.string() + ", first at line " + std::to_string(r.firstBadLine));
    }
    return true;
}

}  // namespace

WineRegistry::WineRegistry(std::filesystem::path prefixDir, std::filesystem::path storePath)
    : storePath_(std::move(storePath)) {
    if (!prefixDir.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(prefixDir, ec)) {
            Log::Write("Registry: Wine prefix not found: " + prefixDir.string());
        } else {
            const bool machine = LoadInto(prefixDir / "system.reg", machine_, true);
            const bool user = LoadInto(prefixDir / "user.reg", user_, true);
            hasPrefix_ = machine || user;
        }
    }
    if (!storePath_.empty()) {
        std::error_code ec;
        // A store that does not exist yet is the normal first start.
        if (std::filesystem::exists(storePath_, ec)) LoadInto(storePath_, store_, true);
    }
}

WineRegistry::~WineRegistry() {
    if (dirty_) Flush();
}

std::size_t WineRegistry::Views(RegRoot root, RegView* views) const {
    switch (root) {
        case RegRoot::kClassesRoot:
            views[0] = RegView{&store_, kStoreUserClasses};
            views[1] = RegView{&store_, kStoreMachineClasses};
            views[2] = RegView{&user_, kClassesPath};
            views[3] = RegView{&machine_, kClassesPath};
            return 4;
        case RegRoot::kCurrentUser:
            views[0] = RegView{&store_, "User"};
            views[1] = RegView{&user_, ""};
            return 2;
        case RegRoot::kLocalMachine:
            views[0] = RegView{&store_, "Machine"};
            views[1] = RegView{&machine_, ""};
            return 2;
    }
    return 0;
}

std::optional<std::string> WineRegistry::StorePath(RegRoot root, std::string_view key) const {
    std::vector<std::string_view> parts;
    if (!SplitKeyPath(key, parts)) return std::nullopt;
    std::string path;
    switch (root) {
        case RegRoot::kClassesRoot:
            path = kStoreMachineClasses;
            break;
        case RegRoot::kCurrentUser:
            path = "User";
            break;
        case RegRoot::kLocalMachine:
            path = "Machine";
            break;
    }
    for (std::string_view part : parts) {
        path += '\\';
        path += part;
    }
    return path;
}

bool WineRegistry::KeyExists(RegRoot root, std::string_view key) const {
    RegView views[4];
    return regoverlay::KeyExists(std::span(views, Views(root, views)), key);
}

std::optional<RegValue> WineRegistry::QueryValue(RegRoot root, std::string_view key,
                                                 std::string_view name) const {
    RegView views[4];
    return regoverlay::QueryValue(std::span(views, Views(root, views)), key, name);
}

std::vector<std::string> WineRegistry::EnumSubKeys(RegRoot root, std::string_view key) const {
    RegView views[4];
    return regoverlay::EnumSubKeys(std::span(views, Views(root, views)), key);
}

std::vector<std::string> WineRegistry::EnumValueNames(RegRoot root, std::string_view key) const {
    RegView views[4];
    return regoverlay::EnumValueNames(std::span(views, Views(root, views)), key);
}

bool WineRegistry::CreateKey(RegRoot root, std::string_view key) {
    const auto path = StorePath(root, key);
    if (!path || store_.FindOrCreate(*path) == nullptr) return false;
    dirty_ = true;
    return true;
}

bool WineRegistry::SetValue(RegRoot root, std::string_view key, std::string_view name,
                            const RegValue& value) {
    const auto path = StorePath(root, key);
    if (!path) return false;
    RegTree::Key* k = store_.FindOrCreate(*path);
    if (k == nullptr) return false;
    auto it = k->values.find(name);
    if (it == k->values.end()) {
        k->values.emplace(std::string(name), value);
    } else {
        it->second = value;
    }
    dirty_ = true;
    return true;
}

bool WineRegistry::DeleteValue(RegRoot root, std::string_view key, std::string_view name) {
    const auto path = StorePath(root, key);
    if (!path) return false;
    if (RegTree::Key* k = store_.Find(*path)) {
        if (k->values.erase(std::string(name)) > 0) dirty_ = true;
    }
    return true;
}

bool WineRegistry::DeleteKeyTree(RegRoot root, std::string_view key) {
    const auto path = StorePath(root, key);
    std::vector<std::string_view> parts;
    if (!path || !SplitKeyPath(key, parts) || parts.empty()) return false;
    if (store_.Erase(*path)) dirty_ = true;
    return true;
}

bool WineRegistry::Flush() {
    if (!dirty_) return true;
    if (storePath_.empty()) {
        dirty_ = false;
        return true;
    }
    if (!WriteFileAtomically(storePath_.string(), WriteRegFile(store_, "\\Registry"))) {
        Log::Write("Registry: cannot write " + storePath_.string());
        return false;
    }
    dirty_ = false;
    return true;
}

}  // namespace platform
