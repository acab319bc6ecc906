#pragma once
// Rendering of card text ("[Ah,Kd]", "[Ah, Kd, Qs]") as coloured ranks with
// suit images, and the short hand text ("AKs") used in tables.

#include <string>
#include <string_view>

namespace html {

// The program-wide deck colouring, set from the room's configuration: four
// colours (diamonds blue, clubs green) or two.
void SetFourColourDeck(bool fourColour);
bool IsFourColourDeck();

// The opening font tag for a suit character ("h", "d", "c", "s", "?"); empty
// for any other character.
std::string_view SuitFont(char suit);
// The suit image tag for a suit character; a blank for "?", empty otherwise.
std::string_view SuitImage(char suit);

// For a two-card text of 7 or 8 characters, the same cards with the higher
// rank first (A K Q J T 9 ... 2), rebuilt as "[Xx,Yy]"; any other text is
// returned unchanged.
std::string OrderTwoCards(std::string_view cardText);

// The bracketed card text (1 to 3 cards) as page text. `compact` leaves out
// the blank between cards. An empty text or one longer than 12 characters
// gives a black "&nbsp" font; other unexpected lengths give nothing.
std::string CardsAsHtml(std::string_view cardText, bool compact = false);

// Short form: one card "[A]"; two cards the ranks higher first plus "s" when
// suited, else a blank (or nothing when `noBlank`); three cards the ranks
// with suit fonts and images in brackets; empty input, empty output.
std::string ShortHandText(std::string_view cardText, bool noBlank = false);

}  // namespace html
