#pragma once
// CAutoReaderInterPoker: the client's "img" folder: two standard decks
// ("p_cardsheet.jpg", and "p_cardsheet_dark.jpg" for board cards of a hand
// the user has left) and two four-colour sets ("p_cardsheet_4col.jpg",
// "p_cardsheet_4col_dark.jpg"), cells 55 × 74 on a 9-column grid where cell
// number = suit group × 13 + rank + 1 (clubs 0, diamonds 1, hearts 2, spades
// 3); the card backs "p_cardbacks_small.jpg" (4 cells of 22 × 32); and the
// seat highlights "p_infobox_appear2.jpg" (its first quarter) and
// "p_infobox_glow2.jpg" (5 frames). Exact comparison, retry 10 pixels higher.
//
// The user's seat is the one whose name box glows: it is looked for once per
// hand, beside each seat's first pocket card, and the pocket cards are read
// there only. The client shows its card-back strip in the status region
// (the top-left 83 × 22 pixels of the card-back sheet) while a hand is on;
// anything else there asks for a reset.

#include "tablereader/auto_reader_base.h"

class CAutoReaderInterPoker : public CAutoReaderBase {
  public:
    CAutoReaderInterPoker(const TableLayout& layout, ReaderContext context);
    void LoadCardImages(const std::string& installFolder) override;
    void ReadTable(platform::ScreenWindowId window, Cards& cards, int& street,
                   int& opponents) override;
    void ResetReader() override;

    const std::array<platform::Bitmap32, 52>& DarkDeck() const { return darkDeck_; }
    const std::array<platform::Bitmap32, 26>& DarkFourColour() const { return darkFourColour_; }
    const std::vector<platform::Bitmap32>& Highlights() const { return highlights_; }
    // The highlight rectangle (client coordinates) of a seat's first pocket point.
    platform::Rect HighlightRect(int x, int y) const;

  protected:
    std::vector<int> SizeOrder() const override;
    bool ReadPocket(int j, int k, int& first, int& second) const override;
    bool StatusSaysReset() override;
    std::vector<std::pair<const platform::Bitmap32*, int>> ExtraBoardImages() const override;

  private:
    // Finds the glowing seat; false when no seat glows.
    bool FindHighlightedSeat();

    std::array<platform::Bitmap32, 52> darkDeck_;
    std::array<platform::Bitmap32, 26> darkFourColour_;
    std::vector<platform::Bitmap32> highlights_;
    int seatSize_ = -1, seat_ = -1;
};
