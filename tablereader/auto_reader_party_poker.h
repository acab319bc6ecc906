#pragma once
// CAutoReaderPartyPoker: one file per card in the client's "Images" folder
// ("As.bmp": rank letter A, 2 to 9, T, J, Q or K, then suit letter s, c, h or
// d), four-colour clubs "Acg.bmp" (green) and diamonds "Adb.bmp" (blue), the
// card backs "1_smallcard1.bmp" to "6_smallcard1.bmp", and the status image
// "check.bmp" from the program folder. White-mask comparison, retry 5 pixels
// higher, frame height 26; the status button showing means a reset.

#include "tablereader/auto_reader_base.h"

class CAutoReaderPartyPoker : public CAutoReaderBase {
  public:
    CAutoReaderPartyPoker(const TableLayout& layout, ReaderContext context);
    void LoadCardImages(const std::string& installFolder) override;
};
