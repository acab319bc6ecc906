#include "platform/reg_tree.h"

namespace platform {

bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& parts) {
    parts.clear();
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.empty()) return true;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string_view part =
            path.substr(start, end == std::string_view::npos ? path.size() - start : end - start);
        std::size_t chars = 0;  // UTF-8 characters, not bytes
        for (char c : part) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (part.empty() || chars > kMaxKeyNameLength) return false;
        parts.push_back(part);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return true;
}

RegTree::RegTree() : root_(std::make_unique<Key>()) {}

const RegTree::Key* RegTree::Descend(const Key& start, std::string_view path) {
    std::vector<std::string_view> parts;
    if (!SplitKeyPath(path, parts)) return nullptr;
    const Key* key = &start;
    for (std::string_view part : parts) {
        auto it = key->subKeys.find(part);
        if (it == key->subKeys.end()) return nullptr;
        key = it->second.get();
    }
    return key;
}

const RegTree::Key* RegTree::Find(std::string_view path) const { return Descend(*root_, path); }

RegTree::Key* RegTree::Find(std::string_view path) {
    return const_cast<Key*>(Descend(*root_, path));
}

RegTree::Key* RegTree::FindOrCreate(std::string_view path) {
    std::vector<std::string_view> parts;
    if (!SplitKeyPath(path, parts)) return nullptr;
    Key* key = root_.get();
    for (std::string_view part : parts) {
        auto it = key->subKeys.find(part);
        if (it == key->subKeys.end()) {
            auto child = std::make_unique<Key>();
            child->name = std::string(part);
            it = key->subKeys.emplace(child->name, std::move(child)).first;
        }
        key = it->second.get();
    }
    return key;
}

bool RegTree::Erase(std::string_view path) {
    std::vector<std::string_view> parts;
    if (!SplitKeyPath(path, parts) || parts.empty()) return false;
    Key* parent = root_.get();
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = parent->subKeys.find(parts[i]);
        if (it == parent->subKeys.end()) return false;
        parent = it->second.get();
    }
    auto it = parent->subKeys.find(parts.back());
    if (it == parent->subKeys.end()) return false;
    parent->subKeys.erase(it);
    return true;
}

void RegTree::Clear() { root_ = std::make_unique<Key>(); }

namespace regoverlay {

namespace {

const RegTree::Key* FindInView(const RegView& view, std::string_view key) {
    if (view.tree == nullptr) return nullptr;
    const RegTree::Key* base = view.tree->Find(view.prefix);
    if (base == nullptr) return nullptr;
    return RegTree::Descend(*base, key);
}

}  // namespace

bool KeyExists(std::span<const RegView> views, std::string_view key) {
    for (const RegView& view : views) {
        if (FindInView(view, key) != nullptr) return true;
    }
    return false;
}

std::optional<RegValue> QueryValue(std::span<const RegView> views, std::string_view key,
                                   std::string_view name) {
    for (const RegView& view : views) {
        const RegTree::Key* k = FindInView(view, key);
        if (k == nullptr) continue;
        auto it = k->values.find(name);
        if (it != k->values.end()) return it->second;
    }
    return std::nullopt;
}

std::vector<std::string> EnumSubKeys(std::span<const RegView> views, std::string_view key) {
    // The map keeps the first spelling seen and the case-insensitive order.
    std::map<std::string, bool, LessNoCase> names;
    for (const RegView& view : views) {
        const RegTree::Key* k = FindInView(view, key);
        if (k == nullptr) continue;
        for (const auto& [name, child] : k->subKeys) names.emplace(name, true);
    }
    std::vector<std::string> out;
    out.reserve(names.size());
    for (auto& [name, unused] : names) out.push_back(name);
    return out;
}

std::vector<std::string> EnumValueNames(std::span<const RegView> views, std::string_view key) {
    std::map<std::string, bool, LessNoCase> names;
    for (const RegView& view : views) {
        const RegTree::Key* k = FindInView(view, key);
        if (k == nullptr) continue;
        for (const auto& [name, value] : k->values) names.emplace(name, true);
    }
    std::vector<std::string> out;
    out.reserve(names.size());
    for (auto& [name, unused] : names) out.push_back(name);
    return out;
}

}  // namespace regoverlay

}  // namespace platform
