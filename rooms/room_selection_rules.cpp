#include "rooms/room_selection_rules.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "platform/file_profile.h"
#include "platform/text_util.h"
#include "rooms/poker_stars_client.h"

namespace rooms {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHeadBytes = 4095;
constexpr std::size_t kNicknameLimit = 100;

// The themes the PokerStars card reader knows, by display name, each with
// the name the client stores for it.
struct Theme {
    std::string_view display;
    std::string_view stored;
};
constexpr std::array<Theme, 5> kSupportedThemes{{
    {"PokerStars Default Theme", "default"},
    {"Shiny Theme", "shiny"},
    {"Hyper-Simple Theme", "hypersimple"},
    {"Stars Theme", "stars"},
    {"No Image Theme", "noimage"},
}};

bool LooksLikeWindowsPath(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

// A theme name reduced for comparison: lower case, without blanks, hyphens,
// underscores and a trailing "theme".
std::string ThemeKey(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (c == ' ' || c == '-' || c == '_') continue;
        key += platform::FoldAscii(c);
    }
    if (key.size() > 5 && key.ends_with("theme")) key.resize(key.size() - 5);
    return key;
}

// The first kHeadBytes bytes of a file; empty when it cannot be read.
std::string ReadHead(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

// The entries of a folder of the wanted kind, in name order; an unreadable
// folder has none.
enum class EntryKind { kFolder, kFile };
std::vector<fs::path> ListFolder(const fs::path& folder, EntryKind kind) {
    std::vector<fs::path> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        const bool wanted = kind == EntryKind::kFolder ? it->is_directory(typeError)
                                                       : it->is_regular_file(typeError);
        if (wanted) entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void AddOnce(std::vector<std::string>& list, std::string name) {
    if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(std::move(name));
}

// Replaces "%s" in order with the arguments.
std::string Fill(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string_view GameTypeText(MoneyMode money) {
    return money == MoneyMode::kPlay ? kPlayMoneyText : kRealMoneyText;
}

MoneyMode GameTypeFromText(std::string_view text) {
    return platform::EqualsNoCase(platform::TrimSpace(text), kPlayMoneyText) ? MoneyMode::kPlay
                                                                             : MoneyMode::kReal;
}

int GameTypeIndex(MoneyMode money) { return money == MoneyMode::kPlay ? 1 : 0; }

MoneyMode GameTypeAt(int index) { return index == 1 ? MoneyMode::kPlay : MoneyMode::kReal; }

std::string ReadActiveRoom(const platform::Profile& settings) {
    return settings.GetString(kPokerRoomsSection, kActiveRoomKey);
}

RoomSettings ReadRoomSettings(const platform::Profile& settings, std::string_view room) {
    const std::string base(room);
    RoomSettings s;
    s.loggingFolder = settings.GetString(kPokerRoomsSection, base + " Config - Log");
    s.historicalFolder = settings.GetString(kPokerRoomsSection, base + " Config - Log PT");
    s.nickname = settings.GetString(kPokerRoomsSection, base + " Config - Nickname");
    s.money = GameTypeFromText(
        settings.GetString(kPokerRoomsSection, base + " Config - Game Type", kRealMoneyText));
    return s;
}

bool StoreRoomChoice(platform::Profile& settings, std::string_view room,
                     const RoomSettings& choice) {
    const std::string base(room);
    bool ok = settings.WriteString(kPokerRoomsSection, kActiveRoomKey, room);
    ok = settings.WriteString(kPokerRoomsSection, base + " Config - Log", choice.loggingFolder) &&
         ok;
    ok = settings.WriteString(kPokerRoomsSection, base + " Config - Log PT",
                              choice.historicalFolder) &&
         ok;
    ok = settings.WriteString(kPokerRoomsSection, base + " Config - Nickname", choice.nickname) &&
         ok;
    ok = settings.WriteString(kPokerRoomsSection, base + " Config - Game Type",
                              GameTypeText(choice.money)) &&
         ok;
    return ok;
}

NicknameSections NicknameSectionsFor(const RoomInfo& room, MoneyMode money) {
    if (room.family == RoomFamily::kPokerStars) {
        return {"PokerStars Nicknames", "PokerStars Mangled Nicknames"};
    }
    const std::string base(room.name);
    NicknameSections sections{base + " Nicknames", base + " Mangled Nicknames"};
    if (room.family == RoomFamily::kInterPoker) {
        const char* mode = money == MoneyMode::kPlay ? "(PM)" : "(RM)";
        sections.nicknames += mode;
        sections.mangled += mode;
    }
    return sections;
}

NicknameSource NicknameSourceFor(const RoomInfo& room, MoneyMode money) {
    switch (room.family) {
        case RoomFamily::kPokerStars:
        case RoomFamily::kInterPoker:
            return NicknameSource::kAccountFolders;
        case RoomFamily::kPartyPoker:
            return money == MoneyMode::kPlay ? NicknameSource::kAccountFolders
                                             : NicknameSource::kTyped;
        case RoomFamily::kTruePoker:
        case RoomFamily::kFullTilt:
        case RoomFamily::kAbsolutePoker:
        case RoomFamily::kNone:
            return NicknameSource::kTyped;
    }
    return NicknameSource::kTyped;
}

bool NeedsPlayedHands(const RoomInfo& room, MoneyMode money) {
    return room.family == RoomFamily::kInterPoker ||
           (room.family == RoomFamily::kPartyPoker && money == MoneyMode::kPlay);
}

std::string NicknameAfterMarker(std::string_view head, std::string_view marker, MarkerCase mode) {
    std::size_t at = std::string_view::npos;
    if (mode == MarkerCase::kExact) {
        at = head.find(marker);
    } else {
        at = platform::FoldCase(head).find(platform::FoldCase(marker));
    }
    if (at == std::string_view::npos) return {};
    std::string_view rest = head.substr(at + marker.size(), kNicknameLimit);
    const std::size_t cards = rest.find(" [");
    if (cards != std::string_view::npos) rest = rest.substr(0, cards);
    // A line cut off before its cards ends the name at the line end.
    const std::size_t end = rest.find_first_of("\r\n");
    if (end != std::string_view::npos) rest = rest.substr(0, end);
    return std::string(rest);
}

std::optional<fs::path> HostFolderOf(std::string_view folder, const platform::WinPaths& paths) {
    folder = platform::TrimSpace(folder);
    if (folder.empty()) return std::nullopt;
    if (LooksLikeWindowsPath(folder)) return paths.ToHost(folder);
    return fs::path(folder);
}

std::string JoinFolder(std::string_view folder, std::string_view name) {
    std::string out(folder);
    const char separator = LooksLikeWindowsPath(folder) ? '\\' : '/';
    if (!out.empty() && out.back() != '\\' && out.back() != '/') out += separator;
    out += name;
    return out;
}

CRoomSelectionRules::CRoomSelectionRules(platform::Profile& settings,
                                         const CClientDetector& detector,
                                         const platform::Registry* registry,
                                         const platform::WinPaths& paths)
    : settings_(settings), detector_(detector), registry_(registry), paths_(paths) {}

RoomView CRoomSelectionRules::ChangeRoom(std::string_view roomName,
                                         std::optional<MoneyMode> money) const {
    RoomView view;
    view.room = FindRoom(roomName);
    view.setupPage =
        view.room != nullptr ? std::string(view.room->setupPage) : std::string(kGenericSetupPage);
    if (view.room == nullptr) return view;
    const RoomInfo& room = *view.room;

    const RoomSettings stored = ReadRoomSettings(settings_, room.name);
    view.money = money.value_or(stored.money);
    view.loggingFolder = stored.loggingFolder;
    view.historicalFolder = stored.historicalFolder;
    view.nickname = stored.nickname;
    std::string clientFolder;
    const bool haveClientFolder = detector_.GetDefaultLogFolder(room.name, clientFolder);
    if (view.loggingFolder.empty() && haveClientFolder) view.loggingFolder = clientFolder;

    view.source = NicknameSourceFor(room, view.money);
    if (view.source == NicknameSource::kTyped) return view;

    if (room.family == RoomFamily::kPartyPoker) {
        // Play money: one folder per account under the client's own folder,
        // and the session watches the chosen account's folder.
        view.loggingFolderFromAccount = true;
        view.accountsFolder = haveClientFolder ? clientFolder : std::string();
        view.nicknames = DetectNicknames(room, view.money, view.accountsFolder);
    } else {
        view.nicknames = DetectNicknames(room, view.money, view.loggingFolder);
    }
    if (view.nickname.empty() && view.nicknames.size() == 1) view.nickname = view.nicknames[0];
    if (view.loggingFolderFromAccount && !view.nickname.empty()) {
        view.loggingFolder = LoggingFolderForAccount(view, view.nickname);
    }
    return view;
}

std::vector<std::string> CRoomSelectionRules::DetectNicknames(const RoomInfo& room, MoneyMode money,
                                                              std::string_view folder) const {
    const auto host = HostFolderOf(folder, paths_);
    if (!host) return {};
    const NicknameSections sections = NicknameSectionsFor(room, money);
    switch (room.family) {
        case RoomFamily::kPokerStars:
            return PokerStarsNicknames(*host, sections);
        case RoomFamily::kInterPoker:
            return InterPokerNicknames(*host, money, sections);
        case RoomFamily::kPartyPoker: {
            if (money != MoneyMode::kPlay) return {};
            std::vector<std::string> names;
            for (const fs::path& account : ListFolder(*host, EntryKind::kFolder)) {
                AddOnce(names, account.filename().string());
            }
            return names;
        }
        case RoomFamily::kTruePoker:
        case RoomFamily::kFullTilt:
        case RoomFamily::kAbsolutePoker:
        case RoomFamily::kNone:
            return {};
    }
    return {};
}

std::vector<std::string> CRoomSelectionRules::PokerStarsNicknames(
    const fs::path& folder, const NicknameSections& sections) const {
    std::vector<std::string> names;
    for (const fs::path& account : ListFolder(folder, EntryKind::kFolder)) {
        const std::string folderName = account.filename().string();
        std::string nickname = settings_.GetString(sections.mangled, folderName);
        if (nickname.empty()) {
            nickname = NicknameFromAccountFolder(account);
            if (nickname.empty()) continue;
            // A name the settings file cannot hold is still offered; it is
            // simply looked for again next time.
            settings_.WriteString(sections.mangled, folderName, nickname);
            settings_.WriteString(sections.nicknames, nickname, folderName);
        }
        AddOnce(names, std::move(nickname));
    }
    return names;
}

std::vector<std::string> CRoomSelectionRules::InterPokerNicknames(
    const fs::path& folder, MoneyMode money, const NicknameSections& sections) const {
    std::vector<std::string> names;
    for (const fs::path& account : ListFolder(folder, EntryKind::kFolder)) {
        const std::string folderName = account.filename().string();
        // The client names play-money accounts' folders with a "PK" in front.
        const bool playMoneyAccount = folderName.starts_with("PK");
        if (playMoneyAccount != (money == MoneyMode::kPlay)) continue;
        std::string nickname = settings_.GetString(sections.mangled, folderName);
        for (const fs::path& session : ListFolder(account, EntryKind::kFolder)) {
            if (!nickname.empty()) break;
            for (const fs::path& file : ListFolder(session, EntryKind::kFile)) {
                const std::string name = file.filename().string();
                if (platform::EqualsNoCase(name, "control.log")) continue;
                if (!platform::EqualsNoCase(file.extension().string(), ".log")) continue;
                nickname =
                    NicknameAfterMarker(ReadHead(file), "dealt to ", MarkerCase::kIgnoreCase);
                if (nickname.empty()) continue;
                settings_.WriteString(sections.mangled, folderName, nickname);
                settings_.WriteString(sections.nicknames, nickname, folderName);
                break;
            }
        }
        if (!nickname.empty()) AddOnce(names, std::move(nickname));
    }
    return names;
}

std::string CRoomSelectionRules::LoggingFolderForAccount(const RoomView& view,
                                                         std::string_view nickname) const {
    if (!view.loggingFolderFromAccount || view.accountsFolder.empty() || nickname.empty()) {
        return view.loggingFolder;
    }
    // A typed name is joined only when it can be one folder of the accounts
    // folder; "..\\x" must not lead the session elsewhere.
    const std::string_view name = platform::TrimSpace(nickname);
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("\\/:") != std::string_view::npos) {
        return view.accountsFolder;
    }
    return JoinFolder(view.accountsFolder, name);
}

ConfirmResult CRoomSelectionRules::Confirm(const RoomView& view) const {
    ConfirmResult result;
    if (view.room == nullptr) {
        result.message = NoRoomMessage();
        return result;
    }
    const RoomInfo& room = *view.room;
    const std::string_view gameType = GameTypeText(view.money);
    if (NeedsPlayedHands(room, view.money) && view.nicknames.empty()) {
        result.message = NoHandsPlayedMessage(gameType, room.name);
        return result;
    }
    if (platform::TrimSpace(view.nickname).empty()) {
        result.message = NoNicknameMessage(room.name);
        return result;
    }
    if (platform::TrimSpace(view.loggingFolder).empty()) {
        result.message = NoLoggingFolderMessage(room.name);
        return result;
    }

    RoomSettings choice{view.loggingFolder, view.historicalFolder, view.nickname, view.money};
    if (room.family == RoomFamily::kPartyPoker) {
        if (view.money == MoneyMode::kReal) {
            // The real-money reader walks the client's whole folder. Without
            // an installed client the user's folder stands.
            std::string clientFolder;
            if (detector_.GetDefaultLogFolder(room.name, clientFolder)) {
                const std::size_t cut = clientFolder.find_last_of("\\/");
                if (cut != std::string::npos && cut > 0)
                    choice.loggingFolder = clientFolder.substr(0, cut);
            }
        } else {
            for (const std::string& account : view.nicknames) {
                if (platform::EqualsNoCase(account, choice.nickname)) {
                    choice.nickname = account;
                    break;
                }
            }
            choice.loggingFolder = LoggingFolderForAccount(view, choice.nickname);
        }
    }
    // A Windows path that is not on a drive of the prefix could never be read.
    for (const std::string* folder : {&choice.loggingFolder, &choice.historicalFolder}) {
        if (platform::TrimSpace(*folder).empty()) continue;
        if (!HostFolderOf(*folder, paths_)) {
            result.message = "The folder '" + *folder + "' is not on a drive of the Wine prefix.";
            return result;
        }
    }
    if (room.family == RoomFamily::kPokerStars) {
        const std::string theme = PokerStarsTheme();
        if (!theme.empty() && !IsSupportedTheme(theme)) result.warning = ThemeWarningText(theme);
    }
    StoreRoomChoice(settings_, room.name, choice);
    result.stored = std::move(choice);
    result.roomId = room.id;
    return result;
}

std::string CRoomSelectionRules::PokerStarsTheme() const {
    std::vector<std::string> iniFiles;
    std::string install;
    if (detector_.GetInstallFolder(FindRoom(kPokerStarsId)->name, install)) {
        iniFiles.push_back(install + "\\User.ini");
    }
    // Today's client keeps its options in its settings folder.
    if (registry_ != nullptr) {
        for (const std::string& folder : PokerStarsSettingsFolders(*registry_, paths_)) {
            iniFiles.push_back(folder + "\\user.ini");
        }
    }
    for (const std::string& file : iniFiles) {
        const auto host = paths_.ToHost(file);
        std::error_code ec;
        if (!host || !fs::is_regular_file(*host, ec)) continue;
        const platform::FileProfile ini(host->string(), platform::ProfileAccess::kReadOnly);
        std::string theme = ThemeFromEntry(ini.GetString("themes", "0"));
        if (!theme.empty()) return theme;
    }
    return {};
}

std::string ThemeFromEntry(std::string_view entry) {
    entry = entry.substr(0, entry.find(';'));
    // Some clients store the theme's folder ("themes\\Shiny").
    const std::size_t folder = entry.rfind('\\');
    if (folder != std::string_view::npos) entry.remove_prefix(folder + 1);
    return std::string(platform::TrimSpace(entry));
}

bool IsSupportedTheme(std::string_view theme) {
    const std::string key = ThemeKey(theme);
    if (key.empty()) return false;
    return std::any_of(kSupportedThemes.begin(), kSupportedThemes.end(), [&](const Theme& t) {
        return key == ThemeKey(t.display) || key == ThemeKey(t.stored);
    });
}

std::string ThemeWarningText(std::string_view theme) {
    std::string text = Fill(
        "The currently selected Theme '%s' may not be supported.\n\nCurrently supported themes "
        "are:\n",
        {theme});
    for (const Theme& t : kSupportedThemes) {
        text += t.display;
        text += '\n';
    }
    return text;
}

std::string NoRoomMessage() { return "Select the Poker Room to Spy to continue."; }

std::string NoHandsPlayedMessage(std::string_view gameType, std::string_view room) {
    return Fill(
        "The software did not detect any %s hands played at %s\nYou must play at least 1 %s hand "
        "at %s to continue.\n\nRestart the software once you have played at least 1 %s hand.",
        {gameType, room, gameType, room, gameType});
}

std::string NoNicknameMessage(std::string_view room) {
    return Fill("You must specify the Nickname you use at %s to continue.", {room});
}

std::string NoLoggingFolderMessage(std::string_view room) {
    return Fill("You must specify the Logging Folder configured for %s to continue.", {room});
}

}  // namespace rooms
