#pragma once
// Shared by the reader tests: the artwork written once per test program, the
// shipped layouts, and a reader for a room with its images loaded.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tablereader/auto_reader_base.h"
#include "tablereader/card_art.h"
#include "tablereader/table_layout.h"
#include "tablereader/test_table_scene.h"

namespace tablereader_test {

inline const TableLayouts& ShippedLayouts() {
    static const TableLayouts layouts =
        LoadTableLayouts(std::string(SEATWATCH_SOURCE_DIR) + "/assets/table_layouts.ini");
    return layouts;
}

// A folder with program/ and client/ artwork, written on first use and
// removed when the test program ends.
inline const std::string& ArtFolder() {
    static const std::string folder = [] {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "seatwatch-art-XXXXXX").string();
        std::string path = ::mkdtemp(tmpl.data());
        std::string error;
        bool ok = tablereader::WriteProgramArt(path + "/program", error);
        for (auto c : {tablereader::ClientArt::kPokerStars, tablereader::ClientArt::kPartyPoker,
                       tablereader::ClientArt::kFullTilt, tablereader::ClientArt::kInterPoker})
            ok = ok && tablereader::WriteClientArt(c, path + "/client", error);
        EXPECT_TRUE(ok) << error;
        static struct Cleanup {
            std::string p;
            ~Cleanup() {
                std::error_code ec;
                std::filesystem::remove_all(p, ec);
            }
        } cleanup{path};
        return path;
    }();
    return folder;
}

inline std::unique_ptr<CAutoReaderBase> LoadedReader(int room, platform::ScreenSource* screen,
                                                     int theme = 1) {
    const TableLayout* layout = ShippedLayouts().Find(LayoutKey(room, theme == 2));
    if (layout == nullptr) return nullptr;
    ReaderContext context;
    context.screen = screen;
    context.programFolder = ArtFolder() + "/program";
    auto reader = MakeAutoReader(room, *layout, context);
    if (reader) reader->LoadCardImages(ArtFolder() + "/client");
    return reader;
}

}  // namespace tablereader_test
