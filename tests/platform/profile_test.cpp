#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_profile.h"
#include "platform/file_util.h"
#include "platform/log.h"
#include "platform/memory_profile.h"
#include "test_util.h"

namespace platform {
namespace {

using testing::TempDir;

TEST(ProfileInt, ReadsLikeThePlatformCall) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {{"12", 12},
                          {"  -100", -100},
                          {"+7", 7},
                          {"42abc", 42},
                          {"abc", 0},
                          {"-", 0},
                          {"0x10", 0},
                          {"3.9", 3},
                          {"99999999999", INT_MAX},
                          {"-99999999999", INT_MIN},
                          {"\t5", 5}};
    for (const Case& c : cases) {
        EXPECT_EQ(ParseProfileInt(c.text), c.expected) << "input: '" << c.text << "'";
    }
}

TEST(Profile, SectionsAndKeysIgnoreCaseAndDefaultsApply) {
    MemoryProfile p(
        "[Config]\nWaitForHandDialog = 1 \nTimeZone=-100\nEmpty=\n\n[Settings]\nDate=\"26/12/08 "
        "10:00:00\"\n");
    EXPECT_EQ(p.GetInt("config", "WAITFORHANDDIALOG", 5), 1);
    EXPECT_EQ(p.GetInt("Config", "TimeZone", 0), -100);
    EXPECT_EQ(p.GetInt("Config", "Empty", 9), 9) << "an empty entry reads as the default";
    EXPECT_EQ(p.GetInt("Config", "Missing", 7), 7);
    EXPECT_EQ(p.GetInt("Nowhere", "x", -3), -3);
    EXPECT_EQ(p.GetString("SETTINGS", "date"), "26/12/08 10:00:00");
    EXPECT_EQ(p.GetString("Settings", "Version", "none"), "none");
    ASSERT_TRUE(p.WriteInt("CONFIG", "WaitForhandDialog", 0));
    EXPECT_EQ(p.GetInt("Config", "WaitForHandDialog", 1), 0);
    EXPECT_NE(p.Text().find("WaitForHandDialog=0"), std::string::npos)
        << "the key keeps its spelling:\n"
        << p.Text();
}

TEST(Profile, WritesKeepEveryOtherLine) {
    const std::string original =
        "; settings\r\n[Positions]\r\nConsole-Top=100\r\n\r\n[Poker Rooms]\r\n# odd line\r\nActive "
        "Room=Stars\r\n";
    MemoryProfile p(original);
    ASSERT_TRUE(p.WriteInt("Positions", "Console-Left", 40));
    ASSERT_TRUE(p.WriteString("Poker Rooms", "Active Room", "Party"));
    ASSERT_TRUE(p.WriteString("New Section", "Key", "v"));
    EXPECT_EQ(p.Text(),
              "; settings\r\n[Positions]\r\nConsole-Top=100\r\nConsole-Left=40\r\n\r\n[Poker "
              "Rooms]\r\n# odd "
              "line\r\nActive Room=Party\r\n\r\n[New Section]\r\nKey=v\r\n");
}

TEST(Profile, RefusesTextThatWouldNotReadBack) {
    MemoryProfile p;
    struct Case {
        const char *section, *key, *value;
    };
    const Case cases[] = {{"S", "a=b", "v"}, {"S", "k", "line\nbreak"}, {"S]", "k", "v"},
                          {"S", "", "v"},    {"S", "[k", "v"},          {"S", ";k", "v"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(p.WriteString(c.section, c.key, c.value))
            << c.section << " / " << c.key << " / " << c.value;
    }
    EXPECT_EQ(p.Text(), "");
}

TEST(Profile, EntriesAndSectionsInFileOrder) {
    MemoryProfile p("[Ranges]\nb=2\nA=1\nB=3\n[ranges]\nc=4\n[Other]\n");
    EXPECT_EQ(p.Sections(), (std::vector<std::string>{"Ranges", "Other"}));
    EXPECT_EQ(p.Entries("RANGES"),
              (std::vector<std::pair<std::string, std::string>>{{"b", "2"}, {"A", "1"}}));
}

TEST(FileProfile, WritesAtomicallyAndReadsBack) {
    TempDir dir;
    const auto path = dir.Write("Seatwatch.ini", "[ph]\nStart=0\n").string();
    FileProfile p(path, ProfileAccess::kReadWrite);
    ASSERT_TRUE(p.WriteInt("ph", "Start", 1));
    EXPECT_EQ(testing::ReadText(path), "[ph]\nStart=1\n");
    FileProfile ro(path, ProfileAccess::kReadOnly);
    EXPECT_EQ(ro.GetInt("PH", "start", 0), 1);
    EXPECT_FALSE(ro.WriteInt("ph", "Start", 2));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "no temporary left behind";
}

TEST(FileProfile, BinaryOrMissingFileReadsEmptyWithALogLine) {
    TempDir dir;
    const auto bin = dir.Write("bin.ini", std::string("[a]\nk=1\0\xff", 9)).string();
    ScopedLogCapture log;
    FileProfile p(bin, ProfileAccess::kReadOnly);
    EXPECT_EQ(p.GetInt("a", "k", -1), -1);
    EXPECT_TRUE(log.Contains("not a text file"));
    FileProfile missing((dir.Path() / "none.ini").string(), ProfileAccess::kReadOnly);
    EXPECT_EQ(missing.GetString("a", "b", "def"), "def");
}

// A file cut off in the middle of a line (a crash of another writer, a full
// disk): what stands before the cut is read, and the next write gives back a
// whole file that keeps it.
TEST(FileProfile, FileCutMidLineKeepsWhatCameBeforeAndIsRepairedOnWrite) {
    TempDir dir;
    const auto path = dir.Write("Seatwatch.ini", "[General]\r\nA=1\r\nB=two\r\n[Positi").string();
    FileProfile p(path, ProfileAccess::kReadWrite);
    EXPECT_EQ(p.GetInt("General", "A", 0), 1);
    EXPECT_EQ(p.GetString("General", "B"), "two");
    EXPECT_EQ(p.GetInt("Positions", "X", 7), 7);
    ASSERT_TRUE(p.WriteInt("General", "C", 3));
    // The cut line became a line of its own, ended like the others.
    EXPECT_NE(testing::ReadText(path).find("[Positi\r\nC=3"), std::string::npos);
    FileProfile again(path, ProfileAccess::kReadOnly);
    EXPECT_EQ(again.GetInt("General", "A", 0), 1);
    EXPECT_EQ(again.GetString("General", "B"), "two");
    EXPECT_EQ(again.GetInt("General", "C", 0), 3);
}

TEST(FileProfile, KillDuringWritesNeverLosesTheFile) {
    TempDir dir;
    const std::string path = (dir.Path() / "Seatwatch.ini").string();
    const std::string big(1000, 'x');
    {
        FileProfile seed(path, ProfileAccess::kReadWrite);
        ASSERT_TRUE(seed.WriteString("Counter", "n", "0"));
        ASSERT_TRUE(seed.WriteString("Filler", "x", big));
    }
    for (int round = 0; round < 10; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileProfile p(path, ProfileAccess::kReadWrite);
            for (int i = 1;; ++i) p.WriteInt("Counter", "n", i);
        }
        usleep(static_cast<useconds_t>(3000 + round * 1500));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        FileProfile after(path, ProfileAccess::kReadOnly);
        SCOPED_TRACE(round);
        EXPECT_GE(after.GetInt("Counter", "n", -1), 0);
        EXPECT_EQ(after.GetString("Filler", "x").size(), 1000u);
    }
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

// A generated page is replaced whole each time, the file beside it is reused
// rather than made anew, and a page that cannot be written keeps the old one.
TEST(ReplacePage, ReplacesWholeKeepsTheOldPageOnFailure) {
    testing::TempDir dir;
    const std::string page = (dir.Path() / "Table 1.htm").string();
    ASSERT_TRUE(ReplacePage(page, "first"));
    EXPECT_EQ(ReadWholeFile(page).value_or(""), "first");
    ASSERT_TRUE(ReplacePage(page, "second, longer"));
    EXPECT_EQ(ReadWholeFile(page).value_or(""), "second, longer");
    ASSERT_TRUE(ReplacePage(page, "3"));
    EXPECT_EQ(ReadWholeFile(page).value_or(""), "3");

    // The temporary file's name is taken by a folder: the write fails and
    // the page is as it was.
    const std::string blocked = (dir.Path() / "Blocked.htm").string();
    ASSERT_TRUE(ReplacePage(blocked, "kept"));
    std::filesystem::remove(blocked + ".tmp~");
    std::filesystem::create_directory(blocked + ".tmp~");
    EXPECT_FALSE(ReplacePage(blocked, "lost"));
    EXPECT_EQ(ReadWholeFile(blocked).value_or(""), "kept");
    EXPECT_FALSE(ReplacePage((dir.Path() / "missing" / "x.htm").string(), "x"));
}

}  // namespace
}  // namespace platform
