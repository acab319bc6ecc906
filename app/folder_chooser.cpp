#include "app/folder_chooser.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/text_util.h"
#include "rooms/room_selection_rules.h"

namespace {

namespace fs = std::filesystem;
using platform::Control;
using platform::ControlKind;

bool IsWindowsPath(std::string_view folder) { return folder.size() >= 2 && folder[1] == ':'; }

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr && *home == '/' ? std::string(home) : std::string("/");
}

}  // namespace

std::vector<FolderPlace> FolderPlaces(const platform::WinPaths& paths) {
    std::vector<FolderPlace> places;
    const std::string home = HomeFolder();
    places.push_back({"Home (" + home + ")", home});
    if (home != "/") places.push_back({"Computer (/)", "/"});
    if (!paths.Prefix()) return places;
    // Wine keeps one link per drive letter ("c:", "z:") in dosdevices.
    std::vector<std::string> drives;
    std::error_code ec;
    for (fs::directory_iterator it(*paths.Prefix() / "dosdevices", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != 2 || name[1] != ':') continue;
        const char letter = platform::FoldAscii(name[0]);
        if (letter < 'a' || letter > 'z') continue;
        std::error_code typeError;
        if (!fs::is_directory(it->path(), typeError)) continue;  // also follows the link
        drives.push_back(std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":\\");
    }
    std::sort(drives.begin(), drives.end());
    for (const std::string& drive : drives) {
        places.push_back({"Drive " + drive.substr(0, 2) + " (Wine)", drive});
    }
    return places;
}

int PlaceOf(const std::vector<FolderPlace>& places, std::string_view folder) {
    int best = -1;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::string& root = places[i].folder;
        bool inside = false;
        if (IsWindowsPath(root)) {
            inside = IsWindowsPath(folder) &&
                     platform::FoldAscii(folder[0]) == platform::FoldAscii(root[0]);
        } else if (!IsWindowsPath(folder)) {
            inside = folder == root || root == "/" ||
                     (folder.starts_with(root) && folder.size() > root.size() &&
                      folder[root.size()] == '/');
        }
        // The closest place wins: the home folder over the host's root.
        if (inside && (best < 0 || root.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = root.size();
        }
    }
    return best;
}

bool FolderExistsOnHost(std::string_view folder, const platform::WinPaths& paths) {
    const auto host = rooms::HostFolderOf(folder, paths);
    std::error_code ec;
    return host && fs::is_directory(*host, ec);
}

std::vector<std::string> SubFolders(std::string_view folder, const platform::WinPaths& paths) {
    std::vector<std::string> visible;
    std::vector<std::string> hidden;
    const auto host = rooms::HostFolderOf(folder, paths);
    if (!host) return {};
    std::error_code ec;
    for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError)) continue;
        std::string name = it->path().filename().string();
        (name.starts_with('.') ? hidden : visible).push_back(std::move(name));
    }
    const auto byName = [](const std::string& a, const std::string& b) {
        const int c = platform::CompareNoCase(a, b);
        return c != 0 ? c < 0 : a < b;
    };
    std::sort(visible.begin(), visible.end(), byName);
    std::sort(hidden.begin(), hidden.end(), byName);
    visible.insert(visible.end(), hidden.begin(), hidden.end());
    if (visible.size() > kMaxListedFolders) visible.resize(kMaxListedFolders);
    return visible;
}

std::string ParentFolder(std::string_view folder) {
    std::string text(platform::TrimSpace(folder));
    if (IsWindowsPath(text)) {
        if (text.size() <= 3) return text.substr(0, 2) + "\\";
        while (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
        const std::size_t cut = text.find_last_of("\\/");
        if (cut == std::string::npos || cut < 2) return text.substr(0, 2) + "\\";
        return cut == 2 ? text.substr(0, 3) : text.substr(0, cut);
    }
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    const std::size_t cut = text.rfind('/');
    if (cut == std::string::npos) return text;
    return cut == 0 ? std::string("/") : text.substr(0, cut);
}

CFolderChooser::CFolderChooser(platform::Desktop& desktop, const platform::WinPaths& paths)
    : desktop_(desktop), paths_(paths) {}

void CFolderChooser::Open(platform::WindowId dialog, const std::string& folder) {
    if (auto edit = desktop_.GetControl(dialog, kIdChooserFolder)) {
        edit->text = folder;
        desktop_.SetControl(dialog, *edit);
    }
    ShowSubFolders(dialog, folder);
}

void CFolderChooser::ShowSubFolders(platform::WindowId dialog, const std::string& folder) {
    current_ = folder;
    subFolders_ = SubFolders(folder, paths_);
    if (auto list = desktop_.GetControl(dialog, kIdChooserSubFolders)) {
        list->items = subFolders_;
        list->selection = -1;
        list->text.clear();
        list->enabled = !subFolders_.empty();
        desktop_.SetControl(dialog, *list);
    }
    if (auto up = desktop_.GetControl(dialog, kIdChooserUp)) {
        up->enabled = ParentFolder(folder) != folder;
        desktop_.SetControl(dialog, *up);
    }
    if (auto list = desktop_.GetControl(dialog, kIdChooserPlaces)) {
        list->selection = PlaceOf(places_, folder);
        list->text = list->selection >= 0 ? list->items[static_cast<std::size_t>(list->selection)]
                                          : std::string();
        desktop_.SetControl(dialog, *list);
    }
}

std::optional<std::string> CFolderChooser::Choose(platform::WindowId owner, std::string_view prompt,
                                                  std::string_view start) {
    places_ = FolderPlaces(paths_);
    // Start at the field's folder, or the nearest one above it that exists.
    std::string first(platform::TrimSpace(start));
    while (!first.empty() && !FolderExistsOnHost(first, paths_)) {
        const std::string up = ParentFolder(first);
        if (up == first) {
            first.clear();
            break;
        }
        first = up;
    }
    if (first.empty()) first = places_.front().folder;

    platform::DialogDescription desc;
    desc.title = std::string(prompt);
    desc.width = 460;
    desc.height = 220;
    std::vector<std::string> labels;
    for (const FolderPlace& place : places_) labels.push_back(place.label);
    desc.controls = {
        MakeControl(kIdChooserPrompt, ControlKind::kStatic, std::string(prompt), {10, 10, 450, 30}),
        MakeControl(3010, ControlKind::kStatic, "Look in:", {10, 40, 110, 60}),
        MakeControl(kIdChooserPlaces, ControlKind::kDropDownList, "", {115, 38, 450, 60}),
        MakeControl(3011, ControlKind::kStatic, "Folder:", {10, 75, 110, 95}),
        MakeControl(kIdChooserFolder, ControlKind::kEdit, first, {115, 73, 380, 95}),
        MakeControl(kIdChooserUp, ControlKind::kButton, "&Up", {390, 72, 450, 96}),
        MakeControl(3012, ControlKind::kStatic, "Sub-folders:", {10, 110, 110, 130}),
        MakeControl(kIdChooserSubFolders, ControlKind::kDropDownList, "", {115, 108, 450, 130}),
        MakeControl(platform::kIdOk, ControlKind::kButton, "OK", {290, 180, 365, 205}),
        MakeControl(platform::kIdCancel, ControlKind::kButton, "Cancel", {375, 180, 450, 205}),
    };
    desc.controls[2].items = labels;

    std::optional<std::string> chosen;
    const auto handler = [&](const platform::Command& command) {
        const platform::WindowId dialog = command.window;
        switch (command.kind) {
            case platform::CommandKind::kInit:
                Open(dialog, first);
                return true;
            case platform::CommandKind::kSelect:
                if (command.id == kIdChooserPlaces && command.selection >= 0 &&
                    static_cast<std::size_t>(command.selection) < places_.size()) {
                    Open(dialog, places_[static_cast<std::size_t>(command.selection)].folder);
                    return true;
                }
                if (command.id == kIdChooserSubFolders && command.selection >= 0 &&
                    static_cast<std::size_t>(command.selection) < subFolders_.size()) {
                    const std::string& name =
                        subFolders_[static_cast<std::size_t>(command.selection)];
                    Open(dialog, rooms::JoinFolder(current_, name));
                    return true;
                }
                return false;
            case platform::CommandKind::kChange:
                // A typed folder that exists is opened, so its sub-folders
                // can be browsed; the field keeps the user's text.
                if (command.id == kIdChooserFolder) {
                    const std::string typed(platform::TrimSpace(command.text));
                    if (!typed.empty() && FolderExistsOnHost(typed, paths_)) {
                        ShowSubFolders(dialog, typed);
                    }
                    return true;
                }
                return false;
            case platform::CommandKind::kClick:
                if (command.id == kIdChooserUp) {
                    Open(dialog, ParentFolder(current_));
                    return true;
                }
                if (command.id == platform::kIdOk) {
                    const auto edit = desktop_.GetControl(dialog, kIdChooserFolder);
                    const std::string text(
                        platform::TrimSpace(edit ? std::string_view(edit->text) : current_));
                    if (!text.empty()) chosen = text;
                    desktop_.EndDialog(dialog, platform::kIdOk);
                    return true;
                }
                return false;
            default:
                return false;
        }
    };
    const platform::DialogResult result = desktop_.RunDialog(owner, desc, handler);
    if (result.code != platform::kIdOk) return std::nullopt;
    return chosen;
}
