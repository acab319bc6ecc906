#include "platform/bitmap32.h"

#include <stb_image.h>

#include <algorithm>
#include <climits>

#include "platform/file_util.h"
#include "platform/log.h"

namespace platform {

Bitmap32::Bitmap32(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return;
    width_ = width;
    height_ = height;
    bytes_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u, 0);
}

void Bitmap32::SetPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    std::uint8_t* p = &bytes_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                               static_cast<std::size_t>(x)) *
                              4u];
    p[0] = b;
    p[1] = g;
    p[2] = r;
    p[3] = 0;
}

std::uint32_t Bitmap32::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const std::uint8_t* p =
        &bytes_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)) *
                4u];
    return (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) |
           p[0];
}

Bitmap32 Bitmap32::Cut(const Rect& rect) const {
    const Rect r = rect.Intersect(Rect{0, 0, width_, height_});
    if (r.Empty()) return {};
    Bitmap32 out(r.Width(), r.Height());
    const std::size_t rowBytes = static_cast<std::size_t>(r.Width()) * 4u;
    for (int y = 0; y < r.Height(); ++y) {
        const std::size_t from =
            (static_cast<std::size_t>(r.top + y) * static_cast<std::size_t>(width_) +
             static_cast<std::size_t>(r.left)) *
            4u;
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(from), rowBytes,
                    out.bytes_.begin() +
                        static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * rowBytes));
    }
    return out;
}

Bitmap32 Bitmap32::Cell(int row, int column, int width, int height) const {
    if (row < 0 || column < 0 || width <= 0 || height <= 0) return {};
    const long long left = static_cast<long long>(column) * width;
    const long long top = static_cast<long long>(row) * height;
    if (left + width > width_ || top + height > height_) return {};
    return Cut(Rect::FromSize(static_cast<int>(left), static_cast<int>(top), width, height));
}

namespace {

std::uint32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// stb_image decodes a BMP whose pixel data is cut short without complaint,
// leaving the missing rows black; such a file would never match a capture, so
// it is refused here, like a truncated PNG or JPEG.
bool TruncatedBmp(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || data[0] != 'B' || data[1] != 'M') return false;
    if (size < 54) return true;
    const std::uint32_t offset = ReadLe32(data + 10);
    const auto width = static_cast<std::int32_t>(ReadLe32(data + 18));
    const auto height = static_cast<std::int32_t>(ReadLe32(data + 22));
    const unsigned bits = static_cast<unsigned>(data[28]) | (static_cast<unsigned>(data[29]) << 8);
    const std::uint32_t compression = ReadLe32(data + 30);
    if (compression != 0 && compression != 3) return false;  // stb checks other kinds itself
    const long long rowBytes =
        ((static_cast<long long>(width < 0 ? -width : width) * bits + 31) / 32) * 4;
    const long long rows = height < 0 ? -static_cast<long long>(height) : height;
    return static_cast<long long>(offset) + rowBytes * rows > static_cast<long long>(size);
}

}  // namespace

Bitmap32 LoadImageMemory(const std::uint8_t* data, std::size_t size, const std::string& what) {
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) {
        Log::Write("Image: empty or too large: " + what);
        return {};
    }
    if (TruncatedBmp(data, size)) {
        Log::Write("Image: truncated BMP: " + what);
        return {};
    }
    int w = 0, h = 0, channels = 0;
    // Check the header first so that a huge declared size is refused before
    // any pixel memory is allocated.
    if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels) || w <= 0 ||
        h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide) {
        Log::Write("Image: unreadable or unsupported: " + what);
        return {};
    }
    unsigned char* rgba = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 4);
    if (rgba == nullptr) {
        Log::Write(std::string("Image: cannot decode ") + what + ": " + stbi_failure_reason());
        return {};
    }
    Bitmap32 out(w, h);
    std::vector<std::uint8_t>& bytes = out.Bytes();
    const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i * 4 + 0] = rgba[i * 4 + 2];
        bytes[i * 4 + 1] = rgba[i * 4 + 1];
        bytes[i * 4 + 2] = rgba[i * 4 + 0];
        bytes[i * 4 + 3] = 0;
    }
    stbi_image_free(rgba);
    return out;
}

Bitmap32 LoadImageFile(const std::string& path) {
    // Card sheets are small; 64 MB is far beyond any real one.
    const auto data = ReadWholeFile(path, 64u * 1024u * 1024u);
    if (!data) {
        Log::Write("Image: cannot read " + path);
        return {};
    }
    return LoadImageMemory(reinterpret_cast<const std::uint8_t*>(data->data()), data->size(), path);
}

}  // namespace platform
