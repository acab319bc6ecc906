#include "tablereader/auto_reader_full_tilt.h"

#include "platform/profile.h"

namespace {
constexpr int kCellWidth = 50, kCellHeight = 70;
constexpr const char* kSheet = "Graphics\\Table\\Elements\\Cards.png";
constexpr std::array<int, 4> kRowSuits{0, 2, 3, 1};  // spades, hearts, diamonds, clubs

// Where the client draws a pocket card besides its place: raised, and for
// the seat in turn spread sideways (the first card left, the second right).
struct Shift {
    int firstDx, secondDx, raise;
};
constexpr std::array<Shift, 2> kShifts{{{0, 0, 0}, {-20, 18, 31}}};
constexpr std::array<Shift, 2> kSeatZeroShifts{{{0, 0, 30}, {-20, 18, 61}}};
}  // namespace

CAutoReaderFullTilt::CAutoReaderFullTilt(const TableLayout& layout, ReaderContext context)
    : CAutoReaderBase(layout, std::move(context)) {
    mode_ = CompareMode::kWhiteMask;
    frameHeight_ = 29;
}

void CAutoReaderFullTilt::LoadCardImages(const std::string& installFolder) {
    std::string folder = installFolder;
    platform::Bitmap32 sheet = LoadRelative(folder, kSheet);
    if (sheet.Empty() && context_.settings != nullptr) {
        folder = context_.settings->GetString("Locations", "FullTiltPoker", "");
        if (context_.hostPath && !folder.empty()) folder = context_.hostPath(folder);
        sheet = LoadRelative(folder, kSheet);
    }
    if (sheet.Empty()) {
        if (context_.warn) context_.warn(kMissingWarning);
        return;
    }
    // Checked once more as a sheet, so a bad file is named in the log.
    sheet = LoadSheet(folder, kSheet, 14 * kCellWidth, 6 * kCellHeight);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 13; ++c) {
            const int rank = c == 0 ? 0 : 13 - c;
            deck_[static_cast<std::size_t>(kRowSuits[static_cast<std::size_t>(r)] * 13 + rank)] =
                sheet.Cell(r, c, kCellWidth, kCellHeight);
        }
    for (int c = 0; c < 13; ++c) {
        const int rank = c == 0 ? 0 : 13 - c;
        fourColour_[static_cast<std::size_t>(13 + rank)] =
            sheet.Cell(4, c, kCellWidth, kCellHeight);
        fourColour_[static_cast<std::size_t>(rank)] = sheet.Cell(5, c, kCellWidth, kCellHeight);
    }
    markers_.clear();
    for (int r = 0; r < 4; ++r) markers_.push_back(sheet.Cell(r, 13, kCellWidth, kCellHeight));
}

std::vector<int> CAutoReaderFullTilt::SizeOrder() const {
    std::vector<int> order;
    for (int j = 8; j >= 0; --j) order.push_back(j);
    return order;
}

bool CAutoReaderFullTilt::ReadPocket(int j, int k, int& first, int& second) const {
    const TableLayout::Pocket& p =
        layout_.pocket[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
    if (p.x1 < 0) return false;
    std::vector<Shift> shifts(kShifts.begin(), kShifts.end());
    if (k == 0) shifts.insert(shifts.end(), kSeatZeroShifts.begin(), kSeatZeroShifts.end());
    const auto find = [&](int x, int y, bool isFirst) {
        for (const Shift& s : shifts) {
            const int card =
                RecogniseAt(CardRect(x + (isFirst ? s.firstDx : s.secondDx), y, s.raise), false);
            if (card >= 0) return card;
        }
        return -1;
    };
    first = find(p.x1, p.y1, true);
    if (first < 0) return false;
    second = find(p.x2, p.y2, false);
    return second >= 0;
}
