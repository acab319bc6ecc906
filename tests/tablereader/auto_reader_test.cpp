#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/bitmap32.h"
#include "platform/screen_source.h"
#include "reader_fixture.h"

namespace {

using platform::FakeScreenSource;
using tablereader_test::LoadedReader;

constexpr platform::ScreenWindowId kTable = 7;

// A fake screen holding one table window that shows scene for room.
struct FakeTable {
    FakeScreenSource screen;
    std::unique_ptr<CAutoReaderBase> reader;
    int room;

    explicit FakeTable(int roomCode, int theme = 1) : room(roomCode) {
        reader = LoadedReader(room, &screen, theme);
    }
    void Show(const TableScene& scene, int width = 0, int height = 0) {
        platform::Bitmap32 picture = DrawTableScene(room, *reader, scene);
        if (width > 0) picture = Stretch(picture, width, height);
        screen.Windows().clear();
        FakeScreenSource::Window w;
        w.info.id = kTable;
        w.info.visible = true;
        w.info.clientRect = platform::Rect::FromSize(0, 0, picture.Width(), picture.Height());
        w.info.windowRect = w.info.clientRect;
        w.client = picture;
        screen.Windows().push_back(w);
    }
    CAutoReaderBase::Cards Read(int& street, int& opponents) {
        CAutoReaderBase::Cards cards{};
        street = -1;
        reader->ReadTable(kTable, cards, street, opponents);
        return cards;
    }
};

TableScene Scene(std::string_view cards, std::string_view state = "") {
    TableScene scene;
    std::string error;
    EXPECT_TRUE(ParseSceneCards(cards, scene.cards, error)) << error;
    EXPECT_TRUE(ParseSceneState(state, scene, error)) << error;
    return scene;
}

using Cards = CAutoReaderBase::Cards;

// Every reader, every table size its layout has, a seat of each: the cards
// it shows are the cards read, and the opponents are the card backs shown.
TEST(AutoReaderTest, EveryFamilyReadsWhatTheTableShows) {
    for (int room : {113, 101, 114, 108, 121}) {
        FakeTable table(room);
        ASSERT_NE(table.reader, nullptr) << room;
        const TableLayout& layout = table.reader->Layout();
        for (int j = 0; j < kTableSizes; ++j) {
            if (layout.pocket[static_cast<std::size_t>(j)][0].x1 < 0) continue;
            const int seat = j / 2;
            TableScene scene = Scene("Ah Kd 7c 8c 9c Tc Jc");
            scene.tableSize = j;
            scene.seat = seat;
            scene.opponents = std::min(3, j);
            table.reader->ResetReader();
            table.Show(scene);
            int street = 0, opponents = 0;
            const Cards cards = table.Read(street, opponents);
            EXPECT_EQ(cards, (Cards{26, 51, 19, 20, 21, 22, 23}))
                << "room " << room << " size " << j;
            EXPECT_EQ(opponents, std::max(1, scene.opponents)) << "room " << room << " size " << j;
            EXPECT_EQ(street, -1) << room;
        }
    }
}

TEST(AutoReaderTest, FlopOnlyAndRememberedSeat) {
    FakeTable table(113);
    table.Show(Scene("Qs Jh 2c 3d 4h", "seat=2,opponents=4"));
    int street = 0, opponents = 0;
    EXPECT_EQ(table.Read(street, opponents), (Cards{11, 36, 14, 41, 29, -1, -1}));
    EXPECT_EQ(opponents, 4);
    EXPECT_EQ(table.reader->RememberedSeat(), 2);
    EXPECT_EQ(table.reader->RememberedTableSize(), 9);
    // Once the river is out the seat is no longer remembered.
    table.Show(Scene("Qs Jh 2c 3d 4h 5s 6s", "seat=2,opponents=4"));
    EXPECT_EQ(table.Read(street, opponents)[6], 5);
    table.reader->ResetReader();
    table.Read(street, opponents);
    EXPECT_EQ(table.reader->RememberedSeat(), -1);
}

TEST(AutoReaderTest, StatusShownResetsAndReadsNothing) {
    for (int room : {113, 101, 108, 121}) {
        FakeTable table(room);
        table.Show(Scene("Ah Kd", "seat=1"));
        int street = 0, opponents = 0;
        Cards cards = table.Read(street, opponents);
        if (room == 121) {
            // The first read of a table stores its status region.
            EXPECT_EQ(street, -1) << room;
        }
        EXPECT_EQ(cards[0], 26) << room;
        EXPECT_GE(table.reader->RememberedSeat(), 0) << room;
        table.Show(Scene("Ah Kd", "seat=1,status"));
        cards = table.Read(street, opponents);
        EXPECT_EQ(street, CAutoReaderBase::kResetStreet) << room;
        EXPECT_EQ(cards, (Cards{-1, -1, -1, -1, -1, -1, -1})) << room;
        EXPECT_EQ(table.reader->RememberedSeat(), -1) << room;
    }
}

TEST(AutoReaderTest, FourColourRaisedAndDarkCards) {
    {
        // A green club of the PartyPoker family is the club of that rank.
        FakeTable table(101);
        table.Show(Scene("Ac Kd 5c 6d 7h", "four-colour"));
        int street = 0, opponents = 0;
        EXPECT_EQ(table.Read(street, opponents), (Cards{13, 51, 17, 44, 32, -1, -1}));
        // Raised cards are found by the retry higher up.
        table.reader->ResetReader();
        table.Show(Scene("Ac Kd", "raised"));
        EXPECT_EQ(table.Read(street, opponents)[1], 51);
    }
    {
        FakeTable table(108);
        table.Show(Scene("Ac Kd 5c 6d 7h", "four-colour,dark"));
        int street = 0, opponents = 0;
        EXPECT_EQ(table.Read(street, opponents), (Cards{13, 51, 17, 44, 32, -1, -1}));
    }
    {
        FakeTable table(114);
        table.Show(Scene("2s 3h", "raised,seat=3"));
        int street = 0, opponents = 0;
        EXPECT_EQ(table.Read(street, opponents)[0], 1);
    }
}

TEST(AutoReaderTest, ResizedOrMissingWindowReadsNothing) {
    for (int room : {113, 101, 114, 108, 121}) {
        FakeTable table(room);
        const platform::Rect client = DefaultClientRect(table.reader->Layout());
        table.Show(Scene("Ah Kd 7c 8c 9c"), client.Width() + 40, client.Height() + 30);
        int street = 0, opponents = 0;
        EXPECT_EQ(table.Read(street, opponents)[0], -1) << room;
        EXPECT_EQ(table.Read(street, opponents), (Cards{-1, -1, -1, -1, -1, -1, -1})) << room;
        EXPECT_EQ(opponents, 1) << room;
        table.screen.Windows().clear();
        EXPECT_EQ(table.Read(street, opponents), (Cards{-1, -1, -1, -1, -1, -1, -1})) << room;
    }
}

}  // namespace

namespace {

// The test tool's --snapshot is the whole window in the layout's
// coordinates: its size is the layout's window size and, cut at
// (3, frame), it is the client area the reader reads, in either theme.
TEST(AutoReaderTest, ToolSnapshotIsTheWindowInLayoutCoordinates) {
    const std::string art = tablereader_test::ArtFolder();
    for (int theme : {1, 2}) {
        const std::string png = art + "/snapshot-" + std::to_string(theme) + ".png";
        const std::string command = std::string("'") + SEATWATCH_TABLE_TOOL +
                                    "' --room 113 --theme " + std::to_string(theme) + " --art '" +
                                    art + "' --cards 'Ah Kd 7c 8c 9c' --snapshot '" + png + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const platform::Bitmap32 shot = platform::LoadImageFile(png);
        FakeTable table(113, theme);
        const TableLayout& layout = table.reader->Layout();
        ASSERT_EQ(shot.Width(), layout.windowWidth);
        ASSERT_EQ(shot.Height(), layout.windowHeight);
        const platform::Rect client = DefaultClientRect(layout);
        FakeScreenSource::Window w;
        w.info.id = kTable;
        w.info.visible = true;
        w.info.clientRect = client;
        w.info.windowRect = client;
        w.client = shot.Cut(platform::Rect::FromSize(3, layout.frameHeight, client.Width(),
                                                     client.Height()));
        table.screen.Windows().push_back(w);
        int street = 0, opponents = 0;
        EXPECT_EQ(table.Read(street, opponents), (Cards{26, 51, 19, 20, 21, -1, -1})) << theme;
    }
}

}  // namespace
