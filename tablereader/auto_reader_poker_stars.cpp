#include "tablereader/auto_reader_poker_stars.h"

namespace {
constexpr int kCellWidth = 50, kCellHeight = 30;
constexpr std::array<int, 4> kRowSuits{1, 3, 2, 0};  // clubs, diamonds, hearts, spades
}  // namespace

void CutProgramSheets(const platform::Bitmap32& deck, const platform::Bitmap32& fourColour,
                      std::array<platform::Bitmap32, 52>& deckInto,
                      std::array<platform::Bitmap32, 26>& fourColourInto) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 13; ++c)
            deckInto[static_cast<std::size_t>(kRowSuits[static_cast<std::size_t>(r)] * 13 + c)] =
                deck.Cell(r, c, kCellWidth, kCellHeight);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 13; ++c)
            fourColourInto[static_cast<std::size_t>(r * 13 + c)] =
                fourColour.Cell(r, c, kCellWidth, kCellHeight);
}

CAutoReaderPokerStars::CAutoReaderPokerStars(const TableLayout& layout, ReaderContext context)
    : CAutoReaderBase(layout, std::move(context)) {
    mode_ = CompareMode::kTolerant;
    frameHeight_ = 29;
}

void CAutoReaderPokerStars::LoadCardImages(const std::string& installFolder) {
    const std::string& program = context_.programFolder;
    CutProgramSheets(LoadSheet(program, "cards-3.bmp", 13 * kCellWidth, 4 * kCellHeight),
                     LoadSheet(program, "cards-4.bmp", 13 * kCellWidth, 2 * kCellHeight), deck_,
                     fourColour_);
    markers_.clear();
    for (int i = 0; i < 6; ++i)
        markers_.push_back(LoadSheet(installFolder,
                                     "Gx\\chips&deck\\smallcard" + std::to_string(i) + ".bmp",
                                     markerWidth_, markerHeight_));
    status_ = LoadSheet(installFolder, "Gx\\button\\butB-pas.bmp", layout_.status.Width(),
                        layout_.status.Height());
}
