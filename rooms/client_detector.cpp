#include "rooms/client_detector.h"

#include <array>
#include <charconv>
#include <system_error>

#include "platform/file_profile.h"
#include "platform/text_util.h"
#include "rooms/poker_stars_client.h"

namespace rooms {

namespace {

using platform::RegRoot;
namespace fs = std::filesystem;

constexpr std::string_view kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::string_view kPokerStarsBlankKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Poker Stars";
constexpr std::string_view kPokerStarsDefault = "C:\\Program Files\\PokerStars";
constexpr std::string_view kFullTiltDefault = "C:\\Program Files\\Full Tilt Poker";
constexpr std::string_view kFullTiltLastHand = "SOFTWARE\\Full Tilt Poker\\LastHand";
constexpr std::string_view kFullTiltOptions = "SOFTWARE\\Full Tilt Poker\\Options";
constexpr std::string_view kFullTiltUninstall =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{D4C9692E-4EFA-4DA0-8B7F-"
    "9439466D9E31}";
constexpr std::string_view kAbsoluteKey = "SOFTWARE\\Innoco\\Casino\\absolute\\common";
constexpr std::string_view kAbsoluteDefault = "c:\\Program Files\\Absolute Poker";
constexpr std::string_view kHandHistory = "\\HandHistory";

// Uninstall entry names of the InterPoker family, by room identifier.
std::string_view InterPokerUninstallName(int id) {
    switch (id) {
        case 108:
            return "InterCasinoPoker";
        case 109:
            return "BetfairPoker";
        case 110:
            return "WilliamHillPokerXP";
        case 111:
            return "LittlewoodsPoker";
        case 115:
            return "CaribbeanSunPoker";
        case 116:
            return "PokerPlex";
        case 117:
            return "RitzClubPoker";
        case 118:
            return "ukbettingpoker";
        case 119:
            return "totalbetpoker";
        default:
            return {};
    }
}

// The current user's key holding "FourColourDeck" for a PartyPoker-like room.
std::string_view PartyDeckKey(int id) {
    switch (id) {
        case 101:
            return "SOFTWARE\\PartyGaming\\PartyPoker";
        case 102:
            return "SOFTWARE\\EmpirePokerMaster\\EmpirePoker";
        case 103:
            return "SOFTWARE\\MultiPoker\\MultiPoker";
        case 104:
            return "SOFTWARE\\IntertopsPoker\\IntertopsPoker";
        case 105:
            return "SOFTWARE\\PokerNow\\PokerNow";
        case 106:
            return "SOFTWARE\\CEPoker\\CEPoker";
        default:
            return {};
    }
}

// A string value read as a number: its leading decimal digits (with sign),
// as the private-profile calls read integers; 0 when there are none.
long LeadingNumber(std::string_view text) {
    text = platform::TrimSpace(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Whether a registry value reads as "on": a non-zero DWORD, a string holding
// a non-zero number or "true"/"yes", or binary data whose first byte is
// non-zero.
bool ValueIsOn(const platform::RegValue& value) {
    switch (value.type) {
        case platform::RegType::kDWord:
            return value.dword != 0;
        case platform::RegType::kString:
        case platform::RegType::kExpandString: {
            const std::string_view text = platform::TrimSpace(value.text);
            return LeadingNumber(text) != 0 || platform::EqualsNoCase(text, "true") ||
                   platform::EqualsNoCase(text, "yes");
        }
        case platform::RegType::kBinary:
            return !value.binary.empty() && value.binary.front() != 0;
        case platform::RegType::kMultiString:
            return false;
    }
    return false;
}

// The first byte of a value: of binary data, the low byte of a DWORD, or the
// number a string holds.
std::optional<std::uint8_t> FirstByte(const platform::RegValue& value) {
    switch (value.type) {
        case platform::RegType::kBinary:
            if (value.binary.empty()) return std::nullopt;
            return value.binary.front();
        case platform::RegType::kDWord:
            return static_cast<std::uint8_t>(value.dword & 0xFFu);
        case platform::RegType::kString:
        case platform::RegType::kExpandString:
            return static_cast<std::uint8_t>(static_cast<unsigned long>(LeadingNumber(value.text)) &
                                             0xFFu);
        case platform::RegType::kMultiString:
            return std::nullopt;
    }
    return std::nullopt;
}

std::string Joined(std::string_view a, std::string_view b) {
    std::string s(a);
    s += b;
    return s;
}

// Removes one pair of enclosing double quotes, as registry paths often carry.
std::string_view Unquoted(std::string_view text) {
    text = platform::TrimSpace(text);
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
        const std::size_t close = text.find('"');
        if (close != std::string_view::npos) text = text.substr(0, close);
    }
    return text;
}

}  // namespace

std::optional<std::string> FolderFromUninstallString(std::string_view command,
                                                     std::string_view folderName) {
    // Uninstall command lines are usually quoted because of "Program Files".
    if (!command.empty() && command.front() == '"') command.remove_prefix(1);
    const std::string lower = platform::FoldCase(command);
    const std::string name = platform::FoldCase(folderName);
    if (!name.empty()) {
        const std::size_t at = lower.find(name);
        if (at != std::string::npos) return std::string(command.substr(0, at + name.size()));
    }
    for (std::string_view marker : {std::string_view("tmpupgrade"), std::string_view("ungins")}) {
        std::size_t at = lower.find(marker);
        if (at == std::string::npos) continue;
        if (at > 0 && (command[at - 1] == '\\' || command[at - 1] == '/')) --at;
        return std::string(command.substr(0, at));
    }
    return std::nullopt;
}

CClientDetector::CClientDetector(const platform::Registry& registry,
                                 const platform::WinPaths& paths, const platform::Profile* settings)
    : registry_(registry), paths_(paths), settings_(settings) {}

bool CClientDetector::FolderExists(std::string_view windowsFolder) const {
    if (windowsFolder.empty()) return false;
    const auto host = paths_.ToHost(windowsFolder);
    if (!host) return false;
    std::error_code ec;
    return fs::is_directory(*host, ec);
}

std::optional<std::string> CClientDetector::String(RegRoot root, std::string_view key,
                                                   std::string_view name) const {
    return registry_.QueryString(root, key, name);
}

std::string CClientDetector::IniString(std::string_view windowsFile, std::string_view section,
                                       std::string_view key) const {
    const auto host = paths_.ToHost(windowsFile);
    if (!host) return {};
    std::error_code ec;
    if (!fs::is_regular_file(*host, ec)) return {};
    const platform::FileProfile ini(host->string(), platform::ProfileAccess::kReadOnly);
    return ini.GetString(section, key);
}

int CClientDetector::DetectClients(std::vector<std::string>& names) const {
    names.clear();
    bool pokerStarsFound = false;
    for (const RoomInfo& room : Rooms()) {
        // Eurobet stays in the catalogue for its help page but is never offered.
        if (room.id == kEurobetId) continue;
        bool detected = registry_.KeyExists(room.root, room.detectionKey) ||
                        FolderExists(room.defaultInstallFolder);
        if (!detected && room.id == kPokerStarsId) detected = TodaysPokerStarsPresent();
        if (!detected) continue;
        names.emplace_back(room.name);
        if (room.id == kPokerStarsId) pokerStarsFound = true;
    }
    // Some installations spell the uninstall entry with a blank.
    if (!pokerStarsFound && registry_.KeyExists(RegRoot::kLocalMachine, kPokerStarsBlankKey)) {
        names.emplace_back(FindRoom(kPokerStarsId)->name);
    }
    return static_cast<int>(names.size());
}

bool CClientDetector::PartyFamilyInstallFolder(const RoomInfo& room, std::string& folder) const {
    if (room.id == 101 || room.id == 102) {
        const std::string_view entry = room.id == 101 ? "PartyPoker" : "EmpirePoker";
        const auto location =
            String(RegRoot::kLocalMachine, Joined(kUninstall, entry), "InstallLocation");
        std::string candidate;
        if (location && !location->empty()) {
            candidate = *location;
            candidate += '\\';
            candidate += entry;
        } else {
            candidate = room.defaultInstallFolder;
        }
        if (!FolderExists(candidate)) return false;
        folder = std::move(candidate);
        return true;
    }

    std::string entry;
    switch (room.id) {
        case 103:
            entry = "MultiPoker";
            break;
        case 104:
            entry = "Intertops Poker";
            if (!registry_.KeyExists(RegRoot::kLocalMachine, Joined(kUninstall, entry)))
                entry = "IntertopsPoker";
            break;
        case 105:
            entry = "PokerNow";
            break;
        case 106:
            entry = "CoralEurobetPoker";
            break;
        default:
            return false;
    }
    const std::string key = Joined(kUninstall, entry);
    if (!registry_.KeyExists(RegRoot::kLocalMachine, key)) {
        folder = room.defaultInstallFolder;
        return true;
    }
    const auto command = String(RegRoot::kLocalMachine, key, "UninstallString");
    if (!command) return false;
    auto cut = FolderFromUninstallString(*command, entry);
    if (!cut) return false;
    folder = std::move(*cut);
    return true;
}

bool CClientDetector::TodaysPokerStarsPresent() const {
    for (std::string_view name : PokerStarsClientNames()) {
        for (const std::string& key : PokerStarsUninstallKeys(name)) {
            if (registry_.KeyExists(RegRoot::kLocalMachine, key)) return true;
        }
        for (const std::string& install : PokerStarsInstallFolders(name)) {
            if (FolderExists(install)) return true;
        }
    }
    return !PokerStarsSettingsFolders(registry_, paths_).empty();
}

std::optional<std::string> CClientDetector::TodaysPokerStarsInstallFolder() const {
    for (std::string_view name : PokerStarsClientNames()) {
        for (const std::string& key : PokerStarsUninstallKeys(name)) {
            auto location = String(RegRoot::kLocalMachine, key, "InstallLocation");
            if (!location) continue;
            std::string candidate(Unquoted(*location));
            while (candidate.size() > 3 && candidate.back() == '\\') candidate.pop_back();
            if (FolderExists(candidate)) return candidate;
        }
        for (const std::string& install : PokerStarsInstallFolders(name)) {
            if (FolderExists(install)) return install;
        }
    }
    return std::nullopt;
}

std::string CClientDetector::TodaysPokerStarsLogFolder() const {
    for (const std::string& settings : PokerStarsSettingsFolders(registry_, paths_)) {
        std::string saved = IniString(settings + "\\user.ini", "Options", "SaveMyHandsPath");
        if (!saved.empty()) return saved;
        std::string histories = settings + std::string(kHandHistory);
        if (FolderExists(histories)) return histories;
    }
    return {};
}

bool CClientDetector::GetInstallFolder(std::string_view roomName, std::string& folder) const {
    const RoomInfo* room = FindRoom(roomName);
    if (room == nullptr) return false;
    if (IsPartyPokerLike(*room)) return PartyFamilyInstallFolder(*room, folder);

    std::string candidate;
    switch (room->family) {
        case RoomFamily::kInterPoker: {
            const auto icon =
                String(RegRoot::kLocalMachine,
                       Joined(kUninstall, InterPokerUninstallName(room->id)), "DisplayIcon");
            const std::string_view path = icon ? Unquoted(*icon) : std::string_view();
            const std::size_t slash = path.rfind('\\');
            if (icon && slash != std::string_view::npos) {
                candidate = path.substr(0, slash);
            } else {
                candidate = room->defaultInstallFolder;
            }
            break;
        }
        case RoomFamily::kPokerStars: {
            std::string key = Joined(kUninstall, "PokerStars");
            if (!registry_.KeyExists(RegRoot::kLocalMachine, key)) key = kPokerStarsBlankKey;
            const auto location = String(RegRoot::kLocalMachine, key, "InstallLocation");
            candidate =
                location && !location->empty() ? *location : std::string(kPokerStarsDefault);
            while (candidate.size() > 3 && candidate.back() == '\\') candidate.pop_back();
            // Today's client, and its regional clients, install elsewhere.
            if (!FolderExists(candidate)) {
                if (auto today = TodaysPokerStarsInstallFolder()) candidate = std::move(*today);
            }
            break;
        }
        case RoomFamily::kFullTilt: {
            const auto location =
                String(RegRoot::kLocalMachine, kFullTiltUninstall, "InstallLocation");
            candidate = location && !location->empty() ? *location : std::string(kFullTiltDefault);
            break;
        }
        case RoomFamily::kAbsolutePoker: {
            const auto location = String(RegRoot::kLocalMachine, kAbsoluteKey, "INSTALLINFO_AP");
            candidate = location && !location->empty() ? *location : std::string(kAbsoluteDefault);
            break;
        }
        case RoomFamily::kTruePoker:
            // The TruePoker family records no installation of its own; its
            // default folder stands for it when present.
            candidate = room->defaultInstallFolder;
            break;
        case RoomFamily::kNone:
        case RoomFamily::kPartyPoker:
            return false;
    }
    // Registry paths may end in a separator; the folder is the same either way.
    while (candidate.size() > 3 && candidate.back() == '\\') candidate.pop_back();
    if (!FolderExists(candidate)) return false;
    folder = std::move(candidate);
    return true;
}

bool CClientDetector::GetDefaultLogFolder(std::string_view roomName, std::string& folder) const {
    const RoomInfo* room = FindRoom(roomName);
    if (room == nullptr) return false;
    if (IsPartyPokerLike(*room)) {
        std::string install;
        if (!GetInstallFolder(roomName, install)) return false;
        folder = install + std::string(kHandHistory);
        return true;
    }
    switch (room->family) {
        case RoomFamily::kInterPoker: {
            const auto logDir = String(RegRoot::kCurrentUser, room->detectionKey, "LogDir");
            folder = logDir ? *logDir : Joined(room->defaultInstallFolder, "\\log");
            return true;
        }
        case RoomFamily::kPokerStars: {
            std::string install;
            if (!GetInstallFolder(roomName, install)) install = kPokerStarsDefault;
            std::string saved = IniString(install + "\\User.ini", "Options", "SaveMyHandsPath");
            if (saved.empty()) saved = TodaysPokerStarsLogFolder();
            folder = !saved.empty() ? std::move(saved) : Joined(kPokerStarsDefault, kHandHistory);
            return true;
        }
        case RoomFamily::kFullTilt: {
            const auto path = String(RegRoot::kCurrentUser, kFullTiltLastHand, "Path");
            if (path) {
                folder = *path;
                if (!folder.empty() && folder.back() == '\\') folder.pop_back();
            } else {
                folder = Joined(kFullTiltDefault, kHandHistory);
            }
            return true;
        }
        case RoomFamily::kAbsolutePoker: {
            const auto install = String(RegRoot::kLocalMachine, kAbsoluteKey, "INSTALLINFO_AP");
            if (install) {
                folder = Joined(*install, kHandHistory);
            } else {
                const std::string def = Joined(kAbsoluteDefault, kHandHistory);
                folder = settings_ != nullptr
                             ? settings_->GetString("Overrides", "AP-HandHistory", def)
                             : def;
            }
            return true;
        }
        case RoomFamily::kTruePoker:
            folder.clear();
            return true;
        case RoomFamily::kNone:
        case RoomFamily::kPartyPoker:
            return false;
    }
    return false;
}

bool CClientDetector::UsesFourColourDeck(std::string_view roomName) const {
    const RoomInfo* room = FindRoom(roomName);
    if (room == nullptr) return false;
    if (IsPartyPokerLike(*room)) {
        const auto value =
            registry_.QueryValue(RegRoot::kCurrentUser, PartyDeckKey(room->id), "FourColourDeck");
        return value && ValueIsOn(*value);
    }
    switch (room->family) {
        case RoomFamily::kInterPoker: {
            const auto value =
                registry_.QueryValue(RegRoot::kCurrentUser, room->detectionKey, "4ColorDeck");
            if (!value) return false;
            if (value->type == platform::RegType::kDWord) return value->dword == 1;
            const bool isText = value->type == platform::RegType::kString ||
                                value->type == platform::RegType::kExpandString;
            return isText && LeadingNumber(value->text) == 1;
        }
        case RoomFamily::kPokerStars: {
            std::string install;
            std::string color;
            if (GetInstallFolder(roomName, install))
                color = IniString(install + "\\User.ini", "Options", "Color4");
            // Today's client keeps its options in its settings folder.
            if (color.empty()) {
                for (const std::string& settings : PokerStarsSettingsFolders(registry_, paths_)) {
                    color = IniString(settings + "\\user.ini", "Options", "Color4");
                    if (!color.empty()) break;
                }
            }
            return LeadingNumber(color) != 0;
        }
        case RoomFamily::kFullTilt: {
            const auto value =
                registry_.QueryValue(RegRoot::kCurrentUser, kFullTiltOptions, "Preferences");
            const auto byte = value ? FirstByte(*value) : std::nullopt;
            return byte && (*byte & 2u) != 0;
        }
        case RoomFamily::kAbsolutePoker: {
            const auto value =
                registry_.QueryValue(RegRoot::kLocalMachine, kAbsoluteKey, "CARD_CLR");
            const auto byte = value ? FirstByte(*value) : std::nullopt;
            return byte && (*byte & 4u) != 0;
        }
        case RoomFamily::kTruePoker:
        case RoomFamily::kNone:
        case RoomFamily::kPartyPoker:
            return false;
    }
    return false;
}

}  // namespace rooms
