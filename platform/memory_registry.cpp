#include "platform/memory_registry.h"

#include <array>

namespace platform {

namespace {

constexpr std::string_view kClassesPath = "Software\\Classes";

// The views a read of root consults, first winner first. Returns how many of
// the array's entries are used.
std::size_t ViewsFor(RegRoot root, const RegTree& machine, const RegTree& user,
                     std::array<RegView, 2>& views) {
    switch (root) {
        case RegRoot::kClassesRoot:
            views[0] = RegView{&user, kClassesPath};
            views[1] = RegView{&machine, kClassesPath};
            return 2;
        case RegRoot::kCurrentUser:
            views[0] = RegView{&user, ""};
            return 1;
        case RegRoot::kLocalMachine:
            views[0] = RegView{&machine, ""};
            return 1;
    }
    return 0;
}

}  // namespace

bool MemoryRegistry::WriteTarget(RegRoot root, std::string_view key, RegTree*& tree,
                                 std::string& path) {
    std::vector<std::string_view> parts;
    if (!SplitKeyPath(key, parts)) return false;
    tree = root == RegRoot::kCurrentUser ? &user_ : &machine_;
    path.clear();
    if (root == RegRoot::kClassesRoot) path = std::string(kClassesPath);
    for (std::string_view part : parts) {
        if (!path.empty()) path += '\\';
        path += part;
    }
    return true;
}

bool MemoryRegistry::KeyExists(RegRoot root, std::string_view key) const {
    std::array<RegView, 2> views;
    const std::size_t n = ViewsFor(root, machine_, user_, views);
    return regoverlay::KeyExists(std::span(views.data(), n), key);
}

std::optional<RegValue> MemoryRegistry::QueryValue(RegRoot root, std::string_view key,
                                                   std::string_view name) const {
    std::array<RegView, 2> views;
    const std::size_t n = ViewsFor(root, machine_, user_, views);
    return regoverlay::QueryValue(std::span(views.data(), n), key, name);
}

std::vector<std::string> MemoryRegistry::EnumSubKeys(RegRoot root, std::string_view key) const {
    std::array<RegView, 2> views;
    const std::size_t n = ViewsFor(root, machine_, user_, views);
    return regoverlay::EnumSubKeys(std::span(views.data(), n), key);
}

std::vector<std::string> MemoryRegistry::EnumValueNames(RegRoot root, std::string_view key) const {
    std::array<RegView, 2> views;
    const std::size_t n = ViewsFor(root, machine_, user_, views);
    return regoverlay::EnumValueNames(std::span(views.data(), n), key);
}

bool MemoryRegistry::CreateKey(RegRoot root, std::string_view key) {
    RegTree* tree = nullptr;
    std::string path;
    if (readOnly_ || !WriteTarget(root, key, tree, path)) return false;
    return tree->FindOrCreate(path) != nullptr;
}

bool MemoryRegistry::SetValue(RegRoot root, std::string_view key, std::string_view name,
                              const RegValue& value) {
    RegTree* tree = nullptr;
    std::string path;
    if (readOnly_ || !WriteTarget(root, key, tree, path)) return false;
    RegTree::Key* k = tree->FindOrCreate(path);
    if (k == nullptr) return false;
    auto it = k->values.find(name);
    if (it == k->values.end()) {
        k->values.emplace(std::string(name), value);
    } else {
        it->second = value;
    }
    return true;
}

bool MemoryRegistry::DeleteValue(RegRoot root, std::string_view key, std::string_view name) {
    RegTree* tree = nullptr;
    std::string path;
    if (readOnly_ || !WriteTarget(root, key, tree, path)) return false;
    // Deleting what is not there succeeds, so that clean-up code can run twice.
    if (RegTree::Key* k = tree->Find(path)) k->values.erase(std::string(name));
    return true;
}

bool MemoryRegistry::DeleteKeyTree(RegRoot root, std::string_view key) {
    RegTree* tree = nullptr;
    std::string path;
    if (readOnly_ || !WriteTarget(root, key, tree, path) || path.empty()) return false;
    tree->Erase(path);
    return true;
}

bool MemoryRegistry::Flush() {
    if (readOnly_) return false;
    ++flushCount_;
    return true;
}

}  // namespace platform
