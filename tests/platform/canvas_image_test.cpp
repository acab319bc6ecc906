#include "platform/bitmap32.h"
#include "platform/recording_canvas.h"
#include "platform/svg_canvas.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include "platform/log.h"
#include "test_util.h"

namespace platform {
namespace {

TEST(SvgCanvas, DrawsEscapedTextAtMeasuredPositions) {
    SvgCanvas canvas(100, 50);
    canvas.FillRect(Rect{-5, -5, 105, 55}, Rgb(0xE4, 0xCB, 0xB1));
    const Point line[] = {{1, 2}, {3, 4}};
    canvas.PolyLine(line, 2, Rgb(0, 0xC0, 0));
    TextStyle style;
    style.font = Font{"Arial", 14, true};
    style.color = Rgb(0, 0x33, 0x66);
    style.align = TextAlign::kRight;
    style.background = TextBackground::kOpaque;
    canvas.Text(90, 10, "<b>&'\"\x01", style);
    EXPECT_EQ(canvas.Svg(),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"50\" viewBox=\"0 0 100 50\">\n"
              "<rect x=\"-5\" y=\"-5\" width=\"110\" height=\"60\" fill=\"#e4cbb1\"/>\n"
              "<polyline points=\"1,2 3,4\" fill=\"none\" stroke=\"#00c000\" stroke-width=\"2\" "
              "stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n"
              "<rect x=\"45\" y=\"10\" width=\"45\" height=\"16\" fill=\"#ffffff\"/>\n"
              "<text x=\"90\" y=\"23\" font-family=\"Arial\" font-size=\"14\" font-weight=\"bold\" fill=\"#003366\" "
              "text-anchor=\"end\" xml:space=\"preserve\">&lt;b&gt;&amp;&#39;&quot;</text>\n"
              "</svg>\n");
}

TEST(Canvas, TextWidthsComeFromTheTable) {
    RecordingCanvas canvas(10, 10);
    struct Case {
        const char* text;
        bool bold;
        int expected;
    };
    for (const Case& c : {Case{"999", true, 23}, Case{"9999999999", true, 78}, Case{"", false, 0},
                          Case{"Wil", false, 19}, Case{"\xC3\xA9", false, 8}}) {
        EXPECT_EQ(canvas.TextWidth(c.text, Font{"Arial", 14, c.bold}), c.expected) << c.text;
    }
}

std::vector<std::uint8_t> Encode(const char* format, int w, int h, const std::vector<std::uint8_t>& rgb) {
    std::vector<std::uint8_t> out;
    auto sink = [](void* ctx, void* data, int size) {
        auto* v = static_cast<std::vector<std::uint8_t>*>(ctx);
        v->insert(v->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    };
    const std::string f = format;
    if (f == "bmp") stbi_write_bmp_to_func(sink, &out, w, h, 3, rgb.data());
    if (f == "png") stbi_write_png_to_func(sink, &out, w, h, 3, rgb.data(), w * 3);
    if (f == "jpg") stbi_write_jpg_to_func(sink, &out, w, h, 3, rgb.data(), 100);
    return out;
}

TEST(Images, LoadsEachFormatAsBgrx) {
    // A 4x2 image: red, green, blue, white over black, grey...
    const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255,
                                           0,   0, 0, 128, 128, 128, 10, 20, 30, 200, 100, 50};
    for (const char* format : {"bmp", "png", "jpg"}) {
        SCOPED_TRACE(format);
        testing::TempDir dir;
        const auto bytes = Encode(format, 4, 2, rgb);
        const auto path = dir.Write(std::string("img.") + format, std::string(bytes.begin(), bytes.end()));
        const Bitmap32 bmp = LoadImageFile(path.string());
        ASSERT_EQ(bmp.Width(), 4);
        ASSERT_EQ(bmp.Height(), 2);
        const int tolerance = std::string(format) == "jpg" ? 40 : 0;
        for (int i = 0; i < 8; ++i) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(bmp.Bytes()[i * 4 + c], rgb[i * 3 + (2 - c)], tolerance) << "pixel " << i << " byte " << c;
            }
            EXPECT_EQ(bmp.Bytes()[i * 4 + 3], 0);
        }
    }
}

TEST(Images, BadFilesGiveEmptyBitmapsAndALogLine) {
    testing::TempDir dir;
    const std::vector<std::uint8_t> rgb(16 * 16 * 3, 77);
    const auto png = Encode("png", 16, 16, rgb);
    const auto bmp = Encode("bmp", 16, 16, rgb);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"truncated.png", std::string(png.begin(), png.begin() + static_cast<long>(png.size() / 2))},
        {"truncated.bmp", std::string(bmp.begin(), bmp.begin() + 60)},
        {"text.jpg", "not an image at all"},
        {"empty.png", ""},
    };
    for (const Case& c : cases) {
        ScopedLogCapture log;
        EXPECT_TRUE(LoadImageFile(dir.Write(c.name, c.bytes).string()).Empty()) << c.name;
        EXPECT_TRUE(log.Contains("Image:")) << c.name;
    }
    ScopedLogCapture log;
    EXPECT_TRUE(LoadImageFile((dir.Path() / "missing.bmp").string()).Empty());
}

TEST(Bitmap32, CutsCellsOutOfASheet) {
    Bitmap32 sheet(6, 4);  // 2 rows x 3 columns of 2x2 cells
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) sheet.SetPixel(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 9);
    }
    const Bitmap32 cell = sheet.Cell(1, 2, 2, 2);
    ASSERT_EQ(cell.Width(), 2);
    EXPECT_EQ(cell.Pixel(0, 0), (4u << 16) | (2u << 8) | 9u);
    EXPECT_EQ(cell.Pixel(1, 1), (5u << 16) | (3u << 8) | 9u);
    EXPECT_TRUE(sheet.Cell(2, 0, 2, 2).Empty());
    EXPECT_TRUE(sheet.Cell(0, 3, 2, 2).Empty());
    EXPECT_EQ(sheet.Cut(Rect{5, 3, 50, 50}).Width(), 1);
}

}  // namespace
}  // namespace platform
