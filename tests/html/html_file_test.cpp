#include "html/html_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "html/cards_html.h"
#include "html/escape.h"

namespace {

std::string Written(const std::function<void(CHtmlFile&)>& write) {
    CHtmlFile f;
    f.Open("/nonexistent/never-written.htm");
    write(f);
    return f.Text();
}

TEST(HtmlFile, RowColours) {
    struct Case {
        int index;
        const char* colour;
    } cases[] = {{-1, "#F5e9d1"}, {0, "#FFFBF0"}, {1, "#FFFFFF"}, {2, "#FFFBF0"}, {-5, "#F5e9d1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Written([&](CHtmlFile& f) { f.BeginRow(c.index); }),
                  std::string("<tr bgcolor='") + c.colour + "'>\n")
            << "index " << c.index;
    }
}

TEST(HtmlFile, Cells) {
    EXPECT_EQ(Written([](CHtmlFile& f) { f.DataCell("x", 1, -1, "", "", 2); }),
              "<TD ALIGN='RIGHT' VALIGN='TOP'     colspan='2'><font face='verdana' size='-4'> "
              "x</TD>\n");
    EXPECT_EQ(Written([](CHtmlFile& f) { f.DataCell("y", -1, 1, "#FF0000", "#00FF00", 1); }),
              "<TD ALIGN='LEFT' VALIGN='BOTTOM'  BGCOLOR='#FF0000'    BORDERCOLOR='#00FF00'   "
              "BORDER=4 colspan='1'><font face='verdana' size='-4'> y</TD>\n");
    EXPECT_EQ(Written([](CHtmlFile& f) { f.HeaderCell("Name", 3, -1, "LEFT", 40); }),
              "<TH  COLSPAN=3 VALIGN=TOP ALIGN='LEFT' BGCOLOR='D5AC84'  WIDTH=40 > <font "
              "face='verdana' size='-4' color='#003366' ><B>Name</B></TH>\n");
    EXPECT_EQ(Written([](CHtmlFile& f) { f.HeaderCell("P", 1, 0, "CENTER", -25); }),
              "<TH  COLSPAN=1 VALIGN=MIDDLE ALIGN='CENTER' BGCOLOR='D5AC84'  WIDTH='25%' > <font "
              "face='verdana' size='-4' color='#003366' ><B>P</B></TH>\n");
    EXPECT_EQ(Written([](CHtmlFile& f) { f.Header("H"); }),
              "<TH  COLSPAN=1 VALIGN=MIDDLE ALIGN='CENTER' BGCOLOR='D5AC84' > <font "
              "face='verdana' size='-4' color='#003366' ><B>H</B></TH>\n");
    EXPECT_EQ(Written([](CHtmlFile& f) { f.BeginTable(2, 100, "CENTER"); }),
              "<table border=1 cellspacing=0 cellpadding=2 width='100%' valign='top' "
              "align='CENTER' BGCOLOR='#EFDFCF' bordercolor='' >\n");
}

TEST(HtmlFile, LegendIsWrittenWhole) {
    std::string expected =
        "<TD valign='top' width='49%'><table border=1 cellspacing=0 cellpadding=0 width='100%' "
        "valign='top' align='CENTER' BGCOLOR='#EFDFCF' bordercolor='' >\n"
        "<tr bgcolor='#F5e9d1'>\n"
        "<TH  COLSPAN=2 VALIGN=MIDDLE ALIGN='CENTER' BGCOLOR='D5AC84' > <font face='verdana' "
        "size='-4' color='#003366' ><B>Legend</B></TH>\n"
        "</TR>\n";
    const char* rows[][2] = {{"red", "Possible Hand Selection Error"},
                             {"pnk", "Passive Pre Flop Play"},
                             {"blk", "Aggressive Pre Flop Play"},
                             {"brn", "Plays involving Blinds and Steal Raises"}};
    for (auto& r : rows) {
        expected += std::string("<tr bgcolor='#FFFBF0'>\n") +
                    "<TD ALIGN='CENTER' VALIGN='MIDDLE'     colspan='1'><font face='verdana' "
                    "size='-4'>  <img src='../square_" + r[0] + ".PNG'></TD></TD>\n" +
                    "<TD ALIGN='LEFT' VALIGN='MIDDLE'     colspan='1'><font face='verdana' "
                    "size='-4'> " + r[1] + "</TD>\n</TR>\n";
    }
    expected += "</TABLE>\n</TD>\n";
    EXPECT_EQ(Written([](CHtmlFile& f) { f.WriteLegend(); }), expected);
}

TEST(HtmlFile, HostileNamesInLinks) {
    // The apostrophe is escaped for the script string; the link text is page text.
    EXPECT_EQ(html::LinkPlayerReport("O'Neil (NL)"),
              "<a href=\"javascript:BrowserSink.ChangeReportProperties2(2, 'PN', 'O/1Neil')\">"
              "O&#39;Neil (NL)</a>");
    // Markup in a name never becomes markup.
    std::string link = html::LinkPlayerReport("<img src=x onerror=alert(1)>");
    EXPECT_EQ(link.find("<img"), std::string::npos) << link;
    // A character reference cannot smuggle an apostrophe into the script.
    link = html::LinkPlayerReport("&#39;);alert(1);//");
    EXPECT_NE(link.find("'&amp;#39;);alert(1);////'"), std::string::npos) << link;
    // Play-money keys get no link at all.
    EXPECT_EQ(html::LinkPlayerReport("bob<b> (PM)"), "bob&lt;b&gt; (PM)");
    EXPECT_EQ(html::LinkDisplayHand(39691083604ull),
              "<a href=\"javascript:BrowserSink.DisplayHand('39691083604')\">");
    EXPECT_EQ(html::LinkDisplayAlerts("a'b", "a'b (NL)", 1, "C:\\x\\p_a'b.htm", "<img>"),
              "<a href=\"javascript:BrowserSink.DisplayAlerts('a/1b', 'a/1b (NL)', 1, "
              "'C://x//p_a/1b.htm')\"><img></a>");
}

TEST(Escape, ScriptEscapingRoundTrips) {
    for (std::string name : {"plain", "O'Neil", "a\"b`c/d<e>f=g", "//1", "x/", "/7", ""}) {
        std::string escaped = html::EscapeNameForScript(name);
        EXPECT_EQ(escaped.find_first_of("'\"`<>="), std::string::npos) << name;
        EXPECT_EQ(html::UnescapeNameFromScript(escaped), name) << name;
    }
    EXPECT_EQ(html::CutGameTypeTag("bob (T-NL)"), "bob");
    EXPECT_EQ(html::CutGameTypeTag("bob"), "bob");
}

TEST(Escape, SafeFileNames) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"Table 1", "Table 1"},         {"../../etc/passwd", "etcpasswd"},
        {"a..b", "a.b"},                {"..", "_"},
        {"C:\\x\\y", "Cxy"},            {"tab\tle\n", "table"},
        {"", "_"},                      {std::string(300, 'a'), std::string(100, 'a')},
    };
    for (const auto& c : cases) EXPECT_EQ(html::SafeFileNamePart(c.in), c.out) << c.in;
    // Never cut inside a UTF-8 character.
    std::string euros;
    for (int i = 0; i < 50; ++i) euros += "\xE2\x82\xAC";
    EXPECT_EQ(html::SafeFileNamePart(euros, 100).size(), 99u);
}

TEST(CardsHtml, Rendering) {
    html::SetFourColourDeck(false);
    const std::string open = "<B><font face='Arial' size='-1' COLOR='BLACK'>[</FONT>";
    const std::string close = "<B><font face='Arial' size='-1' COLOR='BLACK'>]</FONT></B>";
    const std::string red = "<font face='Arial' size='-1' COLOR='RED'>";
    const std::string black = "<font face='Arial' size='-1' COLOR='BLACK'>";
    const std::string hearts = "<img src=\"..\\s_hearts.gif\"  border='0'>";
    const std::string spades = "<img src=\"..\\s_spades.gif\" border='0'>";
    // Lower rank first in the text: rendered higher first.
    EXPECT_EQ(html::CardsAsHtml("[2s, Ah]"), open + red + "A</FONT></B>" + hearts + "<B> " + black +
                                                 "2</FONT></B>" + spades + close);
    EXPECT_EQ(html::CardsAsHtml("[2s,Ah]", true),
              open + red + "A</FONT></B>" + hearts + "<B>" + black + "2</FONT></B>" + spades + close);
    EXPECT_EQ(html::CardsAsHtml(""), black + "&nbsp</FONT>");
    EXPECT_EQ(html::CardsAsHtml("[Ah, Kd, Qs, Jc]"), black + "&nbsp</FONT>");
    EXPECT_EQ(html::CardsAsHtml("[Ah,K]"), "");

    EXPECT_EQ(html::ShortHandText("[Ks,As]"), "AKs");
    EXPECT_EQ(html::ShortHandText("[Kd,Ah]"), "AK ");
    EXPECT_EQ(html::ShortHandText("[Kd,Ah]", true), "AK");
    EXPECT_EQ(html::ShortHandText("[Td]"), "[T]");
    EXPECT_EQ(html::ShortHandText(""), "");

    html::SetFourColourDeck(true);
    EXPECT_EQ(html::SuitFont('d'), "<font face='Arial' size='-1' COLOR='BLUE'>");
    EXPECT_EQ(html::SuitImage('c'), "<img src=\"..\\s_clubsgrn.gif\"  border='0'>");
    html::SetFourColourDeck(false);
    EXPECT_EQ(html::SuitFont('d'), red);
    EXPECT_EQ(html::SuitFont('x'), "");
}

TEST(HtmlFile, PageIsReplacedWholeOrNotAtAll) {
    auto dir = std::filesystem::temp_directory_path() / ("seatwatch_html_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto page = dir / "page.htm";
    {
        CHtmlFile f;
        f.Open(page.string());
        f.BeginDocument();
        f.EndDocument();
        ASSERT_TRUE(f.Close());
    }
    {
        // Built but never closed (an error while writing): the old page stays.
        CHtmlFile f;
        f.Open(page.string());
        f.WriteString("half a pa");
    }
    std::ifstream in(page);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "<HTML>\n</HTML>\n");
    // A folder that does not exist: failure is reported, nothing is left behind.
    CHtmlFile bad;
    bad.Open((dir / "missing" / "p.htm").string());
    EXPECT_FALSE(bad.Close());
    std::filesystem::remove_all(dir);
}

}  // namespace
