// The program folder's first lay-out and the single-instance lock.
#include "app/program_folder.h"

#include <gtest/gtest.h>

#include "tests/rooms/rooms_test_support.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ProgramFolderTest, CopiesAlertsOnceAndKeepsTheUsersEdits) {
    rooms_test::ScratchFolder scratch;
    const std::string assets = scratch / "assets";
    const std::string home = scratch / "home/nested";
    rooms_test::WriteFile(assets + "/Alerts.ini", "[Shipped]\n");
    std::string error;
    ASSERT_TRUE(PrepareProgramFolder(home, assets, error)) << error;
    EXPECT_EQ(Read(home + "/Alerts.ini"), "[Shipped]\n");
    rooms_test::WriteFile(home + "/Alerts.ini", "[Edited]\n");
    ASSERT_TRUE(PrepareProgramFolder(home, assets, error)) << error;
    EXPECT_EQ(Read(home + "/Alerts.ini"), "[Edited]\n");
}

TEST(ProgramFolderTest, FolderThatCannotBeMadeIsReported) {
    rooms_test::ScratchFolder scratch;
    rooms_test::WriteFile(scratch / "file", "x");
    std::string error;
    EXPECT_FALSE(PrepareProgramFolder(scratch / "file/home", scratch / "assets", error));
    EXPECT_FALSE(error.empty());
}

TEST(ProgramFolderTest, HomeOptionWinsOverTheEnvironment) {
    EXPECT_EQ(ResolveProgramFolder("/some/home"), std::filesystem::path("/some/home"));
    ::setenv("XDG_DATA_HOME", "/xdg", 1);
    EXPECT_EQ(ResolveProgramFolder(""), std::filesystem::path("/xdg/seatwatch"));
    ::unsetenv("XDG_DATA_HOME");
}

TEST(InstanceLockTest, OneHolderAtATimeAndFreedWithIt) {
    rooms_test::ScratchFolder scratch;
    auto first = std::make_unique<CInstanceLock>(scratch.Path());
    EXPECT_EQ(first->GetState(), CInstanceLock::State::kHeld);
    {
        CInstanceLock second(scratch.Path());
        EXPECT_EQ(second.GetState(), CInstanceLock::State::kHeldByOther);
    }
    first.reset();
    CInstanceLock third(scratch.Path());
    EXPECT_EQ(third.GetState(), CInstanceLock::State::kHeld);
    CInstanceLock nowhere(scratch / "missing");
    EXPECT_EQ(nowhere.GetState(), CInstanceLock::State::kFailed);
}

}  // namespace
