#include "tablereader/card_art.h"

#include <stb_image_write.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

namespace tablereader {

namespace {

using platform::Bitmap32;

struct Rgb {
    std::uint8_t r, g, b;
};

// 5 × 7 glyphs of the ranks, Ace to King; '#' is ink.
constexpr std::array<std::array<const char*, 7>, 13> kRankGlyphs{{
    {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"},  // A
    {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"},  // 2
    {"#### ", "    #", "    #", " ### ", "    #", "    #", "#### "},  // 3
    {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "},  // 4
    {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "},  // 5
    {" ### ", "#    ", "#    ", "#### ", "#   #", "#   #", " ### "},  // 6
    {"#####", "    #", "   # ", "  #  ", "  #  ", " #   ", " #   "},  // 7
    {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "},  // 8
    {" ### ", "#   #", "#   #", " ####", "    #", "    #", " ### "},  // 9
    {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "},  // T
    {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "},  // J
    {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"},  // Q
    {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"},  // K
}};

// 7 × 7 suit pips: spades, clubs, hearts, diamonds.
constexpr std::array<std::array<const char*, 7>, 4> kSuitGlyphs{{
    {"   #   ", "  ###  ", " ##### ", "#######", "#######", "   #   ", "  ###  "},
    {"  ###  ", "  ###  ", "## # ##", "#######", "## # ##", "   #   ", "  ###  "},
    {" ## ## ", "#######", "#######", " ##### ", "  ###  ", "   #   ", "       "},
    {"   #   ", "  ###  ", " ##### ", "#######", " ##### ", "  ###  ", "   #   "},
}};

void Fill(Bitmap32& b, int x0, int y0, int w, int h, Rgb c) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) b.SetPixel(x, y, c.r, c.g, c.b);
}

template <std::size_t Rows>
void Glyph(Bitmap32& b, const std::array<const char*, Rows>& rows, int x0, int y0, int scale,
           Rgb ink) {
    for (std::size_t r = 0; r < Rows; ++r)
        for (int c = 0; rows[r][c] != '\0'; ++c)
            if (rows[r][c] == '#')
                Fill(b, x0 + c * scale, y0 + static_cast<int>(r) * scale, scale, scale, ink);
}

Rgb SuitInk(int suit, CardColours colours) {
    switch (suit) {
        case 1:
            return colours == CardColours::kFourColour ? Rgb{0, 150, 0} : Rgb{0, 0, 0};
        case 2:
            return Rgb{200, 0, 0};
        case 3:
            return colours == CardColours::kFourColour ? Rgb{0, 0, 200} : Rgb{200, 0, 0};
        default:
            return Rgb{0, 0, 0};
    }
}

bool Ensure(const std::string& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) error = "cannot create " + folder + ": " + ec.message();
    return !ec;
}

bool Put(const std::string& path, const Bitmap32& image, std::string& error) {
    const std::string ext = std::filesystem::path(path).extension().string();
    bool ok = false;
    if (ext == ".png")
        ok = WritePng(path, image);
    else if (ext == ".jpg")
        ok = WriteJpeg(path, image);
    else
        ok = WriteBmp(path, image);
    if (!ok) error = "cannot write " + path;
    return ok;
}

// Pastes part onto sheet at (x, y).
void Paste(Bitmap32& sheet, const Bitmap32& part, int x, int y) {
    for (int py = 0; py < part.Height(); ++py)
        for (int px = 0; px < part.Width(); ++px) {
            const std::uint32_t p = part.Pixel(px, py);
            sheet.SetPixel(x + px, y + py, static_cast<std::uint8_t>(p >> 16),
                           static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p));
        }
}

// A sheet of cells w × h: cell(row, column) gives the card to draw (-1: none).
template <typename F>
Bitmap32 Sheet(int rows, int columns, int w, int h, F&& cell) {
    Bitmap32 sheet(columns * w, rows * h);
    Fill(sheet, 0, 0, sheet.Width(), sheet.Height(), Rgb{90, 90, 90});
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const Bitmap32 part = cell(r, c);
            if (!part.Empty()) Paste(sheet, part, c * w, r * h);
        }
    return sheet;
}

std::vector<std::uint8_t> Rgb24(const Bitmap32& image) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(image.Width()) * static_cast<std::size_t>(image.Height()) *
                3u);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const std::uint32_t p = image.Pixel(x, y);
            out.push_back(static_cast<std::uint8_t>(p >> 16));
            out.push_back(static_cast<std::uint8_t>(p >> 8));
            out.push_back(static_cast<std::uint8_t>(p));
        }
    return out;
}

void Le16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Le32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

// Standard rows (clubs, diamonds, hearts, spades) and four-colour rows
// (clubs, diamonds) of the program's 50 × 30 sheets.
constexpr std::array<int, 4> kStandardRowSuits{1, 3, 2, 0};
constexpr int kProgramCellWidth = 50, kProgramCellHeight = 30;

}  // namespace

Bitmap32 DrawCardFace(int card, int width, int height, CardColours colours, CardShade shade) {
    Bitmap32 b(width, height);
    if (card < 0 || card > 51 || b.Empty()) return b;
    const bool dark = shade == CardShade::kDark;
    Fill(b, 0, 0, width, height, dark ? Rgb{170, 170, 170} : Rgb{255, 255, 255});
    const Rgb edge{0, 0, 0};
    Fill(b, 0, 0, width, 1, edge);
    Fill(b, 0, 0, 1, height, edge);
    Fill(b, 0, height - 1, width, 1, edge);
    Fill(b, width - 1, 0, 1, height, edge);
    const int rank = card % 13, suit = card / 13;
    Rgb ink = SuitInk(suit, colours);
    if (dark)
        ink = Rgb{static_cast<std::uint8_t>(ink.r / 2), static_cast<std::uint8_t>(ink.g / 2),
                  static_cast<std::uint8_t>(ink.b / 2)};
    // The corner: rank at scale 3 (15 × 21), the suit beside it at scale 2.
    Glyph(b, kRankGlyphs[static_cast<std::size_t>(rank)], 3, 4, 3, ink);
    Glyph(b, kSuitGlyphs[static_cast<std::size_t>(suit)], 21, 6, 2, ink);
    // Taller cards also get a big pip in the middle.
    if (height >= 50)
        Glyph(b, kSuitGlyphs[static_cast<std::size_t>(suit)], width / 2 - 10, height / 2, 3, ink);
    return b;
}

Bitmap32 DrawCardBack(int index, int width, int height) {
    Bitmap32 b(width, height);
    static constexpr std::array<Rgb, 6> kBacks{{{30, 60, 200},
                                                {200, 40, 40},
                                                {40, 40, 160},
                                                {160, 30, 160},
                                                {20, 120, 200},
                                                {220, 120, 20}}};
    const Rgb c = kBacks[static_cast<std::size_t>(((index % 6) + 6) % 6)];
    Fill(b, 0, 0, width, height, Rgb{250, 250, 250});
    Fill(b, 1, 1, width - 2, height - 2, c);
    for (int y = 2; y < height - 2; y += 3)
        for (int x = 2 + (y / 3) % 2; x < width - 2; x += 3) b.SetPixel(x, y, 240, 240, 240);
    return b;
}

Bitmap32 DrawStatusImage(int width, int height, int variant) {
    Bitmap32 b(width, height);
    Fill(b, 0, 0, width, height,
         variant == 0 ? Rgb{230, 200, 60}
                      : Rgb{60, 60, static_cast<std::uint8_t>(70 + (variant % 8) * 20)});
    Fill(b, 2, 2, width - 4, 2, Rgb{255, 255, 255});
    for (int x = 4; x < width - 4; x += 6) Fill(b, x, height / 2 - 2, 3, 5, Rgb{10, 10, 10});
    return b;
}

Bitmap32 DrawHighlight(int frame, int width, int height) {
    Bitmap32 b(width, height);
    const auto level = static_cast<std::uint8_t>(120 + frame * 25);
    Fill(b, 0, 0, width, height, Rgb{level, level, 40});
    for (int y = 0; y < height; y += 2) b.SetPixel(frame % width, y, 255, 255, 255);
    return b;
}

Bitmap32 DrawFelt(int width, int height) {
    Bitmap32 b(width, height);
    Fill(b, 0, 0, width, height, Rgb{0, 100, 0});
    return b;
}

bool WriteBmp(const std::string& path, const Bitmap32& image) {
    if (image.Empty()) return false;
    const int w = image.Width(), h = image.Height();
    std::map<std::uint32_t, int> palette;
    for (int y = 0; y < h && palette.size() <= 256; ++y)
        for (int x = 0; x < w && palette.size() <= 256; ++x)
            palette.emplace(image.Pixel(x, y), static_cast<int>(palette.size()));
    const bool indexed = palette.size() <= 256;
    const int bits = indexed ? 8 : 24;
    const std::uint32_t rowBytes = static_cast<std::uint32_t>(((w * bits + 31) / 32) * 4);
    const std::uint32_t paletteBytes = indexed ? 256u * 4u : 0u;
    const std::uint32_t offset = 14u + 40u + paletteBytes;
    std::vector<std::uint8_t> f;
    f.push_back('B');
    f.push_back('M');
    Le32(f, offset + rowBytes * static_cast<std::uint32_t>(h));
    Le32(f, 0);
    Le32(f, offset);
    Le32(f, 40);
    Le32(f, static_cast<std::uint32_t>(w));
    Le32(f, static_cast<std::uint32_t>(h));  // bottom-up rows
    Le16(f, 1);
    Le16(f, static_cast<unsigned>(bits));
    Le32(f, 0);  // uncompressed
    Le32(f, rowBytes * static_cast<std::uint32_t>(h));
    Le32(f, 2835);
    Le32(f, 2835);
    Le32(f, indexed ? 256u : 0u);
    Le32(f, 0);
    if (indexed) {
        std::vector<std::uint32_t> colours(256, 0);
        for (const auto& [rgb, i] : palette) colours[static_cast<std::size_t>(i)] = rgb;
        for (std::uint32_t rgb : colours) Le32(f, rgb);  // B, G, R, 0
    }
    for (int y = h - 1; y >= 0; --y) {
        const std::size_t start = f.size();
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = image.Pixel(x, y);
            if (indexed) {
                f.push_back(static_cast<std::uint8_t>(palette[p]));
            } else {
                f.push_back(static_cast<std::uint8_t>(p));
                f.push_back(static_cast<std::uint8_t>(p >> 8));
                f.push_back(static_cast<std::uint8_t>(p >> 16));
            }
        }
        while (f.size() - start < rowBytes) f.push_back(0);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(f.data(), 1, f.size(), file) == f.size();
    return std::fclose(file) == 0 && ok;
}

bool WritePng(const std::string& path, const Bitmap32& image) {
    if (image.Empty()) return false;
    const auto rgb = Rgb24(image);
    return stbi_write_png(path.c_str(), image.Width(), image.Height(), 3, rgb.data(),
                          image.Width() * 3) != 0;
}

bool WriteJpeg(const std::string& path, const Bitmap32& image) {
    if (image.Empty()) return false;
    const auto rgb = Rgb24(image);
    return stbi_write_jpg(path.c_str(), image.Width(), image.Height(), 3, rgb.data(), 95) != 0;
}

bool WriteProgramArt(const std::string& folder, std::string& error) {
    if (!Ensure(folder, error)) return false;
    const int w = kProgramCellWidth, h = kProgramCellHeight;
    const auto standard = [&](int r, int c) {
        return DrawCardFace(kStandardRowSuits[static_cast<std::size_t>(r)] * 13 + c, w, h);
    };
    const auto fourColour = [&](int r, int c) {
        return DrawCardFace((r == 0 ? 1 : 3) * 13 + c, w, h, CardColours::kFourColour);
    };
    const Bitmap32 deck = Sheet(4, 13, w, h, standard);
    const Bitmap32 four = Sheet(2, 13, w, h, fourColour);
    const std::string base = folder + "/";
    return Put(base + "cards-1.bmp", deck, error) && Put(base + "cards-2.bmp", four, error) &&
           Put(base + "cards-3.bmp", deck, error) && Put(base + "cards-4.bmp", four, error) &&
           Put(base + "cards-backs.bmp",
               Sheet(1, 4, 23, 34, [](int, int c) { return DrawCardBack(c, 23, 34); }), error) &&
           Put(base + "imback.bmp", DrawStatusImage(62, 39, 1), error) &&
           Put(base + "check.bmp", DrawStatusImage(60, 20, 0), error);
}

bool WriteClientArt(ClientArt client, const std::string& folder, std::string& error) {
    static constexpr char kRanks[] = "A23456789TJQK";
    static constexpr char kSuits[] = "schd";
    switch (client) {
        case ClientArt::kPokerStars: {
            const std::string deck = folder + "/Gx/chips&deck", button = folder + "/Gx/button";
            if (!Ensure(deck, error) || !Ensure(button, error)) return false;
            for (int i = 0; i < 6; ++i)
                if (!Put(deck + "/smallcard" + std::to_string(i) + ".bmp", DrawCardBack(i, 14, 20),
                         error))
                    return false;
            return Put(button + "/butB-pas.bmp", DrawStatusImage(100, 30, 0), error);
        }
        case ClientArt::kPartyPoker: {
            const std::string images = folder + "/Images";
            if (!Ensure(images, error)) return false;
            for (int card = 0; card < 52; ++card) {
                const std::string name{kRanks[card % 13], kSuits[card / 13]};
                if (!Put(images + "/" + name + ".bmp", DrawCardFace(card, 40, 54), error))
                    return false;
                if (card / 13 == 1 &&
                    !Put(images + "/" + name + "g.bmp",
                         DrawCardFace(card, 40, 54, CardColours::kFourColour), error))
                    return false;
                if (card / 13 == 3 &&
                    !Put(images + "/" + name + "b.bmp",
                         DrawCardFace(card, 40, 54, CardColours::kFourColour), error))
                    return false;
            }
            for (int i = 1; i <= 6; ++i)
                if (!Put(images + "/" + std::to_string(i) + "_smallcard1.bmp",
                         DrawCardBack(i, 14, 20), error))
                    return false;
            return true;
        }
        case ClientArt::kFullTilt: {
            const std::string elements = folder + "/Graphics/Table/Elements";
            if (!Ensure(elements, error)) return false;
            // Rows spades, hearts, diamonds, clubs, then four-colour diamonds
            // and clubs; columns Ace, King, Queen ... Two; backs in column 13.
            static constexpr std::array<int, 6> kRowSuits{0, 2, 3, 1, 3, 1};
            const Bitmap32 sheet = Sheet(6, 14, 50, 70, [](int r, int c) {
                if (c == 13) return r < 4 ? DrawCardBack(r, 50, 70) : Bitmap32{};
                const int rank = c == 0 ? 0 : 13 - c;
                return DrawCardFace(kRowSuits[static_cast<std::size_t>(r)] * 13 + rank, 50, 70,
                                    r >= 4 ? CardColours::kFourColour : CardColours::kStandard);
            });
            return Put(elements + "/Cards.png", sheet, error);
        }
        case ClientArt::kInterPoker: {
            const std::string img = folder + "/img";
            if (!Ensure(img, error)) return false;
            // Cell number = suit group × 13 + rank + 1 on a 9-column grid;
            // groups: clubs 0, diamonds 1, hearts 2, spades 3.
            static constexpr std::array<int, 4> kGroupSuits{1, 3, 2, 0};
            const auto sheet = [&](CardColours colours, CardShade shade) {
                return Sheet(6, 9, 55, 74, [&](int r, int c) {
                    const int number = r * 9 + c - 1;
                    if (number < 0 || number >= 52) return Bitmap32{};
                    return DrawCardFace(
                        kGroupSuits[static_cast<std::size_t>(number / 13)] * 13 + number % 13, 55,
                        74, colours, shade);
                });
            };
            const Bitmap32 backs =
                Sheet(1, 4, 22, 32, [](int, int c) { return DrawCardBack(c, 22, 32); });
            const Bitmap32 appear = Sheet(
                1, 4, 12, 20, [](int, int c) { return DrawHighlight(c == 0 ? 0 : 6 + c, 12, 20); });
            const Bitmap32 glow =
                Sheet(1, 5, 12, 20, [](int, int c) { return DrawHighlight(1 + c, 12, 20); });
            return Put(img + "/p_cardsheet.jpg", sheet(CardColours::kStandard, CardShade::kNormal),
                       error) &&
                   Put(img + "/p_cardsheet_dark.jpg",
                       sheet(CardColours::kStandard, CardShade::kDark), error) &&
                   Put(img + "/p_cardsheet_4col.jpg",
                       sheet(CardColours::kFourColour, CardShade::kNormal), error) &&
                   Put(img + "/p_cardsheet_4col_dark.jpg",
                       sheet(CardColours::kFourColour, CardShade::kDark), error) &&
                   Put(img + "/p_cardbacks_small.jpg", backs, error) &&
                   Put(img + "/p_infobox_appear2.jpg", appear, error) &&
                   Put(img + "/p_infobox_glow2.jpg", glow, error);
        }
    }
    return false;
}

}  // namespace tablereader
