#include "app/dlg_select_client.h"

#include <algorithm>
#include <system_error>

#include "app/folder_chooser.h"
#include "app/program_info.h"
#include "app/setting_values.h"
#include "platform/text_util.h"

namespace {

namespace fs = std::filesystem;
using platform::Control;
using platform::ControlKind;

// The labels in front of the fields; they are never addressed.
constexpr int kIdRoomLabel = 2001;
constexpr int kIdGameTypeLabel = 2002;
constexpr int kIdLogFolderLabel = 2003;
constexpr int kIdNicknameLabel = 2004;
constexpr int kIdHistoricalLabel = 2005;

// A label as the user sees it: a static text shows its access key marker
// "&" on the desk, so the marker is left out.
std::string Label(std::string_view text) {
    std::string shown;
    for (char c : text) {
        if (c != '&') shown += c;
    }
    return shown;
}

std::string Title() {
    return std::string(kProgramName) + " (v " + kProgramVersion + "): Poker Room Selection";
}

// The help pane's address for a setup page ("\\PokerStars_Setup.htm"): the
// setup pages are shipped in the assets' "setup" folder.
std::string HelpAddress(std::string_view setupPage) {
    std::string address = "/setup/";
    for (char c : setupPage) {
        if (c != '\\' && c != '/') address += c;
    }
    return address;
}

// The host path start-up watches for a folder field: absolute, normalised,
// without a trailing separator. Empty for an empty field.
std::string HostPathForSession(std::string_view folder, const platform::WinPaths& paths) {
    const auto host = rooms::HostFolderOf(folder, paths);
    if (!host) return {};
    std::error_code ec;
    std::string path = fs::absolute(*host, ec).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

CDlgSelectClient::CDlgSelectClient(SelectClientEnvironment env)
    : env_(env), rules_(*env.settings, *env.detector, env.registry, *env.paths) {
    // The historical folder is an advanced choice that a user may hide.
    showHistorical_ = ReadSetting(*env_.settings, setting::kPokerTracker, 1) != 0;
}

platform::DialogDescription CDlgSelectClient::Describe() {
    platform::DialogDescription desc;
    desc.title = Title();
    desc.width = 720;
    desc.height = 350;
    Control gameType = MakeControl(kIdGameType, ControlKind::kDropDownList, "", {147, 45, 380, 67});
    gameType.items = {std::string(rooms::kRealMoneyText), std::string(rooms::kPlayMoneyText)};
    gameType.selection = 0;
    gameType.text = gameType.items[0];
    Control typed = MakeControl(kIdNicknameEdit, ControlKind::kEdit, "", {147, 115, 380, 137});
    typed.visible = false;
    Control help = MakeControl(kIdHelpPane, ControlKind::kPage, "", {390, 10, 710, 300});
    help.page = HelpAddress(rooms::kGenericSetupPage);
    desc.controls = {
        MakeControl(kIdRoomLabel, ControlKind::kStatic, Label("Poker &Room:"), {10, 12, 142, 32}),
        MakeControl(kIdRoomList, ControlKind::kDropDownList, "", {147, 10, 380, 32}),
        MakeControl(kIdGameTypeLabel, ControlKind::kStatic, Label("Game Type:"), {10, 47, 142, 67}),
        gameType,
        MakeControl(kIdLogFolderLabel, ControlKind::kStatic, Label("&Log Folder:"),
                    {10, 82, 142, 102}),
        MakeControl(kIdLogFolder, ControlKind::kEdit, "", {147, 80, 345, 102}),
        MakeControl(kIdLogFolderBrowse, ControlKind::kButton, "&...", {350, 80, 380, 102}),
        MakeControl(kIdNicknameLabel, ControlKind::kStatic, Label("&Nickname:"),
                    {10, 117, 142, 137}),
        MakeControl(kIdNicknameList, ControlKind::kComboBox, "", {147, 115, 380, 137}),
        typed,
        MakeControl(kIdNicknameNote, ControlKind::kStatic, "Note: Nickname is case sensitive",
                    {147, 142, 380, 160}),
        MakeControl(kIdHistoricalLabel, ControlKind::kStatic, Label("Historical File Folder:"),
                    {10, 175, 142, 195}),
        MakeControl(kIdHistoricalFolder, ControlKind::kEdit, "", {147, 173, 345, 195}),
        MakeControl(kIdHistoricalFolderBrowse, ControlKind::kButton, "&...", {350, 173, 380, 195}),
        help,
        MakeControl(platform::kIdOk, ControlKind::kButton, "OK", {545, 312, 620, 337}),
        MakeControl(platform::kIdCancel, ControlKind::kButton, "Cancel", {630, 312, 705, 337}),
    };
    return desc;
}

int CDlgSelectClient::DoModal() {
    result_ = platform::kIdCancel;
    platform::DialogDescription desc = Describe();
    for (Control& c : desc.controls) {
        if (c.id == kIdRoomList) c.items = roomNames_;
        if (c.id == kIdHistoricalLabel || c.id == kIdHistoricalFolder ||
            c.id == kIdHistoricalFolderBrowse) {
            c.visible = showHistorical_;
        }
    }
    const platform::DialogResult ended = env_.desktop->RunDialog(
        env_.owner, desc, [this](const platform::Command& command) { return OnCommand(command); });
    controlsAtEnd_ = ended.controls;
    // Closing the window or Cancel leaves nothing chosen.
    if (ended.code != platform::kIdOk) {
        result_ = platform::kIdCancel;
    } else if (result_ != platform::kIdOk) {
        // Ended with OK by the desktop itself (nobody at the desk to answer):
        // the choice as shown is checked like a click on OK, once.
        ReadFields([&](int id) -> std::optional<Control> {
            for (const Control& c : controlsAtEnd_) {
                if (c.id == id) return c;
            }
            return std::nullopt;
        });
        ConfirmView(env_.owner);
    }
    return result_;
}

bool CDlgSelectClient::OnCommand(const platform::Command& command) {
    const platform::WindowId dialog = command.window;
    switch (command.kind) {
        case platform::CommandKind::kInit: {
            const std::string active = rooms::ReadActiveRoom(*env_.settings);
            const auto it = std::find(roomNames_.begin(), roomNames_.end(), active);
            if (auto list = env_.desktop->GetControl(dialog, kIdRoomList);
                list && it != roomNames_.end()) {
                list->selection = static_cast<int>(it - roomNames_.begin());
                list->text = *it;
                env_.desktop->SetControl(dialog, *list);
            }
            ChangeRoom(dialog, std::nullopt);
            return true;
        }
        case platform::CommandKind::kSelect:
            if (command.id == kIdRoomList) {
                ChangeRoom(dialog, std::nullopt);
                return true;
            }
            if (command.id == kIdGameType) {
                ChangeRoom(dialog, rooms::GameTypeAt(command.selection));
                return true;
            }
            if (command.id == kIdNicknameList) {
                ReadFields(dialog);
                ShowView(dialog);
                return true;
            }
            return false;
        case platform::CommandKind::kChange:
            if (command.id == kIdNicknameList && view_.loggingFolderFromAccount) {
                // The folder follows the account being typed.
                ReadFields(dialog);
                ShowView(dialog);
                return true;
            }
            if (command.id == kIdLogFolder && view_.room != nullptr &&
                view_.source == rooms::NicknameSource::kAccountFolders &&
                FolderExistsOnHost(command.text, *env_.paths)) {
                // A typed hand-history folder that exists offers its accounts.
                ReadFields(dialog);
                view_.nicknames =
                    rules_.DetectNicknames(*view_.room, view_.money, view_.loggingFolder);
                ShowView(dialog);
                return true;
            }
            return false;
        case platform::CommandKind::kClick:
            if (command.id == kIdLogFolderBrowse || command.id == kIdHistoricalFolderBrowse) {
                Browse(dialog,
                       command.id == kIdLogFolderBrowse ? kIdLogFolder : kIdHistoricalFolder);
                return true;
            }
            if (command.id == platform::kIdOk) {
                Confirm(dialog);
                return true;
            }
            return false;
        default:
            return false;
    }
}

void CDlgSelectClient::ChangeRoom(platform::WindowId dialog, std::optional<MoneyMode> money) {
    std::string room;
    if (const auto list = env_.desktop->GetControl(dialog, kIdRoomList)) {
        if (list->selection >= 0 && static_cast<std::size_t>(list->selection) < list->items.size())
            room = list->items[static_cast<std::size_t>(list->selection)];
    }
    view_ = rules_.ChangeRoom(room, money);
    ShowView(dialog);
}

void CDlgSelectClient::ShowView(platform::WindowId dialog) {
    platform::Desktop& desk = *env_.desktop;
    const bool haveRoom = view_.room != nullptr;
    const auto update = [&](int id, auto&& change) {
        if (auto c = desk.GetControl(dialog, id)) {
            change(*c);
            desk.SetControl(dialog, *c);
        }
    };
    update(kIdGameType, [&](Control& c) {
        c.selection = rooms::GameTypeIndex(view_.money);
        c.text = c.items.empty() ? std::string() : c.items[static_cast<std::size_t>(c.selection)];
        c.enabled = haveRoom;
    });
    const bool folderEditable = haveRoom && !view_.loggingFolderFromAccount;
    update(kIdLogFolder, [&](Control& c) {
        c.text = view_.loggingFolder;
        c.enabled = folderEditable;
    });
    update(kIdLogFolderBrowse, [&](Control& c) { c.enabled = folderEditable; });
    const bool fromList = view_.source == rooms::NicknameSource::kAccountFolders;
    update(kIdNicknameList, [&](Control& c) {
        c.visible = fromList;
        c.enabled = haveRoom;
        c.items = view_.nicknames;
        c.text = view_.nickname;
        const auto it = std::find(view_.nicknames.begin(), view_.nicknames.end(), view_.nickname);
        c.selection =
            it == view_.nicknames.end() ? -1 : static_cast<int>(it - view_.nicknames.begin());
    });
    update(kIdNicknameEdit, [&](Control& c) {
        c.visible = !fromList;
        c.enabled = haveRoom;
        c.text = view_.nickname;
    });
    update(kIdHistoricalFolder, [&](Control& c) {
        c.text = view_.historicalFolder;
        c.enabled = haveRoom;
    });
    update(kIdHistoricalFolderBrowse, [&](Control& c) { c.enabled = haveRoom; });
    update(kIdHelpPane, [&](Control& c) { c.page = HelpAddress(view_.setupPage); });
}

void CDlgSelectClient::ReadFields(platform::WindowId dialog) {
    ReadFields([&](int id) { return env_.desktop->GetControl(dialog, id); });
}

void CDlgSelectClient::ReadFields(const ControlLookup& control) {
    const bool fromList = view_.source == rooms::NicknameSource::kAccountFolders;
    if (auto c = control(fromList ? kIdNicknameList : kIdNicknameEdit)) view_.nickname = c->text;
    if (view_.loggingFolderFromAccount) {
        view_.loggingFolder = rules_.LoggingFolderForAccount(view_, view_.nickname);
    } else if (auto c = control(kIdLogFolder)) {
        view_.loggingFolder = c->text;
    }
    if (auto c = control(kIdHistoricalFolder)) view_.historicalFolder = c->text;
}

void CDlgSelectClient::Browse(platform::WindowId dialog, int field) {
    if (view_.room == nullptr) return;
    ReadFields(dialog);
    const std::string prompt =
        "Select the Logging Folder for " + std::string(view_.room->name) + ":";
    const std::string start = field == kIdLogFolder ? view_.loggingFolder : view_.historicalFolder;
    CFolderChooser chooser(*env_.desktop, *env_.paths);
    const auto chosen = chooser.Choose(dialog, prompt, start);
    if (!chosen) return;
    (field == kIdLogFolder ? view_.loggingFolder : view_.historicalFolder) = *chosen;
    if (field == kIdLogFolder && view_.source == rooms::NicknameSource::kAccountFolders) {
        // Another hand-history folder holds other accounts.
        view_.nicknames = rules_.DetectNicknames(*view_.room, view_.money, view_.loggingFolder);
    }
    ShowView(dialog);
}

void CDlgSelectClient::Confirm(platform::WindowId dialog) {
    ReadFields(dialog);
    if (ConfirmView(dialog)) env_.desktop->EndDialog(dialog, platform::kIdOk);
}

bool CDlgSelectClient::ConfirmView(platform::WindowId messageOwner) {
    const rooms::ConfirmResult confirmed = rules_.Confirm(view_);
    if (!confirmed.message.empty()) {
        env_.desktop->MessageBox(messageOwner, confirmed.message, kProgramName,
                                 platform::MessageBoxButtons::kOk);
        return false;
    }
    if (!confirmed.warning.empty()) {
        env_.desktop->MessageBox(messageOwner, confirmed.warning, kProgramName,
                                 platform::MessageBoxButtons::kOk);
    }
    roomName_ = std::string(view_.room->name);
    roomId_ = confirmed.roomId;
    stored_ = confirmed.stored;
    result_ = platform::kIdOk;
    return true;
}

RoomSelectionResult CDlgSelectClient::Result() const {
    RoomSelectionResult result;
    if (result_ != platform::kIdOk) return result;
    RoomChoice choice;
    choice.roomId = roomId_;
    choice.money = stored_.money;
    choice.nickname = stored_.nickname;
    choice.loggingFolder = HostPathForSession(stored_.loggingFolder, *env_.paths);
    choice.historicalFolder = HostPathForSession(stored_.historicalFolder, *env_.paths);
    result.choice = std::move(choice);
    return result;
}

RoomSelectionResult RunRoomSelectionDialog(const SelectClientEnvironment& env,
                                           const std::vector<std::string>& detected) {
    CDlgSelectClient dialog(env);
    dialog.SetRooms(detected);
    dialog.DoModal();
    return dialog.Result();
}

RoomSelectionResult SelectRoomAtStart(const SelectClientEnvironment& env,
                                      const CommandLineOptions& options,
                                      const std::vector<std::string>& detected) {
    if (!options.HasRoomOptions()) return RunRoomSelectionDialog(env, detected);
    RoomSelectionResult result = SelectRoomFromOptions(options, detected, env.detector, *env.paths);
    if (!result.choice) return result;
    RoomChoice& choice = *result.choice;
    const rooms::RoomInfo* room = rooms::FindRoom(choice.roomId);
    rooms::RoomSettings stored = rooms::ReadRoomSettings(*env.settings, room->name);
    // A nickname left out is filled as the dialog would: the one stored for
    // the room, else the only account found in its folder.
    if (choice.nickname.empty() && stored.money == choice.money) choice.nickname = stored.nickname;
    const rooms::CRoomSelectionRules rules(*env.settings, *env.detector, env.registry, *env.paths);
    if (choice.nickname.empty() && !choice.loggingFolder.empty()) {
        const auto names = rules.DetectNicknames(*room, choice.money, choice.loggingFolder);
        if (names.size() == 1) choice.nickname = names.front();
    }
    // Confirming warns of a theme the card reader may not know, as OK does.
    if (room->family == RoomFamily::kPokerStars) {
        const std::string theme = rules.PokerStarsTheme();
        if (!theme.empty() && !rooms::IsSupportedTheme(theme)) {
            env.desktop->MessageBox(env.owner, rooms::ThemeWarningText(theme), kProgramName,
                                    platform::MessageBoxButtons::kOk);
        }
    }
    stored.loggingFolder = choice.loggingFolder;
    stored.historicalFolder = choice.historicalFolder;
    stored.nickname = choice.nickname;
    stored.money = choice.money;
    rooms::StoreRoomChoice(*env.settings, room->name, stored);
    return result;
}
