#include "tablereader/auto_reader_base.h"

#include <filesystem>

#include "platform/file_util.h"
#include "platform/log.h"
#include "platform/text_util.h"

namespace fs = std::filesystem;
using platform::Bitmap32;
using platform::Rect;

bool RegionMatches(const Bitmap32& captured, const Bitmap32& reference, int cropX, int cropY,
                   CompareMode mode) {
    const int w = captured.Width(), h = captured.Height();
    if (captured.Empty() || reference.Empty() || cropX < 0 || cropY < 0 || cropX >= w ||
        cropY >= h || reference.Width() < w || reference.Height() < h)
        return false;
    const std::uint8_t* cap = captured.Bytes().data();
    const std::uint8_t* ref = reference.Bytes().data();
    const auto capStride = static_cast<std::size_t>(w) * 4u;
    const auto refStride = static_cast<std::size_t>(reference.Width()) * 4u;
    const auto rowBytes = static_cast<std::size_t>(w - cropX) * 4u;
    for (int y = cropY; y < h; ++y) {
        const std::uint8_t* c =
            cap + static_cast<std::size_t>(y) * capStride + static_cast<std::size_t>(cropX) * 4u;
        const std::uint8_t* r =
            ref + static_cast<std::size_t>(y) * refStride + static_cast<std::size_t>(cropX) * 4u;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            switch (mode) {
                case CompareMode::kExact:
                    if (c[i] != r[i]) return false;
                    break;
                case CompareMode::kWhiteMask:
                    if ((c[i] == 255) != (r[i] == 255)) return false;
                    break;
                case CompareMode::kTolerant:
                    if ((c[i] > 224 && r[i] < 192) || (c[i] < 16 && r[i] > 64)) return false;
                    break;
            }
        }
    }
    return true;
}

CAutoReaderBase::CAutoReaderBase(const TableLayout& layout, ReaderContext context)
    : layout_(layout), context_(std::move(context)) {}

Rect CAutoReaderBase::CardRect(int x, int y, int raise) const {
    return Rect::FromSize(x - 3, y - frameHeight_ - raise, layout_.cardWidth, layout_.cardHeight);
}

Bitmap32 CAutoReaderBase::Capture(const Rect& rect) const {
    if (context_.screen == nullptr || window_ == 0) return {};
    Bitmap32 b = context_.screen->CaptureClient(window_, rect);
    // A rectangle clipped by the window's edge is not the card's place.
    if (b.Width() != rect.Width() || b.Height() != rect.Height()) return {};
    return b;
}

int CAutoReaderBase::RecogniseAt(const Rect& rect, bool board) const {
    const Bitmap32 captured = Capture(rect);
    if (captured.Empty()) return -1;
    const int a = layout_.cropX, b = layout_.cropY;
    for (int card = 0; card < 52; ++card)
        if (RegionMatches(captured, deck_[static_cast<std::size_t>(card)], a, b, mode_))
            return card;
    for (int i = 0; i < 26; ++i)
        if (RegionMatches(captured, fourColour_[static_cast<std::size_t>(i)], a, b, mode_))
            return i <= 12 ? 13 + i : 26 + i;
    if (board) {
        for (const auto& [image, card] : ExtraBoardImages())
            if (RegionMatches(captured, *image, a, b, mode_)) return card;
    }
    return -1;
}

int CAutoReaderBase::RecognisePoint(int x, int y, bool board) const {
    if (x < 0 || y < 0) return -1;
    const int card = RecogniseAt(CardRect(x, y), board);
    if (card >= 0 || retryRaise_ == 0) return card;
    return RecogniseAt(CardRect(x, y, retryRaise_), board);
}

bool CAutoReaderBase::ReadPocket(int j, int k, int& first, int& second) const {
    const TableLayout::Pocket& p =
        layout_.pocket[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
    if (p.x1 < 0) return false;
    first = RecognisePoint(p.x1, p.y1, false);
    if (first < 0) return false;
    second = RecognisePoint(p.x2, p.y2, false);
    return second >= 0;
}

std::vector<int> CAutoReaderBase::SizeOrder() const {
    std::vector<int> order;
    for (int j = kTableSizes - 1; j >= 0; --j) order.push_back(j);
    return order;
}

bool CAutoReaderBase::StatusSaysReset() {
    const Rect& s = layout_.status;
    if (s.Empty() || s.left < 0) return false;
    const Rect r{s.left - 3, s.top - frameHeight_, s.right - 3, s.bottom - frameHeight_};
    return RegionMatches(Capture(r), status_, 0, 0, CompareMode::kExact);
}

int CAutoReaderBase::CountOpponents(int j) const {
    int count = 0;
    for (const TableLayout::Spot& m : layout_.marker[static_cast<std::size_t>(j)]) {
        if (m.x < 0) continue;
        const Bitmap32 captured =
            Capture(Rect::FromSize(m.x - 3, m.y - frameHeight_, markerWidth_, markerHeight_));
        for (const Bitmap32& marker : markers_) {
            if (RegionMatches(captured, marker, 1, 1, markerMode_)) {
                ++count;
                break;
            }
        }
    }
    return count == 0 ? 1 : count;
}

void CAutoReaderBase::ReadTable(platform::ScreenWindowId window, Cards& cards, int& street,
                                int& opponents) {
    cards.fill(-1);
    opponents = 0;
    window_ = window;
    if (StatusSaysReset()) {
        ResetReader();
        street = kResetStreet;
        opponents = 1;
        return;
    }
    int seat = -1, size = -1, first = -1, second = -1;
    std::vector<int> sizes = rememberedSize_ >= 0 ? std::vector<int>{rememberedSize_} : SizeOrder();
    for (int j : sizes) {
        for (int k = rememberedSeat_ >= 0 ? rememberedSeat_ : 0;
             k <= (rememberedSeat_ >= 0 ? rememberedSeat_ : j); ++k) {
            if (ReadPocket(j, k, first, second)) {
                seat = k;
                size = j;
                break;
            }
        }
        if (seat >= 0) break;
    }
    for (std::size_t i = 0; i < 5; ++i)
        cards[2 + i] = RecognisePoint(layout_.board[i].x, layout_.board[i].y, true);
    if (seat >= 0) {
        cards[0] = first;
        cards[1] = second;
    }
    // The markers are counted at the size found now, or the one remembered
    // from earlier in the hand, so the first read of a hand already deals
    // against the right number of opponents.
    const int countAt = size >= 0 ? size : rememberedSize_;
    opponents = countAt >= 0 ? CountOpponents(countAt) : 1;
    if (cards[6] < 0 && seat >= 0) {
        rememberedSeat_ = seat;
        rememberedSize_ = size;
    }
}

void CAutoReaderBase::ResetReader() {
    rememberedSeat_ = -1;
    rememberedSize_ = -1;
}

namespace {

// The path of relative under folder, its components matched without regard
// to case when the exact name is not there; empty when folder is.
fs::path Resolve(const std::string& folder, const std::string& relative) {
    if (folder.empty()) return {};
    fs::path path(folder);
    std::string_view rest = relative;
    while (!rest.empty()) {
        const std::size_t cut = rest.find_first_of("\\/");
        const std::string part(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
        if (part.empty()) continue;
        fs::path next = path / part;
        std::error_code ec;
        if (!fs::exists(next, ec)) {
            // Wine folders are matched without regard to case.
            for (const auto& entry : fs::directory_iterator(path, ec)) {
                if (platform::EqualsNoCase(entry.path().filename().string(), part)) {
                    next = entry.path();
                    break;
                }
            }
        }
        path = next;
    }
    return path;
}

// Bits per pixel of a BMP file's header, or 0 when it is not a BMP.
int BmpDepth(const fs::path& path) {
    const auto head = platform::ReadWholeFile(path.string(), 64u * 1024u * 1024u);
    if (!head || head->size() < 30 || (*head)[0] != 'B' || (*head)[1] != 'M') return 0;
    return static_cast<unsigned char>((*head)[28]) | (static_cast<unsigned char>((*head)[29]) << 8);
}

}  // namespace

Bitmap32 CAutoReaderBase::LoadRelative(const std::string& folder, const std::string& relative) {
    const fs::path path = Resolve(folder, relative);
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) return {};
    return platform::LoadImageFile(path.string());
}

Bitmap32 CAutoReaderBase::LoadSheet(const std::string& folder, const std::string& relative,
                                    int minWidth, int minHeight, int* missing) {
    const fs::path path = Resolve(folder, relative);
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) {
        if (missing != nullptr) {
            ++*missing;
            return {};
        }
        platform::Log::Write("Card images: missing " + (path.empty() ? relative : path.string()));
        return {};
    }
    const int depth = BmpDepth(path);
    if (depth != 0 && depth != 8 && depth != 24 && depth != 32) {
        platform::Log::Write("Card images: " + path.string() + " has " + std::to_string(depth) +
                             " bits per pixel; expected 8, 24 or 32");
        return {};
    }
    Bitmap32 sheet = platform::LoadImageFile(path.string());
    if (sheet.Empty()) return {};  // the loader has said why
    if (sheet.Width() < minWidth || sheet.Height() < minHeight) {
        platform::Log::Write("Card images: " + path.string() + " is " +
                             std::to_string(sheet.Width()) + " x " +
                             std::to_string(sheet.Height()) + "; expected at least " +
                             std::to_string(minWidth) + " x " + std::to_string(minHeight));
        return {};
    }
    return sheet;
}

void CAutoReaderBase::CutDeck(const Bitmap32& sheet, int rows, int columns, int w, int h,
                              const std::function<int(int, int)>& cellCard,
                              std::array<Bitmap32, 52>& into) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int card = cellCard(r, c);
            if (card >= 0 && card < 52)
                into[static_cast<std::size_t>(card)] = sheet.Cell(r, c, w, h);
        }
}
