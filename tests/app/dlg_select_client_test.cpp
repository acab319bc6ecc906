// The room selection dialog on the recording desktop: what it shows for a
// room, the messages that keep it open, what OK stores and gives back, the
// folder buttons, and the command line standing in for it.
#include "app/dlg_select_client.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/folder_chooser.h"
#include "platform/memory_profile.h"
#include "platform/memory_registry.h"
#include "platform/recording_desktop.h"
#include "tests/rooms/rooms_test_support.h"

namespace {

using platform::Command;
using platform::CommandKind;
using platform::RecordingDesktop;
using rooms_test::WriteFile;
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

const platform::Control& ControlOf(const std::vector<platform::Control>& controls, int id) {
    for (const platform::Control& c : controls) {
        if (c.id == id) return c;
    }
    static const platform::Control none;
    ADD_FAILURE() << "no control " << id;
    return none;
}

// A Wine prefix with a c: drive and a PokerStars client, the settings, and
// the dialog's environment over them.
class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        std::filesystem::create_directories(prefix_ / "drive_c");
        std::filesystem::create_directories(prefix_ / "dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", prefix_ / "dosdevices/c:");
        registry_.CreateKey(platform::RegRoot::kLocalMachine,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PokerStars");
        WriteFile(Host("Program Files/PokerStars/User.ini"), "[Themes]\n0=Shiny Theme;1\n");
        WriteFile(Host("hh/bob/HH1.txt"), "PokerStars Hand #1\nDealt to Bob [Ah Kd]\n");
        env_.desktop = &desktop_;
        env_.settings = &settings_;
        env_.detector = &detector_;
        env_.registry = &registry_;
        env_.paths = &paths_;
    }
    std::string Host(const std::string& onDriveC) const {
        return prefix_ / ("drive_c/" + onDriveC);
    }

    rooms_test::ScratchFolder prefix_;
    RecordingDesktop desktop_;
    platform::MemoryProfile settings_;
    platform::MemoryRegistry registry_;
    platform::WinPaths paths_{std::filesystem::path(prefix_.Path())};
    rooms::CClientDetector detector_{registry_, paths_, &settings_};
    SelectClientEnvironment env_;
    const Names rooms_{"TruePoker", "InterPoker", "PokerStars"};
};

TEST_F(DialogTest, OpensOnTheActiveRoomWithItsNicknames) {
    settings_.WriteString("Poker Rooms", "Active Room", "PokerStars");
    settings_.WriteString("Poker Rooms", "PokerStars Config - Log", "C:\\hh");
    desktop_.ScriptDialog({{}, platform::kIdCancel});
    CDlgSelectClient dialog(env_);
    dialog.SetRooms(rooms_);
    EXPECT_EQ(dialog.DoModal(), platform::kIdCancel);
    EXPECT_FALSE(dialog.Result().choice);

    const auto& controls = dialog.ControlsAtEnd();
    const auto& rooms = ControlOf(controls, kIdRoomList);
    EXPECT_EQ(rooms.items, rooms_);
    EXPECT_EQ(rooms.selection, 2);
    EXPECT_EQ(ControlOf(controls, kIdGameType).items, (Names{"Real Money", "Play Money"}));
    EXPECT_EQ(ControlOf(controls, kIdGameType).selection, 0);
    EXPECT_EQ(ControlOf(controls, kIdLogFolder).text, "C:\\hh");
    const auto& nicknames = ControlOf(controls, kIdNicknameList);
    EXPECT_TRUE(nicknames.visible);
    EXPECT_EQ(nicknames.items, (Names{"Bob"}));
    EXPECT_EQ(nicknames.text, "Bob");
    EXPECT_FALSE(ControlOf(controls, kIdNicknameEdit).visible);
    EXPECT_EQ(ControlOf(controls, kIdNicknameNote).text, "Note: Nickname is case sensitive");
    EXPECT_EQ(ControlOf(controls, kIdHelpPane).page, "/setup/PokerStars_Setup.htm");
    EXPECT_EQ(ControlOf(controls, kIdLogFolderBrowse).text, "&...");
    EXPECT_EQ(ControlOf(controls, kIdHistoricalFolder).kind, platform::ControlKind::kEdit);
    // Cancel stores nothing but what detection learnt.
    EXPECT_EQ(settings_.GetString("Poker Rooms", "PokerStars Config - Nickname"), "");
    EXPECT_EQ(settings_.GetString("PokerStars Mangled Nicknames", "bob"), "Bob");

    const platform::DialogDescription desc = CDlgSelectClient::Describe();
    EXPECT_EQ(desc.title, "Seatwatch (v 2.11.03): Poker Room Selection");
    EXPECT_EQ(ControlOf(desc.controls, kIdHelpPane).page, "/setup/Generic_Setup.htm");
}

TEST(DialogHelpTest, EveryRoomHasItsSetupPage) {
    const std::filesystem::path folder =
        std::filesystem::path(SEATWATCH_SOURCE_DIR) / "assets/setup";
    std::vector<std::string_view> pages{rooms::kGenericSetupPage};
    for (const rooms::RoomInfo& room : rooms::Rooms()) pages.push_back(room.setupPage);
    for (std::string_view page : pages) {
        EXPECT_TRUE(std::filesystem::is_regular_file(folder / page.substr(1))) << page;
    }
}

TEST_F(DialogTest, MessagesKeepItOpenUntilTheChoiceIsComplete) {
    const std::string logs = Host("true");
    std::filesystem::create_directories(logs);
    desktop_.ScriptDialog(
        {{Click(platform::kIdOk), Select(kIdRoomList, 0), Click(platform::kIdOk),
          Change(kIdNicknameEdit, "Tom"), Click(platform::kIdOk), Change(kIdLogFolder, logs + "/"),
          Change(kIdHistoricalFolder, "C:\\"), Click(platform::kIdOk)},
         platform::kIdCancel});
    CDlgSelectClient dialog(env_);
    dialog.SetRooms(rooms_);
    EXPECT_EQ(dialog.DoModal(), platform::kIdOk);

    Names texts;
    for (const auto& box : desktop_.MessageBoxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, (Names{"Select the Poker Room to Spy to continue.",
                            "You must specify the Nickname you use at TruePoker to continue.",
                            "You must specify the Logging Folder configured for TruePoker to "
                            "continue."}));
    EXPECT_EQ(dialog.RoomName(), "TruePoker");
    EXPECT_EQ(dialog.RoomId(), 100);
    EXPECT_TRUE(dialog.RealMoney());
    const RoomSelectionResult result = dialog.Result();
    ASSERT_TRUE(result.choice);
    EXPECT_EQ(result.choice->roomId, 100);
    EXPECT_EQ(result.choice->nickname, "Tom");
    EXPECT_EQ(result.choice->money, MoneyMode::kReal);
    EXPECT_EQ(result.choice->loggingFolder, logs);  // a host path, without the separator
    EXPECT_EQ(result.choice->historicalFolder,
              std::filesystem::path(prefix_.Path() + "/dosdevices/c:").lexically_normal().string());
    EXPECT_EQ(settings_.GetString("Poker Rooms", "Active Room"), "TruePoker");
    EXPECT_EQ(settings_.GetString("Poker Rooms", "TruePoker Config - Nickname"), "Tom");
    EXPECT_EQ(settings_.GetString("Poker Rooms", "TruePoker Config - Log PT"), "C:\\");
}

TEST_F(DialogTest, GameTypeChangeRefillsTheNicknamesForThatType) {
    const std::string logs = Host("ip");
    WriteFile(logs + "/ann/s/h.log", "dealt to Ann [Ah Kd]\n");
    WriteFile(logs + "/PKann/s/h.log", "dealt to AnnPlay [Ah Kd]\n");
    settings_.WriteString("Poker Rooms", "InterPoker Config - Log", logs);
    settings_.WriteString("Poker Rooms", "InterPoker Config - Game Type", "Play Money");
    // A play-money session at an InterPoker room without any account.
    WriteFile(Host("empty/readme.txt"), "");
    desktop_.ScriptDialog({{Select(kIdRoomList, 1)}, platform::kIdCancel});
    desktop_.ScriptDialog({{Select(kIdRoomList, 1), Select(kIdGameType, 0)}, platform::kIdCancel});
    CDlgSelectClient dialog(env_);
    dialog.SetRooms(rooms_);

    dialog.DoModal();
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdGameType).selection, 1);
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdNicknameList).items, (Names{"AnnPlay"}));
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdHelpPane).page, "/setup/InterPoker_Setup.htm");

    dialog.DoModal();
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdGameType).selection, 0);
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdNicknameList).items, (Names{"Ann"}));

    settings_.WriteString("Poker Rooms", "InterPoker Config - Log", Host("empty"));
    desktop_.ScriptDialog({{Select(kIdRoomList, 1), Click(platform::kIdOk)}, platform::kIdCancel});
    EXPECT_EQ(dialog.DoModal(), platform::kIdCancel);
    ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop_.MessageBoxes()[0].text.substr(0, 56),
              "The software did not detect any Play Money hands played ");
}

TEST_F(DialogTest, BrowseReplacesTheFolderAndFindsItsAccounts) {
    WriteFile(Host("other/carl/HH1.txt"), "PokerStars Hand #2\nDealt to Carl [2c 2d]\n");
    settings_.WriteString("Poker Rooms", "PokerStars Config - Log", "C:\\hh");
    // The room dialog clicks the button; the chooser opens the folder
    // above the field's, then "other", and is confirmed.
    desktop_.ScriptDialog(
        {{Select(kIdRoomList, 2), Click(kIdLogFolderBrowse)}, platform::kIdCancel});
    desktop_.ScriptDialog(
        {{Click(kIdChooserUp), Select(kIdChooserSubFolders, 1), Click(platform::kIdOk)},
         platform::kIdCancel});
    CDlgSelectClient dialog(env_);
    dialog.SetRooms(rooms_);
    dialog.DoModal();
    const auto& controls = dialog.ControlsAtEnd();
    EXPECT_EQ(ControlOf(controls, kIdLogFolder).text, "C:\\other");
    EXPECT_EQ(ControlOf(controls, kIdNicknameList).items, (Names{"Carl"}));

    // Typing a folder that exists does the same; a folder half typed keeps
    // the list.
    desktop_.ScriptDialog({{Select(kIdRoomList, 2), Change(kIdLogFolder, "C:\\oth"),
                            Change(kIdLogFolder, "C:\\other")},
                           platform::kIdCancel});
    dialog.DoModal();
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdNicknameList).items, (Names{"Carl"}));
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdLogFolder).text, "C:\\other");
    desktop_.ScriptDialog(
        {{Select(kIdRoomList, 2), Change(kIdLogFolder, "C:\\oth")}, platform::kIdCancel});
    dialog.DoModal();
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdNicknameList).items, (Names{"Bob"}));

    // A cancelled chooser leaves the field as it was; so does a chooser
    // asked for before a room is chosen.
    desktop_.ScriptDialog(
        {{Click(kIdHistoricalFolderBrowse), Select(kIdRoomList, 2),
          Change(kIdHistoricalFolder, "C:\\hh"), Click(kIdHistoricalFolderBrowse)},
         platform::kIdCancel});
    desktop_.ScriptDialog({{}, platform::kIdCancel});
    dialog.DoModal();
    EXPECT_EQ(ControlOf(dialog.ControlsAtEnd(), kIdHistoricalFolder).text, "C:\\hh");
    const auto events = desktop_.EventLog();
    EXPECT_NE(events.find("Select the Logging Folder for PokerStars:"), std::string::npos);
}

TEST_F(DialogTest, UnsupportedThemeWarnsAndTheDialogStillCloses) {
    WriteFile(Host("Program Files/PokerStars/User.ini"), "[themes]\n0=Black <b>Magic</b>;1\n");
    settings_.WriteString("Poker Rooms", "PokerStars Config - Log", "C:\\hh");
    desktop_.ScriptDialog({{Select(kIdRoomList, 2), Click(platform::kIdOk)}, platform::kIdCancel});
    const RoomSelectionResult result = RunRoomSelectionDialog(env_, rooms_);
    ASSERT_TRUE(result.choice);
    EXPECT_EQ(result.choice->roomId, 113);
    EXPECT_EQ(result.choice->nickname, "Bob");
    EXPECT_EQ(result.choice->loggingFolder,
              std::filesystem::path(prefix_.Path() + "/dosdevices/c:/hh").string());
    ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop_.MessageBoxes()[0].text.substr(0, 61),
              "The currently selected Theme 'Black <b>Magic</b>' may not be ");
    EXPECT_EQ(settings_.GetString("Poker Rooms", "PokerStars Config - Log"), "C:\\hh");
}

TEST_F(DialogTest, EndedWithOkByTheDesktopConfirmsWhatItShows) {
    // Nobody at the desk: the desktop answers OK on the user's behalf.
    desktop_.ScriptDialog({{}, platform::kIdOk});
    EXPECT_EQ(RunRoomSelectionDialog(env_, rooms_).choice, std::nullopt);
    ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop_.MessageBoxes()[0].text, "Select the Poker Room to Spy to continue.");

    settings_.WriteString("Poker Rooms", "Active Room", "PokerStars");
    settings_.WriteString("Poker Rooms", "PokerStars Config - Log", "C:\\hh");
    desktop_.ScriptDialog({{}, platform::kIdOk});
    const RoomSelectionResult result = RunRoomSelectionDialog(env_, rooms_);
    ASSERT_TRUE(result.choice);
    EXPECT_EQ(result.choice->nickname, "Bob");
    EXPECT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_EQ(settings_.GetString("Poker Rooms", "PokerStars Config - Nickname"), "Bob");
}

TEST_F(DialogTest, CommandLineConfirmsWithoutShowingIt) {
    CommandLineOptions options;
    options.room = "pokerstars";
    options.logFolder = Host("hh");
    const RoomSelectionResult result = SelectRoomAtStart(env_, options, {});
    ASSERT_TRUE(result.choice) << result.error;
    EXPECT_EQ(result.choice->roomId, 113);
    EXPECT_EQ(result.choice->nickname, "Bob");  // the only account of the folder
    EXPECT_TRUE(desktop_.ZOrder().empty());
    EXPECT_TRUE(desktop_.Events().empty());
    EXPECT_TRUE(desktop_.MessageBoxes().empty());  // a supported theme
    EXPECT_EQ(settings_.GetString("Poker Rooms", "Active Room"), "PokerStars");
    EXPECT_EQ(settings_.GetString("Poker Rooms", "PokerStars Config - Nickname"), "Bob");
    EXPECT_EQ(settings_.GetString("Poker Rooms", "PokerStars Config - Log"),
              result.choice->loggingFolder);

    // An unknown theme is warned of, and the choice stands.
    WriteFile(Host("Program Files/PokerStars/User.ini"), "[Themes]\n0=Odd;1\n");
    EXPECT_TRUE(SelectRoomAtStart(env_, options, {}).choice);
    ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop_.MessageBoxes()[0].text.substr(0, 36),
              "The currently selected Theme 'Odd' m");

    // A refusal stores nothing and shows nothing.
    options.room = "Nowhere Poker";
    settings_.WriteString("Poker Rooms", "Active Room", "TruePoker");
    const RoomSelectionResult refused = SelectRoomAtStart(env_, options, {});
    EXPECT_FALSE(refused.choice);
    EXPECT_EQ(refused.error, "The room 'Nowhere Poker' is not a supported poker room.");
    EXPECT_EQ(settings_.GetString("Poker Rooms", "Active Room"), "TruePoker");

    // Without room options the dialog is shown.
    desktop_.ScriptDialog({{}, platform::kIdCancel});
    EXPECT_FALSE(SelectRoomAtStart(env_, CommandLineOptions{}, rooms_).choice);
    EXPECT_FALSE(desktop_.Events().empty());
}

}  // namespace
