#include "platform/local_time.h"
#include "platform/win_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/log.h"
#include "test_util.h"

namespace platform {
namespace {

class ZoneGuard {
public:
    explicit ZoneGuard(const char* tz) {
        const char* old = std::getenv("TZ");
        if (old != nullptr) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ZoneGuard() {
        setenv("TZ", old_.c_str(), 1);
        tzset();
    }

private:
    std::string old_ = "UTC";
};

TEST(LocalTime, FormatsOffsetsAndDaylightSaving) {
    ZoneGuard zone("America/New_York");
    const std::int64_t winter = 1765195200;  // 2025-12-08 12:00:00 UTC
    const std::int64_t summer = 1751976000;  // 2025-07-08 12:00:00 UTC
    EXPECT_EQ(FormatLocal(winter, kDateTimeYmd), "25/12/08 07:00:00");
    EXPECT_EQ(FormatLocal(summer, kDateTimeMdy), "07/08/25 08:00:00");
    EXPECT_EQ(FormatLongLocal(winter), "Monday, December 8, 2025 07:00:00");
    EXPECT_EQ(FormatLongUtc(winter), "Monday, December 8, 2025 12:00:00");
    EXPECT_EQ(UtcOffsetSeconds(winter), -5 * 3600);
    EXPECT_EQ(UtcOffsetSeconds(summer), -4 * 3600);
    EXPECT_FALSE(IsDaylightSaving(winter));
    EXPECT_TRUE(IsDaylightSaving(summer));
}

TEST(LocalTime, FromLocalRejectsInvalidAndSkippedTimes) {
    ZoneGuard zone("America/New_York");
    struct Case {
        LocalDateTime local;
        std::optional<std::int64_t> expected;
    };
    const Case cases[] = {
        {{2000, 1, 1, 1, 1, 1}, 946706461},
        {{2025, 2, 30, 0, 0, 0}, std::nullopt},
        {{2025, 13, 1, 0, 0, 0}, std::nullopt},
        {{2025, 3, 9, 2, 30, 0}, std::nullopt},   // clocks jumped from 2:00 to 3:00
        {{2025, 11, 2, 1, 30, 0}, 1762061400},    // repeated hour: the earlier instant
        {{2025, 6, 1, 24, 0, 0}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.local.year) + "-" + std::to_string(c.local.month) + "-" +
                     std::to_string(c.local.day) + " " + std::to_string(c.local.hour) + ":" +
                     std::to_string(c.local.minute));
        EXPECT_EQ(FromLocal(c.local), c.expected);
        if (c.expected) {
            EXPECT_EQ(ToLocal(*c.expected), c.local);
        }
    }
}

TEST(WinPaths, MapsDriveAndComponentsWithoutRegardToCase) {
    testing::TempDir dir;
    const auto prefix = dir.Path() / "prefix";
    dir.Write("prefix/drive_c/Program Files/Poker Room/HandHistory/hero/a.txt", "x");
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
    std::filesystem::create_symlink("/nonexistent-target", prefix / "dosdevices" / "d:");
    WinPaths paths(prefix);
    const auto root = std::filesystem::path(prefix / "dosdevices" / "c:");
    struct Case {
        const char* windows;
        std::optional<std::filesystem::path> host;
    };
    const Case cases[] = {
        {"C:\\PROGRAM FILES\\poker room\\handhistory\\HERO\\A.TXT",
         root / "Program Files/Poker Room/HandHistory/hero/a.txt"},
        {"c:/Program Files/Poker Room", root / "Program Files/Poker Room"},
        {"C:\\Program Files\\New\\File.txt", root / "Program Files/New/File.txt"},
        {"C:\\..\\..\\Program Files", root / "Program Files"},
        {"D:\\anything", std::nullopt},
        {"E:\\unmapped", std::nullopt},
        {"relative\\path", std::nullopt},
        {"\\\\server\\share", std::nullopt},
    };
    ScopedLogCapture log;
    for (const Case& c : cases) {
        EXPECT_EQ(paths.ToHost(c.windows), c.host) << c.windows;
    }
    EXPECT_TRUE(log.Contains("drive d: points nowhere"));
    EXPECT_EQ(paths.ToWindows(prefix / "drive_c/Program Files/Poker Room"), "C:\\Program Files\\Poker Room");
    EXPECT_FALSE(WinPaths(std::nullopt).ToHost("C:\\x"));
}

TEST(WinPaths, FindPrefixOrder) {
    testing::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "explicit");
    std::filesystem::create_directories(dir.Path() / "env");
    setenv("WINEPREFIX", (dir.Path() / "env").c_str(), 1);
    EXPECT_EQ(WinPaths::FindPrefix((dir.Path() / "explicit").string()), dir.Path() / "explicit");
    EXPECT_EQ(WinPaths::FindPrefix(""), dir.Path() / "env");
    ScopedLogCapture log;
    EXPECT_FALSE(WinPaths::FindPrefix((dir.Path() / "missing").string()));
    EXPECT_TRUE(log.Contains("Wine prefix not found"));
    unsetenv("WINEPREFIX");
}

}  // namespace
}  // namespace platform
