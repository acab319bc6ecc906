#pragma once
// TestTableScene: what the test table tool draws, as a picture: a table of a
// layout with the user's pocket cards at one seat, the board, card backs in
// front of the opponents and the status region, drawn with a reader's own
// reference images so that a reader recognises what it shows. Kept apart
// from the tool's X11 code so that tests can draw a table without a display.

#include <string>
#include <string_view>

#include "platform/bitmap32.h"
#include "tablereader/auto_reader_base.h"

struct TableScene {
    std::array<int, 7> cards{-1, -1, -1, -1, -1, -1, -1};  // pocket, flop, turn, river
    int tableSize = -1;  // table-size index; -1: the largest the layout has
    int seat = 0;
    int opponents = 1;        // seats with card backs besides the user's
    bool status = false;      // the table shows its "nothing to read" state
    bool fourColour = false;  // clubs and diamonds in the client's four-colour style
    bool dark = false;        // board cards darkened (where the client has such cards)
    bool raised = false;      // the pocket cards drawn where a client draws them raised
};

// Reads a card list: up to seven two-character cards separated by blanks or
// commas, "--" or "xx" for none. False, with the reason, on anything else.
bool ParseSceneCards(std::string_view text, std::array<int, 7>& cards, std::string& error);
// Applies a state list ("status", "dealt", "seat=K", "size=J", "opponents=N",
// "four-colour", "dark", "raised", "plain"), comma separated.
bool ParseSceneState(std::string_view text, TableScene& scene, std::string& error);

// The client area of the table at its default size, drawn for the reader of
// roomCode (whose images must be loaded).
platform::Bitmap32 DrawTableScene(int roomCode, const CAutoReaderBase& reader,
                                  const TableScene& scene);
// The default client-area size of a layout's table window.
platform::Rect DefaultClientRect(const TableLayout& layout);
// Stretches picture to width × height (nearest pixel), as a client draws a
// resized table.
platform::Bitmap32 Stretch(const platform::Bitmap32& picture, int width, int height);
