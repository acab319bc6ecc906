#pragma once
// Card artwork of our own: faces, card backs, status buttons and seat
// highlights drawn by code, so the test table tool, the tests and the
// shipped card sheets never need any client's images. Every face shows its
// rank and suit in the top-left corner with pure colours on white, so that
// the exact, white-mask and tolerant comparisons all tell any two cards apart
// from the corner alone. The writers lay the images out in the grids each
// reader cuts (see the readers' headers).

#include <string>

#include "platform/bitmap32.h"

namespace tablereader {

enum class CardColours { kStandard, kFourColour };  // four colours: green clubs, blue diamonds
enum class CardShade { kNormal, kDark };            // dark: a board card of a folded hand

// The face of card (0..51, suit × 13 + rank), width × height.
platform::Bitmap32 DrawCardFace(int card, int width, int height,
                                CardColours colours = CardColours::kStandard,
                                CardShade shade = CardShade::kNormal);
// Card back number index (each a different colour), as drawn in front of a
// seated player who holds cards.
platform::Bitmap32 DrawCardBack(int index, int width, int height);
// A status button or region; variants look different.
platform::Bitmap32 DrawStatusImage(int width, int height, int variant);
// One frame of a seat highlight (a glowing name box); frames differ.
platform::Bitmap32 DrawHighlight(int frame, int width, int height);
// The table felt of width × height.
platform::Bitmap32 DrawFelt(int width, int height);

// Writes an uncompressed BMP: 8-bit with a palette when the image has at most
// 256 colours, else 24-bit. False when the file cannot be written.
bool WriteBmp(const std::string& path, const platform::Bitmap32& image);
bool WritePng(const std::string& path, const platform::Bitmap32& image);
bool WriteJpeg(const std::string& path, const platform::Bitmap32& image);

// The card sheets shipped in the program's folder: "cards-1.bmp" to
// "cards-4.bmp", "cards-backs.bmp", "imback.bmp" and "check.bmp". False
// (with what failed in error) when a file cannot be written.
bool WriteProgramArt(const std::string& folder, std::string& error);

// Client families whose own artwork the generator can imitate.
enum class ClientArt { kPokerStars, kPartyPoker, kFullTilt, kInterPoker };
// Writes a client folder's artwork, in the files and grids that client keeps
// (for example Gx/chips&deck/smallcard0.bmp); sub-folders are created.
bool WriteClientArt(ClientArt client, const std::string& folder, std::string& error);

}  // namespace tablereader
