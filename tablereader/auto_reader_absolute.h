#pragma once
// CAutoReaderAbsolute: everything from the program folder: "cards-1.bmp"
// and "cards-2.bmp" (laid out as the PokerStars reader's sheets), the card
// backs "cards-backs.bmp" (4 cells of 23 × 34, compared tolerantly over
// 10 × 15 pixels) and "imback.bmp", the status region as the table shows it
// between hands. Tolerant comparison, retry 5 pixels higher, nine-seat
// tables only. The status region must be unchanged since the previous read;
// a change is remembered and asks for a reset.

#include "tablereader/auto_reader_base.h"

class CAutoReaderAbsolute : public CAutoReaderBase {
  public:
    CAutoReaderAbsolute(const TableLayout& layout, ReaderContext context);
    void LoadCardImages(const std::string& installFolder) override;

  protected:
    std::vector<int> SizeOrder() const override { return {8}; }
    bool StatusSaysReset() override;
};
