#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/log.h"
#include "platform/memory_profile.h"
#include "platform/screen_source.h"
#include "reader_fixture.h"
#include "tablereader/auto_reader_full_tilt.h"
#include "tablereader/auto_reader_poker_stars.h"

namespace {

namespace fs = std::filesystem;
using tablereader::CardColours;
using tablereader::DrawCardFace;
using tablereader_test::ArtFolder;
using tablereader_test::LoadedReader;
using tablereader_test::ShippedLayouts;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Each reader cuts its sheets in the client's own order: the image it holds
// for every card number is the face the generator drew for that card.
TEST(CardSheetTest, ReadersCutEveryCardInTheClientsOrder) {
    for (int room : {113, 101, 114, 121}) {
        auto reader = LoadedReader(room, nullptr);
        const int w = room == 101 ? 40 : 50;
        const int h = room == 101 ? 54 : room == 114 ? 70 : 30;
        for (int card = 0; card < 52; ++card)
            ASSERT_EQ(reader->Deck()[static_cast<std::size_t>(card)], DrawCardFace(card, w, h))
                << "room " << room << " card " << card;
        for (int i = 0; i < 26; ++i) {
            const int card = i <= 12 ? 13 + i : 26 + i;
            ASSERT_EQ(reader->FourColour()[static_cast<std::size_t>(i)],
                      DrawCardFace(card, w, h, CardColours::kFourColour))
                << "room " << room << " entry " << i;
        }
        EXPECT_FALSE(reader->Markers().empty());
        for (const auto& m : reader->Markers()) EXPECT_FALSE(m.Empty()) << room;
    }
}

// The sheets shipped in the assets are the generator's, byte for byte.
TEST(CardSheetTest, ShippedSheetsAreTheGeneratorsOutput) {
    for (const char* name : {"cards-1.bmp", "cards-2.bmp", "cards-3.bmp", "cards-4.bmp",
                             "cards-backs.bmp", "imback.bmp", "check.bmp"}) {
        EXPECT_EQ(ReadBytes(fs::path(SEATWATCH_SOURCE_DIR) / "assets/cards" / name),
                  ReadBytes(fs::path(ArtFolder()) / "program" / name))
            << name;
    }
}

// A bad sheet is named in the log and leaves the reader blind, never
// half-reading: missing, truncated, too small, 16 bits deep, RLE-compressed.
TEST(CardSheetTest, BadSheetsAreLoggedAndReadNothing) {
    const std::string good = ReadBytes(fs::path(ArtFolder()) / "program/cards-3.bmp");
    ASSERT_GT(good.size(), 2000u);
    std::string small = ReadBytes(fs::path(ArtFolder()) / "program/cards-4.bmp");
    std::string deep = good;
    deep[28] = 16;
    // An RLE8 header over the same bytes: compression 1.
    std::string rle = good;
    rle[30] = 1;
    const struct {
        const char* what;
        std::string bytes;  // empty: no file
        const char* logged;
    } cases[] = {
        {"missing", "", "missing"},
        {"truncated", good.substr(0, good.size() / 2), "truncated"},
        {"too small", small, "expected at least 650 x 120"},
        {"16 bits", deep, "16 bits per pixel"},
        {"RLE", rle, "cards-3.bmp"},
    };
    for (const auto& c : cases) {
        std::string tmpl = (fs::temp_directory_path() / "seatwatch-bad-XXXXXX").string();
        const fs::path dir = ::mkdtemp(tmpl.data());
        if (!c.bytes.empty()) std::ofstream(dir / "cards-3.bmp", std::ios::binary) << c.bytes;
        platform::ScopedLogCapture log;
        ReaderContext context;
        platform::FakeScreenSource screen;
        context.screen = &screen;
        context.programFolder = dir.string();
        CAutoReaderPokerStars reader(*ShippedLayouts().Find(113), context);
        reader.LoadCardImages(ArtFolder() + "/client");
        EXPECT_NE(log.Text().find(c.logged), std::string::npos) << c.what << ": " << log.Text();
        for (const auto& card : reader.Deck()) EXPECT_TRUE(card.Empty()) << c.what;
        fs::remove_all(dir);
    }
}

// A client folder without its card files is one line, not one per card.
TEST(CardSheetTest, MissingPerCardFilesAreOneLogLine) {
    platform::ScopedLogCapture log;
    ReaderContext context;
    context.programFolder = ArtFolder() + "/program";
    auto reader = MakeAutoReader(101, *ShippedLayouts().Find(101), context);
    reader->LoadCardImages("/nonexistent");
    EXPECT_EQ(log.Text(), "Card images: 84 of 84 files missing in /nonexistent/Images\n");
    EXPECT_TRUE(reader->Deck()[0].Empty());
}

TEST(CardSheetTest, FullTiltFallsBackToTheSettingsFolderThenWarnsOnce) {
    ReaderContext context;
    std::vector<std::string> warnings;
    context.warn = [&](const std::string& text) { warnings.push_back(text); };
    CAutoReaderFullTilt reader(*ShippedLayouts().Find(114), context);
    reader.LoadCardImages("/nonexistent");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], CAutoReaderFullTilt::kMissingWarning);
    EXPECT_TRUE(reader.Deck()[0].Empty());

    platform::MemoryProfile settings("[Locations]\nFullTiltPoker=" + ArtFolder() + "/client\n");
    context.settings = &settings;
    CAutoReaderFullTilt found(*ShippedLayouts().Find(114), context);
    found.LoadCardImages("/nonexistent");
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_EQ(found.Deck()[0], DrawCardFace(0, 50, 70));
}

}  // namespace
