#include "analysis/alerts_page.h"
#include "analysis/player_alerts.h"
#include "analysis/preflop_facts.h"
#include "html/html_file.h"
#include "tests/analysis/analyzer_fixture.h"

namespace {

// Eight-handed hands with Hero's cards shown; the rest fold to the end.
struct AlertCase {
    const char* name;
    const char* cards;
    const char* actions;  // after the blinds
    int kind;             // -1: no alert
    bool expected;
    const char* text;     // without links; "" to skip
};

class AlertsTest : public AnalyzerTest {
protected:
    // Players without an action in `actions` fold.
    std::unique_ptr<CHand> Hand(int heroSeat, const char* cards, const std::string& actions) {
        std::string all = actions;
        testing_hands::Table table = MakeTable(heroSeat);
        for (const std::string& name : table.seats) {
            if (actions.find(name + ": ") == std::string::npos) all += name + ": folds\n";
        }
        std::string blinds = table.seats[1] + ": posts small blind $0.50\n" + table.seats[2] +
                             ": posts big blind $1\n*** HOLE CARDS ***\n";
        std::string body = blinds + (*cards != 0 ? std::string("Dealt to Hero ") + cards + "\n" : "") + all;
        std::string error;
        auto hand = testing_hands::Parse(testing_hands::HandText(++number, MakeTable(heroSeat), body,
                                                                 {{"Bb", "collected ($5)"}}), "Hero", &error);
        EXPECT_TRUE(hand) << error << body;
        return hand;
    }
    std::uint64_t number = 100;
};

TEST_F(AlertsTest, EveryRuleAndItsFlag) {
    reference.SetInRange(CHandReference::Range::kMiddleNotFirstIn, reference.RankOf("KTo"), true);
    reference.SetInRange(CHandReference::Range::kStealRaise, reference.RankOf("A9o"), true);
    reference.SetInRange(CHandReference::Range::kSmallBlindCall, reference.RankOf("QJo"), true);
    struct SeatCase {
        int seat;  // Hero's seat (position seat - 1)
        AlertCase c;
    };
    const SeatCase cases[] = {
        {4, {"limps first in with AKs", "[Ah Kh]", "Hero: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nBb: checks\n",
             2, false, "Preflop, <B>Hero</B> did not raise  first-in <B>AKs</B></a> in pos 3"}},
        {5, {"calls behind with AQo", "[Ah Qd]", "P3: calls $1\nHero: calls $1\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nBb: checks\n",
             3, false, ""}},
        {4, {"raises first in with 72o", "[7h 2d]", "Hero: raises $1 to $2\nP4: folds\n", 7, false,
             "Preflop, <B>Hero</B> raised  <B>72o</B></a> first-in in pos 3"}},
        {4, {"raises first in with AA", "[Ah Ad]", "Hero: raises $1 to $2\nP4: folds\n", 7, true, ""}},
        {4, {"raises first in with 99", "[9h 9d]", "Hero: raises $1 to $2\nP4: folds\n", 7, false, ""}},
        {5, {"raises after a limper", "[Kh Qh]", "P3: calls $1\nHero: raises $1 to $2\n", 8, true, ""}},
        {5, {"re-raises", "[Jh Td]", "P3: raises $1 to $2\nHero: raises $1 to $3\n", 9, false,
             "Preflop, <B>Hero</B> reraised <B>JTo</B></a> in pos 4"}},
        {6, {"calls two bets cold", "[8h 7h]", "P3: raises $1 to $2\nHero: calls $2\n", 13, false,
             "Preflop, <B>Hero</B> cold called 2 or more bets with  <B>87s</B></a> in pos 5"}},
        {6, {"calls two bets after a caller", "[8h 7h]", "P3: raises $1 to $2\nP4: calls $2\nHero: calls $2\n", 14, false, ""}},
        {8, {"cutoff steals with A9o in range", "[Ah 9d]", "P3: folds\nP4: folds\nP5: folds\nP6: folds\nHero: raises $1 to $2\n",
             11, true, "Preflop, <B>Hero</B> attempted a steal with <B>A9o</B></a> from the cutoff"}},
        {8, {"cutoff limps", "[Ah 9d]", "P3: folds\nP4: folds\nP5: folds\nP6: folds\nHero: calls $1\nBtn: folds\nSb: folds\nBb: checks\n",
             12, false, "Preflop, <B>Hero</B> did not attempt to steal with <B>A9o</B></a> from the cutoff position"}},
        {3, {"big blind defends against the cutoff", "[Kh 8d]",
             "P3: folds\nP4: folds\nP5: folds\nP6: folds\nP7: raises $1 to $2\nBtn: folds\nSb: folds\nHero: calls $1\n",
             5, false, "Preflop, <B>Hero</B> defended the big blind with <B>K8o</B></a>"}},
        {3, {"big blind calls an early raise", "[Kh 8d]",
             "P3: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nHero: calls $1\n",
             6, false, "Preflop, <B>Hero</B> called a raise with <B>K8o</B></a> in big blind"}},
        {3, {"big blind re-raises a button steal", "[Qh Qd]",
             "P3: folds\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: raises $1 to $2\nSb: folds\nHero: raises $1 to $3\n",
             5, false, ""}},
        {3, {"big blind re-raises a limper's raise", "[Qh Qd]",
             "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: raises $1 to $2\nSb: folds\nHero: raises $1 to $3\n",
             9, false, ""}},
        {2, {"small blind completes with 94o", "[9h 4d]",
             "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nHero: calls $0.50\nBb: checks\n",
             4, false, "Preflop, <B>Hero</B> completed the small blind with <B>94o</B></a>"}},
        {2, {"small blind completes with QJo in range", "[Qh Jd]",
             "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nHero: calls $0.50\nBb: checks\n", -1, false, ""}},
        {7, {"calls in middle position with K9o", "[Kh 9d]", "P3: calls $1\nP4: folds\nHero: calls $1\n", 16, false,
             "Preflop, <B>Hero</B> played <B>K9o</B></a>  in middle position"}},
        {6, {"calls in early position with K9o", "[Kh 9d]", "P3: calls $1\nP4: folds\nHero: calls $1\n", 16, false,
             "Preflop, <B>Hero</B> played <B>K9o</B></a>  in early position"}},
        {7, {"calls in middle position with KTo in range", "[Kh Td]", "P3: calls $1\nP4: folds\nHero: calls $1\n", -1, false, ""}},
        {6, {"folds AA", "[Ah Ad]", "P3: raises $1 to $2\nP4: folds\nHero: folds\n", -1, false, ""}},
        {3, {"big blind checks", "[Ah Ad]", "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nHero: checks\n",
             3, false, ""}},
    };
    for (const SeatCase& sc : cases) {
        const AlertCase& c = sc.c;
        SCOPED_TRACE(c.name);
        auto hand = Hand(sc.seat, c.cards, c.actions);
        ASSERT_TRUE(hand);
        auto alert = CPlayerAlerts::Classify(*hand, "Hero", reference);
        if (c.kind < 0) {
            EXPECT_EQ(alert, nullptr) << (alert ? alert->Text(false) : "");
            continue;
        }
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->kind, c.kind) << alert->Text(false);
        EXPECT_EQ(alert->expected, c.expected);
        if (*c.text != 0) {
            std::string text = alert->Text(false);
            std::string link = html::LinkPlayerReport("Hero");
            text.replace(text.find(link), link.size(), "Hero");
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST_F(AlertsTest, UnknownCardsNeverAlert) {
    auto hand = Hand(4, "", "Hero: raises $1 to $2\nP4: folds\n");
    ASSERT_TRUE(hand);
    EXPECT_EQ(CPlayerAlerts::Classify(*hand, "Hero", reference), nullptr);
}

TEST_F(AlertsTest, LinksAndEscapedKeys) {
    testing_hands::Table t = MakeTable();
    t.seats[3] = "<b>O'Neil";
    std::string body = std::string(kBlinds) + "<b>O'Neil: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\n"
                       "Btn: folds\nSb: folds\nBb: folds\n*** SHOW DOWN ***\n<b>O'Neil: shows [7h 2d] (high card)\n";
    auto hand = testing_hands::Parse(testing_hands::HandText(555, t, body, {{"Bb", "collected ($5)"}}));
    ASSERT_TRUE(hand);
    auto alert = CPlayerAlerts::Classify(*hand, "<b>O'Neil", reference);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->Text(true),
              "Preflop, <B><a href=\"javascript:BrowserSink.ChangeReportProperties2(2, 'PN', '/4b/5O/1Neil')\">"
              "&lt;b&gt;O&#39;Neil</a></B> raised <a href=\"javascript:BrowserSink.DisplayHand('555')\"> <B>72o</B></a>"
              " first-in in pos 3");
    EXPECT_EQ(alert->Label(), "Raised<br>First-in");
    EXPECT_EQ(alert->Colour(), "#000000");
    EXPECT_EQ(alert->SortKeyText().substr(0, 7), "02 169 ");
}

TEST_F(AlertsTest, LooseTightWindows) {
    // Hands newest first: played = saw the flop.
    auto make = [&](bool played, bool seated = true) {
        testing_hands::Table t = MakeTable(seated ? 4 : 0);
        std::string actions = played ? "Hero: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\n"
                                       "Bb: checks\n*** FLOP *** [2c 7d 9h]\nBb: checks\nHero: checks\n"
                                     : "Hero: folds\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\n";
        if (!seated) actions = "P3: folds\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\n";
        auto hand = testing_hands::Parse(testing_hands::HandText(++number, t, std::string(kBlinds) + actions,
                                                                 {{"Bb", "collected ($1.50)"}}));
        EXPECT_TRUE(hand);
        return hand;
    };
    struct Case {
        const char* pattern;  // newest first: P played, f folded, - not seated
        const char* text;     // "" for none
    };
    const Case cases[] = {
        {"PPPPPPPfff", "<B>Hero</B> has played 7 out of the last 10 hands"},
        {"PffffffP", "<B>Hero</B> has only played 2 out of the last 8 hands"},
        {"PPPPfff", ""},
        {"PPPPPP", ""},
        {"PPPPPPP-fff", "<B>Hero</B> has played 7 out of the last 7 hands"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        std::vector<std::unique_ptr<CHand>> owned;
        std::vector<const CHand*> hands;
        for (const char* p = c.pattern; *p != 0; ++p) {
            owned.push_back(make(*p == 'P', *p != '-'));
            hands.push_back(owned.back().get());
        }
        auto alert = CPlayerAlerts::LooseTight(hands, "Hero", 0);
        if (*c.text == 0) {
            EXPECT_EQ(alert, nullptr);
        } else {
            ASSERT_NE(alert, nullptr);
            // The player link is plain text for the comparison.
            std::string text = alert->Text(false);
            std::string link = html::LinkPlayerReport("Hero");
            text.replace(text.find(link), link.size(), "Hero");
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST_F(AlertsTest, GoldenAlertsPage) {
    CPlayerAlerts alerts("Hero");
    auto a = Hand(4, "[7h 2d]", "Hero: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nBb: checks\n");
    auto b = Hand(4, "[Ah Kh]", "Hero: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nBb: checks\n");
    auto c = Hand(4, "[Ah Ad]", "Hero: raises $1 to $2\nP4: folds\n");
    alerts.Analyse(*a, reference);
    alerts.Analyse(*b, reference);
    alerts.Analyse(*c, reference);
    alerts.Analyse(*a, reference);  // already analysed: no second alert
    EXPECT_EQ(alerts.Alerts().size(), 3U);
    CPlayerAlerts::AlertMap map;
    std::array<int, CAlert::kCategoryCount> counts{};
    for (const CHand* h : {a.get(), b.get(), c.get()}) alerts.AlertsOfHand(h->handNumber, map, counts, true);
    EXPECT_EQ(map.size(), 2U);
    EXPECT_EQ(counts, (std::array<int, 4>{1, 1, 0, 0}));
    CAlertLooseTight loose(true, 7, 10, "Hero", 0);
    std::string page = analysis::AlertsPageText(&loose, map);
    const std::string link = "<a href=\"javascript:BrowserSink.ChangeReportProperties2(2, 'PN', 'Hero')\">Hero</a>";
    const std::string cell = "<TD ALIGN='CENTER' VALIGN='MIDDLE'     colspan='1'><font face='verdana' size='-4'> ";
    const std::string left = "<TD ALIGN='LEFT' VALIGN='MIDDLE'     colspan='1'><font face='verdana' size='-4'> ";
    const std::string expected =
        "<HTML>\n<BODY bgcolor='#EBE9E3' topmargin=0 leftmargin=0 rightmargin=0><BASEFONT face='verdana'>\n"
        "<object classid=\"clsid:A0DC81A6-A79E-4BC8-98C5-7F11E897D85D\" ID=\"BrowserSink\" HEIGHT=0 WIDTH=0></object>\n"
        "<table border=1 cellspacing=1 cellpadding=0 width='100%' valign='top' align='CENTER' BGCOLOR='#EFDFCF' bordercolor='' >\n"
        "<tr bgcolor='#FFFBF0'>\n" + cell + "<img border='0' src='../alertL.png' width='12' height='12'></TD>\n" + left +
        "<B>" + link + "</B> has played 7 out of the last 10 hands</TD>\n</TR>\n"
        "<tr bgcolor='#F5e9d1'>\n<TH  COLSPAN=2 VALIGN=MIDDLE ALIGN='CENTER' BGCOLOR='D5AC84' > <font face='verdana' size='-4' "
        "color='#003366' ><B>Hand Selection</B></TH>\n</TR>\n"
        "<tr bgcolor='#FFFBF0'>\n" + cell + "<img border='0' src='../alert1.png' width='12' height='12'></TD>\n" + left +
        "Preflop, <B>" + link + "</B> played <a href=\"javascript:BrowserSink.DisplayHand('101')\"><B>72o</B></a>  first-in in early position</TD>\n</TR>\n"
        "<tr bgcolor='#F5e9d1'>\n<TH  COLSPAN=2 VALIGN=MIDDLE ALIGN='CENTER' BGCOLOR='D5AC84' > <font face='verdana' size='-4' "
        "color='#003366' ><B>Passive Plays</B></TH>\n</TR>\n"
        "<tr bgcolor='#FFFBF0'>\n" + cell + "<img border='0' src='../alert1pnk.png' width='12' height='12'></TD>\n" + left +
        "Preflop, <B>" + link + "</B> did not raise  first-in <a href=\"javascript:BrowserSink.DisplayHand('102')\"><B>AKs</B></a> in pos 3</TD>\n</TR>\n"
        "</TABLE>\n</BODY>\n</HTML>\n";
    EXPECT_EQ(page, expected);
}

}  // namespace
