#include "tablereader/auto_reader_inter_poker.h"

namespace {
constexpr int kCellWidth = 55, kCellHeight = 74, kColumns = 9;
constexpr std::array<int, 4> kGroupOfSuit{3, 0, 2, 1};  // spades, clubs, hearts, diamonds
constexpr std::array<int, 3> kHighlightSizes{9, 5, 1};

// Cuts a 9-column sheet into a deck, and its clubs and diamonds into a
// four-colour set.
void CutSheet(const platform::Bitmap32& sheet, std::array<platform::Bitmap32, 52>* deck,
              std::array<platform::Bitmap32, 26>* fourColour) {
    for (int card = 0; card < 52; ++card) {
        const int suit = card / 13, rank = card % 13;
        const int number = kGroupOfSuit[static_cast<std::size_t>(suit)] * 13 + rank + 1;
        platform::Bitmap32 cell =
            sheet.Cell(number / kColumns, number % kColumns, kCellWidth, kCellHeight);
        if (deck != nullptr) (*deck)[static_cast<std::size_t>(card)] = cell;
        if (fourColour != nullptr && suit == 1)
            (*fourColour)[static_cast<std::size_t>(rank)] = cell;
        if (fourColour != nullptr && suit == 3)
            (*fourColour)[static_cast<std::size_t>(13 + rank)] = cell;
    }
}
}  // namespace

CAutoReaderInterPoker::CAutoReaderInterPoker(const TableLayout& layout, ReaderContext context)
    : CAutoReaderBase(layout, std::move(context)) {
    mode_ = CompareMode::kExact;
    frameHeight_ = 29;
    retryRaise_ = 10;
}

void CAutoReaderInterPoker::LoadCardImages(const std::string& installFolder) {
    const int w = kColumns * kCellWidth, h = 6 * kCellHeight;
    CutSheet(LoadSheet(installFolder, "img\\p_cardsheet.jpg", w, h), &deck_, nullptr);
    CutSheet(LoadSheet(installFolder, "img\\p_cardsheet_dark.jpg", w, h), &darkDeck_, nullptr);
    CutSheet(LoadSheet(installFolder, "img\\p_cardsheet_4col.jpg", w, h), nullptr, &fourColour_);
    CutSheet(LoadSheet(installFolder, "img\\p_cardsheet_4col_dark.jpg", w, h), nullptr,
             &darkFourColour_);
    platform::Bitmap32 backs = LoadRelative(installFolder, "img\\p_cardbacks_small.jpg");
    if (backs.Empty()) backs = LoadRelative(installFolder, "img\\p_carbacks_small.jpg");
    markers_.clear();
    for (int c = 0; c < 4; ++c) markers_.push_back(backs.Cell(0, c, 22, 32));
    status_ = backs.Cut(platform::Rect{0, 0, layout_.status.Width(), layout_.status.Height()});
    if (status_.Width() != layout_.status.Width() || status_.Height() != layout_.status.Height())
        status_ = {};
    highlights_.clear();
    const platform::Bitmap32 appear = LoadRelative(installFolder, "img\\p_infobox_appear2.jpg");
    highlights_.push_back(appear.Cell(0, 0, appear.Width() / 4, appear.Height()));
    const platform::Bitmap32 glow = LoadRelative(installFolder, "img\\p_infobox_glow2.jpg");
    for (int i = 0; i < 5; ++i)
        highlights_.push_back(glow.Cell(0, i, glow.Width() / 5, glow.Height()));
}

platform::Rect CAutoReaderInterPoker::HighlightRect(int x, int y) const {
    return platform::Rect{x - 25 - 3, y + 8 - frameHeight_, x - 17 - 3, y + 24 - frameHeight_};
}

bool CAutoReaderInterPoker::FindHighlightedSeat() {
    for (int j : kHighlightSizes) {
        for (int k = 0; k <= j; ++k) {
            const TableLayout::Pocket& p =
                layout_.pocket[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
            if (p.x1 < 0) continue;
            const platform::Bitmap32 captured = Capture(HighlightRect(p.x1, p.y1));
            for (const platform::Bitmap32& h : highlights_) {
                if (RegionMatches(captured, h, 3, 3, CompareMode::kExact)) {
                    seatSize_ = j;
                    seat_ = k;
                    return true;
                }
            }
        }
    }
    return false;
}

void CAutoReaderInterPoker::ReadTable(platform::ScreenWindowId window, Cards& cards, int& street,
                                      int& opponents) {
    window_ = window;
    if (seat_ < 0 && rememberedSeat_ < 0) FindHighlightedSeat();
    CAutoReaderBase::ReadTable(window, cards, street, opponents);
}

void CAutoReaderInterPoker::ResetReader() {
    CAutoReaderBase::ResetReader();
    seat_ = -1;
    seatSize_ = -1;
}

std::vector<int> CAutoReaderInterPoker::SizeOrder() const {
    if (seatSize_ < 0) return {};
    return {seatSize_};
}

bool CAutoReaderInterPoker::ReadPocket(int j, int k, int& first, int& second) const {
    if (j != seatSize_ || k != seat_) return false;
    return CAutoReaderBase::ReadPocket(j, k, first, second);
}

bool CAutoReaderInterPoker::StatusSaysReset() {
    const platform::Rect& s = layout_.status;
    if (s.Empty() || s.left < 0) return false;
    const platform::Rect r{s.left - 3, s.top - frameHeight_, s.right - 3, s.bottom - frameHeight_};
    return !RegionMatches(Capture(r), status_, 0, 0, CompareMode::kExact);
}

std::vector<std::pair<const platform::Bitmap32*, int>> CAutoReaderInterPoker::ExtraBoardImages()
    const {
    std::vector<std::pair<const platform::Bitmap32*, int>> out;
    for (int card = 0; card < 52; ++card)
        out.emplace_back(&darkDeck_[static_cast<std::size_t>(card)], card);
    for (int i = 0; i < 26; ++i)
        out.emplace_back(&darkFourColour_[static_cast<std::size_t>(i)], i <= 12 ? 13 + i : 26 + i);
    return out;
}
