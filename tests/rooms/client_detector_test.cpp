#include "rooms/client_detector.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/wine_registry.h"
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

}  // namespace
