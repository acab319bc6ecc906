// Integer settings edited by hand or damaged read as their defaults.
#include "app/setting_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ini_document.h"
#include "platform/memory_profile.h"

namespace {

TEST(SettingValues, BadEntriesReadAsTheDefaultAndGoodOnesAsWritten) {
    const IntSetting settings[] = {
        setting::kConsoleLeft,      setting::kConsoleTop,    setting::kRunning,
        setting::kInternetPort,     setting::kCurrentReport, setting::kWaitForHandDialog,
        setting::kScreenResolution, setting::kPokerTracker,  setting::kDetachTableView,
        setting::kReuseGraphWindow,
    };
    for (const IntSetting& s : settings) {
        SCOPED_TRACE(std::string(s.section) + "/" + s.key);
        platform::MemoryProfile profile;
        EXPECT_EQ(ReadSetting(profile, s), s.def) << "absent";
        std::vector<std::string> bad = {"",    " ",    "abc", "12px",
                                        "1.5", "0x10", "--1", "99999999999"};
        bad.push_back(std::to_string(static_cast<long long>(s.lowest) - 1));
        bad.push_back(std::to_string(static_cast<long long>(s.highest) + 1));
        for (const std::string& text : bad) {
            ASSERT_TRUE(profile.WriteString(s.section, s.key, text));
            EXPECT_EQ(ReadSetting(profile, s), s.def) << '"' << text << '"';
            EXPECT_EQ(ReadSetting(profile, s, s.def + 7), s.def + 7) << "another default";
        }
        for (int good : {s.lowest, s.highest}) {
            ASSERT_TRUE(profile.WriteString(s.section, s.key, " " + std::to_string(good) + " "));
            EXPECT_EQ(ReadSetting(profile, s), good);
        }
    }
    EXPECT_EQ(platform::ParseWholeNumber("+42"), 42);
    EXPECT_EQ(platform::ParseWholeNumber("-7\t"), -7);
    EXPECT_EQ(platform::ParseWholeNumber("+"), std::nullopt);
}

}  // namespace
