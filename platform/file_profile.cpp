#include "platform/file_profile.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/file_util.h"
#include "platform/log.h"

namespace platform {

namespace {

// Settings files are small; anything bigger is not one of ours.
constexpr std::size_t kMaxProfileSize = 16u * 1024u * 1024u;

}  // namespace

FileProfile::FileProfile(std::string path, ProfileAccess access)
    : path_(std::move(path)), access_(access) {
    Reload();
}

void FileProfile::Reload() {
    doc_ = IniDocument();
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) return;  // absent: empty settings
    const auto text = ReadWholeFile(path_, kMaxProfileSize);
    if (!text) {
        Log::Write("Settings: cannot read " + path_);
        return;
    }
    if (text->find('\0') != std::string::npos) {
        Log::Write("Settings: not a text file, ignored: " + path_);
        return;
    }
    doc_ = IniDocument(*text);
}

std::string FileProfile::GetString(std::string_view section, std::string_view key,
                                   std::string_view def) const {
    auto v = doc_.Get(section, key);
    return v ? *v : std::string(def);
}

int FileProfile::GetInt(std::string_view section, std::string_view key, int def) const {
    auto v = doc_.Get(section, key);
    if (!v || v->empty()) return def;
    return ParseProfileInt(*v);
}

bool FileProfile::Commit(IniDocument before) {
    if (WriteFileAtomically(path_, doc_.Text())) return true;
    Log::Write("Settings: cannot write " + path_);
    doc_ = std::move(before);
    return false;
}

bool FileProfile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    if (access_ == ProfileAccess::kReadOnly) return false;
    IniDocument before = doc_;
    if (!doc_.Set(section, key, value)) return false;
    return Commit(std::move(before));
}

bool FileProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool FileProfile::DeleteKey(std::string_view section, std::string_view key) {
    if (access_ == ProfileAccess::kReadOnly) return false;
    IniDocument before = doc_;
    if (!doc_.RemoveKey(section, key)) return true;
    return Commit(std::move(before));
}

bool FileProfile::DeleteSection(std::string_view section) {
    if (access_ == ProfileAccess::kReadOnly) return false;
    IniDocument before = doc_;
    if (!doc_.RemoveSection(section)) return true;
    return Commit(std::move(before));
}

std::vector<std::string> FileProfile::Sections() const { return doc_.Sections(); }

std::vector<std::pair<std::string, std::string>> FileProfile::Entries(
    std::string_view section) const {
    return doc_.Entries(section);
}

}  // namespace platform
