#include "tablereader/auto_reader_absolute.h"
#include "tablereader/auto_reader_base.h"
#include "tablereader/auto_reader_full_tilt.h"
#include "tablereader/auto_reader_inter_poker.h"
#include "tablereader/auto_reader_party_poker.h"
#include "tablereader/auto_reader_poker_stars.h"

std::unique_ptr<CAutoReaderBase> MakeAutoReader(int roomCode, const TableLayout& layout,
                                                ReaderContext context) {
    switch (roomCode) {
        case 101:
        case 102:
            return std::make_unique<CAutoReaderPartyPoker>(layout, std::move(context));
        case 108:
        case 109:
        case 110:
        case 111:
        case 115:
        case 116:
        case 117:
        case 118:
        case 119:
            return std::make_unique<CAutoReaderInterPoker>(layout, std::move(context));
        case 113:
            return std::make_unique<CAutoReaderPokerStars>(layout, std::move(context));
        case 114:
            return std::make_unique<CAutoReaderFullTilt>(layout, std::move(context));
        case 121:
            return std::make_unique<CAutoReaderAbsolute>(layout, std::move(context));
        default:
            return nullptr;
    }
}
