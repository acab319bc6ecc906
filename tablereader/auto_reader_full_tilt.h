#pragma once
// CAutoReaderFullTilt: the client's "Graphics\Table\Elements\Cards.png",
// cells of 50 × 70: rows spades, hearts, diamonds, clubs; columns Ace, then
// King, Queen ... Two; four-colour diamonds in row 4 and clubs in row 5; four
// card backs in column 13, rows 0 to 3. When the file is not in the client's
// folder, the folder in setting "FullTiltPoker" of section "Locations" is
// tried, and when it is not there either the user is warned once.
// White-mask comparison; the search starts at nine seats; a pocket card not
// at its place is looked for raised and spread sideways, as the client draws
// the cards of the seat in turn.

#include "tablereader/auto_reader_base.h"

class CAutoReaderFullTilt : public CAutoReaderBase {
  public:
    static constexpr const char* kMissingWarning =
        "The install location for Full Tilt Poker entered in Seatwatch.ini is not valid\n"
        "The Calculator will not function properly";

    CAutoReaderFullTilt(const TableLayout& layout, ReaderContext context);
    void LoadCardImages(const std::string& installFolder) override;

  protected:
    std::vector<int> SizeOrder() const override;
    bool ReadPocket(int j, int k, int& first, int& second) const override;
};
