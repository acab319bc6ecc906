#include "tablereader/auto_reader_party_poker.h"

#include "platform/log.h"

namespace {
constexpr char kRanks[] = "A23456789TJQK";
constexpr char kSuits[] = "schd";
}  // namespace

CAutoReaderPartyPoker::CAutoReaderPartyPoker(const TableLayout& layout, ReaderContext context)
    : CAutoReaderBase(layout, std::move(context)) {
    mode_ = CompareMode::kWhiteMask;
    frameHeight_ = 26;
    retryRaise_ = 5;
}

void CAutoReaderPartyPoker::LoadCardImages(const std::string& installFolder) {
    const int w = layout_.cardWidth, h = layout_.cardHeight;
    int missing = 0;
    for (int card = 0; card < 52; ++card) {
        const std::string name{kRanks[card % 13], kSuits[card / 13]};
        deck_[static_cast<std::size_t>(card)] =
            LoadSheet(installFolder, "Images\\" + name + ".bmp", w, h, &missing);
    }
    for (int rank = 0; rank < 13; ++rank) {
        fourColour_[static_cast<std::size_t>(rank)] = LoadSheet(
            installFolder, std::string("Images\\") + kRanks[rank] + "cg.bmp", w, h, &missing);
        fourColour_[static_cast<std::size_t>(13 + rank)] = LoadSheet(
            installFolder, std::string("Images\\") + kRanks[rank] + "db.bmp", w, h, &missing);
    }
    markers_.clear();
    for (int i = 1; i <= 6; ++i)
        markers_.push_back(LoadSheet(installFolder,
                                     "Images\\" + std::to_string(i) + "_smallcard1.bmp",
                                     markerWidth_, markerHeight_, &missing));
    if (missing > 0)
        platform::Log::Write("Card images: " + std::to_string(missing) +
                             " of 84 files missing in " + installFolder + "/Images");
    status_ = LoadSheet(context_.programFolder, "check.bmp", layout_.status.Width(),
                        layout_.status.Height());
}
