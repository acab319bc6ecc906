#pragma once
// TableLayout: where one poker client (in one table theme) draws its cards,
// card backs and status region on its table window. All points are window
// coordinates of the table window at its default size, frame included. The
// layouts live in one text file a user can edit ("table_layouts.ini" in the
// assets); every entry not given stays -1 (no such seat).

#include <array>
#include <map>
#include <optional>
#include <string>

#include "platform/geometry.h"

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
