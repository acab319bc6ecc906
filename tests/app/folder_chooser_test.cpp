// The folder chooser: its places, the folder above, the sub-folders listed,
// and a user browsing host folders and Wine drives on the recording desktop.
#include "app/folder_chooser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/recording_desktop.h"
#include "tests/rooms/rooms_test_support.h"

namespace {

namespace fs = std::filesystem;
using platform::Command;
using platform::CommandKind;
using Names = std::vector<std::string>;

Command Select(int id, int selection) {
    Command c;
    c.kind = CommandKind::kSelect;
    c.id = id;
    c.selection = selection;
    return c;
}
Command Change(int id, std::string text) {
    Command c;
    c.kind = CommandKind::kChange;
    c.id = id;
    c.text = std::move(text);
    return c;
}
Command Click(int id) {
    Command c;
    c.kind = CommandKind::kClick;
    c.id = id;
    return c;
}

// A prefix with drives c: and z: (z: the scratch folder itself) and a
// dangling d:, and a home folder of its own.
class ChooserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* home = std::getenv("HOME");
        if (home != nullptr) savedHome_ = home;
        ::setenv("HOME", (scratch_ / "home").c_str(), 1);
        fs::create_directories(scratch_ / "home/Histories");
        fs::create_directories(scratch_ / "prefix/drive_c/Program Files/PokerStars");
        fs::create_directories(scratch_ / "prefix/drive_c/users");
        fs::create_directories(scratch_ / "prefix/dosdevices");
        fs::create_directory_symlink("../drive_c", scratch_ / "prefix/dosdevices/c:");
        fs::create_directory_symlink(scratch_.Path(), scratch_ / "prefix/dosdevices/z:");
        fs::create_directory_symlink("../nowhere", scratch_ / "prefix/dosdevices/d:");
        rooms_test::WriteFile(scratch_ / "prefix/dosdevices/c:/file.txt", "not a folder");
    }
    void TearDown() override {
        if (savedHome_.empty()) {
            ::unsetenv("HOME");
        } else {
            ::setenv("HOME", savedHome_.c_str(), 1);
        }
    }

    rooms_test::ScratchFolder scratch_;
    std::string savedHome_;
    platform::WinPaths paths_{fs::path(scratch_ / "prefix")};
    platform::RecordingDesktop desktop_;
};

TEST_F(ChooserTest, PlacesAreHomeTheRootAndTheMappedDrives) {
    const std::string home = scratch_ / "home";
    EXPECT_EQ(FolderPlaces(paths_), (std::vector<FolderPlace>{{"Home (" + home + ")", home},
                                                              {"Computer (/)", "/"},
                                                              {"Drive C: (Wine)", "C:\\"},
                                                              {"Drive Z: (Wine)", "Z:\\"}}));
    EXPECT_EQ(FolderPlaces(platform::WinPaths(std::nullopt)).size(), 2u);

    const auto places = FolderPlaces(paths_);
    const struct {
        std::string folder;
        int place;
    } cases[] = {
        {home, 0},    {home + "/Histories", 0}, {home + "x", 1},
        {"/etc", 1},  {"c:\\users", 2},         {"Z:\\", 3},
        {"Q:\\", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(PlaceOf(places, c.folder), c.place) << c.folder;
}

TEST_F(ChooserTest, FolderAboveInEitherSpelling) {
    const struct {
        const char* folder;
        const char* parent;
    } cases[] = {
        {"C:\\Program Files\\PokerStars", "C:\\Program Files"},
        {"C:\\Program Files\\", "C:\\"},
        {"C:\\Program Files", "C:\\"},
        {"C:\\", "C:\\"},
        {"c:", "c:\\"},
        {"/home/me/hh", "/home/me"},
        {"/home/me/hh/", "/home/me"},
        {"/home", "/"},
        {"/", "/"},
    };
    for (const auto& c : cases) EXPECT_EQ(ParentFolder(c.folder), c.parent) << c.folder;
}

TEST_F(ChooserTest, SubFoldersVisibleFirstWithoutRegardToCase) {
    for (const char* name : {"beta", "Alpha", ".hidden", "gamma"}) {
        fs::create_directories(scratch_ / ("list/" + std::string(name)));
    }
    rooms_test::WriteFile(scratch_ / "list/afile", "x");
    EXPECT_EQ(SubFolders(scratch_ / "list", paths_), (Names{"Alpha", "beta", "gamma", ".hidden"}));
    EXPECT_EQ(SubFolders("C:\\", paths_), (Names{"Program Files", "users"}));
    EXPECT_TRUE(SubFolders(scratch_ / "missing", paths_).empty());
    EXPECT_TRUE(SubFolders("Q:\\", paths_).empty());
}

TEST_F(ChooserTest, BrowsingTheDrivesGivesAWindowsPath) {
    CFolderChooser chooser(desktop_, paths_);
    // Starts at the nearest folder that exists above the field's (C:\).
    desktop_.ScriptDialog({{Select(kIdChooserSubFolders, 0), Select(kIdChooserSubFolders, 0),
                            Click(kIdChooserUp), Click(platform::kIdOk)},
                           platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow,
                             "Select the Logging Folder for PokerStars:", "C:\\gone\\away"),
              "C:\\Program Files");
    EXPECT_NE(desktop_.EventLog().find("Select the Logging Folder for PokerStars:"),
              std::string::npos);

    // From the home folder to a drive of the prefix.
    desktop_.ScriptDialog(
        {{Select(kIdChooserPlaces, 2), Select(kIdChooserSubFolders, 1), Click(platform::kIdOk)},
         platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", ""), "C:\\users");
    // A list entry that is not there is ignored.
    desktop_.ScriptDialog(
        {{Select(kIdChooserPlaces, 2), Select(kIdChooserSubFolders, 7), Click(platform::kIdOk)},
         platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", ""), "C:\\");
}

TEST_F(ChooserTest, HostFoldersTypedFoldersAndCancel) {
    CFolderChooser chooser(desktop_, paths_);
    const std::string home = scratch_ / "home";
    // Without a usable start the home folder is opened.
    desktop_.ScriptDialog(
        {{Select(kIdChooserSubFolders, 0), Click(platform::kIdOk)}, platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", ""), home + "/Histories");

    // A typed folder is taken as typed; its sub-folders can be opened.
    desktop_.ScriptDialog({{Change(kIdChooserFolder, "C:\\Program Files"),
                            Select(kIdChooserSubFolders, 0), Click(platform::kIdOk)},
                           platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", home), "C:\\Program Files\\PokerStars");
    desktop_.ScriptDialog({{Change(kIdChooserFolder, "/not/there/yet"), Click(platform::kIdOk)},
                           platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", home), "/not/there/yet");

    // Cancel, closing the window and an emptied field choose nothing.
    desktop_.ScriptDialog({{Select(kIdChooserSubFolders, 0)}, platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", home), std::nullopt);
    Command close;
    close.kind = CommandKind::kClose;
    desktop_.ScriptDialog({{close}, platform::kIdOk});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", home), std::nullopt);
    desktop_.ScriptDialog(
        {{Change(kIdChooserFolder, "  "), Click(platform::kIdOk)}, platform::kIdCancel});
    EXPECT_EQ(chooser.Choose(platform::kNoWindow, "Pick", home), std::nullopt);
}

}  // namespace
