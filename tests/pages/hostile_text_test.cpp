// Screen names and table names from histories written to every page: each
// must show as the same plain text, every link must still carry it whole,
// and no page file may land outside the output folder or under a name the
// history chose without making it safe.

#include <gtest/gtest.h>

#include <cctype>

#include "html/escape.h"
#include "pages/report_pages.h"
#include "pages/table_page.h"
#include "tests/pages/pages_fixture.h"

namespace pagetest {
namespace {

const std::vector<std::string>& HostileNames() {
    static const std::vector<std::string> names = {
        "<img src=x onerror=alert(1)>",
        "\"><script>alert(1)</script>",
        "'); alert(1); ('",
        "..\\..\\evil",
        "../../evil",
        "CON",
        std::string(200, 'w'),
        "O\"Neil's",
        "Tom & Jerry &amp;",
        "M\xC3\xBCller Fran\xC3\xA7ois",
        "a=b`c/d",
    };
    return names;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads the single-quoted and numeric arguments of every
// href="javascript:BrowserSink.X(...)" link; fails the test when a link
// does not have that form (a quote that ended a string early would break
// it).
std::vector<std::string> LinkArguments(const std::string& text) {
    std::vector<std::string> arguments;
    const std::string marker = "href=\"javascript:BrowserSink.";
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
        std::size_t end = text.find('"', at + 6);
        std::string call = text.substr(at + marker.size(), end - at - marker.size());
        std::size_t i = 0;
        while (i < call.size() && std::isalnum(static_cast<unsigned char>(call[i]))) ++i;
        bool ok = i > 0 && i < call.size() && call[i] == '(';
        ++i;
        while (ok && i < call.size() && call[i] != ')') {
            if (call[i] == '\'') {
                std::size_t close = call.find('\'', i + 1);
                ok = close != std::string::npos;
                if (!ok) break;
                std::string argument = call.substr(i + 1, close - i - 1);
                ok = argument.find_first_of("<>\"") == std::string::npos;
                // "&amp;" is the only character reference a link holds.
                for (std::size_t a = argument.find('&'); a != std::string::npos;
                     a = argument.find('&', a + 1)) {
                    ok = ok && argument.compare(a, 5, "&amp;") == 0;
                    argument.replace(a, 5, "&");
                }
                // The script string then reads "\\" as one backslash, and
                // drops a lone one before any other character.
                std::string read;
                for (std::size_t a = 0; a < argument.size(); ++a) {
                    if (argument[a] == '\\' && a + 1 < argument.size()) ++a;
                    read.push_back(argument[a]);
                }
                arguments.push_back(html::UnescapeNameFromScript(read));
                i = close + 1;
            } else if (call[i] == '-' || std::isdigit(static_cast<unsigned char>(call[i]))) {
                ++i;
                while (i < call.size() && std::isdigit(static_cast<unsigned char>(call[i]))) ++i;
            } else {
                ok = false;
                break;
            }
            if (i < call.size() && call[i] == ',') {
                ++i;
                if (i < call.size() && call[i] == ' ') ++i;
            }
        }
        ok = ok && i < call.size() && call[i] == ')' &&
             (i + 1 == call.size() || call.substr(i + 1) == " ");
        EXPECT_TRUE(ok) << "malformed link: " << call;
    }
    return arguments;
}

// What every page with the name must hold.
void ExpectSafePage(const std::string& text, const std::string& name, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_NE(text.find(html::EscapeText(name)), std::string::npos) << "name not shown";
    if (name.find_first_of("<>\"'&") != std::string::npos) {
        EXPECT_EQ(text.find(name), std::string::npos) << "name written unescaped";
    }
    const std::string lower = Lower(text);
    EXPECT_EQ(lower.find("<script"), std::string::npos);
    EXPECT_EQ(lower.find("<img src=x"), std::string::npos);
    LinkArguments(text);
}

// Whether some link of the page carries `value` as a whole argument.
bool LinksCarry(const std::string& text, const std::string& value) {
    for (const std::string& argument : LinkArguments(text))
        if (argument == value) return true;
    return false;
}

class HostileTextTest : public PagesTest, public ::testing::WithParamInterface<int> {
  protected:
    const std::string& Name() const { return HostileNames()[static_cast<std::size_t>(GetParam())]; }

    // Every file of the output folder: a plain name of bounded length, no
    // reserved device name, directly inside the folder.
    void ExpectSafeFolder() const {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            std::string file = entry.path().filename().string();
            SCOPED_TRACE(file);
            EXPECT_EQ(entry.path().parent_path(), folder);
            EXPECT_TRUE(entry.is_regular_file());
            EXPECT_LE(file.size(), 255U);
            EXPECT_EQ(file.find_first_of("/\\:*?\"<>|"), std::string::npos);
            EXPECT_EQ(file.find(".."), std::string::npos);
            std::string base = Lower(file.substr(0, file.find('.')));
            for (const char* device : {"con", "prn", "aux", "nul", "com1", "lpt1"}) {
                EXPECT_NE(base, device);
            }
        }
        // Nothing escaped next to the folder either.
        EXPECT_FALSE(std::filesystem::exists(folder.parent_path() / "evil"));
        EXPECT_FALSE(std::filesystem::exists(folder.parent_path() / "evil.htm"));
    }
};

TEST_P(HostileTextTest, EveryPageShowsTheNameAsPlainText) {
    const std::string& name = Name();
    testing_hands::Table t = SixSeats();
    t.seats[3] = name;
    Play(9001, t, ShowdownHand(t), &name);
    Play(9002, t, FoldAroundHand(t), &name);
    // The player raises first in with 72o and shows it: an alert, so his
    // alerts page is written and linked.
    Script trash = ShowdownHand(t);
    for (std::string* text : {&trash.body, &trash.summary[0].text}) {
        std::size_t at = text->find("[Qh Qs]");
        text->replace(at, 7, "[7s 2h]");
    }
    Play(9003, t, trash, &name);
    ASSERT_NE(analyzer->FindPlayer(name), nullptr) << "the history did not seat " << name;

    // Table page (the table has the name too) and the player's alerts page.
    std::string tablePath = analyzer->WriteTablePage(name);
    ASSERT_FALSE(tablePath.empty());
    EXPECT_EQ(std::filesystem::path(tablePath).parent_path(), folder);
    std::string table = ReadFile(tablePath);
    ExpectSafePage(table, name, "table page");
    EXPECT_TRUE(LinksCarry(table, name)) << "no link names the player";
    std::string alertsPath = pages::AlertsPagePath(tablePath, name);
    EXPECT_TRUE(LinksCarry(table, alertsPath)) << "alerts link";
    ASSERT_TRUE(std::filesystem::exists(alertsPath)) << alertsPath;
    ExpectSafePage(ReadFile(alertsPath), name, "alerts page");

    // Hand page.
    std::string handPath = analyzer->ShowHand(9001);
    ASSERT_FALSE(handPath.empty());
    std::string hand = ReadFile(handPath);
    ExpectSafePage(hand, name, "hand page");
    EXPECT_TRUE(LinksCarry(hand, name));

    // Players report and the player's own report.
    CReportOptions options;
    options.report = 1;
    options.sortColumn = 4;
    std::string players = ReadFile(pages.WritePlayersReport(*analyzer, options));
    ExpectSafePage(players, name, "players report");
    EXPECT_TRUE(LinksCarry(players, name));
    options.report = 0;
    ASSERT_TRUE(analyzer->ShowPlayerReport(name, &options));
    std::string report = ReadFile(pages::PlayerReportPath(folder.string(), name, true));
    ExpectSafePage(report, name, "player report");
    EXPECT_TRUE(LinksCarry(report, name)) << "graph link";

    ExpectSafeFolder();
}

TEST_P(HostileTextTest, ReportOfAnUnknownNameStaysInTheFolder) {
    const std::string name = Name() + " unknown";
    CReportOptions options;
    ASSERT_TRUE(analyzer->ShowPlayerReport(name, &options));
    std::string path = pages::PlayerReportPath(folder.string(), name, false);
    EXPECT_EQ(std::filesystem::path(path).parent_path(), folder);
    ASSERT_TRUE(std::filesystem::exists(path));
    ExpectSafePage(ReadFile(path), name, "unknown player report");
    ExpectSafeFolder();
}

INSTANTIATE_TEST_SUITE_P(Names, HostileTextTest,
                         ::testing::Range(0, static_cast<int>(HostileNames().size())));

TEST(PageFileNames, NamesThatCleanUpAlikeStayApart) {
    EXPECT_NE(pages::FileNamePart("a/b"), pages::FileNamePart("ab"));
    EXPECT_NE(pages::FileNamePart("a:b"), pages::FileNamePart("a*b"));
    EXPECT_EQ(pages::FileNamePart("Plain Name"), "Plain Name");
    EXPECT_NE(pages::FileNamePart("CON"), "CON");
    EXPECT_NE(pages::FileNamePart("lpt1.txt"), "lpt1.txt");
    EXPECT_EQ(pages::FileNamePart("Cone"), "Cone");
    EXPECT_LE(pages::FileNamePart(std::string(500, 'x')).size(), 90U);
}

}  // namespace
}  // namespace pagetest
