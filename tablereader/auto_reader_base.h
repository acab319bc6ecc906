#pragma once
// CAutoReaderBase: reads the cards showing on a poker client's table window
// by comparing small captured rectangles with the client's card images. One
// subclass per client family loads that family's images and says how its
// table differs (comparison mode, frame height, where to retry, the status
// check). Positions come from the current TableLayout. A reader remembers
// the user's seat and table size between reads of one hand; ResetReader
// forgets them.
//
// Missing or unreadable images leave their bitmaps empty; an empty bitmap
// never matches, so the reader then simply recognises fewer cards. Reading
// never fails loudly: a window that is gone, covered, minimised or resized
// shows as cards not recognised.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap32.h"
#include "platform/screen_source.h"
#include "tablereader/table_layout.h"

namespace platform {
class Profile;
}

// How a captured rectangle is compared with a reference image, byte by byte
// (the fourth byte of each pixel included, 0 on both sides).
enum class CompareMode {
    kExact = 0,      // every byte equal
    kWhiteMask = 1,  // the captured byte is 255 exactly where the reference byte is
    kTolerant = 2,   // no bright-on-dark and no dark-on-bright byte pairs
};

// Whether captured (the pixels of a rectangle) matches reference, leaving out
// the first cropX columns and cropY rows of both. Both must cover the
// rectangle: a capture clipped by the window's edge, or a reference smaller
// than the capture, never matches; an empty reference never matches.
bool RegionMatches(const platform::Bitmap32& captured, const platform::Bitmap32& reference,
                   int cropX, int cropY, CompareMode mode);

// What a reader borrows from the program.
struct ReaderContext {
    platform::ScreenSource* screen = nullptr;
    // Where the card sheets shipped with the program are ("cards-1.bmp"...).
    std::string programFolder;
    // The settings file (a reader may look up a client folder there); may be null.
    platform::Profile* settings = nullptr;
    // Turns a Windows path from the settings into a host path (through the
    // Wine prefix); empty: the path is used as it stands.
    std::function<std::string(const std::string&)> hostPath;
    // Shows a warning to the user (a message box); may be empty.
    std::function<void(const std::string&)> warn;
};

class CAutoReaderBase {
  public:
    static constexpr int kCards = 7;
    using Cards = std::array<int, kCards>;
    // The street code a reader returns when nothing should be read now.
    static constexpr int kResetStreet = -2;

    CAutoReaderBase(const TableLayout& layout, ReaderContext context);
    virtual ~CAutoReaderBase() = default;
    CAutoReaderBase(const CAutoReaderBase&) = delete;
    CAutoReaderBase& operator=(const CAutoReaderBase&) = delete;

    // Builds every reference bitmap from the client's folder (a host path)
    // and the program folder; called once after the reader is made.
    virtual void LoadCardImages(const std::string& installFolder) = 0;
    // Reads the table window: cards[0..1] the user's pocket cards, [2..4]
    // the flop, [5] turn, [6] river, each a card number or -1; opponents the
    // seats holding cards (at least 1). street becomes kResetStreet when the
    // table shows a state in which nothing should be read (the remembered
    // seat is then forgotten); otherwise it is left alone.
    virtual void ReadTable(platform::ScreenWindowId window, Cards& cards, int& street,
                           int& opponents);
    // Forgets the remembered seat and table size.
    virtual void ResetReader();

    int RememberedSeat() const { return rememberedSeat_; }
    int RememberedTableSize() const { return rememberedSize_; }
    const TableLayout& Layout() const { return layout_; }

    // The reference images, for the test table tool and tests.
    const std::array<platform::Bitmap32, 52>& Deck() const { return deck_; }
    const std::array<platform::Bitmap32, 26>& FourColour() const { return fourColour_; }
    const std::vector<platform::Bitmap32>& Markers() const { return markers_; }
    const platform::Bitmap32& StatusImage() const { return status_; }
    // The frame height F: a layout point (x, y) is (x - 3, y - F) in the
    // window's client area.
    int FrameHeight() const { return frameHeight_; }
    CompareMode Mode() const { return mode_; }

  protected:
    // The client rectangle of a card whose layout point is (x, y), raised by
    // `raise` pixels.
    platform::Rect CardRect(int x, int y, int raise = 0) const;
    // Captures rect of the window's client area.
    platform::Bitmap32 Capture(const platform::Rect& rect) const;
    // The card at rect: the standard deck first, then the four-colour set,
    // then (for board cards) the subclass's extra sets; -1 when none matches.
    int RecogniseAt(const platform::Rect& rect, bool board) const;
    // The card at layout point (x, y), with the family's retry higher up.
    int RecognisePoint(int x, int y, bool board) const;
    // The user's pocket cards at seat k of table-size index j; true when both
    // are found.
    virtual bool ReadPocket(int j, int k, int& first, int& second) const;
    // The table-size indexes searched, in order (default 9 down to 0).
    virtual std::vector<int> SizeOrder() const;
    // True when the table asks for a reset (default: the status image shows
    // at the status rectangle).
    virtual bool StatusSaysReset();
    // Extra board-card sets tried after the standard and four-colour ones,
    // each with the card number of every entry.
    virtual std::vector<std::pair<const platform::Bitmap32*, int>> ExtraBoardImages() const {
        return {};
    }
    // Seats holding cards at table-size index j (at least 1).
    virtual int CountOpponents(int j) const;

    // Loads an image from folder + relative path (a Windows-style path with
    // backslashes; its components are matched without regard to case, as
    // under Wine). An empty bitmap when missing or unreadable.
    static platform::Bitmap32 LoadRelative(const std::string& folder, const std::string& relative);
    // The same for a card sheet, which must be at least minWidth × minHeight
    // and, when a BMP, of 8, 24 or 32 bits per pixel; anything else gives a
    // line in the program log and an empty bitmap. With `missing`, a file
    // that is not there is counted there instead of logged (for clients that
    // keep one file per card, whose whole folder is missing at once).
    static platform::Bitmap32 LoadSheet(const std::string& folder, const std::string& relative,
                                        int minWidth, int minHeight, int* missing = nullptr);
    // Cuts the 52-card sheet whose cell (row, column) holds card
    // cellCard(row, column) (-1: no card) into the standard deck.
    void CutDeck(const platform::Bitmap32& sheet, int rows, int columns, int w, int h,
                 const std::function<int(int, int)>& cellCard,
                 std::array<platform::Bitmap32, 52>& into);

    const TableLayout& layout_;
    ReaderContext context_;
    platform::ScreenWindowId window_ = 0;
    CompareMode mode_ = CompareMode::kTolerant;
    int frameHeight_ = 29;
    int retryRaise_ = 0;  // 0: no retry
    // The marker rectangle's size and mode (crop (1, 1)).
    int markerWidth_ = 10, markerHeight_ = 10;
    CompareMode markerMode_ = CompareMode::kExact;

    std::array<platform::Bitmap32, 52> deck_;
    std::array<platform::Bitmap32, 26> fourColour_;
    std::vector<platform::Bitmap32> markers_;
    platform::Bitmap32 status_;
    int rememberedSeat_ = -1;
    int rememberedSize_ = -1;
};

// The reader of the client family of a room code, or nullptr for a
// room whose cards cannot be read.
std::unique_ptr<CAutoReaderBase> MakeAutoReader(int roomCode, const TableLayout& layout,
                                                ReaderContext context);
