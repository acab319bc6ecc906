#include "hands/zone_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Seconds since 1970 of a wall clock read as UTC.
std::int64_t Wall(int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    return static_cast<std::int64_t>(timegm(&tm));
}

struct Case {
    int year, month, day, hour, minute;
    int hoursBehindUtc;  // how far New York's clock is behind UTC then
};

// New York wall clocks around the rules of 1987-2006 (first Sunday of April
// to the last Sunday of October) and of 2007 on (second Sunday of March to
// the first Sunday of November), across each change, and far enough ahead
// that only the file's closing rule can answer.
constexpr Case kNewYork[] = {
    {2005, 1, 10, 12, 0, 5}, {2005, 4, 3, 1, 59, 5},   {2005, 4, 3, 3, 0, 4},
    {2005, 7, 1, 12, 0, 4},  {2005, 10, 30, 0, 59, 4}, {2005, 10, 30, 2, 0, 5},
    {2006, 3, 12, 12, 0, 5}, {2007, 3, 11, 1, 59, 5},  {2007, 3, 11, 3, 0, 4},
    {2007, 3, 11, 2, 30, 5},  // skipped by the clocks: read with the offset before the change
    {2007, 11, 4, 1, 30, 4},  // shown twice: the earlier instant
    {2007, 11, 4, 2, 0, 5},  {2010, 7, 21, 21, 30, 4}, {2012, 12, 24, 23, 59, 5},
    {2021, 6, 30, 18, 0, 4}, {2061, 7, 4, 12, 0, 4},   {2061, 12, 4, 12, 0, 5},
};

void ExpectNewYork(const CZoneRules& zone) {
    for (const Case& c : kNewYork) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day) + " " + std::to_string(c.hour) + ":" +
                     std::to_string(c.minute));
        std::int64_t local = Wall(c.year, c.month, c.day, c.hour, c.minute);
        std::int64_t utc = zone.LocalToUtc(local);
        EXPECT_EQ(utc - local, c.hoursBehindUtc * 3600);
        // A skipped wall time has no instant whose clock shows it.
        if (c.hour != 2 || c.month != 3) {
            EXPECT_EQ(zone.OffsetAt(utc), -c.hoursBehindUtc * 3600);
        }
    }
}

TEST(ZoneRules, NewYorkFromTheSystemDatabase) {
    CZoneRules zone;
    if (!zone.Load("America/New_York")) GTEST_SKIP() << "time-zone database not installed";
    ExpectNewYork(zone);
}

// A TZif file of version 2 with no transitions at all: only its closing
// rule tells the offsets, as in the "slim" files of newer databases.
std::string RuleOnlyFile(const std::string& rule) {
    std::string block = "TZif2" + std::string(15, '\0');
    const unsigned char counts[24] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 4};
    block.append(reinterpret_cast<const char*>(counts), sizeof counts);
    const unsigned char type[6] = {0xFF, 0xFF, 0xB9, 0xB0, 0, 0};  // -18000 s, standard time
    block.append(reinterpret_cast<const char*>(type), sizeof type);
    block.append("EST", 4);
    return block + block + "\n" + rule + "\n";
}

TEST(ZoneRules, ClosingRuleOfTheFile) {
    CZoneRules zone;
    ASSERT_TRUE(zone.LoadBytes(RuleOnlyFile("EST5EDT,M3.2.0,M11.1.0")));
    for (const Case& c : kNewYork) {
        if (c.year < 2007) continue;
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day) + " " + std::to_string(c.hour));
        std::int64_t local = Wall(c.year, c.month, c.day, c.hour, c.minute);
        EXPECT_EQ(zone.LocalToUtc(local) - local, c.hoursBehindUtc * 3600);
    }
}

TEST(ZoneRules, RuleWithoutTheDatabase) {
    CZoneRules zone;
    ASSERT_TRUE(zone.LoadRule("EST5EDT,M3.2.0,M11.1.0"));
    for (const Case& c : kNewYork) {
        if (c.year < 2007) continue;
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day) + " " + std::to_string(c.hour));
        std::int64_t local = Wall(c.year, c.month, c.day, c.hour, c.minute);
        EXPECT_EQ(zone.LocalToUtc(local) - local, c.hoursBehindUtc * 3600);
    }
    for (const char* bad : {"", "EST", "EST5EDT,M3.2", "EST5EDT,M13.2.0,M11.1.0", "5EDT"}) {
        SCOPED_TRACE(bad);
        CZoneRules refused;
        EXPECT_FALSE(refused.LoadRule(bad));
        EXPECT_FALSE(refused.Loaded());
    }
}

TEST(ZoneRules, MalformedFilesAreRefused) {
    const std::string good = RuleOnlyFile("EST5EDT,M3.2.0,M11.1.0");
    const std::string bad[] = {
        "",
        "TZif",
        "not a zone file at all, long enough to hold a header of forty-four bytes",
        good.substr(0, 50),
        "TZif2" + good.substr(5, 40),  // a header cut short
    };
    for (const std::string& bytes : bad) {
        SCOPED_TRACE(bytes.size());
        CZoneRules zone;
        EXPECT_FALSE(zone.LoadBytes(bytes));
        EXPECT_FALSE(zone.Loaded());
    }
    CZoneRules zone;
    EXPECT_FALSE(zone.Load("../../etc/passwd"));
    EXPECT_FALSE(zone.Load("/etc/passwd"));
    EXPECT_FALSE(zone.Load("No/Such_Zone"));
}

}  // namespace
