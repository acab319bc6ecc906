// The reader over the real hand histories beside the project checkout, when
// they are there: every family's folder loads without a fault, and a live
// pass right after the first loading finds nothing new.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "rooms/log_loader.h"
#include "rooms/poker_room_profile.h"
#include "tests/rooms/rooms_test_support.h"

namespace {

TEST(Corpus, EachFamilyLoadsAndALivePassFindsNothingNew) {
    const std::filesystem::path corpus =
        std::filesystem::path(SEATWATCH_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    const struct {
        const char* folder;
        int roomId;
    } families[] = {{"pokerstars", 113}, {"fulltilt", 114}, {"partypoker", 101}, {"absolute", 121}};
    int total = 0;
    for (const auto& family : families) {
        SCOPED_TRACE(family.folder);
        const std::string folder = (corpus / family.folder).string();
        if (!std::filesystem::is_directory(folder)) continue;
        RoomProfileOptions options;
        auto profile = CreateRoomProfile(family.roomId, options);
        ASSERT_NE(profile, nullptr);
        rooms_test::RecordingSink sink;
        LogLoaderSettings settings;
        settings.nickname = "Hero";
        CLogLoader loader(*profile, sink, settings, platform::SystemClock::Instance());
        loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder);
        const std::size_t first = sink.added.size();
        EXPECT_FALSE(loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder));
        EXPECT_EQ(sink.added.size(), first);
        for (const auto& [number, hand] : sink.hands) {
            EXPECT_TRUE(hand->potAwarded) << number;
            EXPECT_TRUE(hand->realMoney) << number;
        }
        total += static_cast<int>(first);
        std::printf("%-10s %4d files %5zu hands\n", family.folder, loader.FileCount(), first);
    }
    EXPECT_GT(total, 0);
}

}  // namespace
