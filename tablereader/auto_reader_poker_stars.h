#pragma once
// CAutoReaderPokerStars: the cards from the program folder's "cards-3.bmp"
// (4 rows × 13 cells of 50 × 30: clubs, diamonds, hearts, spades; Ace to
// King) and "cards-4.bmp" (four-colour clubs and diamonds); the card backs
// "Gx\chips&deck\smallcard0.bmp" to "smallcard5.bmp" and the status button
// "Gx\button\butB-pas.bmp" from the client's folder. Tolerant comparison, no
// retry; the status button showing means a reset.

#include "tablereader/auto_reader_base.h"

class CAutoReaderPokerStars : public CAutoReaderBase {
  public:
    CAutoReaderPokerStars(const TableLayout& layout, ReaderContext context);
    void LoadCardImages(const std::string& installFolder) override;
};

// Cuts a program-folder deck sheet (rows clubs, diamonds, hearts, spades)
// and its four-colour sheet (rows clubs, diamonds) into a reader's sets.
void CutProgramSheets(const platform::Bitmap32& deck, const platform::Bitmap32& fourColour,
                      std::array<platform::Bitmap32, 52>& deckInto,
                      std::array<platform::Bitmap32, 26>& fourColourInto);
