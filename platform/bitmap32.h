#pragma once
// A 32-bit image: rows top to bottom, each pixel four bytes B, G, R, 0 (the
// fourth byte is always 0, so captures and reference images compare byte for
// byte). Card sheets, captured table regions and reference cards all use it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace platform {

class Bitmap32 {
  public:
    Bitmap32() = default;
    // A width × height bitmap filled with black; empty when either is not
    // positive or the size is unreasonably large.
    Bitmap32(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    // The pixel bytes, width × 4 per row, no padding.
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

    // Sets the pixel at (x, y); ignored outside the bitmap.
    void SetPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // The pixel at (x, y) as 0x00RRGGBB; 0 outside the bitmap.
    std::uint32_t Pixel(int x, int y) const;

    // The part of this bitmap inside rect (clipped to the bitmap); empty when
    // they do not overlap.
    Bitmap32 Cut(const Rect& rect) const;
    // Cell (row, column) of a sheet of equal width × height cells; empty when
    // the cell lies outside the sheet.
    Bitmap32 Cell(int row, int column, int width, int height) const;

    bool operator==(const Bitmap32&) const = default;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// Largest width or height accepted for a bitmap (and a decoded image).
inline constexpr int kMaxBitmapSide = 16384;

// Loads a BMP, PNG or JPEG file into a bitmap. A missing, truncated or
// corrupt file gives an empty bitmap and a line in the program log.
Bitmap32 LoadImageFile(const std::string& path);
// The same from bytes in memory; `what` names the source in the log line.
Bitmap32 LoadImageMemory(const std::uint8_t* data, std::size_t size, const std::string& what);

}  // namespace platform
