// The room selection's rules: what a room change shows, the nicknames found
// in the clients' account folders, the confirmation checks and the theme
// warning.
#include "rooms/room_selection_rules.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/memory_profile.h"
#include "platform/memory_registry.h"
#include "tests/rooms/rooms_test_support.h"

namespace {

using rooms::CRoomSelectionRules;
using rooms_test::ScratchFolder;
using rooms_test::WriteFile;
using Names = std::vector<std::string>;

// A Wine prefix with a c: drive, the settings, and the rules over them.
class Fixture {
    ScratchFolder prefix_;  // first: the members below use it

  public:
    Fixture() {
        std::filesystem::create_directories(prefix_ / "drive_c");
        std::filesystem::create_directories(prefix_ / "dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", prefix_ / "dosdevices/c:");
    }
    // A file on drive c: ("Program Files/PokerStars/User.ini").
    void File(const std::string& onDriveC, const std::string& text) {
        WriteFile(prefix_ / ("drive_c/" + onDriveC), text);
    }
    void Folder(const std::string& onDriveC) {
        std::filesystem::create_directories(prefix_ / ("drive_c/" + onDriveC));
    }
    std::string Host(const std::string& onDriveC) const {
        return prefix_ / ("drive_c/" + onDriveC);
    }

    platform::MemoryProfile settings;
    platform::MemoryRegistry registry;
    platform::WinPaths paths{std::filesystem::path(prefix_.Path())};
    rooms::CClientDetector detector{registry, paths, &settings};
    CRoomSelectionRules rules{settings, detector, &registry, paths};
};

const rooms::RoomInfo& Room(const char* name) { return *rooms::FindRoom(name); }

// A view as the dialog would hand it over.
rooms::RoomView View(const rooms::RoomInfo* room, MoneyMode money, std::string loggingFolder,
                     std::string nickname) {
    rooms::RoomView view;
    view.room = room;
    view.money = money;
    view.loggingFolder = std::move(loggingFolder);
    view.nickname = std::move(nickname);
    return view;
}

TEST(RoomSelectionRulesTest, SettingsKeysAndNicknameSections) {
    platform::MemoryProfile settings;
    EXPECT_EQ(rooms::ReadActiveRoom(settings), "");
    EXPECT_EQ(rooms::ReadRoomSettings(settings, "PokerStars"), rooms::RoomSettings{});
    const rooms::RoomSettings choice{"C:\\HH", "/old", "Bob", MoneyMode::kPlay};
    ASSERT_TRUE(rooms::StoreRoomChoice(settings, "PokerStars", choice));
    EXPECT_EQ(settings.GetString("Poker Rooms", "Active Room"), "PokerStars");
    EXPECT_EQ(settings.GetString("poker rooms", "PokerStars Config - Log"), "C:\\HH");
    EXPECT_EQ(settings.GetString("Poker Rooms", "PokerStars Config - Log PT"), "/old");
    EXPECT_EQ(settings.GetString("Poker Rooms", "PokerStars Config - Nickname"), "Bob");
    EXPECT_EQ(settings.GetString("Poker Rooms", "PokerStars Config - Game Type"), "Play Money");
    EXPECT_EQ(rooms::ReadRoomSettings(settings, "PokerStars"), choice);
    // Any other stored game type reads as the default.
    settings.WriteString("Poker Rooms", "PokerStars Config - Game Type", "Chips");
    EXPECT_EQ(rooms::ReadRoomSettings(settings, "PokerStars").money, MoneyMode::kReal);

    const struct {
        const char* room;
        MoneyMode money;
        const char* nicknames;
        const char* mangled;
    } cases[] = {
        {"PokerStars", MoneyMode::kReal, "PokerStars Nicknames", "PokerStars Mangled Nicknames"},
        {"InterPoker", MoneyMode::kPlay, "InterPoker Nicknames(PM)",
         "InterPoker Mangled Nicknames(PM)"},
        {"Betfair Poker", MoneyMode::kReal, "Betfair Poker Nicknames(RM)",
         "Betfair Poker Mangled Nicknames(RM)"},
        {"Party Poker", MoneyMode::kPlay, "Party Poker Nicknames", "Party Poker Mangled Nicknames"},
    };
    for (const auto& c : cases) {
        const auto sections = rooms::NicknameSectionsFor(Room(c.room), c.money);
        EXPECT_EQ(sections.nicknames, c.nicknames) << c.room;
        EXPECT_EQ(sections.mangled, c.mangled) << c.room;
    }
}

TEST(RoomSelectionRulesTest, NicknameAfterTheMarker) {
    using rooms::MarkerCase;
    const struct {
        const char* head;
        MarkerCase mode;
        const char* nickname;
    } cases[] = {
        {"Seat 1: x\nDealt to Bob [Ah Kd]\n", MarkerCase::kExact, "Bob"},
        {"Dealt to Two Words [Ah Kd]", MarkerCase::kExact, "Two Words"},
        {"dealt to Bob [Ah Kd]", MarkerCase::kExact, ""},
        {"DEALT TO Bob [Ah Kd]", MarkerCase::kIgnoreCase, "Bob"},
        {"Dealt to Bob\r\nSeat 2", MarkerCase::kExact, "Bob"},
        {"no such line", MarkerCase::kExact, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rooms::NicknameAfterMarker(c.head, "Dealt to ", c.mode), c.nickname) << c.head;
    }
    // At most 100 bytes are taken.
    const std::string longName(150, 'x');
    EXPECT_EQ(rooms::NicknameAfterMarker("Dealt to " + longName, "Dealt to ", MarkerCase::kExact),
              std::string(100, 'x'));
}

TEST(RoomSelectionRulesTest, PokerStarsAccountFoldersGiveTheNicknames) {
    Fixture f;
    const std::string hh = f.Host("hh");
    WriteFile(hh + "/bob/HH20261209 T1.txt", "PokerStars Hand #1\nDealt to Bob [Ah Kd]\n");
    // Known from an earlier start: its file is not read again.
    WriteFile(hh + "/carl/HH20261209 T2.txt", "PokerStars Hand #2\nDealt to Wrong [Ah Kd]\n");
    f.settings.WriteString("PokerStars Mangled Nicknames", "carl", "Carl");
    // A folder without a dealt hand gives no nickname.
    WriteFile(hh + "/empty/notes.txt", "nothing here\n");
    f.settings.WriteString("Poker Rooms", "PokerStars Config - Log", hh);

    const rooms::RoomView view = f.rules.ChangeRoom("PokerStars", std::nullopt);
    EXPECT_EQ(view.source, rooms::NicknameSource::kAccountFolders);
    EXPECT_EQ(view.nicknames, (Names{"Bob", "Carl"}));
    EXPECT_EQ(view.loggingFolder, hh);
    EXPECT_EQ(view.setupPage, "\\PokerStars_Setup.htm");
    // Nothing stored and two accounts: none is chosen for the user.
    EXPECT_EQ(view.nickname, "");
    EXPECT_EQ(f.settings.GetString("PokerStars Mangled Nicknames", "bob"), "Bob");
    EXPECT_EQ(f.settings.GetString("PokerStars Nicknames", "Bob"), "bob");
    EXPECT_EQ(f.settings.GetString("PokerStars Nicknames", "Wrong"), "");

    f.settings.WriteString("Poker Rooms", "PokerStars Config - Nickname", "Carl");
    EXPECT_EQ(f.rules.ChangeRoom("PokerStars", std::nullopt).nickname, "Carl");
}

TEST(RoomSelectionRulesTest, InterPokerAccountsOfTheChosenGameTypeOnly) {
    Fixture f;
    const std::string logs = f.Host("Program Files/InterPoker/log");
    WriteFile(logs + "/alice01/s1/control.log", "dealt to Control [Ah Kd]\n");
    WriteFile(logs + "/alice01/s1/h1.txt", "dealt to Text [Ah Kd]\n");
    WriteFile(logs + "/alice01/s1/h2.LOG", "Game #1\ndealt to Alice [Ah Kd]\n");
    WriteFile(logs + "/PKalice/s1/h1.log", "Game #2\ndealt to AlicePlay [2c 2d]\n");
    f.Folder("Program Files/InterPoker");

    // Without a stored folder the client's default one is used.
    const rooms::RoomView real = f.rules.ChangeRoom("InterPoker", std::nullopt);
    EXPECT_EQ(real.money, MoneyMode::kReal);
    EXPECT_EQ(real.loggingFolder, "c:\\Program Files\\InterPoker\\log");
    EXPECT_EQ(real.nicknames, (Names{"Alice"}));
    EXPECT_EQ(real.nickname, "Alice");  // the only account
    EXPECT_EQ(f.settings.GetString("InterPoker Mangled Nicknames(RM)", "alice01"), "Alice");
    EXPECT_EQ(f.settings.GetString("InterPoker Nicknames(RM)", "Alice"), "alice01");

    // A stored play-money game type is selected and the list is for it.
    f.settings.WriteString("Poker Rooms", "InterPoker Config - Game Type", "Play Money");
    const rooms::RoomView play = f.rules.ChangeRoom("InterPoker", std::nullopt);
    EXPECT_EQ(play.money, MoneyMode::kPlay);
    EXPECT_EQ(play.nicknames, (Names{"AlicePlay"}));
    EXPECT_EQ(f.settings.GetString("InterPoker Mangled Nicknames(PM)", "PKalice"), "AlicePlay");

    // The user changing the game type keeps the new one.
    EXPECT_EQ(f.rules.ChangeRoom("InterPoker", MoneyMode::kReal).nicknames, (Names{"Alice"}));
}

TEST(RoomSelectionRulesTest, NoRoomAndTypedNicknames) {
    Fixture f;
    const rooms::RoomView none = f.rules.ChangeRoom("", std::nullopt);
    EXPECT_EQ(none.room, nullptr);
    EXPECT_EQ(none.setupPage, "\\Generic_Setup.htm");
    EXPECT_EQ(f.rules.ChangeRoom("Nowhere", std::nullopt).room, nullptr);

    f.settings.WriteString("Poker Rooms", "TruePoker Config - Nickname", "Tom");
    const rooms::RoomView typed = f.rules.ChangeRoom("TruePoker", std::nullopt);
    EXPECT_EQ(typed.source, rooms::NicknameSource::kTyped);
    EXPECT_EQ(typed.nickname, "Tom");
    EXPECT_TRUE(typed.nicknames.empty());
    EXPECT_EQ(typed.loggingFolder, "");  // the user picks it
}

TEST(RoomSelectionRulesTest, ConfirmSaysWhatIsMissingInOrder) {
    Fixture f;
    const rooms::RoomInfo* inter = rooms::FindRoom("InterPoker");
    const rooms::RoomInfo* stars = rooms::FindRoom("PokerStars");
    const struct {
        const char* name;
        rooms::RoomView view;
        const char* message;
    } cases[] = {
        {"no room", {}, "Select the Poker Room to Spy to continue."},
        {"no hands at an InterPoker room", View(inter, MoneyMode::kPlay, "/x", "Al"),
         "The software did not detect any Play Money hands played at InterPoker\nYou must play at "
         "least 1 Play Money hand at InterPoker to continue.\n\nRestart the software once you "
         "have played at least 1 Play Money hand."},
        {"no nickname", View(stars, MoneyMode::kReal, "/x", ""),
         "You must specify the Nickname you use at PokerStars to continue."},
        {"blank nickname", View(stars, MoneyMode::kReal, "/x", "  "),
         "You must specify the Nickname you use at PokerStars to continue."},
        {"no folder", View(stars, MoneyMode::kReal, "", "Bob"),
         "You must specify the Logging Folder configured for PokerStars to continue."},
        {"folder off the prefix", View(stars, MoneyMode::kReal, "q:\\hh", "Bob"),
         "The folder 'q:\\hh' is not on a drive of the Wine prefix."},
    };
    for (const auto& c : cases) {
        const rooms::ConfirmResult result = f.rules.Confirm(c.view);
        EXPECT_EQ(result.message, c.message) << c.name;
        EXPECT_EQ(result.roomId, 0) << c.name;
    }
    EXPECT_EQ(rooms::ReadActiveRoom(f.settings), "");  // nothing stored

    const rooms::ConfirmResult ok = f.rules.Confirm(View(stars, MoneyMode::kReal, "/x", "Bob"));
    EXPECT_EQ(ok.message, "");
    EXPECT_EQ(ok.warning, "");
    EXPECT_EQ(ok.roomId, 113);
    EXPECT_EQ(rooms::ReadActiveRoom(f.settings), "PokerStars");
    EXPECT_EQ(rooms::ReadRoomSettings(f.settings, "PokerStars").nickname, "Bob");
}

TEST(RoomSelectionRulesTest, PartyPokerFoldersAndAccounts) {
    Fixture f;
    f.Folder("Program Files/PartyGaming/PartyPoker/HandHistory/Bobby");
    f.Folder("Program Files/PartyGaming/PartyPoker/HandHistory/zed");

    // Real money: the nickname is typed and the client's whole folder is read.
    rooms::RoomView real = f.rules.ChangeRoom("Party Poker", MoneyMode::kReal);
    EXPECT_EQ(real.source, rooms::NicknameSource::kTyped);
    EXPECT_EQ(real.loggingFolder, "C:\\Program Files\\PartyGaming\\PartyPoker\\HandHistory");
    real.nickname = "Bobby";
    real.loggingFolder = "/somewhere/else";
    EXPECT_EQ(f.rules.Confirm(real).stored.loggingFolder,
              "C:\\Program Files\\PartyGaming\\PartyPoker");

    // Play money: one account per folder, the folder follows the account and
    // the nickname takes the account's spelling.
    rooms::RoomView play = f.rules.ChangeRoom("Party Poker", MoneyMode::kPlay);
    EXPECT_EQ(play.nicknames, (Names{"Bobby", "zed"}));
    EXPECT_TRUE(play.loggingFolderFromAccount);
    EXPECT_EQ(f.rules.LoggingFolderForAccount(play, "zed"),
              "C:\\Program Files\\PartyGaming\\PartyPoker\\HandHistory\\zed");
    // A typed name never leads out of the accounts folder.
    for (const char* typed : {"..", "..\\..\\windows", "a/b", "C:x"}) {
        EXPECT_EQ(f.rules.LoggingFolderForAccount(play, typed),
                  "C:\\Program Files\\PartyGaming\\PartyPoker\\HandHistory")
            << typed;
    }
    play.nickname = "bobby";
    const rooms::ConfirmResult ok = f.rules.Confirm(play);
    EXPECT_EQ(ok.message, "");
    EXPECT_EQ(ok.stored.nickname, "Bobby");
    EXPECT_EQ(ok.stored.loggingFolder,
              "C:\\Program Files\\PartyGaming\\PartyPoker\\HandHistory\\Bobby");
    EXPECT_EQ(ok.roomId, 101);
}

TEST(RoomSelectionRulesTest, PokerStarsThemeWarning) {
    const struct {
        const char* entry;
        const char* theme;
        bool supported;
    } cases[] = {
        {"Shiny Theme", "Shiny Theme", true},
        {"hypersimple;1;2", "hypersimple", true},
        {"themes\\Stars;x", "Stars", true},
        {" No Image Theme ;", "No Image Theme", true},
        {"PokerStars Default Theme", "PokerStars Default Theme", true},
        {"Black Magic;1", "Black Magic", false},
        {";", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rooms::ThemeFromEntry(c.entry), c.theme) << c.entry;
        EXPECT_EQ(rooms::IsSupportedTheme(c.theme), c.supported) << c.entry;
    }

    Fixture f;
    f.registry.CreateKey(platform::RegRoot::kLocalMachine,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PokerStars");
    f.File("Program Files/PokerStars/User.ini", "[Themes]\n0=Black Magic;2\n");
    const rooms::ConfirmResult result =
        f.rules.Confirm(View(rooms::FindRoom("PokerStars"), MoneyMode::kReal, "/x", "Bob"));
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.roomId, 113);  // the warning only informs
    EXPECT_EQ(result.warning,
              "The currently selected Theme 'Black Magic' may not be supported.\n\nCurrently "
              "supported themes are:\nPokerStars Default Theme\nShiny Theme\nHyper-Simple "
              "Theme\nStars Theme\nNo Image Theme\n");
}

}  // namespace
