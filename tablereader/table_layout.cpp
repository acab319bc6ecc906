#include "tablereader/table_layout.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <vector>

#include "platform/file_profile.h"
#include "platform/file_util.h"
#include "platform/profile.h"
#include "platform/text_util.h"
#include "rooms/room_selection_rules.h"

namespace {

using platform::TrimSpace;

constexpr int kLastRoomCode = 121;  // keys past it are second-theme layouts

// The integers of text, in order; nothing when a word is not an integer.
std::optional<std::vector<int>> Numbers(std::string_view text) {
    std::vector<int> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ',')) ++i;
        if (i >= text.size()) break;
        int value = 0;
        const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (ec != std::errc{}) return std::nullopt;
        const std::size_t next = static_cast<std::size_t>(end - text.data());
        if (next < text.size() && text[next] != ' ' && text[next] != '\t' && text[next] != ',')
            return std::nullopt;
        out.push_back(value);
        i = next;
    }
    return out;
}

// The per-seat groups of a "pocket" or "marker" line, separated by "/".
std::optional<std::vector<std::vector<int>>> SeatGroups(std::string_view text, std::size_t each) {
    std::vector<std::vector<int>> out;
    while (true) {
        const std::size_t slash = text.find('/');
        const auto numbers = Numbers(text.substr(0, slash));
        if (!numbers || numbers->size() != each) return std::nullopt;
        out.push_back(*numbers);
        if (slash == std::string_view::npos) break;
        text.remove_prefix(slash + 1);
    }
    if (out.size() > static_cast<std::size_t>(kSeats)) return std::nullopt;
    return out;
}

// Parses "pocket J" / "marker J" keys; J is the table-size index.
std::optional<int> SizeIndex(std::string_view key, std::string_view word) {
    if (key.size() <= word.size() || key.substr(0, word.size()) != word) return std::nullopt;
    const std::string_view rest = TrimSpace(key.substr(word.size()));
    int j = -1;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), j);
    if (ec != std::errc{} || end != rest.data() + rest.size() || j < 0 || j >= kTableSizes)
        return std::nullopt;
    return j;
}

// Applies one "key = value" line to layout; false when it is not understood.
bool ApplyLine(TableLayout& layout, std::string_view key, std::string_view value) {
    if (key == "name") {
        layout.name = std::string(value);
        return true;
    }
    if (key == "themes") {
        // Names separated by ","; an empty name is a typing slip.
        layout.themes.clear();
        while (true) {
            const std::size_t comma = value.find(',');
            const std::string_view theme = TrimSpace(value.substr(0, comma));
            if (theme.empty()) return false;
            layout.themes.emplace_back(theme);
            if (comma == std::string_view::npos) break;
            value.remove_prefix(comma + 1);
        }
        return true;
    }
    if (auto j = SizeIndex(key, "pocket")) {
        const auto groups = SeatGroups(value, 4);
        if (!groups) return false;
        for (std::size_t k = 0; k < groups->size(); ++k) {
            const auto& g = (*groups)[k];
            layout.pocket[static_cast<std::size_t>(*j)][k] = {g[0], g[1], g[2], g[3]};
        }
        return true;
    }
    if (auto j = SizeIndex(key, "marker")) {
        const auto groups = SeatGroups(value, 2);
        if (!groups) return false;
        for (std::size_t k = 0; k < groups->size(); ++k) {
            const auto& g = (*groups)[k];
            layout.marker[static_cast<std::size_t>(*j)][k] = {g[0], g[1]};
        }
        return true;
    }
    const auto n = Numbers(value);
    if (!n) return false;
    const std::vector<int>& v = *n;
    if (key == "reading" && v.size() == 1 && (v[0] == 0 || v[0] == 1)) {
        layout.reading = v[0] == 1;
    } else if (key == "window" && v.size() == 2 && v[0] > 0 && v[1] > 0) {
        layout.windowWidth = v[0];
        layout.windowHeight = v[1];
    } else if (key == "frame" && v.size() == 1 && v[0] >= 0) {
        layout.frameHeight = v[0];
    } else if (key == "card" && v.size() == 4 && v[0] > 0 && v[1] > 0 && v[2] >= 0 && v[3] >= 0 &&
               v[2] < v[0] && v[3] < v[1]) {
        layout.cardWidth = v[0];
        layout.cardHeight = v[1];
        layout.cropX = v[2];
        layout.cropY = v[3];
    } else if (key == "board" && v.size() == 10) {
        for (std::size_t i = 0; i < 5; ++i) layout.board[i] = {v[2 * i], v[2 * i + 1]};
    } else if (key == "status" && v.size() == 4) {
        layout.status = platform::Rect{v[0], v[1], v[2], v[3]};
    } else {
        return false;
    }
    return true;
}

}  // namespace

const TableLayout* TableLayouts::Find(int key) const {
    const auto it = byKey.find(key);
    return it == byKey.end() ? nullptr : &it->second;
}

TableLayouts ParseTableLayouts(std::string_view text, const std::string& what) {
    TableLayouts out;
    TableLayout* current = nullptr;
    int lineNumber = 0;
    const auto fail = [&](const std::string& why) {
        TableLayouts failed;
        failed.error = what + " line " + std::to_string(lineNumber) + ": " + why;
        return failed;
    };
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = TrimSpace(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            int key = 0;
            const auto [end, ec] = std::from_chars(line.data() + 1, line.data() + line.size(), key);
            if (ec != std::errc{} || end != line.data() + line.size() - 1 || line.back() != ']' ||
                key < 100 || key > 122)
                return fail("a section must be a layout key [100] to [122]");
            if (out.byKey.count(key) != 0) return fail("layout " + std::to_string(key) + " twice");
            current = &out.byKey[key];
            current->key = key;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos)
            return fail("expected \"key = value\" inside a layout");
        const std::string_view key = TrimSpace(line.substr(0, eq));
        const std::string_view value = TrimSpace(line.substr(eq + 1));
        if (!ApplyLine(*current, key, value))
            return fail("cannot use \"" + std::string(key) + " = " + std::string(value) + "\"");
    }
    for (const auto& [key, layout] : out.byKey) {
        if (layout.reading && (layout.cardWidth == 0 || layout.windowWidth == 0)) {
            lineNumber = 0;
            return fail("layout " + std::to_string(key) +
                        " reads cards but has no card or window size");
        }
    }
    // Each room's layout knows its client's second-theme layout.
    for (auto& [key, layout] : out.byKey) {
        const int second = LayoutKey(key, true);
        if (key <= kLastRoomCode && second > kLastRoomCode) {
            if (const TableLayout* found = out.Find(second))
                layout.secondTheme = std::make_shared<const TableLayout>(*found);
        }
    }
    return out;
}

TableLayouts LoadTableLayouts(const std::string& path) {
    const auto text = platform::ReadWholeFile(path, 4u * 1024u * 1024u);
    if (!text) {
        TableLayouts failed;
        failed.error = "cannot read " + path;
        return failed;
    }
    return ParseTableLayouts(*text, path);
}

int LayoutKey(int roomCode, bool secondTheme) { return secondTheme ? roomCode + 9 : roomCode; }

namespace {

// A theme name reduced for comparison: lower case, without blanks, hyphens
// and underscores, and without a trailing "theme" ("Shiny Theme" = "shiny").
std::string ThemeKey(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '-' || c == '_') continue;
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (key.size() > 5 && key.ends_with("theme")) key.resize(key.size() - 5);
    return key;
}

bool NamesTheme(const TableLayout& layout, std::string_view theme) {
    const std::string key = ThemeKey(theme);
    if (key.empty()) return false;
    return std::any_of(layout.themes.begin(), layout.themes.end(),
                       [&](const std::string& t) { return ThemeKey(t) == key; });
}

// The choice between a client's two layouts; second is not null.
const TableLayout* ChooseBetween(const TableLayout* first, const TableLayout* second,
                                 std::string_view clientTheme, const platform::Profile* settings) {
    int rule = settings != nullptr ? settings->GetInt("Advanced", "Table Theme", 0) : 0;
    if (rule < 0 || rule > 2) rule = 0;
    if (rule == static_cast<int>(TableThemeRule::kSecond)) return second;
    if (rule == static_cast<int>(TableThemeRule::kFirst) && first != nullptr) return first;
    // The client's choice: the second layout only when it names the theme
    // and the first does not (a theme neither names reads as the first).
    if (NamesTheme(*second, clientTheme) && (first == nullptr || !NamesTheme(*first, clientTheme)))
        return second;
    return first != nullptr ? first : second;
}

}  // namespace

const TableLayout* ChooseTableLayout(const TableLayouts& layouts, int roomCode,
                                     std::string_view clientTheme,
                                     const platform::Profile* settings) {
    const TableLayout* first = layouts.Find(LayoutKey(roomCode, false));
    const int secondKey = LayoutKey(roomCode, true);
    const TableLayout* second = secondKey > kLastRoomCode ? layouts.Find(secondKey) : nullptr;
    if (second == nullptr) return first;
    return ChooseBetween(first, second, clientTheme, settings);
}

TableLayout ThemeLayout(const TableLayout& layout, std::string_view clientTheme,
                        const platform::Profile* settings) {
    if (!layout.secondTheme) return layout;
    TableLayout chosen = *ChooseBetween(&layout, layout.secondTheme.get(), clientTheme, settings);
    chosen.installFolder = layout.installFolder;
    return chosen;
}

std::string ClientTableTheme(int roomCode, const std::string& installFolder) {
    if (roomCode != 113 || installFolder.empty()) return {};
    std::error_code ec;
    for (std::filesystem::directory_iterator it(installFolder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (!platform::EqualsNoCase(file, "User.ini") || !it->is_regular_file(ec)) continue;
        const platform::FileProfile ini(it->path().string(), platform::ProfileAccess::kReadOnly);
        return rooms::ThemeFromEntry(ini.GetString("themes", "0"));
    }
    return {};
}
