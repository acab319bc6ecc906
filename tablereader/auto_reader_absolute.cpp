#include "tablereader/auto_reader_absolute.h"

#include "tablereader/auto_reader_poker_stars.h"

CAutoReaderAbsolute::CAutoReaderAbsolute(const TableLayout& layout, ReaderContext context)
    : CAutoReaderBase(layout, std::move(context)) {
    mode_ = CompareMode::kTolerant;
    frameHeight_ = 29;
    retryRaise_ = 5;
    markerWidth_ = 10;
    markerHeight_ = 15;
    markerMode_ = CompareMode::kTolerant;
}

void CAutoReaderAbsolute::LoadCardImages(const std::string& /*installFolder*/) {
    const std::string& program = context_.programFolder;
    CutProgramSheets(LoadSheet(program, "cards-1.bmp", 650, 120),
                     LoadSheet(program, "cards-2.bmp", 650, 60), deck_, fourColour_);
    const platform::Bitmap32 backs = LoadSheet(program, "cards-backs.bmp", 4 * 23, 34);
    markers_.clear();
    for (int c = 0; c < 4; ++c) markers_.push_back(backs.Cell(0, c, 23, 34));
    status_ = LoadSheet(program, "imback.bmp", layout_.status.Width(), layout_.status.Height());
}

bool CAutoReaderAbsolute::StatusSaysReset() {
    const platform::Rect& s = layout_.status;
    if (s.Empty() || s.left < 0) return false;
    platform::Bitmap32 now = Capture(
        platform::Rect{s.left - 3, s.top - frameHeight_, s.right - 3, s.bottom - frameHeight_});
    if (RegionMatches(now, status_, 0, 0, CompareMode::kTolerant)) return false;
    status_ = std::move(now);
    return true;
}
