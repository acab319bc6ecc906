#include "rooms/client_detector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/wine_registry.h"
#include "rooms/poker_stars_client.h"
#include "tests/rooms/rooms_test_support.h"

namespace {

using rooms::CClientDetector;
using rooms_test::ScratchFolder;
using rooms_test::WriteFile;
using Names = std::vector<std::string>;

// A Wine prefix of our own: registry files, the c: drive and client folders.
class TestPrefix {
  public:
    TestPrefix() {
        std::filesystem::create_directories(folder_ / "drive_c/windows");
        std::filesystem::create_directories(folder_ / "dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", folder_ / "dosdevices/c:");
    }
    // Registry lines (after the header) of the local machine and the user.
    void Machine(const std::string& lines) { machine_ += lines + "\n"; }
    void User(const std::string& lines) { user_ += lines + "\n"; }
    // Creates a folder on drive c: ("Program Files/Score Poker").
    void Folder(const std::string& onDriveC) {
        std::filesystem::create_directories(folder_ / ("drive_c/" + onDriveC));
    }
    void File(const std::string& onDriveC, const std::string& text) {
        WriteFile(folder_ / ("drive_c/" + onDriveC), text);
    }

    // Writes the registry files and answers through a detector.
    template <class F>
    void Check(F&& check, const platform::Profile* settings = nullptr) {
        WriteFile(folder_ / "system.reg",
                  "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n" + machine_);
        WriteFile(
            folder_ / "user.reg",
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n" +
                user_);
        platform::WineRegistry registry(folder_.Path(), "");
        platform::WinPaths paths(std::filesystem::path(folder_.Path()));
        CClientDetector detector(registry, paths, settings);
        check(detector);
    }

  private:
    ScratchFolder folder_;
    std::string machine_;
    std::string user_;
};

Names Detect(const CClientDetector& detector) {
    Names names;
    const int count = detector.DetectClients(names);
    EXPECT_EQ(count, static_cast<int>(names.size()));
    return names;
}

TEST(DetectClients, ListsRoomsInCatalogueOrder) {
    const struct {
        const char* what;
        std::vector<std::string> machine, user, folders;
        Names expected;
    } cases[] = {
        {"nothing installed", {}, {}, {}, {}},
        {"PokerStars spelled with a blank comes after every other room",
         {"[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Poker Stars] "
          "1\n\"InstallLocation\"=\"C:\\\\PS\"",
          "[Software\\\\Innoco\\\\Casino\\\\absolute\\\\common] 1\n\"X\"=\"1\""},
         {"[Software\\\\PartyGaming\\\\PartyPoker] 1\n\"X\"=\"1\""},
         {},
         {"Party Poker", "Absolute Poker", "PokerStars"}},
        {"PokerStars under its own key is listed once, in its place",
         {"[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\PokerStars] "
          "1\n\"X\"=\"1\"",
          "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Poker Stars] "
          "1\n\"X\"=\"1\"",
          "[Software\\\\Innoco\\\\Casino\\\\absolute\\\\common] 1\n\"X\"=\"1\""},
         {},
         {},
         {"PokerStars", "Absolute Poker"}},
        {"Eurobet is never listed, key or folder",
         {},
         {"[Software\\\\CEPoker] 1\n\"X\"=\"1\""},
         {"Program Files/CoralEurobetPoker"},
         {}},
        {"a default install folder without key is enough (any letter case)",
         {},
         {},
         {"Program Files/score POKER", "Program Files/Full Tilt Poker"},
         {"Full Tilt Poker", "Score Poker"}},
        {"a detection key under the wrong root does not count",
         {"[Software\\\\PartyGaming\\\\PartyPoker] 1\n\"X\"=\"1\""},
         {"[Software\\\\TruePoker] 1\n\"X\"=\"1\""},
         {},
         {}},
        {"a key of the right root, any letter case",
         {"[software\\\\truepoker] 1\n\"X\"=\"1\""},
         {},
         {},
         {"TruePoker"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestPrefix prefix;
        for (const auto& m : c.machine) prefix.Machine(m);
        for (const auto& u : c.user) prefix.User(u);
        for (const auto& f : c.folders) prefix.Folder(f);
        prefix.Check(
            [&](const CClientDetector& detector) { EXPECT_EQ(Detect(detector), c.expected); });
    }
}

TEST(ClientFolders, FullTiltPathLosesItsTrailingBackslash) {
    const struct {
        const char* what;
        const char* value;  // the "Path" line, or nullptr
        const char* expected;
    } cases[] = {
        {"trailing backslash", "\"Path\"=\"D:\\\\FT\\\\Hands\\\\\"", "D:\\FT\\Hands"},
        {"no trailing backslash", "\"Path\"=\"D:\\\\FT\\\\Hands\"", "D:\\FT\\Hands"},
        {"missing value", nullptr, "C:\\Program Files\\Full Tilt Poker\\HandHistory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestPrefix prefix;
        prefix.User(std::string("[Software\\\\Full Tilt Poker\\\\LastHand] 1\n") +
                    (c.value ? c.value : "\"Y\"=\"1\""));
        prefix.Check([&](const CClientDetector& detector) {
            std::string folder;
            EXPECT_TRUE(detector.GetDefaultLogFolder("Full Tilt Poker", folder));
            EXPECT_EQ(folder, c.expected);
        });
    }
}

TEST(ClientFolders, InstallAndLogFoldersFromRegistryAndIni) {
    TestPrefix prefix;
    prefix.Machine(
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Poker Stars] 1\n"
        "\"InstallLocation\"=\"C:\\\\Games\\\\PokerStars\\\\\"");
    prefix.File("Games/PokerStars/user.ini",
                "[Options]\nSaveMyHandsPath=C:\\Hands\\Stars\nColor4=1\n");
    prefix.Machine(
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\BetfairPoker] 1\n"
        "\"DisplayIcon\"=\"\\\"C:\\\\Games\\\\Betfair\\\\client.exe\\\"\"");
    prefix.Folder("Games/Betfair");
    prefix.Machine(
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\MultiPoker] 1\n"
        "\"UninstallString\"=\"\\\"C:\\\\Games\\\\MULTIPOKER\\\\unins000.exe\\\"\"");
    prefix.Folder("Games/MultiPoker");
    prefix.Machine(
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\PokerNow] "
        "1\n\"Publisher\"=\"x\"");
    prefix.User("[Software\\\\WilliamHillPokerXP] 1\n\"LogDir\"=\"D:\\\\WH\\\\logs\"");
    prefix.Folder("Program Files/PartyGaming/PartyPoker");

    const struct {
        const char* room;
        bool installOk;
        const char* install;
        bool logOk;
        const char* log;
    } cases[] = {
        {"PokerStars", true, "C:\\Games\\PokerStars", true, "C:\\Hands\\Stars"},
        {"Betfair Poker", true, "C:\\Games\\Betfair", true,
         "c:\\Program Files\\Betfair Poker\\log"},
        {"William Hill Poker", false, "", true, "D:\\WH\\logs"},
        {"Multi Poker", true, "C:\\Games\\MULTIPOKER", true, "C:\\Games\\MULTIPOKER\\HandHistory"},
        // An uninstall entry without "UninstallString" gives no folder.
        {"Poker Now", false, "", false, ""},
        {"Party Poker", true, "C:\\Program Files\\PartyGaming\\PartyPoker", true,
         "C:\\Program Files\\PartyGaming\\PartyPoker\\HandHistory"},
        {"Empire Poker", false, "", false, ""},
        {"TruePoker", false, "", true, ""},
        {"Absolute Poker", false, "", true, "c:\\Program Files\\Absolute Poker\\HandHistory"},
        {"No Such Room", false, "", false, ""},
    };
    prefix.Check([&](const CClientDetector& detector) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.room);
            std::string install = "unchanged";
            std::string log;
            EXPECT_EQ(detector.GetInstallFolder(c.room, install), c.installOk);
            if (c.installOk) {
                EXPECT_EQ(install, c.install);
            }
            EXPECT_EQ(detector.GetDefaultLogFolder(c.room, log), c.logOk);
            if (c.logOk) {
                EXPECT_EQ(log, c.log);
            }
        }
        EXPECT_TRUE(detector.UsesFourColourDeck("PokerStars"));
    });
}

TEST(ClientFolders, FolderFromUninstallString) {
    const struct {
        const char* command;
        const char* name;
        const char* expected;  // nullptr: none
    } cases[] = {
        {"C:\\Program Files\\MultiPoker\\unins000.exe", "MultiPoker",
         "C:\\Program Files\\MultiPoker"},
        {"\"c:\\program files\\multipoker\\unins000.exe\" /x", "MultiPoker",
         "c:\\program files\\multipoker"},
        {"C:\\Games\\MP\\tmpupgrade\\setup.exe", "MultiPoker", "C:\\Games\\MP"},
        {"C:\\Games\\MP\\ungins.exe", "MultiPoker", "C:\\Games\\MP"},
        {"C:\\Games\\MP\\setup.exe", "MultiPoker", nullptr},
        {"", "MultiPoker", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const auto folder = rooms::FolderFromUninstallString(c.command, c.name);
        ASSERT_EQ(folder.has_value(), c.expected != nullptr);
        if (folder) {
            EXPECT_EQ(*folder, c.expected);
        }
    }
}

// Today's client under Wine: installed for 32 bits in a 64-bit prefix, its
// settings and histories in the user's local application data.
namespace today {

constexpr const char* kWowUninstall =
    "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\";
constexpr const char* kShellFolders =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n";
constexpr const char* kHand =
    "PokerStars Hand #244265880496:  Hold'em No Limit ($0.01/$0.02 USD) - 2023/06/14 20:33:40 "
    "CET [2023/06/14 14:33:40 ET]\r\nTable 'Moguntia' 6-max Seat #5 is the button\r\n"
    "Seat 5: Kim Ba ($2 in chips)\r\n*** HOLE CARDS ***\r\nDealt to Kim Ba [Ac Qd]\r\n";

}  // namespace today

TEST(TodaysPokerStars, FoundInTheLocalApplicationData) {
    const struct {
        const char* what;
        bool wowKey;          // uninstall entry in the 32-bit view, with InstallLocation
        bool shellFolder;     // "Local AppData" written in user.reg
        const char* client;   // settings folder name under the local app data
        const char* userIni;  // its user.ini, or nullptr
        bool installed;       // Program Files (x86)\<client> exists
        const char* install;  // expected install folder ("" = none)
        const char* log;      // expected hand-history folder
        bool fourColours;
    } cases[] = {
        {"uninstall entry and settings folder", true, true, "PokerStars", nullptr, true,
         "C:\\Program Files (x86)\\PokerStars",
         "C:\\users\\kim\\AppData\\Local\\PokerStars\\HandHistory", false},
        {"no shell folder value: Wine's user folder is searched", false, false, "PokerStars",
         "[Options]\nColor4=1\n", true, "C:\\Program Files (x86)\\PokerStars",
         "C:\\users\\kim\\AppData\\Local\\PokerStars\\HandHistory", true},
        {"a regional client only, with its own saved path", false, true, "PokerStars.EU",
         "[Options]\nSaveMyHandsPath=D:\\Hands\n", false, "", "D:\\Hands", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestPrefix prefix;
        const std::string client = c.client;
        if (c.wowKey) {
            prefix.Machine(std::string(today::kWowUninstall) + client +
                           "] 1\n\"InstallLocation\"=\"C:\\\\Program Files (x86)\\\\" + client +
                           "\\\\\"");
        }
        if (c.shellFolder) {
            prefix.User(std::string(today::kShellFolders) +
                        "\"Local AppData\"=\"C:\\\\users\\\\kim\\\\AppData\\\\Local\"");
        }
        if (c.installed) prefix.Folder("Program Files (x86)/" + client);
        const std::string settings = "users/kim/AppData/Local/" + client;
        prefix.File(settings +
                        "/HandHistory/Kim Ba/HH20230614 Moguntia - $0.01-$0.02 - USD No "
                        "Limit Hold'em.txt",
                    today::kHand);
        prefix.Folder("users/Public/AppData/Local");
        if (c.userIni != nullptr) prefix.File(settings + "/user.ini", c.userIni);
        prefix.Check([&](const CClientDetector& detector) {
            EXPECT_EQ(Detect(detector), Names{"PokerStars"});
            std::string install;
            EXPECT_EQ(detector.GetInstallFolder("PokerStars", install), *c.install != '\0');
            if (*c.install != '\0') {
                EXPECT_EQ(install, c.install);
            }
            std::string log;
            EXPECT_TRUE(detector.GetDefaultLogFolder("PokerStars", log));
            EXPECT_EQ(log, c.log);
            EXPECT_EQ(detector.UsesFourColourDeck("PokerStars"), c.fourColours);
        });
    }
}

TEST(TodaysPokerStars, OldInstallationKeepsItsRules) {
    // An old client in Program Files with its User.ini wins over the
    // settings folder of a newer one.
    TestPrefix prefix;
    prefix.Folder("Program Files/PokerStars");
    prefix.File("Program Files/PokerStars/User.ini", "[Options]\nSaveMyHandsPath=C:\\Old\n");
    prefix.User(std::string(today::kShellFolders) +
                "\"Local AppData\"=\"C:\\\\users\\\\kim\\\\AppData\\\\Local\"");
    prefix.Folder("users/kim/AppData/Local/PokerStars/HandHistory");
    prefix.Check([&](const CClientDetector& detector) {
        std::string install;
        std::string log;
        EXPECT_TRUE(detector.GetInstallFolder("PokerStars", install));
        EXPECT_EQ(install, "C:\\Program Files\\PokerStars");
        EXPECT_TRUE(detector.GetDefaultLogFolder("PokerStars", log));
        EXPECT_EQ(log, "C:\\Old");
    });
}

TEST(TodaysPokerStars, NicknameOfAnAccountFolder) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;  // name, text
        const char* expected;
    } cases[] = {
        {"today's history", {{"HH1.txt", today::kHand}}, "Kim Ba"},
        {"the first file by name is read",
         {{"b.txt", "Dealt to Other [Ah Kh]\n"}, {"a.txt", today::kHand}},
         "Kim Ba"},
        {"no dealt-to line", {{"a.txt", "PokerStars Hand #1: x\n"}}, ""},
        {"empty folder", {}, ""},
        {"dealt-to line cut before the cards", {{"a.txt", "Dealt to Kim\r\nmore"}}, "Kim"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        std::filesystem::create_directories(folder / "Kim Ba");
        for (const auto& [name, text] : c.files) WriteFile(folder / ("Kim Ba/" + name), text);
        EXPECT_EQ(rooms::NicknameFromAccountFolder(folder / "Kim Ba"), c.expected);
    }
}

// With Wine installed, the client's uninstall entry is written by Wine's own
// registry tool and read back from the prefix it wrote.
TEST(TodaysPokerStars, RecordedByWineRegAdd) {
    if (std::system("command -v wine >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "wine is not installed: the uninstall entry cannot be written by "
                        "`wine reg add`";
    }
    ScratchFolder prefixFolder;
    const std::string env = "WINEPREFIX='" + prefixFolder.Path() + "' WINEDEBUG=-all ";
    ASSERT_EQ(std::system((env + "wineboot -i >/dev/null 2>&1").c_str()), 0);
    std::filesystem::create_directories(prefixFolder / "drive_c/Games/PokerStars");
    const std::string add =
        env +
        "wine reg add 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PokerStars' "
        "/v InstallLocation /d 'C:\\Games\\PokerStars' /f >/dev/null 2>&1 && " +
        env + "wineserver -w";
    ASSERT_EQ(std::system(add.c_str()), 0);
    platform::WineRegistry registry(prefixFolder.Path(), "");
    platform::WinPaths paths(std::filesystem::path(prefixFolder.Path()));
    CClientDetector detector(registry, paths, nullptr);
    Names names;
    detector.DetectClients(names);
    EXPECT_NE(std::find(names.begin(), names.end(), "PokerStars"), names.end());
    std::string install;
    EXPECT_TRUE(detector.GetInstallFolder("PokerStars", install));
    EXPECT_EQ(install, "C:\\Games\\PokerStars");
}

}  // namespace
