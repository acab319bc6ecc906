#include "platform/memory_profile.h"

namespace platform {

std::string MemoryProfile::GetString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
    auto v = doc_.Get(section, key);
    return v ? *v : std::string(def);
}

int MemoryProfile::GetInt(std::string_view section, std::string_view key, int def) const {
    auto v = doc_.Get(section, key);
    if (!v || v->empty()) return def;
    return ParseProfileInt(*v);
}

bool MemoryProfile::WriteString(std::string_view section, std::string_view key,
                                std::string_view value) {
    if (!doc_.Set(section, key, value)) return false;
    ++writes_;
    return true;
}

bool MemoryProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool MemoryProfile::DeleteKey(std::string_view section, std::string_view key) {
    if (doc_.RemoveKey(section, key)) ++writes_;
    return true;
}

bool MemoryProfile::DeleteSection(std::string_view section) {
    if (doc_.RemoveSection(section)) ++writes_;
    return true;
}

std::vector<std::string> MemoryProfile::Sections() const { return doc_.Sections(); }

std::vector<std::pair<std::string, std::string>> MemoryProfile::Entries(
    std::string_view section) const {
    return doc_.Entries(section);
}

}  // namespace platform
