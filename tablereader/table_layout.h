#pragma once
// TableLayout: where one poker client (in one table theme) draws its cards,
// card backs and status region on its table window. All points are window
// coordinates of the table window at its default size, frame included. The
// layouts live in one text file a user can edit ("table_layouts.ini" in the
// assets); every entry not given stays -1 (no such seat).

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace platform {
class Profile;
}

inline constexpr int kTableSizes = 10;  // table-size index j: a table of j + 1 seats
inline constexpr int kSeats = 10;

struct TableLayout {
    struct Pocket {
        int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
        bool operator==(const Pocket&) const = default;
    };
    struct Spot {
        int x = -1, y = -1;
        bool operator==(const Spot&) const = default;
    };

    int key = 0;                // 100 to 122
    bool reading = false;       // the client's cards can be read
    std::string installFolder;  // host path of the client's folder, set at room selection
    int cardWidth = 0, cardHeight = 0, cropX = 0, cropY = 0;
    std::array<Spot, 5> board{};
    platform::Rect status{-1, -1, -1, -1};
    std::array<std::array<Pocket, kSeats>, kTableSizes> pocket{};
    std::array<std::array<Spot, kSeats>, kTableSizes> marker{};

    // Not part of the reader's record: the table window's default size and
    // frame height (where the client area starts), for the test table tool
    // and for the size check; and a name for people editing the file.
    std::string name;
    // The client's table themes this layout fits, as the client names them
    // (display name or stored identifier); empty for a client's only layout.
    std::vector<std::string> themes;
    // The same client's layout for its second table theme (key + 9), when
    // the file has one; the information window picks between the two.
    std::shared_ptr<const TableLayout> secondTheme;
    int windowWidth = 0, windowHeight = 0;
    int frameHeight = 29;

    bool operator==(const TableLayout&) const = default;
};

// The layouts by key, or the errors that stopped the file from being read.
struct TableLayouts {
    std::map<int, TableLayout> byKey;
    std::string error;  // empty when the file was read whole

    // The layout of key, or nullptr.
    const TableLayout* Find(int key) const;
};

// Reads the layout file at path. A file that cannot be read, or any line that
// is not understood, gives an error naming the line and no layouts at all:
// half a layout would make the reader look in the wrong places.
TableLayouts LoadTableLayouts(const std::string& path);
// The same from text; `what` names the source in errors.
TableLayouts ParseTableLayouts(std::string_view text, const std::string& what);

// The key of the layout for a room code: the room code, plus 9 when the
// client uses its second table theme.
int LayoutKey(int roomCode, bool secondTheme);

// Settings "Advanced" / "Table Theme": 0 (or anything else) the client's own
// choice, 1 the client's first table theme, 2 its second.
enum class TableThemeRule { kClient = 0, kFirst = 1, kSecond = 2 };

// The current layout for roomCode: the room's own layout (key = room code),
// or its second-theme layout (room code + 9) when the settings ask for the
// second theme or, left to the client, when that layout's "themes" name
// clientTheme. A second-theme layout exists only past the last room code
// (keys 100 to 121 are the rooms' own). Null when the room has no layout.
const TableLayout* ChooseTableLayout(const TableLayouts& layouts, int roomCode,
                                     std::string_view clientTheme,
                                     const platform::Profile* settings);

// The layout of one client for its current theme: layout itself, or its
// second-theme layout chosen by the rule above (with layout's install
// folder).
TableLayout ThemeLayout(const TableLayout& layout, std::string_view clientTheme,
                        const platform::Profile* settings);

// The table theme the client's own files name, or empty: for PokerStars
// (113) entry "0" of section "themes" in "User.ini" in its install folder
// (host path), the file name matched without regard to case.
std::string ClientTableTheme(int roomCode, const std::string& installFolder);
